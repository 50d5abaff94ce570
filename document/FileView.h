// The read-only view of a file too big for the control: the control holds a window of
// whole lines of the file (VIEW_WINDOW_BYTES), which moves as the caret nears its edges
// and for Ctrl+Home, Ctrl+End, Goto and Find; an index of line starts, built on a thread
// of its own from the first screen on, makes any line reachable, and a scroll bar beside
// the editor stands for the whole file. 8-bit, UTF-8 and UTF-16 text.
#pragma once
#include <windows.h>

#include <string>

#include "document/ViewWindow.h"

// Bytes of the file the control holds at a time, at most, and what they may cost it
// (LoadCost.h): Wine's control takes about 330 bytes a character of a log and 2 KB an
// empty line, so a window of a log is about 25 KB (some 230 lines), of prose 110 KB, and
// of empty lines 16 KB. A window goes into a fresh control in about a tenth of a second
// under Wine; a six times bigger one took half a second, too long for a page key.
const size_t VIEW_WINDOW_BYTES = 256 * 1024;
const double VIEW_WINDOW_COST = 8.0 * 1024 * 1024;
const size_t LEAST_VIEW_WINDOW_BYTES = 16 * 1024;
// A window moves when the caret comes within this many lines of one of its edges.
const int VIEW_EDGE_LINES = 60;

// The main window's timer that looks at what the editor shows while a view is open, and
// moves the window when the lines shown near one of its edges.
const UINT VIEW_SCROLL_TIMER = 0x5657;
const UINT VIEW_SCROLL_PERIOD = 200;  // milliseconds

// Whether the editor shows a view now.
bool IsFileViewOpen();
// Whether a search or a wait for the index is under way: messages that other threads
// send are answered meanwhile, and what would change the document must be refused.
bool IsFileViewBusy();
// Whether the file at path opens as a view: plain text (not RTF, nor 8-bit data with null
// characters) over LARGEST_FILE, or whose estimated cost (from its first megabytes,
// LoadCost.h) is more than the control may take.
bool WantsFileView(const char *path);
// Shows the file at path in the editor as a view from its first line, titled with its
// name; 1 when shown, 0 (nothing changed) when it could not be read.
int OpenFileView(HWND owner, const char *path);
// Ends the view (the editor is emptied and editable again); nothing when none is open.
void CloseFileView();

// The file's line and column (from 0) of a character position in the control.
void FileViewPlace(LONG position, FileOffset *line, FileOffset *column);
// After the selection changed: moves the window when the caret is near one of its edges
// and the file goes on beyond that edge.
void FileViewFollowCaret();
// WM_TIMER: true when the timer was the view's (and the window is moved when the lines
// shown are near one of its edges).
bool OnFileViewTimer(WPARAM timer);
// WM_VSCROLL from the whole file's scroll bar beside the editor: true when the bar was
// the view's (and the view scrolled, paged or moved to the thumb's place).
bool OnFileViewScroll(HWND bar, WPARAM request);
// Ctrl+Home and Ctrl+End for the editor go to the file's first and last line; true when
// the message was taken.
bool FileViewKey(const MSG &message);
// Shows the file's line (from 0; past the last: the last) with the caret at its start.
void FileViewGotoLine(FileOffset line);
// Shows the character at a byte offset of the file with the caret before it.
void FileViewGotoOffset(FileOffset offset);
// Find Next over the whole file from the caret, down or up, with FindText and FindFlags'
// match case and whole word; Esc stops it. 1 when a match was found and selected.
int FileViewFind(HWND owner);
// Save and Save As of a view: copies the file to a name chosen in the Save As dialog
// (to, when given, without the dialog); 1 when copied.
int FileViewSaveCopy(HWND owner, const char *to = 0);
// Whether a command may run on a view (nothing that would change the text or print).
bool FileViewAllowsCommand(int id);

// For tests: the line of the file where the control's text begins, and the file's line
// starts indexed so far (waits for the whole index with wait set).
FileOffset FileViewFirstLine();
size_t FileViewIndexedLines(bool wait);
