#include "print/PrintPreviewDialog.h"

#include <richedit.h>
#include <stdio.h>
#include <string.h>

#include "app/Dpi.h"
#include "editor/EditorControl.h"
#include "print/FormatRange.h"
#include "print/PageLayout.h"
#include "print/PageSettings.h"
#include "print/Printing.h"
#include "res/resource.h"

// Kept for the whole run, so the next preview opens with the same choices.
static int pagesShown = 0;
static int firstPage = 1;
static int thumbWidth = 0, thumbHeight = 0;
static HDC pageDC = 0;
static HBITMAP pageBitmap = 0;
static HGDIOBJ firstBitmap = 0;  // what pageDC held before pageBitmap

BOOL (WINAPI *DeletePreviewObject)(HGDIOBJ) = DeleteObject;

static void PageBitmapSize(int *width, int *height)
{
    *width = GetDeviceCaps(pageDC, LOGPIXELSX) * PageSettings.paperSize.x / 1000;
    *height = GetDeviceCaps(pageDC, LOGPIXELSY) * PageSettings.paperSize.y / 1000;
}

// The first of 32, 24, 16 and 8 bits per pixel that the memory context accepts.
static void CreatePageBitmap()
{
    pageDC = CreateCompatibleDC(0);
    int width, height;
    PageBitmapSize(&width, &height);
    static const UINT depths[] = {32, 24, 16, 8};
    for (UINT bits : depths) {
        pageBitmap = CreateBitmap(width, height, 1, bits, 0);
        firstBitmap = pageBitmap ? SelectObject(pageDC, pageBitmap) : 0;
        if (firstBitmap)
            break;
        if (pageBitmap && bits != 8) {
            DeletePreviewObject(pageBitmap);
            pageBitmap = 0;
        }
    }
    SelectObject(pageDC, GetStockObject(NULL_PEN));
    SelectObject(pageDC, GetStockObject(WHITE_BRUSH));
}

static void FillPageList(HWND list, int count)
{
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (int i = 1; i <= count; ++i) {
        char number[16];
        snprintf(number, sizeof number, "%d", i);
        SendMessageA(list, CB_ADDSTRING, 0, (LPARAM)number);
    }
}

// Wine turns the maximised dialog back to its normal place soon after showing it (no
// window manager runs here): that place is made the screen's work area beforehand.
static void FillWorkArea(HWND dialog)
{
    MONITORINFO monitor;
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const RECT &work = monitor.rcWork;
    SetWindowPos(dialog, 0, work.left, work.top, work.right - work.left, work.bottom - work.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

static INT_PTR OnInitDialog(HWND dialog)
{
    int count = CountPages(PageSettings.margins, PageSettings.paperSize, 1);
    if (pagesShown == 0)
        pagesShown = count;
    FillPageList(GetDlgItem(dialog, IDC_PREVIEW_PAGE_COUNT), count);
    FillPageList(GetDlgItem(dialog, IDC_PREVIEW_FIRST_PAGE), count);
    if (pagesShown > count)
        pagesShown = count;
    SendDlgItemMessageA(dialog, IDC_PREVIEW_PAGE_COUNT, CB_SETCURSEL, pagesShown - 1, 0);
    // The list shows the first page that will be drawn: the one kept from the last
    // preview, or page 1 when the document has since become shorter.
    if (firstPage > count)
        firstPage = 1;
    SendDlgItemMessageA(dialog, IDC_PREVIEW_FIRST_PAGE, CB_SETCURSEL, firstPage - 1, 0);
    CreatePageBitmap();
    FillWorkArea(dialog);
    ShowWindow(dialog, SW_SHOWMAXIMIZED);
    return TRUE;
}

static INT_PTR OnSize(HWND dialog, int width, int height)
{
    // The first size comes while the dialog is made, before its controls exist.
    HWND area = GetDlgItem(dialog, IDC_PREVIEW_PAGES_AREA);
    if (!area)
        return FALSE;
    MoveWindow(area, ScaleForWindow(dialog, 20), ScaleForWindow(dialog, 40),
               width - ScaleForWindow(dialog, 40), height - ScaleForWindow(dialog, 60), TRUE);
    RECT client;
    if (!GetClientRect(area, &client))
        return FALSE;
    FitPageImages(client.right, client.bottom, PageSettings.paperSize.x, PageSettings.paperSize.y,
                  pagesShown, &thumbWidth, &thumbHeight, ScaleForWindow(dialog, 12),
                  ScaleForWindow(dialog, 24));
    return FALSE;
}

// The editor's range to preview: the selection, or everything when it is empty.
// Leaves the editor's drawing off; the pass turns it back on.
static CHARRANGE PreviewRange(HWND control)
{
    CHARRANGE saved, range;
    SendMessageA(control, WM_SETREDRAW, FALSE, 0);
    SendMessageA(control, EM_EXGETSEL, 0, (LPARAM)&saved);
    if (saved.cpMin == saved.cpMax)
        SendMessageA(control, EM_SETSEL, 0, -1);
    SendMessageA(control, EM_EXGETSEL, 0, (LPARAM)&range);
    SendMessageA(control, EM_EXSETSEL, 0, (LPARAM)&saved);
    return range;
}

static INT_PTR OnDrawItem(const DRAWITEMSTRUCT *item)
{
    if (!pageDC)
        return FALSE;
    HDC dc = item->hDC;
    const RECT &area = item->rcItem;
    int areaWidth = area.right - area.left, areaHeight = area.bottom - area.top;
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SetStretchBltMode(dc, HALFTONE);

    HWND control = EditorControl.control;
    FORMATRANGE request;
    memset(&request, 0, sizeof request);
    if (control) {
        request.chrg = PreviewRange(control);
        if (!FormatRangeStandsIn(control))
            EditorControl.SetWrapMode(WRAP_PAGE, PrintableWidth(), MeasuringDevice());
    }
    // Drawn on the page bitmap, measured as the screen and the printer measure.
    request.hdc = pageDC;
    request.hdcTarget = MeasuringDevice();
    const POINT &paper = PageSettings.paperSize;
    const RECT &margins = PageSettings.margins;
    SetRect(&request.rc, ThousandthsToTwips(margins.left), ThousandthsToTwips(margins.top),
            ThousandthsToTwips(paper.x - margins.right), ThousandthsToTwips(paper.y - margins.bottom));
    SetRect(&request.rcPage, 0, 0, ThousandthsToTwips(paper.x), ThousandthsToTwips(paper.y));
    int bitmapWidth, bitmapHeight;
    PageBitmapSize(&bitmapWidth, &bitmapHeight);

    // Room for the page number under each page and between pages, at the screen's scale.
    const int gapX = ScaleForWindow(item->hwndItem, 12), gapY = ScaleForWindow(item->hwndItem, 24);
    int col = 0, row = 0;
    for (int page = 1; page < firstPage + pagesShown; ++page) {
        if ((thumbHeight + gapY) * (row + 1) > areaHeight)
            break;
        // Pages before the first shown only move the range on: they need no drawing.
        bool shown = page >= firstPage;
        if (shown)
            Rectangle(pageDC, 0, 0, bitmapWidth, bitmapHeight);
        LONG before = request.chrg.cpMin;
        request.chrg.cpMin = control ? (LONG)FormatRange(control, shown, &request) : 0;
        if (shown) {
            int x = area.left + col * (thumbWidth + gapX), y = area.top + row * (thumbHeight + gapY);
            StretchBlt(dc, x, y, thumbWidth, thumbHeight, pageDC, 0, 0, bitmapWidth, bitmapHeight,
                       SRCCOPY);
            Rectangle(dc, x, y, x + thumbWidth, y + thumbHeight);
            char number[16];
            int length = snprintf(number, sizeof number, "%d", page);
            TextOutA(dc, x + thumbWidth / 2, y + thumbHeight, number, length);
            if ((col + 2) * (thumbWidth + gapX) <= areaWidth) {
                ++col;
            } else {
                col = 0;
                ++row;
            }
        }
        // A page that takes no text would repeat forever: the pass ends there.
        if (request.chrg.cpMin >= request.chrg.cpMax || request.chrg.cpMin <= before)
            break;
    }

    if (control) {
        FormatRange(control, 0, 0);
        if (!FormatRangeStandsIn(control))
            EditorControl.SetWrapMode(-1, 0);
        SendMessageA(control, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(control, 0, FALSE);
    }
    return TRUE;
}

static INT_PTR OnClose(HWND dialog);

static INT_PTR OnCommand(HWND dialog, int id, int code)
{
    // Escape.
    if (id == IDCANCEL)
        return OnClose(dialog);
    if (code != CBN_SELENDOK)
        return TRUE;
    int chosen = (int)SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
    if (id == IDC_PREVIEW_PAGE_COUNT && chosen >= 0) {
        pagesShown = chosen + 1;
        RECT client;
        GetClientRect(dialog, &client);
        SendMessageA(dialog, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
        InvalidateRect(dialog, 0, FALSE);
    } else if (id == IDC_PREVIEW_FIRST_PAGE && chosen >= 0) {
        firstPage = chosen + 1;
        InvalidateRect(dialog, 0, FALSE);
    }
    return TRUE;
}

static INT_PTR OnClose(HWND dialog)
{
    // A bitmap still selected into a context cannot be deleted (Windows refuses and
    // the page-sized bitmap leaks): the context gets its own back first.
    if (pageDC && firstBitmap)
        SelectObject(pageDC, firstBitmap);
    if (pageBitmap)
        DeletePreviewObject(pageBitmap);
    if (pageDC)
        DeleteDC(pageDC);
    pageBitmap = 0;
    pageDC = 0;
    firstBitmap = 0;
    EndDialog(dialog, 0);
    return TRUE;
}

static INT_PTR OnSysCommand(HWND dialog, WPARAM command)
{
    if ((command & 0xFFF0) != SC_CLOSE)
        return FALSE;
    return OnClose(dialog);
}

INT_PTR CALLBACK PreviewDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_SIZE:       return OnSize(dialog, LOWORD(lParam), HIWORD(lParam));
    case WM_DRAWITEM:   return wParam == IDC_PREVIEW_PAGES_AREA ? OnDrawItem((DRAWITEMSTRUCT *)lParam) : FALSE;
    case WM_COMMAND:    return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_SYSCOMMAND: return OnSysCommand(dialog, wParam);
    case WM_CLOSE:      return OnClose(dialog);
    }
    return FALSE;
}

void RunPrintPreview(HWND owner)
{
    DialogBoxParamA(GetModuleHandleA(0), MAKEINTRESOURCEA(IDD_PRINT_PREVIEW), owner, PreviewDialog, 0);
}
