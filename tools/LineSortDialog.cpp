#include "tools/LineSortDialog.h"

#include <richedit.h>
#include <stdlib.h>
#include <string.h>

#include "editor/EditorControl.h"
#include "res/resource.h"
#include "tools/DialogState.h"
#include "tools/DialogStateText.h"
#include "tools/LineSortLogic.h"

int SortEditorLines(int reverse, int caseSensitive)
{
    HWND editor = EditorControl.control;
    if (!editor)
        return 0;
    char *text = EditorControl.GetText(TEXT_PLAIN, LINE_END_CRLF);
    if (!text)
        return 0;
    size_t length = strlen(text);
    if (length && !SortLines(text, reverse, caseSensitive)) {
        delete[] text;
        return 0;
    }
    length = strlen(text);
    // Whole characters for the control: the positions to replace are character
    // positions, and UTF-16 never reads a line that starts with "{\rtf" as RTF.
    int wideLength = length ? MultiByteToWideChar(CP_ACP, 0, text, (int)length, 0, 0) : 0;
    wchar_t *wide = new wchar_t[wideLength + 1];
    if (wideLength)
        MultiByteToWideChar(CP_ACP, 0, text, (int)length, wide, wideLength);
    delete[] text;
    // One step replaces all of it, so one Undo brings the unsorted text back.
    ReplaceAllTextAsOneStep(editor, wide, (size_t)wideLength);
    delete[] wide;
    EditorControl.SetSelection(0, 0);
    SendMessageA(editor, EM_SETMODIFY, TRUE, 0);
    return 1;
}

void SortLinesCommand(HWND mainWindow)
{
    char *state = (char *)DialogBoxParamA(GetModuleHandleA(0), MAKEINTRESOURCEA(IDD_LINE_SORT),
                                          mainWindow, StateDialogProc, 0);
    if (!state || state == (char *)-1)
        return;
    // The first line is the command that ended the dialog.
    if (strtol(state, 0, 10) != 0) {
        // -1 (not recorded) counts as set, as for any reader that tests for non-zero.
        int reverse = GetStateValue(state, IDC_SORT_REVERSE);
        int caseSensitive = GetStateValue(state, IDC_SORT_CASE);
        SortEditorLines(reverse != 0, caseSensitive != 0);
    }
    delete[] state;
}
