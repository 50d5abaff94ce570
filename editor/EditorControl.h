// The one wrapper around the RichEdit window: all text, selection, mode, wrap and
// format access to the document goes through EditorControl.
#pragma once
#include <windows.h>

enum TextModeValue { TEXT_PLAIN = 'p', TEXT_RICH = 'r' };
enum WrapModeValue { WRAP_NONE = 0, WRAP_WINDOW = 'w', WRAP_PAGE = 'p' };

// Line-end style that every caller of GetText passes: the two characters CR LF.
const int LINE_END_CRLF = 0x0A0D;

struct EditorWrapper {
    int lineWidth;   // last screen line width: 0 window, 1 none, else twips
    HWND control;    // the RichEdit window; null until start-up creates it

    // 'p', 'r', or 0 when the control reports neither (or there is no control).
    int GetTextMode();
    // Carries the content across a mode switch; 1 when done, 0 for a bad mode.
    int SetTextMode(int mode);
    // New NUL-terminated buffer (free with delete[]): format 'p', 'r' or negative
    // for the current mode; lineEnd 13 (CR), 10 (LF) or anything else for CR LF.
    char *GetText(int format, int lineEnd);
    // Selects [start, end); returns the length of the selection the control reports.
    int SetSelection(int start, int end);
    // WrapMode derived from lineWidth.
    int GetWrapMode();
    // width in thousandths of an inch; a device context formats for that printer.
    void SetWrapMode(int mode, int width, HDC device = 0);
    // Letters c (selection), p (can paste), u (can undo), r (can redo); static buffer.
    const char *GetEditState();
    // Raises the limit; returns the limit the control then reports.
    int SetTextLimit(int limit);

    // Format descriptor of the selection (static buffer), or null without a control.
    const char *GetFormatDescriptor();
    // Applies the items present in text to the selection; 1 when applied.
    int ApplyFormatDescriptor(const char *text);
};

extern EditorWrapper EditorControl;

// Replaces the whole text with length bytes read as SF_TEXT or SF_RTF (EM_STREAMIN).
void StreamInText(HWND control, const char *text, size_t length, UINT format);

// Twips for a width in thousandths of an inch, rounded as for the screen.
int ScreenTwips(int thousandths);

// The whole text as UTF-16 with CR LF line ends, in a new buffer (free with delete[]);
// null without a control or memory. length receives the number of units.
char16_t *GetUnicodeText(HWND control, size_t *length);
// Replaces the whole text with n UTF-16 units read as plain text (EM_STREAMIN,
// SF_UNICODE), so characters outside the code page and a leading "{\rtf" stay as they are.
void StreamInUnicode(HWND control, const char16_t *text, size_t n);
// Replaces the selection with n UTF-16 units as one undoable step.
void ReplaceSelectionUnicode(HWND control, const char16_t *text, size_t n);

// The whole text as UTF-16 with paragraph ends as CR, so positions in it are the
// control's character positions; *length gets its length. New buffer (delete[]), or
// null without a control.
wchar_t *GetCharacterText(HWND control, int *length);
// Replaces the whole content by text (UTF-16, length characters) as ONE undoable step,
// read as plain text whatever it holds (never as RTF); the modified flag is set.
void ReplaceAllTextAsOneStep(HWND control, const wchar_t *text, size_t length);
