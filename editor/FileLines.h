// Line numbers as the user means them: a line of the file, which is a paragraph of the
// control. With wrapping on, the control's own lines are display lines, so a line
// number from a compiler message or a log would land in the wrong place.
#pragma once
#include <windows.h>

struct FileLinePlace {
    int line;    // from 0
    int column;  // from 0, counted from the start of the file's line
};

// Whether the editor shows display lines that differ from the file's: wrapping is on
// (and not held off for long lines).
bool EditorWrapsLines();
// The file's line and column of a character position.
FileLinePlace FileLineOf(HWND control, int position);
// The same, counting only the text between the position and one known to come after
// knownLine paragraph ends (the text before it as it was when they were counted).
FileLinePlace FileLineAfter(HWND control, int position, int known, int knownLine);
// The character position where the file's line (from 0) starts, -1 past the last.
int FileLineStart(HWND control, int line);
