// The current document: its path, the window title and the save-changes question.
#pragma once
#include <windows.h>

// Path of the current document; empty when untitled.
extern char CurrentDocumentPath[260];

// Records the path (or none), shows it in the title.
void SetCurrentDocument(HWND window, const char *path);
// Asks "Save Changes?" for a modified document; 1 when it may be discarded.
int ConfirmDiscard(HWND owner);
// The same question when the session is about to end, which may yet be cancelled: No
// leaves the document, modified flag included, as it is. 1 when the session may end.
int ConfirmSessionEnd(HWND owner);
// Empties the editor after the question; 1 when emptied, 0 when cancelled.
int NewDocument(HWND owner);
