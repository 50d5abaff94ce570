#include "tools/GotoDialog.h"

#include <limits.h>
#include <richedit.h>

#include "document/FileView.h"
#include "editor/EditorControl.h"
#include "editor/FileLines.h"
#include "res/resource.h"

int GotoTarget = 1;

namespace {

// The number takes the focus selected whole, so what is typed replaces it.
void FocusNumber(HWND dialog)
{
    HWND number = GetDlgItem(dialog, IDC_GOTO_NUMBER);
    SetFocus(number);
    SendMessageA(number, EM_SETSEL, 0, -1);
}

INT_PTR OnInitDialog(HWND dialog)
{
    CheckDlgButton(dialog, IDC_GOTO_LINE, GotoTarget >= 0 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_GOTO_CHAR, GotoTarget < 0 ? BST_CHECKED : BST_UNCHECKED);
    // INT_MIN has no positive counterpart; it cannot be entered (see OnOk).
    unsigned shown = GotoTarget < 0 ? 0u - (unsigned)GotoTarget : (unsigned)GotoTarget;
    SetDlgItemInt(dialog, IDC_GOTO_NUMBER, shown, FALSE);
    FocusNumber(dialog);
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
        switch (LOWORD(wParam)) {
        case IDOK:     OnOk(dialog); break;
        case IDCANCEL: EndDialog(dialog, 0); break;
        // Choosing what the number means (by its mnemonic too) leads on to the number.
        case IDC_GOTO_LINE:
        case IDC_GOTO_CHAR:
            if (HIWORD(wParam) == BN_CLICKED)
                FocusNumber(dialog);
            break;
        }
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
    if (IsFileViewOpen()) {
        if (result > 0)
            FileViewGotoLine((FileOffset)(result - 1));
        else
            FileViewGotoOffset((FileOffset)(-result));
        return;
    }
    LPARAM position;
    if (result > 0 && EditorWrapsLines())
        position = FileLineStart(editor, (int)(result - 1));  // the file's line, not the display's
    else if (result > 0)
        position = SendMessageA(editor, EM_LINEINDEX, (WPARAM)(result - 1), 0);
    else
        position = (LPARAM)(-result);
    SendMessageA(editor, EM_SETSEL, (WPARAM)position, position);
}
