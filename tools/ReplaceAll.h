// Replace All: every match of find from the start of the text, forward, replaced.
#pragma once
#include <windows.h>
#include <commdlg.h>  // FR_DOWN, FR_WHOLEWORD, FR_MATCHCASE

// flags: FR_WHOLEWORD and FR_MATCHCASE count; the search always runs forward. Leaves
// the caret after the last replacement (the selection untouched when nothing matched)
// and the whole change as one undo step. Returns the number of replacements.
int ReplaceAllMatches(HWND editor, const char *find, const char *replacement, UINT flags);
// The same by selecting and replacing each match in the control in turn: one undo step
// per replacement, and slow on large texts. The reference for ReplaceAllMatches.
int ReplaceAllByLoop(HWND editor, const char *find, const char *replacement, UINT flags);
