// The one place that maps command ids (menus, accelerators, toolbar, combos) to actions.
#pragma once
#include <windows.h>

// Handles one WM_COMMAND; returns 0 unless a command re-sends another.
LRESULT DispatchCommand(HWND window, WPARAM wParam, LPARAM lParam);
