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
    return FileLineAfter(control, position, 0, 0);
}

FileLinePlace FileLineAfter(HWND control, int position, int known, int knownLine)
{
    FileLinePlace place = {knownLine, 0};
    if (!control || position <= 0)
        return {0, 0};
    if (position != known) {
        // 8-bit text counts the CRs right in any code page: no lead or trail byte is a CR.
        int from = position < known ? position : known, to = position < known ? known : position;
        char *between = NewTextBuffer((size_t)(to - from) * 2 + 1);
        if (!between)
            return place;
        TEXTRANGEA range = {{from, to}, between};
        LRESULT bytes = SendMessageA(control, EM_GETTEXTRANGE, 0, (LPARAM)&range);
        int ends = (int)CountParagraphEnds(between, bytes > 0 ? (size_t)bytes : 0);
        place.line += position < known ? -ends : ends;
        delete[] between;
    }
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
