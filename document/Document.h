// The current document: its path, the window title and the save-changes question.
#pragma once
#include <windows.h>

// Path of the current document; empty when untitled.
extern char CurrentDocumentPath[260];

// Records the path (or none), shows it in the title.
void SetCurrentDocument(HWND window, const char *path);
// Asks "Save Changes?" for a modified document; 1 when it may be discarded.
int ConfirmDiscard(HWND owner);
// Empties the editor after the question; 1 when emptied, 0 when cancelled.
int NewDocument(HWND owner);
