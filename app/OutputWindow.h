// The output window's receiving end: lines that other programs send with WM_COPYDATA.
#pragma once
#include <windows.h>

// Handles one WM_COPYDATA block; 1 when taken, 0 when refused.
LRESULT ReceiveTraceLine(HWND window, const COPYDATASTRUCT *data);
