// The Print Preview dialog (109): pages of the document, or of the selection, shown
// side by side at the margins and paper size of the run.
#pragma once
#include <windows.h>

// Runs the dialog modally over owner; returns when the user closes it.
void RunPrintPreview(HWND owner);
// The dialog procedure of template 109; always ends the dialog with 0. Escape, the
// system menu's Close and WM_CLOSE close it.
INT_PTR CALLBACK PreviewDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Deletes the preview's page bitmap (DeleteObject); a test replaces it to see that the
// bitmap is no longer selected into the page context when it goes.
extern BOOL (WINAPI *DeletePreviewObject)(HGDIOBJ);
