#include "tools/FindDialog.h"

#include <richedit.h>
#include <stdio.h>

#include "app/App.h"
#include "document/FileView.h"
#include "editor/EditorControl.h"
#include "res/resource.h"
#include "tools/FindEscapes.h"
#include "tools/ReplaceAll.h"

char FindText[256] = "";
char ReplaceText[256] = "";
UINT FindFlags = FR_DOWN;

int FindNext(HWND owner)
{
    HWND editor = EditorControl.control;
    if (!editor)
        return 0;
    // A view holds a window of the file: the search goes over the whole file.
    if (IsFileViewOpen())
        return FileViewFind(owner);
    CHARRANGE selection;
    SendMessageA(editor, EM_EXGETSEL, 0, (LPARAM)&selection);
    bool down = (FindFlags & FR_DOWN) != 0;
    FINDTEXTEXA search;
    // Down starts after the selection and Up before it, so a selected match is never
    // found again.
    search.chrg.cpMin = down ? selection.cpMax : selection.cpMin;
    search.chrg.cpMax = down ? -1 : 0;
    search.lpstrText = FindText;
    search.chrgText.cpMin = search.chrgText.cpMax = 0;
    LRESULT result = SendMessageA(editor, EM_FINDTEXTEX, FindFlags, (LPARAM)&search);
    if (result >= 0 && search.chrgText.cpMin >= 0) {
        EditorControl.SetSelection(search.chrgText.cpMin, search.chrgText.cpMax);
        return 1;
    }
    if (MessageBoxA(owner, "No more matches found.\n\nReset to start of file?", AppName,
                    MB_YESNO) == IDYES) {
        if (down)
            EditorControl.SetSelection(0, 0);
        else
            EditorControl.SetSelection(-1, -1);
    }
    return 0;
}

namespace {

const int TEXT_MAX = (int)sizeof FindText;

// Reads a field into its buffer (at most 255 characters), translated when the field's
// "'\' = ctrl" box is checked.
void ReadField(HWND dialog, int field, int escapeBox, char *buffer)
{
    GetDlgItemTextA(dialog, field, buffer, TEXT_MAX);
    if (field == IDC_FIND_TEXT) {
        BOOL any = buffer[0] != 0;
        EnableWindow(GetDlgItem(dialog, IDC_FIND_NEXT_BUTTON), any);
        EnableWindow(GetDlgItem(dialog, IDC_REPLACE), any);
        EnableWindow(GetDlgItem(dialog, IDC_REPLACE_ALL), any);
    }
    if (IsDlgButtonChecked(dialog, escapeBox) == BST_CHECKED)
        TranslateEscapes(buffer);
}

// Makes the dialog re-read a field, as if the field had reported a change.
void RereadField(HWND dialog, int field)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(field, EN_CHANGE),
                 (LPARAM)GetDlgItem(dialog, field));
}

void OnInitDialog(HWND dialog)
{
    // Filling the fields makes them report a change, which reads them back.
    SetDlgItemTextA(dialog, IDC_FIND_TEXT, FindText);
    SetDlgItemTextA(dialog, IDC_REPLACE_TEXT, ReplaceText);
    CheckDlgButton(dialog, IDC_WHOLE_WORD, FindFlags & FR_WHOLEWORD ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_MATCH_CASE, FindFlags & FR_MATCHCASE ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_SEARCH_DOWN, FindFlags & FR_DOWN ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_SEARCH_UP, FindFlags & FR_DOWN ? BST_UNCHECKED : BST_CHECKED);
    CheckDlgButton(dialog, IDC_FIND_ESCAPES, BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_REPLACE_ESCAPES, BST_UNCHECKED);
    ReadField(dialog, IDC_FIND_TEXT, IDC_FIND_ESCAPES, FindText);
}

void Replace(HWND dialog)
{
    HWND editor = EditorControl.control;
    CHARRANGE selection = {0, 0};
    if (editor)
        SendMessageA(editor, EM_EXGETSEL, 0, (LPARAM)&selection);
    // Whatever is selected is replaced; it is not compared with the find text.
    if (selection.cpMin < selection.cpMax)
        SendMessageA(editor, EM_REPLACESEL, TRUE, (LPARAM)ReplaceText);
    SendMessageA(dialog, WM_COMMAND, IDC_FIND_NEXT_BUTTON, 0);
}

void ReplaceAll(HWND dialog)
{
    int count = ReplaceAllMatches(EditorControl.control, FindText, ReplaceText, FindFlags);
    char message[64];
    snprintf(message, sizeof message, "%d item%s replaced.", count, count == 1 ? "" : "s");
    MessageBoxA(dialog, message, AppName, MB_OK);
}

void OnCommand(HWND dialog, int id, int code)
{
    switch (id) {
    case IDC_FIND_TEXT:       ReadField(dialog, id, IDC_FIND_ESCAPES, FindText); break;
    case IDC_REPLACE_TEXT:    ReadField(dialog, id, IDC_REPLACE_ESCAPES, ReplaceText); break;
    case IDC_FIND_ESCAPES:    RereadField(dialog, IDC_FIND_TEXT); break;
    case IDC_REPLACE_ESCAPES: RereadField(dialog, IDC_REPLACE_TEXT); break;
    }
    if (code != BN_CLICKED)
        return;
    switch (id) {
    case IDC_WHOLE_WORD:       FindFlags ^= FR_WHOLEWORD; break;
    case IDC_MATCH_CASE:       FindFlags ^= FR_MATCHCASE; break;
    case IDC_SEARCH_UP:        FindFlags &= ~FR_DOWN; break;
    case IDC_SEARCH_DOWN:      FindFlags |= FR_DOWN; break;
    case IDC_FIND_NEXT_BUTTON: FindNext(dialog); break;
    case IDC_REPLACE:          if (!IsFileViewOpen()) Replace(dialog); break;
    case IDC_REPLACE_ALL:      if (!IsFileViewOpen()) ReplaceAll(dialog); break;
    case IDCANCEL:             PostMessageA(dialog, WM_CLOSE, 0, 0); break;
    }
}

INT_PTR CALLBACK FindDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(dialog);
        return TRUE;
    case WM_DESTROY:
        // The slot is shared with the spell checker: empty it only if it is ours.
        if (ModelessDialog == dialog)
            ModelessDialog = 0;
        return FALSE;
    }
    return FALSE;
}

}  // namespace

void OpenFindDialog(HWND mainWindow)
{
    if (ModelessDialog) {
        SetForegroundWindow(ModelessDialog);
        return;
    }
    ModelessDialog = CreateDialogParamA(GetModuleHandleA(0), MAKEINTRESOURCEA(IDD_FIND),
                                        mainWindow, FindDialogProc, 0);
}

LRESULT FindNextCommand(HWND mainWindow)
{
    if (!FindText[0])
        return SendMessageA(mainWindow, WM_COMMAND, IDC_FIND, 0);
    FindNext(mainWindow);
    return 0;
}
