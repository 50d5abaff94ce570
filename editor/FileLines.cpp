#include "editor/FileLines.h"

#include <richedit.h>

#include "editor/EditorControl.h"
#include "editor/ParagraphWalk.h"

bool EditorWrapsLines()
{
    return EditorControl.control && EditorControl.GetWrapMode() != WRAP_NONE &&
           !EditorControl.IsWrapSuspended();
}

FileLinePlace FileLineOf(HWND control, int position)
{
    FileLinePlace place = {0, 0};
    if (!control || position <= 0)
        return place;
    // 8-bit text counts the CRs right in any code page: no lead or trail byte is a CR.
    char *before = NewTextBuffer((size_t)position * 2 + 1);
    if (!before)
        return place;
    TEXTRANGEA range = {{0, position}, before};
    LRESULT bytes = SendMessageA(control, EM_GETTEXTRANGE, 0, (LPARAM)&range);
    place.line = (int)CountParagraphEnds(before, bytes > 0 ? (size_t)bytes : 0);
    delete[] before;
    // The column from the line's start: the last paragraph end before the position.
    FINDTEXTEXA search = {{position, 0}, "\r", {-1, -1}};
    SendMessageA(control, EM_FINDTEXTEX, 0, (LPARAM)&search);
    int start = search.chrgText.cpMin >= 0 ? search.chrgText.cpMax : 0;
    place.column = position - start;
    return place;
}

int FileLineStart(HWND control, int line)
{
    if (!control || line < 0)
        return -1;
    size_t length = 0;
    char16_t *text = GetUnicodeText(control, &length, false);
    if (!text)
        return -1;
    long start = ParagraphStart(text, length, line);
    delete[] text;
    return (int)start;
}
