// A generic dialog procedure that fills a dialog from an init text and ends it, on its
// default push button, with the text of every control's value (DialogStateText.h).
#pragma once
#include <windows.h>

// Dialog procedure for DialogBoxParamA; the creation parameter is the init text or
// null. The result is 0 (cancelled) or a new state text, to be freed with delete[].
INT_PTR CALLBACK StateDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// A new state text (delete[]) for the dialog, ended by the command wParam.
char *SaveDialogState(HWND dialog, WPARAM command);
// Applies an init text (or nothing for null) to the dialog's controls; always TRUE.
BOOL ApplyDialogState(HWND dialog, const char *text);
