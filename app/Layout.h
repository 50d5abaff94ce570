// Layout of the main window's client area: toolbar on top, status bar at the
// bottom, the editor in between.
#pragma once
#include <windows.h>

struct LayoutRecord {
    HWND main;
    HWND editor;
    HWND toolbar;  // null while it does not exist; a null child counts as hidden
    HWND status;
    HWND scroll = 0;  // a scroll bar at the editor's right edge, when one is given
};

extern LayoutRecord MainLayout;

// The client rectangle less the toolbar (overlapping its last row) and the
// status bar; hidden bars count only with countHidden.
void ComputeEditorRect(const LayoutRecord &layout, RECT *rect, int countHidden);
// Sizes the bars, keeps the last status part at the right edge, moves the editor (and
// the scroll bar beside it).
void LayoutMainWindow(const LayoutRecord &layout, RECT *rect);
// Equal parts over the width of the status bar's parent.
void SetStatusParts(HWND status, int count);
// Gives the status bar a last part of width pixels at the right edge (two parts in all,
// the first taking the rest); every layout keeps it so.
void SetStatusLastPartWidth(HWND status, int width);
void SetToolbarButtonChecked(HWND toolbar, int id, int checked);
// Shows a hidden bar or hides a shown one, then lays the window out again.
void ToggleBar(HWND bar);
// The smallest main window shows the menu and the toolbar's buttons each on one line and
// this many lines of text below the visible bars.
const int MINIMUM_TEXT_LINES = 4;
// The minimum track size of the main window (WM_GETMINMAXINFO).
POINT MinimumWindowSize(const LayoutRecord &layout);
