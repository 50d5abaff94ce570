// The main toolbar record, its registered child controls and the size list.
#pragma once
#include <windows.h>

const int TOOLBAR_SLOTS = 16;
const int TOOLBAR_FORWARDS = 64;

struct ToolbarObject {
    HWND window;                      // may be none
    int ownsWindow;                   // never set: the main window owns the toolbar
    int buttonCount;
    const int *ToolbarButtonIds;      // TOOLBAR_SLOTS ids, 0 for a separator
    const char *const *ToolbarTips;   // TOOLBAR_SLOTS tooltip texts
    HWND controls[TOOLBAR_SLOTS];     // registered child controls, 0 = free
    UINT forwarded[TOOLBAR_FORWARDS]; // message ids passed to the parent, 0-terminated
};

extern ToolbarObject MainToolbar;
extern HWND StatusBar;
extern HWND SizeCombo;
extern HWND FontCombo;

// Registers a child control of the toolbar and the messages the toolbar forwards to
// its parent (list 0-terminated, or null). Returns the slot, or -1.
int AddToolbarControl(ToolbarObject *toolbar, HWND control, const UINT *messages);
LRESULT CALLBACK ToolbarSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The values FillSizeList adds: from start by step1 up to end1, then by step2 up to
// end2, then by step3 up to end3. Returns how many were written (at most capacity).
int SizeListValues(int start, int end1, int step1, int end2, int step2, int end3, int step3,
                   int *values, int capacity);
void FillSizeList(HWND combo, int start, int end1, int step1, int end2, int step2, int end3,
                  int step3);
// EnumFontsA callback; extra value is the target combo.
int CALLBACK AddFontName(const LOGFONTA *font, const TEXTMETRICA *metrics, DWORD type,
                         LPARAM combo);

// Creates the toolbar from the 16-slot table (hidden), its buttons and images sized for
// the main window's DPI.
HWND CreateMainToolbar(HWND parent, HINSTANCE instance);
// Gives the toolbar the images, button size and separator width of dpi.
void ScaleToolbar(HWND toolbar, int dpi);
// Puts the size and font combo boxes in their places on the toolbar, in the font of dpi.
void PlaceToolbarCombos(int dpi);
// Tooltip text of a command id, or null when it is not on the toolbar.
const char *ToolbarTipFor(int id);
