#include "app/OutputWindow.h"

#include <richedit.h>
#include <string.h>
#include <string>

#include "app/App.h"
#include "app/MainWindow.h"
#include "editor/EditorControl.h"

// The limit grows in steps of this many characters.
static const int LIMIT_STEP = 32768;

size_t TraceTextLength(const COPYDATASTRUCT *data)
{
    if (!data->cbData || !data->lpData)
        return 0;
    const char *text = (const char *)data->lpData;
    const char *end = (const char *)memchr(text, 0, data->cbData);
    return end ? (size_t)(end - text) : data->cbData;
}

// Raises the limit until the text fits with a few characters to spare.
static void MakeRoomFor(HWND editor, size_t length)
{
    // The limit has no getter in the wrapper; reading it changes nothing.
    // Signed: the length counts line ends as CR LF and may pass the limit.
    long long limit = (long long)SendMessageA(editor, EM_GETLIMITTEXT, 0, 0);
    long long used = GetWindowTextLengthA(editor);
    long long needed = (long long)length + 4;
    if (limit - used >= needed)
        return;
    long long wanted = limit;
    while (wanted - used < needed)
        wanted += LIMIT_STEP;
    EditorControl.SetTextLimit(wanted > 0x7FFFFFFF ? 0x7FFFFFFF : (int)wanted);
}

// The title is the text up to its last line feed, or all of it without one.
static void ShowInTitle(HWND window, const char *text, size_t length)
{
    const char *lastFeed = 0;
    for (size_t k = 0; k < length; ++k)
        if (text[k] == '\n')
            lastFeed = text + k;
    std::string title(text, lastFeed ? (size_t)(lastFeed - text) : length);
    SetWindowTextA(window, title.c_str());
}

// Types the bytes at the caret as the keyboard would: Enter for a line feed.
static void TypeText(HWND editor, const char *text, size_t length)
{
    for (size_t k = 0; k < length; ++k) {
        unsigned char byte = (unsigned char)text[k];
        if (byte == '\n') {
            SendMessageA(editor, WM_KEYDOWN, VK_RETURN, 1);
            SendMessageA(editor, WM_KEYUP, VK_RETURN, 0xC0000001);
        } else {
            SendMessageA(editor, WM_CHAR, byte, 1);
        }
    }
}

// Types the text with the per-character follow-up held back: each typed character would
// repaint the control, move the caret and report a selection change (which rebuilds the
// status bar and toolbar). Those happen once, after the line.
static void TypeQuietly(HWND editor, const char *text, size_t length)
{
    LRESULT events = SendMessageA(editor, EM_GETEVENTMASK, 0, 0);
    SendMessageA(editor, EM_SETEVENTMASK, 0, events & ~ENM_SELCHANGE);
    bool visible = (GetWindowLongA(editor, GWL_STYLE) & WS_VISIBLE) != 0;
    if (visible)
        SendMessageA(editor, WM_SETREDRAW, FALSE, 0);
    bool caretHidden = HideCaret(editor) != 0;

    TypeText(editor, text, length);

    if (caretHidden)
        ShowCaret(editor);
    if (visible) {
        SendMessageA(editor, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(editor, 0, TRUE);
    }
    SendMessageA(editor, EM_SETEVENTMASK, 0, events);
    SendMessageA(editor, EM_SCROLLCARET, 0, 0);
    // What the held-back selection change would have done.
    FollowSelection();
    SendMessageA(editor, EM_STOPGROUPTYPING, 0, 0);
}

LRESULT ReceiveTraceLine(HWND window, const COPYDATASTRUCT *data)
{
    if (!data || (data->cbData && !data->lpData))
        return 0;
    HWND editor = EditorControl.control;
    size_t length = TraceTextLength(data);
    if (!length && !editor)
        return 0;
    const char *text = (const char *)data->lpData;
    if (editor)
        MakeRoomFor(editor, length);
    if (ModeFlags & MODE_TITLE_OUTPUT)
        ShowInTitle(window, length ? text : "", length);
    if ((ModeFlags & MODE_OUTPUT) && length && editor)
        TypeQuietly(editor, text, length);
    return 1;
}
