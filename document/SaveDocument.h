// Saving the document in one of the five formats.
#pragma once
#include <windows.h>

// Non-zero when the file was written; a null path asks with the Save As dialog.
int SaveDocument(HWND owner, const char *path);
// Writes the document to path in DocumentFormat; 1 when written (0 in the output
// window, which writes but reports nothing), 0 when the file cannot be written.
int WriteDocumentFile(const char *path);
// Writes all bytes, in pieces a single WriteFile call surely takes.
bool WriteAll(HANDLE file, const char *bytes, size_t size);
// The Save As dialog's hook: fills and reads the "Format:" list.
UINT_PTR CALLBACK SaveAsHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
