// The control's own procedure behind a guard: screened pastes, mended copies, load-time refusals.
#include "editor/EditorControl.h"

#include <richedit.h>
#include <string.h>
#include <string>

#include "document/LineEnds.h"
#include "editor/ControlInternals.h"
#include "editor/RtfScreen.h"

// The control's own window procedure, behind PasteGuard.
static WNDPROC ControlProcedure = 0;

// What another thread may not send the control while a text goes in by pieces.
static bool ChangesControl(UINT message)
{
    switch (message) {
    case WM_SETTEXT: case EM_REPLACESEL: case EM_STREAMIN: case EM_SETTEXTEX:
    case WM_CHAR: case WM_KEYDOWN: case WM_CUT: case WM_PASTE: case WM_CLEAR:
    case WM_UNDO: case EM_UNDO: case EM_REDO: case EM_SETSEL: case EM_EXSETSEL:
    case EM_SETTEXTMODE: case EM_SETCHARFORMAT: case EM_SETPARAFORMAT: case WM_SETFONT:
    case EM_LIMITTEXT: case EM_EXLIMITTEXT: case EM_SETTARGETDEVICE: case WM_SETREDRAW:
        return true;
    }
    return false;
}

// Copies the selection of a rich text to the clipboard with the RTF mended, where the
// control's writer exchanges indents (its own copy would hand them on exchanged); false,
// with nothing done, elsewhere and for an empty selection.
static bool CopyMendedSelection(HWND control)
{
    if ((CallWindowProcA(ControlProcedure, control, EM_GETTEXTMODE, 0, 0) & 3) != TM_RICHTEXT)
        return false;
    CHARRANGE selection;
    CallWindowProcA(ControlProcedure, control, EM_EXGETSEL, 0, (LPARAM)&selection);
    if (selection.cpMin == selection.cpMax || !RtfWriterExchangesIndents())
        return false;
    char *rtf = MendIndents(StreamOutAsWritten(control, SF_RTF | SFF_SELECTION));
    // Each paragraph end may become CR LF.
    size_t units = 2 * (size_t)(selection.cpMax - selection.cpMin) + 2;
    HGLOBAL text = rtf ? GlobalAlloc(GMEM_MOVEABLE, units * sizeof(char16_t)) : 0;
    HGLOBAL rich = text ? GlobalAlloc(GMEM_MOVEABLE, strlen(rtf) + 1) : 0;
    bool copied = false;
    if (rich) {
        GETTEXTEX request;
        memset(&request, 0, sizeof request);
        request.cb = (DWORD)(units * sizeof(char16_t));
        request.flags = GT_SELECTION | GT_USECRLF;
        request.codepage = 1200;
        char16_t *unicode = (char16_t *)GlobalLock(text);
        unicode[0] = 0;
        CallWindowProcA(ControlProcedure, control, EM_GETTEXTEX, (WPARAM)&request, (LPARAM)unicode);
        unicode[units - 1] = 0;
        GlobalUnlock(text);
        memcpy(GlobalLock(rich), rtf, strlen(rtf) + 1);
        GlobalUnlock(rich);
        if (OpenClipboard(control)) {
            EmptyClipboard();
            // The clipboard owns what it took.
            if (SetClipboardData(CF_UNICODETEXT, text))
                text = 0;
            if (SetClipboardData(RegisterClipboardFormatA(CF_RTF), rich))
                rich = 0;
            copied = !text && !rich;
            CloseClipboard();
        }
    }
    if (text)
        GlobalFree(text);
    if (rich)
        GlobalFree(rich);
    delete[] rtf;
    return copied;
}

// Copy and Cut of the program's control, by message or by key.
static bool CopyOrCut(HWND window, UINT message, WPARAM wParam, bool control, bool shift)
{
    bool copyKey = message == WM_KEYDOWN && control && !shift && (wParam == 'C' || wParam == VK_INSERT);
    bool cutKey = message == WM_KEYDOWN && ((wParam == 'X' && control && !shift) ||
                                            (wParam == VK_DELETE && shift && !control));
    bool cut = message == WM_CUT || cutKey;
    if (!(message == WM_COPY || copyKey || cut) || !CopyMendedSelection(window))
        return false;
    if (cut && !(GetWindowLongA(window, GWL_STYLE) & ES_READONLY))
        CallWindowProcA(ControlProcedure, window, EM_REPLACESEL, TRUE, (LPARAM) "");
    return true;
}

// The control reads RTF on the clipboard with the same reader as files: its pastes go
// through the screen first. Its copies of rich text carry RTF mended as all RTF the
// program hands on.
static LRESULT CALLBACK PasteGuard(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsLoadingInPieces() && InSendMessage() && ChangesControl(message))
        return 0;
    bool control = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
    bool pasteKey = message == WM_KEYDOWN && ((wParam == 'V' && control && !shift) ||
                                              (wParam == VK_INSERT && shift && !control));
    if (message == WM_PASTE || pasteKey) {
        EditorControl.Paste();
        return 0;
    }
    if (CopyOrCut(window, message, wParam, control, shift))
        return 0;
    if (HoldsTextBefore() && window == EditorControl.control) {
        bool undoKey = message == WM_KEYDOWN && wParam == 'Z' && control && !shift;
        if (message == EM_CANUNDO)
            return 1;
        if ((message == EM_UNDO || message == WM_UNDO || undoKey) &&
            !CallWindowProcA(ControlProcedure, window, EM_CANUNDO, 0, 0)) {
            RestoreTextBefore();  // window is gone now
            return 1;
        }
    }
    return CallWindowProcA(ControlProcedure, window, message, wParam, lParam);
}

bool PastesScreened(HWND control)
{
    return (WNDPROC)GetWindowLongPtrA(control, GWLP_WNDPROC) == PasteGuard;
}

void EditorWrapper::ScreenPastes()
{
    if (!control || PastesScreened(control))
        return;
    // Every RichEdit20A window has the same class procedure.
    ControlProcedure =
        (WNDPROC)SetWindowLongPtrA(control, GWLP_WNDPROC, (LONG_PTR)PasteGuard);
}

// Whether the clipboard holds RTF that the screen refuses.
static bool ClipboardRtfRefused(HWND owner)
{
    UINT format = RegisterClipboardFormatA(CF_RTF);
    if (!IsClipboardFormatAvailable(format) || !OpenClipboard(owner))
        return false;
    bool refused = false;
    HANDLE data = GetClipboardData(format);
    const char *text = data ? (const char *)GlobalLock(data) : 0;
    if (text) {
        SIZE_T size = GlobalSize(data);
        size_t length = 0;
        while (length < size && text[length])
            ++length;
        refused = ScreenRtf(text, length) != RTF_READABLE;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return refused;
}

// The clipboard's text as UTF-16 (without its terminator); false when it has none.
static bool ClipboardUnicodeText(HWND owner, std::u16string *text)
{
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(owner))
        return false;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const char16_t *units = data ? (const char16_t *)GlobalLock(data) : 0;
    if (units) {
        size_t size = GlobalSize(data) / sizeof(char16_t), length = 0;
        while (length < size && units[length])
            ++length;
        text->assign(units, length);
        GlobalUnlock(data);
    }
    CloseClipboard();
    return units != 0;
}

void EditorWrapper::Paste()
{
    // A read-only control (a view of a file) takes nothing, as it refuses typing.
    if (!control || (GetWindowLongA(control, GWL_STYLE) & ES_READONLY))
        return;
    // Wine's control pastes into plain text by replacing the whole text with the
    // clipboard's; the text goes in at the selection here instead, with one kind of
    // line end (as a file's does: CR CR LF would become a space).
    std::u16string text;
    if (GetTextMode() == TEXT_PLAIN && ClipboardUnicodeText(control, &text)) {
        text.resize(WriteLineEnds(&text[0], text.size(), LINE_ENDS_LF, &text[0]));
        ReplaceSelectionUnicode(control, text.data(), text.size());
        SendMessageA(control, EM_SCROLLCARET, 0, 0);
        return;
    }
    WNDPROC procedure = ControlProcedure;
    if (!procedure)
        procedure = (WNDPROC)GetWindowLongPtrA(control, GWLP_WNDPROC);
    if (ClipboardRtfRefused(control))
        CallWindowProcA(procedure, control, EM_PASTESPECIAL, CF_UNICODETEXT, 0);
    else
        CallWindowProcA(procedure, control, WM_PASTE, 0, 0);
}
