#include "app/Layout.h"

#include <commctrl.h>
#include <string.h>

LayoutRecord MainLayout = {0, 0, 0, 0};

// Width of the status bar's last part when it has one of its own size, else 0.
static int LastPartWidth = 0;

// The first part's right edge when the last one has its own width.
static int FirstPartEdge(HWND status)
{
    RECT client;
    GetClientRect(status, &client);
    int edge = client.right - LastPartWidth;
    return edge > 0 ? edge : 0;
}

static int WindowHeight(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return r.bottom - r.top;
}

void ComputeEditorRect(const LayoutRecord &layout, RECT *rect, int countHidden)
{
    GetClientRect(layout.main, rect);
    if (layout.toolbar && (countHidden || IsWindowVisible(layout.toolbar)))
        rect->top += WindowHeight(layout.toolbar) - 1;
    if (layout.status && (countHidden || IsWindowVisible(layout.status)))
        rect->bottom -= WindowHeight(layout.status);
}

void LayoutMainWindow(const LayoutRecord &layout, RECT *rect)
{
    if (layout.toolbar) {
        SendMessageA(layout.toolbar, WM_SIZE, 0, 0);
        // The rows again: grown from very narrow, the toolbar kept the height of the
        // rows it had wrapped into, and a band of it stood between buttons and text.
        SendMessageA(layout.toolbar, TB_AUTOSIZE, 0, 0);
        InvalidateRect(layout.toolbar, 0, TRUE);
    }
    if (layout.status) {
        SendMessageA(layout.status, WM_SIZE, 0, 0);
        int edges[256] = {0};
        int count = (int)SendMessageA(layout.status, SB_GETPARTS, 0, 0);
        if (count > 256)
            count = 256;
        if (count > 0) {
            SendMessageA(layout.status, SB_GETPARTS, count, (LPARAM)edges);
            if (count == 2 && LastPartWidth > 0)
                edges[0] = FirstPartEdge(layout.status);
            edges[count - 1] = -1;
            SendMessageA(layout.status, SB_SETPARTS, count, (LPARAM)edges);
        }
        InvalidateRect(layout.status, 0, TRUE);
    }
    ComputeEditorRect(layout, rect, 0);
    if (layout.scroll) {
        int width = GetSystemMetrics(SM_CXVSCROLL);
        rect->right -= width;
        MoveWindow(layout.scroll, rect->right, rect->top, width, rect->bottom - rect->top, TRUE);
    }
    if (layout.editor)
        MoveWindow(layout.editor, rect->left, rect->top, rect->right - rect->left,
                   rect->bottom - rect->top, TRUE);
}

void SetStatusParts(HWND status, int count)
{
    if (!status || count <= 0)
        return;
    if (count > 256)
        count = 256;
    RECT client;
    GetClientRect(GetParent(status), &client);
    int edges[256];
    for (int k = 0; k < count; ++k)
        edges[k] = (k + 1) * client.right / count;
    SendMessageA(status, WM_SIZE, 0, 0);
    SendMessageA(status, SB_SETPARTS, count, (LPARAM)edges);
}

void SetStatusLastPartWidth(HWND status, int width)
{
    if (!status || width <= 0)
        return;
    LastPartWidth = width;
    int edges[2] = {FirstPartEdge(status), -1};
    SendMessageA(status, SB_SETPARTS, 2, (LPARAM)edges);
}

void SetToolbarButtonChecked(HWND toolbar, int id, int checked)
{
    if (!toolbar)
        return;
    // Called on every notification, the toolbar's own paint notifications included:
    // touching an unchanged button would repaint it and notify again.
    if (SendMessageA(toolbar, TB_ISBUTTONINDETERMINATE, id, 0))
        SendMessageA(toolbar, TB_INDETERMINATE, id, FALSE);
    bool isChecked = SendMessageA(toolbar, TB_ISBUTTONCHECKED, id, 0) != 0;
    if (isChecked != (checked != 0))
        SendMessageA(toolbar, TB_CHECKBUTTON, id, checked ? TRUE : FALSE);
}

void ToggleBar(HWND bar)
{
    if (!bar)
        return;
    ShowWindow(bar, IsWindowVisible(bar) ? SW_HIDE : SW_SHOW);
    RECT rect;
    LayoutMainWindow(MainLayout, &rect);
    InvalidateRect(MainLayout.main, 0, FALSE);
}

// The width of the menu bar's items on one line, in the menu's font (measured once:
// the bar's items do not change).
static int MenuBarWidth(HWND window)
{
    static int measured = 0;
    HMENU menu = GetMenu(window);
    if (measured || !menu)
        return measured;
    NONCLIENTMETRICSA metrics;
    memset(&metrics, 0, sizeof metrics);
    metrics.cbSize = sizeof metrics;
    HFONT font = SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)
                     ? CreateFontIndirectA(&metrics.lfMenuFont) : 0;
    HDC dc = GetDC(window);
    HGDIOBJ previous = SelectObject(dc, font ? (HGDIOBJ)font : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA text;
    GetTextMetricsA(dc, &text);
    int width = 0;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char name[64] = "", shown[64];
        GetMenuStringA(menu, i, name, sizeof name, MF_BYPOSITION);
        int length = 0;
        for (const char *c = name; *c; ++c)
            if (*c != '&')
                shown[length++] = *c;
        SIZE size = {0, 0};
        GetTextExtentPoint32A(dc, shown, length, &size);
        // Each item has an average character of room on either side, and a little more.
        width += size.cx + 3 * text.tmAveCharWidth;
    }
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    if (font)
        DeleteObject(font);
    measured = width;
    return measured;
}

// The width the shown toolbar's buttons take on one row, however they wrap now (the
// boxes beyond them may be cut off: a minimum that held them would be most of a screen
// at a high scale).
static int ToolbarRowWidth(HWND toolbar)
{
    if (!toolbar || !IsWindowVisible(toolbar))
        return 0;
    int width = 0;
    int count = (int)SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        RECT item;
        if (SendMessageA(toolbar, TB_GETITEMRECT, i, (LPARAM)&item))
            width += item.right - item.left;
    }
    return width + 2 * GetSystemMetrics(SM_CXEDGE);
}

POINT MinimumWindowSize(const LayoutRecord &layout)
{
    HWND window = layout.main;
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, GetWindowLongA(window, GWL_STYLE), TRUE,
                       GetWindowLongA(window, GWL_EXSTYLE));
    int bars = 0;
    RECT bar;
    if (layout.toolbar && IsWindowVisible(layout.toolbar) &&
        GetWindowRect(layout.toolbar, &bar))
        bars += bar.bottom - bar.top;
    if (layout.status && IsWindowVisible(layout.status) &&
        GetWindowRect(layout.status, &bar))
        bars += bar.bottom - bar.top;
    int lineHeight = 16;
    if (HWND editor = layout.editor) {
        HDC dc = GetDC(editor);
        HGDIOBJ previous = SelectObject(dc, (HGDIOBJ)SendMessageA(editor, WM_GETFONT, 0, 0));
        TEXTMETRICA text;
        if (GetTextMetricsA(dc, &text) && text.tmHeight > 0)
            lineHeight = text.tmHeight;
        SelectObject(dc, previous);
        ReleaseDC(editor, dc);
    }
    POINT size;
    int toolbar = ToolbarRowWidth(layout.toolbar), menu = MenuBarWidth(window);
    size.x = (toolbar > menu ? toolbar : menu) + (frame.right - frame.left);
    size.y = (frame.bottom - frame.top) + bars + GetSystemMetrics(SM_CYHSCROLL) +
             4 * GetSystemMetrics(SM_CYEDGE) + MINIMUM_TEXT_LINES * lineHeight;
    return size;
}
