// The screen scale the windows draw at. Windows 10 and 8.1 give each monitor its own
// scale; the functions that tell it are looked up at run time, as Windows 7 lacks them.
#pragma once
#include <windows.h>

#include "app/DpiScale.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

// The main window's dots per inch as last applied: at start and at WM_DPICHANGED.
extern int MainWindowDpi;

// The system's dots per inch: what dialog templates and the screen's fonts follow.
int SystemDpi();
// Dots per inch of the window's monitor (GetDpiForWindow where it exists), else the
// system's.
int WindowDpi(HWND window);
// value (pixels at 96 DPI) for the window: the main window at its applied DPI.
int ScaleForWindow(HWND window, int value);
// The font of the toolbar's combo boxes and the status bar at dpi: 8 points of the
// GUI face. Kept for the run.
HFONT BarFont(int dpi);
// The dialog base units of a template font (face, points) at the system's scale: what a
// dialog in that font converts its units with. GetDialogBaseUnits measures the system
// font instead, which grows differently from 100 % to 200 %.
void TemplateFontUnits(const char *face, int points, int *x, int *y);
// Zooms the editor's text by the main window's DPI against the system's (no zoom where
// they agree): the control itself only knows the system's.
void ApplyEditorZoom(HWND editor);
// WM_DPICHANGED: scales the main window's bars, combo boxes, status bar and text to the
// new DPI, then moves the window to the rectangle Windows suggests. Returns 0.
LRESULT OnDpiChanged(HWND window, WPARAM wParam, LPARAM lParam);
