// The output window's receiving end: lines that other programs send with WM_COPYDATA.
#pragma once
#include <windows.h>
#include <stddef.h>

// Handles one WM_COPYDATA block; 1 when taken, 0 when refused.
LRESULT ReceiveTraceLine(HWND window, const COPYDATASTRUCT *data);

// Length of a block's text: up to its first zero byte, never past cbData.
size_t TraceTextLength(const COPYDATASTRUCT *data);
