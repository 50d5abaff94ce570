// The one wrapper around the RichEdit window: all text, selection, mode, wrap and
// format access to the document goes through EditorControl.
#pragma once
#include <windows.h>

enum TextModeValue { TEXT_PLAIN = 'p', TEXT_RICH = 'r' };
enum WrapModeValue { WRAP_NONE = 0, WRAP_WINDOW = 'w', WRAP_PAGE = 'p' };

// Line-end style that every caller of GetText passes: the two characters CR LF.
const int LINE_END_CRLF = 0x0A0D;

// Where the caret and the view stand, to come back to after the text was replaced.
struct ViewPlace {
    LONG selectionStart, selectionEnd;
    int firstVisibleLine;
};

struct EditorWrapper {
    int lineWidth;   // last screen line width: 0 window, 1 none, else twips
    HWND control;    // the RichEdit window; null until start-up creates it

    // 'p', 'r', or 0 when the control reports neither (or there is no control).
    int GetTextMode();
    // Carries the content across a mode switch; 1 when done, 0 for a bad mode or when
    // the content could not be copied (the document then stays as it was).
    int SetTextMode(int mode);
    // New NUL-terminated buffer (free with delete[]), null when memory runs out: format
    // 'p', 'r' or negative for the current mode; lineEnd 13 (CR), 10 (LF) or else CR LF.
    char *GetText(int format, int lineEnd);
    // Selects [start, end); returns the length of the selection the control reports.
    int SetSelection(int start, int end);
    // WrapMode derived from lineWidth.
    int GetWrapMode();
    // width in thousandths of an inch; a device context formats for that printer.
    void SetWrapMode(int mode, int width, HDC device = 0);
    // Shows the text unwrapped for now, whatever the wrap setting: wrapping a very long
    // line takes the control minutes. lineWidth (so GetWrapMode and the saved setting)
    // stays; ResumeWrap or any explicit SetWrapMode ends it.
    void SuspendWrap();
    // Applies the wrap setting again after SuspendWrap.
    void ResumeWrap();
    // Whether SuspendWrap holds the wrapping off.
    bool IsWrapSuspended();
    // Routes every paste into the control (WM_PASTE, Ctrl+V, Shift+Insert) through
    // Paste. Called once, after the control is made.
    void ScreenPastes();
    // Pastes the clipboard; RTF on it that fails the RTF screen comes in as its text.
    void Paste();
    // Letters c (selection), p (can paste), u (can undo), r (can redo); static buffer.
    const char *GetEditState();
    // Raises the limit; returns the limit the control then reports.
    int SetTextLimit(int limit);
    // Empties the document, undo stack and modified flag included, and returns the
    // control that now holds it: a long document is dropped with its control, and a
    // new one with the same settings takes its place (see OnEditorReplaced).
    HWND Empty();

    // The caret and view as they are; SetViewPlace puts them back as near as the text
    // now allows.
    ViewPlace GetViewPlace();
    void SetViewPlace(const ViewPlace &place);

    // Format descriptor of the selection (static buffer), or null without a control.
    const char *GetFormatDescriptor();
    // Applies the items present in text to the selection; 1 when applied.
    int ApplyFormatDescriptor(const char *text);
};

extern EditorWrapper EditorControl;

// Documents of more lines than this are emptied by replacing the control: Wine's control
// removes text paragraph by paragraph, finding each from the top, in time that grows with
// the square of the line count (8,000 lines: 3 s; 100,000 lines: many minutes).
const int EMPTY_BY_NEW_CONTROL = 3000;
// Called after Empty put a new control in place of the old one (already destroyed).
extern void (*OnEditorReplaced)(HWND previous, HWND fresh);

// The whole content as RTF (EM_STREAMOUT) in a new buffer (free with delete[]), or null
// when memory runs out or the control reports an error. Where the control's writer
// exchanges paragraph indents (RtfIndents.h) the words are mended: every RTF the program
// takes from a control and hands on (a save, Replace All, a mode switch, a copy of the
// program's control) says what the paragraphs hold.
char *StreamOutRtf(HWND control);
// Whether the control's RTF writer exchanges paragraph indents (Wine's does): found out
// once per run from a probe paragraph of known indents.
bool RtfWriterExchangesIndents();
// Gives to the default character format of from: RTF read into a control starts from it.
void CopyDefaultFormat(HWND from, HWND to);

// True while a long plain text goes into the control piece by piece: StreamInText
// (SF_TEXT) and StreamInUnicode put a text of more than TEXT_PIECE characters in that
// way and answer sent messages between the pieces, so what other threads send that
// would change the text or the document must wait or be refused meanwhile.
bool IsLoadingInPieces();
// Called before each piece of a text that goes in by pieces (while set), with the
// characters in so far and in all; false stops the text there, whole lines in, and the
// stream reports success (PiecesStoppedByProgress tells). Null: nothing is called.
extern bool (*PieceProgress)(size_t done, size_t total);
bool PiecesStoppedByProgress();
// Whether the last text that went in by pieces stopped short because the process's
// address space ran low (AddressSpace.h); the load then reports false.
bool PiecesStoppedForMemory();

// Replaces the whole text (the selection with SFF_SELECTION) with length bytes read as
// SF_TEXT or SF_RTF (EM_STREAMIN); false when the control stopped short of the end or
// reported an error. RTF that fails the screen (RtfScreen.h) is never handed to the
// control: the result is then false and nothing changes.
bool StreamInText(HWND control, const char *text, size_t length, UINT format);

// The same for RTF this program's control wrote itself (a recovery snapshot): losing
// its formatting would be worse than a slow load, so only the screen's time limit is
// waived; constructs that crash the reader are still refused (false, nothing changes).
bool StreamInOwnRtf(HWND control, const char *text, size_t length);

// Lines (plain text) or paragraphs (RTF, groups counted as RTF_GROUP_COST) longer
// than this open unwrapped: wrapping time grows with the square of a line's length.
const size_t LONGEST_WRAPPED_LINE = 10000;

// A new buffer for document text (free with delete[]), or null when memory runs out;
// never throws, so running out while saving cannot end the program.
char *NewTextBuffer(size_t size);
// The same for UTF-16 text of units characters.
char16_t *NewUnicodeBuffer(size_t units);
// Buffers larger than this many bytes fail as if memory had run out; tests lower it.
extern size_t TextBufferLimit;

// Twips for a width in thousandths of an inch, rounded as for the screen.
int ScreenTwips(int thousandths);

// The whole text as UTF-16 with CR LF line ends (or, with crlf false, each paragraph end
// as one CR, so indexes are character positions), in a new buffer (free with delete[]);
// null without a control or memory. length receives the number of units.
char16_t *GetUnicodeText(HWND control, size_t *length, bool crlf = true);
// Replaces the whole text with n UTF-16 units read as plain text (EM_STREAMIN,
// SF_UNICODE), so characters outside the code page and a leading "{\rtf" stay as they
// are; false when the control stopped short of the end or reported an error.
bool StreamInUnicode(HWND control, const char16_t *text, size_t n);
// Replaces the selection with n UTF-16 units as one undoable step (with undo false, the
// undo stack is emptied instead).
void ReplaceSelectionUnicode(HWND control, const char16_t *text, size_t n, bool undo = true);

// Appends a plain text (8-bit in the code page, or UTF-16) at the end as one undoable
// step and sets the modified flag. A text of more than one piece (TextPieces.h) goes in
// by pieces; the program's plain-text control then keeps the text before, which an Undo
// that finds nothing else to undo brings back, and elsewhere each piece is an undo step.
// 8-bit text must not begin "{\rtf": some control versions would read it as RTF.
void AppendPlainText(HWND control, const char *text, size_t length);
void AppendPlainText(HWND control, const char16_t *text, size_t length);

// Appends text the document's file gained (a log that grows): in pieces, as no undo
// step (the undo stack is emptied, so that it does not fill with them) and with the
// modified flag as it was. A caret at the end stays at the new end with the end in
// view; otherwise caret and view stay where they were.
void AppendFollowed(HWND control, const char16_t *text, size_t length);

// Replaces the whole content by text (UTF-16, length characters) as ONE undoable step,
// read as plain text whatever it holds (never as RTF); the modified flag is set. A long
// plain text in the program's control (screened by ScreenPastes) goes with its control
// and comes back from a copy when an Undo finds nothing else to undo.
// before (beforeLength units), when the caller has it, is the whole text as it stands.
void ReplaceAllTextAsOneStep(HWND control, const wchar_t *text, size_t length,
                             const char16_t *before = 0, size_t beforeLength = 0);
