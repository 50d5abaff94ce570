// The modal "Goto Line" dialog (105) and command 40021.
#pragma once
#include <windows.h>

// The last entry for the whole run: a line number counted from 1 when positive, minus a
// character position counted from 0 when negative; 1 at start.
extern int GotoTarget;

// Command 40021: asks for a line or character and puts the caret there.
void GotoCommand(HWND mainWindow);
