#include "app/Dpi.h"

#include <richedit.h>
#include <string.h>

#include "app/App.h"
#include "app/Layout.h"
#include "app/Toolbar.h"
#include "editor/EditorControl.h"

int MainWindowDpi = 0;

int SystemDpi()
{
    HDC screen = GetDC(0);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : BASE_DPI;
    if (screen)
        ReleaseDC(0, screen);
    return dpi > 0 ? dpi : BASE_DPI;
}

int WindowDpi(HWND window)
{
    typedef UINT(WINAPI * DpiForWindowProc)(HWND);
    static DpiForWindowProc dpiForWindow =
        (DpiForWindowProc)(void *)GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow");
    UINT dpi = window && dpiForWindow ? dpiForWindow(window) : 0;
    return dpi ? (int)dpi : SystemDpi();
}

int ScaleForWindow(HWND window, int value)
{
    int dpi = window && window == MainWindow && MainWindowDpi ? MainWindowDpi : WindowDpi(window);
    return ScaleToDpi(value, dpi);
}

HFONT BarFont(int dpi)
{
    static struct {
        int dpi;
        HFONT font;
    } made[8];
    static int count = 0;
    for (int k = 0; k < count; ++k)
        if (made[k].dpi == dpi)
            return made[k].font;
    LOGFONTA font;
    memset(&font, 0, sizeof font);
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfHeight = -MulDiv(8, dpi, 72);
    font.lfWidth = 0;
    HFONT created = CreateFontIndirectA(&font);
    if (!created)
        return (HFONT)GetStockObject(DEFAULT_GUI_FONT);
    // Past eight scales (monitors) the oldest font is still in use: the slot is reused
    // only in the cache, the font lives on.
    int slot = count < 8 ? count++ : 7;
    made[slot].dpi = dpi;
    made[slot].font = created;
    return created;
}

void TemplateFontUnits(const char *face, int points, int *x, int *y)
{
    LONG fallback = GetDialogBaseUnits();
    *x = LOWORD(fallback);
    *y = HIWORD(fallback);
    HDC screen = GetDC(0);
    if (!screen)
        return;
    HFONT font = CreateFontA(-MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0,
                             FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
    HGDIOBJ old = font ? SelectObject(screen, font) : 0;
    TEXTMETRICA metrics;
    SIZE extent;
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    if (font && GetTextMetricsA(screen, &metrics) &&
        GetTextExtentPoint32A(screen, letters, 52, &extent) && extent.cx > 0) {
        *x = (extent.cx / 26 + 1) / 2;  // the average letter, rounded, as dialogs take it
        *y = metrics.tmHeight;
    }
    if (old)
        SelectObject(screen, old);
    if (font)
        DeleteObject(font);
    ReleaseDC(0, screen);
}

void ApplyEditorZoom(HWND editor)
{
    int system = SystemDpi();
    if (!editor || !MainWindowDpi)
        return;
    if (MainWindowDpi == system)
        SendMessageA(editor, EM_SETZOOM, 0, 0);
    else
        SendMessageA(editor, EM_SETZOOM, MainWindowDpi, system);
}

LRESULT OnDpiChanged(HWND window, WPARAM wParam, LPARAM lParam)
{
    int dpi = HIWORD(wParam);
    if (window == MainWindow && dpi > 0 && dpi != MainWindowDpi) {
        MainWindowDpi = dpi;
        ScaleToolbar(MainToolbar.window, dpi);
        PlaceToolbarCombos(dpi);
        if (StatusBar)
            SendMessageA(StatusBar, WM_SETFONT, (WPARAM)BarFont(dpi), TRUE);
        ApplyEditorZoom(EditorControl.control);
    }
    const RECT *suggested = (const RECT *)lParam;
    if (suggested)
        SetWindowPos(window, 0, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT rect;
    LayoutMainWindow(MainLayout, &rect);
    InvalidateRect(window, 0, TRUE);
    return 0;
}
