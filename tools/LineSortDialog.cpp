#include "tools/LineSortDialog.h"

#include <richedit.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "document/TextEncoding.h"
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
    // The lines are sorted as UTF-8, whose byte order is the characters' order, so
    // characters outside the code page survive the sort.
    size_t units = 0;
    char16_t *wideText = GetUnicodeText(editor, &units);
    if (!wideText)
        return 0;
    std::string text = EncodeUtf8(wideText, units, false);
    delete[] wideText;
    // The sort may add a line end to a last line without one: room for one more byte.
    text.push_back('\0');
    if (text[0] && !SortLines(&text[0], reverse, caseSensitive))
        return 0;
    std::u16string sorted = DecodeUtf8((const unsigned char *)text.c_str(), strlen(text.c_str()));
    // Whole characters for the control: the positions to replace are character
    // positions, and UTF-16 never reads a line that starts with "{\rtf" as RTF.
    const wchar_t *wide = (const wchar_t *)sorted.c_str();
    size_t wideLength = sorted.size();
    // One step replaces all of it, so one Undo brings the unsorted text back.
    ReplaceAllTextAsOneStep(editor, wide, wideLength);
    EditorControl.SetSelection(0, 0);
    SendMessageA(EditorControl.control, EM_SETMODIFY, TRUE, 0);  // the control may be new
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
