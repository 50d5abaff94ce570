// Emptying the document, a long one by putting a new control in place of the old.
#include "editor/EditorControl.h"

#include <richedit.h>

#include "editor/ControlInternals.h"

void (*OnEditorReplaced)(HWND previous, HWND fresh) = 0;

HWND EditorWrapper::Empty()
{
    if (!control)
        return 0;
    DropTextBefore();
    HWND old = control;
    // A hook on the control may hold text that belongs before the emptying; any
    // message that reads the text lets it go in first.
    SendMessageA(old, EM_GETMODIFY, 0, 0);
    HWND parent = GetParent(old), fresh = 0;
    RECT place;
    GetWindowRect(old, &place);
    MapWindowPoints(0, parent, (POINT *)&place, 2);
    if (SendMessageA(old, EM_GETLINECOUNT, 0, 0) > EMPTY_BY_NEW_CONTROL)
        fresh = CreateWindowExA(GetWindowLongA(old, GWL_EXSTYLE), "RichEdit20A", "",
                                GetWindowLongA(old, GWL_STYLE), place.left, place.top,
                                place.right - place.left, place.bottom - place.top, parent,
                                (HMENU)(INT_PTR)GetDlgCtrlID(old),
                                (HINSTANCE)GetWindowLongPtrA(old, GWLP_HINSTANCE), 0);
    if (!fresh) {
        SendMessageA(old, WM_SETTEXT, 0, (LPARAM) "");
        SendMessageA(old, EM_SETMODIFY, FALSE, 0);
        return old;
    }
    // The settings the program gives its control, in the order start-up gives them.
    SendMessageA(fresh, EM_SETEVENTMASK, 0, 0);
    SendMessageA(fresh, EM_SETTEXTMODE, SendMessageA(old, EM_GETTEXTMODE, 0, 0), 0);
    SendMessageA(fresh, EM_SETOPTIONS, ECOOP_SET, SendMessageA(old, EM_GETOPTIONS, 0, 0));
    SendMessageA(fresh, EM_EXLIMITTEXT, 0, SendMessageA(old, EM_GETLIMITTEXT, 0, 0));
    COLORREF background = (COLORREF)SendMessageA(old, EM_SETBKGNDCOLOR, 0, 0xFFFFFF);
    SendMessageA(old, EM_SETBKGNDCOLOR, 0, background);
    SendMessageA(fresh, EM_SETBKGNDCOLOR, 0, background);
    CopyDefaultFormat(old, fresh);
    WPARAM numerator = 0;
    LPARAM denominator = 0;
    if (SendMessageA(old, EM_GETZOOM, (WPARAM)&numerator, (LPARAM)&denominator) && denominator)
        SendMessageA(fresh, EM_SETZOOM, numerator, denominator);
    bool focused = GetFocus() == old;
    control = fresh;
    if (PastesScreened(old))
        ScreenPastes();
    SetWrapMode(-1, 0);
    SendMessageA(fresh, EM_SETEVENTMASK, 0, SendMessageA(old, EM_GETEVENTMASK, 0, 0));
    SetWindowPos(fresh, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (focused)
        SetFocus(fresh);
    DestroyWindow(old);
    if (OnEditorReplaced)
        OnEditorReplaced(old, fresh);
    return fresh;
}
