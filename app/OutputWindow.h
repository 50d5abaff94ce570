// The output window's receiving end: lines that other programs send with WM_COPYDATA.
#pragma once
#include <windows.h>
#include <stddef.h>

#include "editor/FileLines.h"

// Takes one WM_COPYDATA block; 1 when taken, 0 when refused. The text goes to the control
// (and the title) a moment later, in one piece with the texts that follow it.
LRESULT ReceiveTraceLine(HWND window, const COPYDATASTRUCT *data);

// Puts every text received so far in the control and its last line in the title now. The
// control's own messages that read or change the text or the caret, and the user's input,
// do this first by themselves.
void HandOverTraceLines();

// Length of a block's text: up to its first zero byte, never past cbData.
size_t TraceTextLength(const COPYDATASTRUCT *data);

// Reads win.ini [OXR] MaxLines (default DEFAULT_MAX_LINES, 0 keeps every line) and starts
// the log file named there, if any.
void ReadOutputSettings();

// Empties the window (the Clear command); new lines start at the top.
void ClearOutputWindow();

// What the status bar adds once earlier lines were dropped ("" before that).
const char *OutputWindowNote();

// The file's line and column of a position in the output window's control, counted on from
// the last place known (the caret mostly follows the lines); false for another control.
bool OutputWindowLineOf(HWND editor, int position, FileLinePlace *place);
