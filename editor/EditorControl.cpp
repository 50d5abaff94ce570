// The wrapper's own operations (mode, text, selection, wrap, view place) and text buffers.
#include "editor/EditorControl.h"

#include <richedit.h>
#include <stdint.h>
#include <string.h>
#include <new>

#include "editor/ControlInternals.h"
#include "editor/RtfScreen.h"

EditorWrapper EditorControl = {0, 0};

size_t TextBufferLimit = SIZE_MAX;

char *NewTextBuffer(size_t size)
{
    if (size > TextBufferLimit)
        return 0;
    return new (std::nothrow) char[size];
}

char16_t *NewUnicodeBuffer(size_t units)
{
    if (units > TextBufferLimit / sizeof(char16_t))
        return 0;
    return new (std::nothrow) char16_t[units];
}

// True while SuspendWrap holds the text unwrapped.
static bool WrapSuspended = false;

int ScreenTwips(int thousandths)
{
    return (int)(thousandths * 1440.0 / 1000.0 + 0.5);
}

int EditorWrapper::GetTextMode()
{
    static const int modes[4] = {0, TEXT_PLAIN, TEXT_RICH, 0};
    if (!control)
        return 0;
    // Wine answers 41/42: the flag bits above the mode must be masked off.
    return modes[SendMessageA(control, EM_GETTEXTMODE, 0, 0) & 3];
}

char *EditorWrapper::GetText(int format, int lineEnd)
{
    if (!control)
        return 0;
    if (format < 0)
        format = GetTextMode();

    if (format == TEXT_PLAIN) {
        int length = GetWindowTextLengthA(control);
        char *text = NewTextBuffer((size_t)length + 2);
        if (!text)
            return 0;
        text[0] = 0;
        if (lineEnd == 13 || lineEnd == 10) {
            // Character positions count a paragraph end as one CR.
            TEXTRANGEA range;
            range.chrg.cpMin = 0;
            range.chrg.cpMax = length + 2;
            range.lpstrText = text;
            int copied = (int)SendMessageA(control, EM_GETTEXTRANGE, 0, (LPARAM)&range);
            if (copied < 0)
                copied = 0;
            if (copied > length)
                copied = length;
            text[copied] = 0;
            if (lineEnd == 10)
                for (char *p = text; *p; ++p)
                    if (*p == '\r')
                        *p = '\n';
        } else {
            GetWindowTextA(control, text, length + 2);
            text[length + 1] = 0;
        }
        return text;
    }

    return StreamOutRtf(control);
}

int EditorWrapper::SetTextMode(int mode)
{
    if (!control || (mode != TEXT_PLAIN && mode != TEXT_RICH))
        return 0;
    int length = GetWindowTextLengthA(control);
    int from = GetTextMode();
    // The text travels as UTF-16, so characters outside the code page survive (Wine's
    // RTF writer would replace them); a switch keeps no formatting either way.
    // Rich to rich keeps the formatting through RTF, unless the RTF screen refuses it:
    // then the text alone comes across, no character lost.
    size_t units = 0;
    bool keepRtf = from == TEXT_RICH && mode == TEXT_RICH;
    char *content = keepRtf ? GetText(TEXT_RICH, LINE_END_CRLF) : 0;
    if (content && ScreenRtf(content, strlen(content)) != RTF_READABLE) {
        delete[] content;
        content = 0;
    }
    char16_t *plain = content ? 0 : GetUnicodeText(control, &units);
    // Without a copy of the text the switch would empty the document.
    if (length && !plain && !content)
        return 0;
    CHARRANGE selection;
    SendMessageA(control, EM_EXGETSEL, 0, (LPARAM)&selection);
    // Setting the text clears the modified flag; a switch must not make unsaved
    // changes look saved.
    LRESULT modified = SendMessageA(control, EM_GETMODIFY, 0, 0);
    // The control only switches while it is empty and its undo stack is clear;
    // emptying the text clears both.
    Empty();
    SendMessageA(control, EM_SETTEXTMODE, mode == TEXT_PLAIN ? TM_PLAINTEXT : TM_RICHTEXT, 0);
    if (length && plain)
        StreamInUnicode(control, plain, units);
    else if (length && content)
        SendMessageA(control, WM_SETTEXT, 0, (LPARAM)content);
    SendMessageA(control, EM_SETMODIFY, modified ? TRUE : FALSE, 0);
    SendMessageA(control, EM_EXSETSEL, 0, (LPARAM)&selection);
    delete[] plain;
    delete[] content;
    return 1;
}

int EditorWrapper::SetSelection(int start, int end)
{
    if (!control)
        return 0;
    CHARRANGE range = {start, end};
    SendMessageA(control, EM_EXSETSEL, 0, (LPARAM)&range);
    SendMessageA(control, EM_EXGETSEL, 0, (LPARAM)&range);
    return range.cpMax - range.cpMin;
}

int EditorWrapper::GetWrapMode()
{
    if (!control)
        return 0;
    if (lineWidth == 0)
        return WRAP_WINDOW;
    if (lineWidth == 1)
        return WRAP_NONE;
    return WRAP_PAGE;
}

void EditorWrapper::SetWrapMode(int mode, int width, HDC device)
{
    if (!control)
        return;
    if (device) {
        if (mode == WRAP_PAGE && width > 0)
            SendMessageA(control, EM_SETTARGETDEVICE, (WPARAM)device, width * 1440 / 1000);
        return;
    }
    if (mode < 0 && WrapSuspended) {
        // Putting the screen formatting back (after print preview) keeps it unwrapped; a
        // new page width (Page Setup) is kept for when wrapping comes back.
        if (width > 0 && lineWidth != 0 && lineWidth != 1)
            lineWidth = ScreenTwips(width);
        SendMessageA(control, EM_SETTARGETDEVICE, 0, 1);
        return;
    }
    WrapSuspended = false;
    if (mode < 0) {
        if (lineWidth == 0)
            mode = WRAP_WINDOW;
        else if (lineWidth == 1)
            mode = WRAP_NONE;
        else {
            mode = WRAP_PAGE;
            if (width <= 0)
                width = (int)(lineWidth * 1000.0 / 1440.0 + 0.5);
        }
    }
    switch (mode) {
    case WRAP_NONE:
        lineWidth = 1;
        SendMessageA(control, EM_SETTARGETDEVICE, 0, 1);
        break;
    case WRAP_WINDOW:
        lineWidth = 0;
        SendMessageA(control, EM_SETTARGETDEVICE, 0, 0);
        break;
    case WRAP_PAGE: {
        if (width <= 0)
            return;
        HDC screen = GetDC(control);
        lineWidth = ScreenTwips(width);
        SendMessageA(control, EM_SETTARGETDEVICE, (WPARAM)screen, lineWidth);
        ReleaseDC(control, screen);
        break;
    }
    default:
        // A stored setting may hold any number: wrap at that width.
        lineWidth = ScreenTwips(width);
        SendMessageA(control, EM_SETTARGETDEVICE, 0, lineWidth);
        break;
    }
}

void EditorWrapper::SuspendWrap()
{
    if (!control)
        return;
    WrapSuspended = true;
    SendMessageA(control, EM_SETTARGETDEVICE, 0, 1);
}

void EditorWrapper::ResumeWrap()
{
    if (!control || !WrapSuspended)
        return;
    WrapSuspended = false;
    SetWrapMode(-1, 0);
}

bool EditorWrapper::IsWrapSuspended()
{
    return control && WrapSuspended;
}

const char *EditorWrapper::GetEditState()
{
    static char letters[8];
    letters[0] = 0;
    if (!control)
        return letters;
    char *p = letters;
    CHARRANGE selection;
    SendMessageA(control, EM_EXGETSEL, 0, (LPARAM)&selection);
    if (selection.cpMin != selection.cpMax)
        *p++ = 'c';
    if (SendMessageA(control, EM_CANPASTE, 0, 0))
        *p++ = 'p';
    if (SendMessageA(control, EM_CANUNDO, 0, 0))
        *p++ = 'u';
    if (SendMessageA(control, EM_CANREDO, 0, 0))
        *p++ = 'r';
    *p = 0;
    return letters;
}

int EditorWrapper::SetTextLimit(int limit)
{
    if (!control)
        return 0;
    SendMessageA(control, EM_EXLIMITTEXT, 0, limit);
    return (int)SendMessageA(control, EM_GETLIMITTEXT, 0, 0);
}

LONG TextEnd(HWND control)
{
    GETTEXTLENGTHEX count = {GTL_NUMCHARS, 1200};
    return (LONG)SendMessageA(control, EM_GETTEXTLENGTHEX, (WPARAM)&count, 0);
}

ViewPlace ReadViewPlace(HWND control)
{
    CHARRANGE range = {0, 0};
    SendMessageA(control, EM_EXGETSEL, 0, (LPARAM)&range);
    ViewPlace place = {range.cpMin, range.cpMax,
                       (int)SendMessageA(control, EM_GETFIRSTVISIBLELINE, 0, 0)};
    return place;
}

void PutViewPlace(HWND control, const ViewPlace &place)
{
    LONG end = TextEnd(control);
    CHARRANGE range = {place.selectionStart < end ? place.selectionStart : end,
                       place.selectionEnd < end ? place.selectionEnd : end};
    SendMessageA(control, EM_EXSETSEL, 0, (LPARAM)&range);
    int now = (int)SendMessageA(control, EM_GETFIRSTVISIBLELINE, 0, 0);
    SendMessageA(control, EM_LINESCROLL, 0, place.firstVisibleLine - now);
}

ViewPlace EditorWrapper::GetViewPlace()
{
    ViewPlace place = {0, 0, 0};
    return control ? ReadViewPlace(control) : place;
}

void EditorWrapper::SetViewPlace(const ViewPlace &place)
{
    if (control)
        PutViewPlace(control, place);
}
