// The "Line Sort" dialog (113) and command 40045.
#pragma once
#include <windows.h>

// Command 40045: asks for the order, then sorts every line of the document as one
// undoable change.
void SortLinesCommand(HWND mainWindow);
// Sorts the editor's lines with the given options (non-zero: set); what the command
// does after the dialog. Returns 1 when the document was replaced.
int SortEditorLines(int reverse, int caseSensitive);
