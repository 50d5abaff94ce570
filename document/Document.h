// The current document: its path, the window title and the save-changes question.
#pragma once
#include <windows.h>

#include "document/LineEnds.h"

// Path of the current document; empty when untitled.
extern char CurrentDocumentPath[260];

// The line ends a text save writes (LineEnds.h): found by opening a file (the style of
// most of its lines), CR LF for a new document, changed by ConvertDocumentLineEnds.
// RTF is written as it is. Whatever puts a document back (a reload, a recovered copy)
// sets it with the document.
extern LineEndStyle DocumentLineEnds;
// The file opened had more than one style; it is saved in DocumentLineEnds. Ends with
// a save, a conversion or another document.
extern bool DocumentLineEndsMixed;

// The Line Ends menu: the document is saved in style from now on; when that changes
// the file, the document counts as modified.
void ConvertDocumentLineEnds(LineEndStyle style);

// Records the path (or none), shows it in the title.
void SetCurrentDocument(HWND window, const char *path);
// Asks "Save Changes?" for a modified document; 1 when it may be discarded.
int ConfirmDiscard(HWND owner);
// The same question when the session is about to end, which may yet be cancelled: No
// leaves the document, modified flag included, as it is. 1 when the session may end.
int ConfirmSessionEnd(HWND owner);
// Empties the editor after the question; 1 when emptied, 0 when cancelled.
int NewDocument(HWND owner);
