#include "tools/GotoDialog.h"

#include <limits.h>
#include <richedit.h>

#include "editor/EditorControl.h"
#include "res/resource.h"

int GotoTarget = 1;

namespace {

INT_PTR OnInitDialog(HWND dialog)
{
    CheckDlgButton(dialog, IDC_GOTO_LINE, GotoTarget >= 0 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_GOTO_CHAR, GotoTarget < 0 ? BST_CHECKED : BST_UNCHECKED);
    // INT_MIN has no positive counterpart; it cannot be entered (see OnOk).
    unsigned shown = GotoTarget < 0 ? 0u - (unsigned)GotoTarget : (unsigned)GotoTarget;
    SetDlgItemInt(dialog, IDC_GOTO_NUMBER, shown, FALSE);
    SetFocus(GetDlgItem(dialog, IDC_GOTO_NUMBER));
    return FALSE;
}

void OnOk(HWND dialog)
{
    BOOL read = FALSE;
    UINT number = GetDlgItemInt(dialog, IDC_GOTO_NUMBER, &read, FALSE);
    if (!read)
        number = 0;
    // Numbers past the signed range go as far as there is: the last line, the end.
    int value = number > (UINT)INT_MAX ? INT_MAX : (int)number;
    GotoTarget = IsDlgButtonChecked(dialog, IDC_GOTO_LINE) == BST_CHECKED ? value : -value;
    EndDialog(dialog, GotoTarget);
}

INT_PTR CALLBACK GotoDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            OnOk(dialog);
        else if (LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, 0);
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

void GotoCommand(HWND mainWindow)
{
    HWND editor = EditorControl.control;
    if (!editor)
        return;
    INT_PTR result = DialogBoxParamA(GetModuleHandleA(0), MAKEINTRESOURCEA(IDD_GOTO), mainWindow,
                                     GotoDialogProc, 0);
    // -1 is also how DialogBoxParam fails; only a real "Goto Char:" 1 answers it.
    if (result == 0 || (result == -1 && GotoTarget != -1))
        return;
    LPARAM position;
    if (result > 0)
        position = SendMessageA(editor, EM_LINEINDEX, (WPARAM)(result - 1), 0);
    else
        position = (LPARAM)(-result);
    SendMessageA(editor, EM_SETSEL, (WPARAM)position, position);
}
