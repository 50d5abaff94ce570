// The Text Format dialog (template 108): character and paragraph format of the
// selection in one modal dialog.
#pragma once
#include <windows.h>

// Dialog procedure; the initialisation parameter is a writable 512-byte format text,
// read at start and rewritten on OK. Ends with 1 after OK, 0 after Cancel or closing.
INT_PTR CALLBACK TextFormatDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The Text Format command: runs the dialog on the selection's format and applies the
// result (the document becoming rich text). Does nothing in the output window.
void EditTextFormat(HWND window);
