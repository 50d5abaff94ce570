#include "format/ColorMenu.h"

#include <commctrl.h>
#include <commdlg.h>
#include <richedit.h>
#include <stdio.h>
#include <string.h>

#include "app/App.h"
#include "app/Dpi.h"
#include "app/Toolbar.h"
#include "editor/EditorControl.h"
#include "format/ColorChoice.h"
#include "res/resource.h"

// Where the name starts in an item, right of the check dot and the swatch (at 96 DPI;
// every measure of an item is scaled with the main window).
static const int NAME_LEFT = 52;

static int Px(int value)
{
    return ScaleForWindow(MainWindow, value);
}

// The colour dialog's custom colour slots, kept for the run.
static COLORREF customColors[16];

// The custom entry: the colour dialog starting from the last custom choice.
// Returns 1 when a colour was chosen (and stored in the entry).
static int ChooseCustomColor()
{
    CHOOSECOLORA choice;
    memset(&choice, 0, sizeof choice);
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = MainWindow;
    choice.rgbResult = ColorTable[CUSTOM_ENTRY].colour;
    choice.lpCustColors = customColors;
    choice.Flags = CC_RGBINIT;
    if (!ChooseColorA(&choice))
        return 0;
    ColorTable[CUSTOM_ENTRY].colour = choice.rgbResult;
    return 1;
}

int ShowColorMenu(int current, const RECT *button)
{
    POINT at;
    GetCursorPos(&at);
    if (button && !PtInRect(button, at)) {
        at.x = button->left;
        at.y = button->bottom;
    }
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return -1;
    int checked = CheckedColorEntry(current);
    for (int k = 0; k < COLOR_ENTRIES; ++k) {
        AppendMenuA(menu, MF_OWNERDRAW | (k == checked ? MF_CHECKED : 0), k + 1,
                    (LPCSTR)&ColorTable[k]);
        if (k % 2 == 0)
            AppendMenuA(menu, MF_SEPARATOR, 0, 0);
    }
    int command = (int)TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN, at.x,
                                      at.y, 0, MainWindow, 0);
    DestroyMenu(menu);
    if (command == CUSTOM_ENTRY + 1 && !ChooseCustomColor())
        return -1;
    return ColorOfChoice(command);
}

// The entry behind an item of our menu; other owner-drawn items have no entry.
static const ColorEntry *EntryOf(UINT type, ULONG_PTR data)
{
    return type == ODT_MENU && data ? (const ColorEntry *)data : 0;
}

BOOL MeasureColorItem(HWND window, MEASUREITEMSTRUCT *item)
{
    const ColorEntry *entry = EntryOf(item->CtlType, item->itemData);
    if (!entry)
        return FALSE;
    HDC dc = GetDC(window);
    // Measured in the menu's font, which draws the item: on a large scale it is wider
    // than the window's and the names were cut off.
    NONCLIENTMETRICSA metrics;
    metrics.cbSize = sizeof metrics;
    HFONT menuFont = SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)
        ? CreateFontIndirectA(&metrics.lfMenuFont) : 0;
    HGDIOBJ oldFont = menuFont ? SelectObject(dc, menuFont) : 0;
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, entry->name, lstrlenA(entry->name), &size);
    if (oldFont)
        SelectObject(dc, oldFont);
    if (menuFont)
        DeleteObject(menuFont);
    ReleaseDC(window, dc);
    // The name is drawn after the swatch, NAME_LEFT pixels in: without that room
    // the longer names were cut off.
    item->itemWidth = Px(NAME_LEFT) + size.cx;
    item->itemHeight = size.cy;
    return TRUE;
}

BOOL DrawColorItem(const DRAWITEMSTRUCT *item)
{
    const ColorEntry *entry = EntryOf(item->CtlType, item->itemData);
    if (!entry)
        return FALSE;
    HDC dc = item->hDC;
    RECT r = item->rcItem;
    bool selected = (item->itemState & ODS_SELECTED) != 0;
    // A highlighted item gets a black frame; the others are grey to their edges.
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(LTGRAY_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(selected ? BLACK_PEN : NULL_PEN));
    int grow = selected ? 0 : 1;
    Rectangle(dc, r.left - grow, r.top - grow, r.right + grow, r.bottom + grow);

    // The names in black: the swatch shows the colour, and yellow, green, orange or
    // gray letters could not be read on the grey.
    SetTextColor(dc, 0x000000);
    SetBkColor(dc, 0xC0C0C0);
    TextOutA(dc, r.left + Px(NAME_LEFT), r.top + Px(1), entry->name, lstrlenA(entry->name));

    SelectObject(dc, GetStockObject(BLACK_PEN));
    HBRUSH swatch = CreateSolidBrush(entry->colour);
    HGDIOBJ previous = SelectObject(dc, swatch);
    Rectangle(dc, r.left + Px(12), r.top + Px(2), r.left + Px(48), r.bottom - Px(2));
    SelectObject(dc, previous);
    DeleteObject(swatch);

    if (item->itemState & ODS_CHECKED) {
        SelectObject(dc, GetStockObject(NULL_PEN));
        SelectObject(dc, GetStockObject(BLACK_BRUSH));
        int middle = (r.top + r.bottom) / 2;
        Ellipse(dc, r.left, middle - Px(4), r.left + Px(8), middle + Px(4));
    }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    return TRUE;
}

void ColorSelection()
{
    HWND editor = EditorControl.control;
    if (!editor)
        return;
    CHARFORMATA format;
    memset(&format, 0, sizeof format);
    format.cbSize = sizeof format;  // the 60-byte RichEdit 1.0 form
    SendMessageA(editor, EM_GETCHARFORMAT, SCF_SELECTION, (LPARAM)&format);
    RECT button, *anchor = 0;
    if (MainToolbar.window && IsWindowVisible(MainToolbar.window) &&
        SendMessageA(MainToolbar.window, TB_GETRECT, IDC_COLOR, (LPARAM)&button)) {
        MapWindowPoints(MainToolbar.window, 0, (POINT *)&button, 2);
        anchor = &button;
    }
    int colour = ShowColorMenu(SelectionColor((format.dwMask & CFM_COLOR) != 0,
                                              (format.dwEffects & CFE_AUTOCOLOR) != 0,
                                              format.crTextColor),
                               anchor);
    if (colour == -1)
        return;
    if (EditorControl.GetTextMode() == TEXT_PLAIN)
        EditorControl.SetTextMode(TEXT_RICH);
    char item[24];
    snprintf(item, sizeof item, "c=%d;", colour);
    EditorControl.ApplyFormatDescriptor(item);
    // The control reports no selection change for a format change.
    SelectionChanged();
}
