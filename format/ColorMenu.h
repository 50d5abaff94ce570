// The owner-drawn colour menu: fourteen named colours, the automatic colour and a
// custom colour from the system colour dialog.
#pragma once
#include <windows.h>

// Shows the menu at the mouse pointer, owned by the main window, with the entry of
// current (1 automatic, else a COLORREF; -1 none) checked. Returns the chosen
// colour in the same terms, or -1 when dismissed or the colour dialog is cancelled.
// With the rectangle (screen) of the button that asks, and the pointer elsewhere (the
// button was pressed from the keyboard), the menu opens below the button instead.
int ShowColorMenu(int current, const RECT *button = 0);
// WM_MEASUREITEM and WM_DRAWITEM of the main window: TRUE when it was a colour item.
BOOL MeasureColorItem(HWND window, MEASUREITEMSTRUCT *item);
BOOL DrawColorItem(const DRAWITEMSTRUCT *item);
// The Color command: colours the selection with the colour chosen from the menu.
void ColorSelection();
