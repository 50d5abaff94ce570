// Noticing what other programs do to the document's file: an attribute query every
// FILE_CHECK_PERIOD and whenever the program becomes active, on a thread of its own so
// that a file out of reach cannot freeze the window. Growth of a plain, unchanged
// document is followed as a log viewer would; other changes are asked about.
#pragma once
#include <windows.h>

const UINT FILE_CHECK_TIMER = 0x4657;   // the main window's timer for the checks
const UINT FILE_CHECK_PERIOD = 2000;    // milliseconds
// Where the system reports changes in the file's folder (local folders), a check also
// comes this soon after them (one-shot timer FILE_SOON_TIMER).
const UINT FILE_SOON_TIMER = 0x4658;
const UINT FILE_SOON_DELAY = 150;       // milliseconds: a writer's burst is over by then
const UINT WM_FILE_CHECKED = WM_APP + 0x46;  // a check's answer: lParam for FinishFileCheck
const UINT WM_FOLDER_CHANGED = WM_APP + 0x47;  // something changed in the file's folder

// Remembers what the file at path held as the program read it (bytes, count of them)
// or wrote it; SetCurrentDocument then watches it from that state.
void NoteFileRead(HANDLE file, const char *path, const char *bytes, size_t count);
void NoteFileWritten(const char *path, const char *bytes, size_t count);

// Watches the document's file from the state noted for it (a file noted for no other
// path is queried now); a null path stops watching.
void WatchDocumentFile(HWND window, const char *path);

// Starts a check unless one is under way or a dialog of the program is open.
void CheckDocumentFile(HWND window);
// WM_TIMER: true when the timer was one of the checks' (and the check is started).
bool OnFileCheckTimer(HWND window, WPARAM timer);
// WM_FOLDER_CHANGED: a check soon, unless one is due already.
void OnFolderChanged(HWND window);
// Acts on a check's answer (WM_FILE_CHECKED): follows growth, or asks.
void FinishFileCheck(HWND window, LPARAM answer);

// Before a save to path: when the watched file there changed since it was read or
// written, asks whether to save over it. 1 to go on saving, 0 not to.
int ConfirmSaveOver(HWND owner, const char *path);
