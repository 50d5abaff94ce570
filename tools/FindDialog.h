// The modeless "Find / Replace" dialog (110), Find Next and Replace All.
#pragma once
#include <windows.h>
#include <commdlg.h>  // FR_DOWN, FR_WHOLEWORD, FR_MATCHCASE

// commdlg.h names its find dialog functions FindText and ReplaceText; the buffers here
// own those names. Including it first keeps a later include from bringing them back.
#undef FindText
#undef ReplaceText

extern char FindText[256];     // what to search for, escapes translated; empty at start
extern char ReplaceText[256];  // the replacement, escapes translated
extern UINT FindFlags;         // FR_DOWN, FR_WHOLEWORD, FR_MATCHCASE as EM_FINDTEXTEX takes them

// Command 40019: brings the open modeless dialog to the front, or opens dialog 110
// into the ModelessDialog slot.
void OpenFindDialog(HWND mainWindow);
// Command 40020: opens the dialog (by sending 40019, whose result it returns) while
// FindText is empty, else searches once.
LRESULT FindNextCommand(HWND mainWindow);
// One search step from the selection in the FindFlags direction; selects the match, or
// asks (owned by owner) whether to start again from the beginning or end. 1 when found.
int FindNext(HWND owner);
