// The main window procedure and its sizing aids.
#pragma once
#include <windows.h>

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

const int SNAP_NO_PERCENT = -1;
// Where a window rectangle goes relative to the work area: halves when it sticks
// out, centred with the given size percentages when inside. 1 when it changed.
int ComputeSnapRect(const RECT &window, const RECT &workArea, int widthPercent,
                    int heightPercent, RECT *result);
void SnapToWorkArea(HWND window, int widthPercent, int heightPercent, BOOL repaint);
void AutoHideFrame(HWND window, HWND editor);
// The tracking limit: 5/4 of the screen in both directions.
POINT MaximumTrackSize(int screenWidth, int screenHeight);
// Recomputes enabling, checks and radio marks of the menu.
void UpdateMenuState(HMENU menu);
// Status bar, toolbar buttons and combos from the selection.
void FollowSelection();
