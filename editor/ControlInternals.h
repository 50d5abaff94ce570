// What the wrapper's own files share with each other; not for use outside editor/.
#pragma once
#include <windows.h>

#include "editor/EditorControl.h"

// ControlStreams.cpp
// Streams length bytes in as format (EM_STREAMIN); false when the control reported an
// error or, for plain text, stopped short of the end.
bool StreamWhole(HWND control, const char *text, size_t length, UINT format);
// Streams n UTF-16 units in as format (SF_TEXT | SF_UNICODE, with SFF_SELECTION for the
// selection); false when the control reported an error or stopped short of the end.
bool StreamUnicode(HWND control, const char16_t *text, size_t n, UINT format);
// The control's RTF as its writer wrote it (flags SF_RTF, with SFF_SELECTION for the
// selection), in a new buffer; null when memory runs out or the control reports an error.
char *StreamOutAsWritten(HWND control, UINT flags);
// rtf (a new buffer, taken over) with its indent words as RTF means them, where the
// writer exchanges them; null when memory runs out.
char *MendIndents(char *rtf);

// EditorControl.cpp
// Characters in the control, a paragraph end counted as one.
LONG TextEnd(HWND control);
ViewPlace ReadViewPlace(HWND control);
void PutViewPlace(HWND control, const ViewPlace &place);

// ControlClipboard.cpp
// Whether ScreenPastes put its guard in front of this control's procedure.
bool PastesScreened(HWND control);

// UndoCopy.cpp
// Whether a text from before a replacement waits for the Undo of the program's control.
bool HoldsTextBefore();
// Puts the text held back in a new control, as the document was before its replacement.
void RestoreTextBefore();
// Keeps the whole text of the program's plain-text control for an Undo; false, with
// nothing kept, for other controls or when memory runs out.
bool HoldTextBefore(HWND control, bool modified);
// Forgets the text held back: the steps it would follow are gone.
void DropTextBefore();
