#include "app/Toolbar.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#include "app/Dpi.h"
#include "res/resource.h"

static const int ButtonIds[TOOLBAR_SLOTS] = {
    IDC_NEW,       IDC_OPEN,   IDC_SAVE,        0, IDC_PRINT,       0,
    IDC_BOLD,      IDC_ITALIC, IDC_UNDERLINE,   IDC_COLOR,          0,
    IDC_ALIGN_LEFT, IDC_CENTER, IDC_ALIGN_RIGHT, 0, IDC_BULLETS,
};

static const char *const ButtonTips[TOOLBAR_SLOTS] = {
    "New",        "Open",   "Save",        "", "Print", "",
    "Bold",       "Italic", "Underline",   "Color",     "",
    "Align Left", "Center", "Align Right", "", "Bullets",
};

ToolbarObject MainToolbar = {0, 0, TOOLBAR_SLOTS, ButtonIds, ButtonTips, {0}, {0}};
HWND StatusBar = 0;
HWND SizeCombo = 0;
HWND FontCombo = 0;

// The toolbar's own procedure, remembered once for all registered controls.
static WNDPROC ToolbarBaseProc = 0;

int AddToolbarControl(ToolbarObject *toolbar, HWND control, const UINT *messages)
{
    if (!toolbar->window)
        return -1;
    if (!ToolbarBaseProc)
        ToolbarBaseProc = (WNDPROC)GetWindowLongPtrA(toolbar->window, GWLP_WNDPROC);
    SetWindowLongPtrA(toolbar->window, GWLP_USERDATA, (LONG_PTR)toolbar);
    SetWindowLongPtrA(toolbar->window, GWLP_WNDPROC, (LONG_PTR)ToolbarSubclassProc);

    int slot = -1;
    for (int k = 0; k < TOOLBAR_SLOTS; ++k)
        if (!toolbar->controls[k]) {
            slot = k;
            break;
        }
    if (slot < 0)
        return -1;
    toolbar->controls[slot] = control;

    for (; messages && *messages; ++messages) {
        int k = 0;
        while (k < TOOLBAR_FORWARDS - 1 && toolbar->forwarded[k] &&
               toolbar->forwarded[k] != *messages)
            ++k;
        if (k < TOOLBAR_FORWARDS - 1 && !toolbar->forwarded[k])
            toolbar->forwarded[k] = *messages;
    }
    return slot;
}

LRESULT CALLBACK ToolbarSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const ToolbarObject *toolbar = (const ToolbarObject *)GetWindowLongPtrA(window, GWLP_USERDATA);
    if (toolbar)
        for (int k = 0; k < TOOLBAR_FORWARDS && toolbar->forwarded[k]; ++k)
            if (toolbar->forwarded[k] == message)
                return SendMessageA(GetParent(window), message, wParam, lParam);
    return CallWindowProcA(ToolbarBaseProc, window, message, wParam, lParam);
}

int SizeListValues(int start, int end1, int step1, int end2, int step2, int end3, int step3,
                   int *values, int capacity)
{
    int count = 0;
    int value = start;
    const int ends[3] = {end1, end2, end3};
    const int steps[3] = {step1, step2, step3};
    for (int range = 0; range < 3; ++range) {
        if (steps[range] <= 0)
            break;  // a zero step would never end
        if (range > 0)
            value = value - steps[range - 1] + steps[range];
        for (; value <= ends[range] && count < capacity; value += steps[range])
            values[count++] = value;
    }
    return count;
}

void FillSizeList(HWND combo, int start, int end1, int step1, int end2, int step2, int end3,
                  int step3)
{
    int values[256];
    int count = SizeListValues(start, end1, step1, end2, step2, end3, step3, values, 256);
    for (int k = 0; k < count; ++k) {
        char text[16];
        snprintf(text, sizeof text, "%d", values[k]);
        SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)text);
    }
}

int CALLBACK AddFontName(const LOGFONTA *font, const TEXTMETRICA *, DWORD, LPARAM combo)
{
    HWND target = (HWND)combo;
    int charset = font->lfCharSet;
    int wanted = target == FontCombo ? charset == ANSI_CHARSET
                                     : charset == ANSI_CHARSET || charset == DEFAULT_CHARSET;
    if (wanted)
        SendMessageA(target, CB_ADDSTRING, 0, (LPARAM)font->lfFaceName);
    return 1;
}

// The images of the buttons drawn for dpi, the silver background masked out. The strips
// are drawn at 100, 125, 150 and 200 %: the largest that fits is used, never stretched.
static HIMAGELIST MakeToolbarImages(int dpi)
{
    int side = ToolbarImageSize(dpi);
    int id = side == 32 ? IDB_TOOLBAR_32 : side == 24 ? IDB_TOOLBAR_24
           : side == 20 ? IDB_TOOLBAR_20 : IDB_TOOLBAR;
    HBITMAP strip = (HBITMAP)LoadImageA(GetModuleHandleA(0), MAKEINTRESOURCEA(id), IMAGE_BITMAP,
                                        0, 0, 0);
    HIMAGELIST images = strip ? ImageList_Create(side, side, ILC_COLOR24 | ILC_MASK, 12, 0) : 0;
    if (images)
        ImageList_AddMasked(images, strip, RGB(192, 192, 192));
    if (strip)
        DeleteObject(strip);
    return images;
}

// The toolbar's images at 100 %, and its buttons and separators (their size at 96 DPI
// as the toolbar makes them for 16-pixel images).
static const int BUTTON_CX = 23, BUTTON_CY = 22, SEPARATOR_CX = 8;
static HIMAGELIST ToolbarImages = 0;

void ScaleToolbar(HWND toolbar, int dpi)
{
    if (!toolbar)
        return;
    HIMAGELIST images = MakeToolbarImages(dpi);
    if (!images)
        return;
    int side = ToolbarImageSize(dpi);
    SendMessageA(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(side, side));
    SendMessageA(toolbar, TB_SETIMAGELIST, 0, (LPARAM)images);
    if (ToolbarImages)
        ImageList_Destroy(ToolbarImages);
    ToolbarImages = images;
    SendMessageA(toolbar, TB_SETBUTTONSIZE, 0,
                 MAKELPARAM(ScaleToDpi(BUTTON_CX, dpi), ScaleToDpi(BUTTON_CY, dpi)));
    TBBUTTONINFOA info;
    memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    info.dwMask = TBIF_BYINDEX | TBIF_SIZE;
    info.cx = (WORD)ScaleToDpi(SEPARATOR_CX, dpi);
    for (int slot = 0; slot < TOOLBAR_SLOTS; ++slot)
        if (!ButtonIds[slot])
            SendMessageA(toolbar, TB_SETBUTTONINFOA, slot, (LPARAM)&info);
    SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
    InvalidateRect(toolbar, 0, TRUE);
}

HWND CreateMainToolbar(HWND parent, HINSTANCE instance)
{
    int dpi = MainWindowDpi ? MainWindowDpi : WindowDpi(parent);
    TBBUTTON buttons[TOOLBAR_SLOTS];
    memset(buttons, 0, sizeof buttons);
    int image = 0;
    for (int slot = 0; slot < TOOLBAR_SLOTS; ++slot) {
        TBBUTTON &b = buttons[slot];
        b.idCommand = ButtonIds[slot];
        b.fsState = TBSTATE_ENABLED | TBSTATE_WRAP;
        if (b.idCommand) {
            b.iBitmap = image++;
            b.fsStyle = TBSTYLE_BUTTON;
        } else {
            b.iBitmap = ScaleToDpi(SEPARATOR_CX, dpi);
            b.fsStyle = TBSTYLE_SEP;
        }
    }
    int side = ToolbarImageSize(dpi);
    // The images go in as an image list (ScaleToolbar), so a new scale can replace them.
    HWND toolbar = CreateToolbarEx(parent, WS_CHILD | TBSTYLE_TOOLTIPS | TBSTYLE_WRAPABLE, 0, 0,
                                   0, 0, buttons, TOOLBAR_SLOTS, ScaleToDpi(BUTTON_CX, dpi),
                                   ScaleToDpi(BUTTON_CY, dpi), side, side, sizeof(TBBUTTON));
    if (toolbar) {
        ScaleToolbar(toolbar, dpi);
        ShowWindow(toolbar, SW_HIDE);
    }
    return toolbar;
}

void PlaceToolbarCombos(int dpi)
{
    HFONT font = BarFont(dpi);
    const int top = ScaleToDpi(2, dpi), listHeight = ScaleToDpi(600, dpi);
    if (SizeCombo) {
        SendMessageA(SizeCombo, WM_SETFONT, (WPARAM)font, FALSE);
        MoveWindow(SizeCombo, ScaleToDpi(320, dpi), top, ScaleToDpi(48, dpi), listHeight, TRUE);
    }
    if (FontCombo) {
        SendMessageA(FontCombo, WM_SETFONT, (WPARAM)font, FALSE);
        MoveWindow(FontCombo, ScaleToDpi(380, dpi), top, ScaleToDpi(180, dpi), listHeight, TRUE);
    }
}

const char *ToolbarTipFor(int id)
{
    for (int slot = 0; slot < TOOLBAR_SLOTS; ++slot)
        if (ButtonIds[slot] == id && id)
            return ButtonTips[slot];
    return 0;
}
