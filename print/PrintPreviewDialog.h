// The Print Preview dialog (109): pages of the document, or of the selection, shown
// side by side at the margins and paper size of the run.
#pragma once
#include <windows.h>

// Runs the dialog modally over owner; returns when the user closes it.
void RunPrintPreview(HWND owner);
// The dialog procedure of template 109; always ends the dialog with 0.
INT_PTR CALLBACK PreviewDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
