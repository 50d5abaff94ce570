#include "print/Printing.h"

#include <richedit.h>
#include <string.h>
#include <vector>

#include "app/App.h"
#include "app/TracePrint.h"
#include "editor/EditorControl.h"
#include "print/FormatRange.h"
#include "print/PageLayout.h"
#include "print/PageSettings.h"

static const char NO_PRINTER[] =
    "No printer is installed, so there is nothing to print to or set up.\n"
    "Print Preview still shows the pages.";

// Lays the control's text out for a device of that line width. Where our own layout
// paginates, the control's target device would only re-wrap the screen twice.
static void SetFormattingDevice(HWND control, HDC device, int lineWidth)
{
    if (!FormatRangeStandsIn(control))
        SendMessageA(control, EM_SETTARGETDEVICE, (WPARAM)device, lineWidth);
}

static void RestoreScreenFormatting(HWND control)
{
    if (!FormatRangeStandsIn(control))
        EditorControl.SetWrapMode(-1, 0);
}

int CountPages(const RECT &margins, POINT paperSize, int selectionOnly)
{
    HWND control = EditorControl.control;
    if (!control)
        return 0;
    FORMATRANGE request;
    memset(&request, 0, sizeof request);
    int paperWidth = ThousandthsToTwips(paperSize.x), paperHeight = ThousandthsToTwips(paperSize.y);
    SetRect(&request.rcPage, 0, 0, paperWidth, paperHeight);
    SetRect(&request.rc, ThousandthsToTwips(margins.left), ThousandthsToTwips(margins.top),
            paperWidth - ThousandthsToTwips(margins.right),
            paperHeight - ThousandthsToTwips(margins.bottom));
    request.chrg.cpMin = 0;
    request.chrg.cpMax = -1;
    if (selectionOnly) {
        CHARRANGE selection;
        SendMessageA(control, EM_EXGETSEL, 0, (LPARAM)&selection);
        if (selection.cpMin != selection.cpMax)
            request.chrg = selection;
    }
    SetFormattingDevice(control, 0, request.rc.right - request.rc.left);

    int count = 0;
    LRESULT next = FormatRange(control, 0, &request);
    while (next > request.chrg.cpMin) {
        request.chrg.cpMin = (LONG)next;
        ++count;
        next = FormatRange(control, 0, &request);
    }
    FormatRange(control, 0, 0);
    RestoreScreenFormatting(control);
    return count;
}

// The range to print: the selection, or everything, read without visible flicker.
static CHARRANGE PrintRange(HWND control, DWORD flags)
{
    CHARRANGE saved, range;
    SendMessageA(control, WM_SETREDRAW, FALSE, 0);
    SendMessageA(control, EM_EXGETSEL, 0, (LPARAM)&saved);
    if (!(flags & PD_SELECTION))
        SendMessageA(control, EM_SETSEL, 0, -1);
    SendMessageA(control, EM_EXGETSEL, 0, (LPARAM)&range);
    SendMessageA(control, EM_EXSETSEL, 0, (LPARAM)&saved);
    SendMessageA(control, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(control, 0, FALSE);
    return range;
}

// Range end without the line ends that close the document: counted in the control's
// own positions (one CR per paragraph end, one unit per character), so no printed
// character is lost.
static LONG TrimRangeEnd(HWND control, LONG end)
{
    GETTEXTLENGTHEX how = {GTL_NUMCHARS | GTL_PRECISE, 1200};
    int length = (int)SendMessageW(control, EM_GETTEXTLENGTHEX, (WPARAM)&how, 0);
    std::vector<wchar_t> text(length + 1);
    GETTEXTEX get = {(DWORD)((length + 1) * sizeof(wchar_t)), GT_DEFAULT, 1200, 0, 0};
    SendMessageW(control, EM_GETTEXTEX, (WPARAM)&get, (LPARAM)text.data());
    return TrimmedRangeEnd(text.data(), (int)wcslen(text.data()), end);
}

int PrintDocument(const PRINTDLGA *record, const RECT &margins, const char *documentName)
{
    HWND control = EditorControl.control;
    if (!control || !record || !record->hDC)
        return 0;
    HDC device = record->hDC;
    int dpiX = GetDeviceCaps(device, LOGPIXELSX), dpiY = GetDeviceCaps(device, LOGPIXELSY);
    int offsetX = PixelsToTwips(GetDeviceCaps(device, PHYSICALOFFSETX), dpiX);
    int offsetY = PixelsToTwips(GetDeviceCaps(device, PHYSICALOFFSETY), dpiY);
    int pageWidth = PixelsToTwips(GetDeviceCaps(device, PHYSICALWIDTH), dpiX);
    int pageHeight = PixelsToTwips(GetDeviceCaps(device, PHYSICALHEIGHT), dpiY);

    FORMATRANGE request;
    memset(&request, 0, sizeof request);
    request.hdc = request.hdcTarget = device;
    RECT area = {ThousandthsToTwips(margins.left) - offsetX, ThousandthsToTwips(margins.top) - offsetY,
                 pageWidth - ThousandthsToTwips(margins.right) - offsetX,
                 pageHeight - ThousandthsToTwips(margins.bottom) - offsetY};
    RECT page = {0, 0, pageWidth, pageHeight};
    request.rc = area;
    request.rcPage = page;
    request.chrg = PrintRange(control, record->Flags);
    SetFormattingDevice(control, device, area.right - area.left);
    request.chrg.cpMax = TrimRangeEnd(control, request.chrg.cpMax);

    DOCINFOA job;
    memset(&job, 0, sizeof job);
    job.cbSize = sizeof job;
    job.lpszDocName = documentName;
    int printed = 0;
    // A job the spooler refused prints nothing rather than counting pages it never had.
    if (StartDocA(device, &job) > 0) {
        LONG previous = request.chrg.cpMin;
        for (int number = 1; request.chrg.cpMin < request.chrg.cpMax; ++number) {
            LRESULT next;
            if ((record->Flags & PD_PAGENUMS) &&
                (number < record->nFromPage || number > record->nToPage)) {
                next = FormatRange(control, 0, &request);
            } else {
                StartPage(device);
                next = FormatRange(control, 1, &request);
                EndPage(device);
                ++printed;
            }
            if (next <= previous) {
                TracePrint("Printing Error! [%d,%d,%d]", (int)next, (int)request.chrg.cpMax,
                           (int)previous);
                break;
            }
            request.rc = area;
            request.rcPage = page;
            request.chrg.cpMin = (LONG)next;
            previous = (LONG)next;
        }
        EndDoc(device);
    }
    FormatRange(control, 0, 0);
    RestoreScreenFormatting(control);
    return printed;
}

int HasDefaultPrinter()
{
    PRINTDLGA probe;
    memset(&probe, 0, sizeof probe);
    probe.lStructSize = sizeof probe;
    probe.Flags = PD_RETURNDEFAULT | PD_NOWARNING;
    BOOL found = PrintDlgA(&probe);
    if (probe.hDevMode)
        GlobalFree(probe.hDevMode);
    if (probe.hDevNames)
        GlobalFree(probe.hDevNames);
    return found != 0;
}

void RunPageSetup(HWND owner)
{
    if (!HasDefaultPrinter()) {
        MessageBoxA(owner, NO_PRINTER, AppName, MB_OK | MB_ICONINFORMATION);
        return;
    }
    PAGESETUPDLGA setup;
    memset(&setup, 0, sizeof setup);
    setup.lStructSize = sizeof setup;
    setup.hwndOwner = owner;
    setup.Flags = PSD_MARGINS | PSD_INTHOUSANDTHSOFINCHES;
    setup.rtMargin = PageSettings.margins;
    if (PageSetupDlgA(&setup)) {
        PageSettings.paperSize = setup.ptPaperSize;
        PageSettings.margins = setup.rtMargin;
        EditorControl.SetWrapMode(-1, PrintableWidth());
    }
    // Every Page Setup starts from the default printer: the choice is not kept.
    if (setup.hDevMode)
        GlobalFree(setup.hDevMode);
    if (setup.hDevNames)
        GlobalFree(setup.hDevNames);
}

void RunPrint(HWND owner)
{
    if (!EditorControl.control)
        return;
    if (!HasDefaultPrinter()) {
        MessageBoxA(owner, NO_PRINTER, AppName, MB_OK | MB_ICONINFORMATION);
        return;
    }
    int pages = CountPages(PageSettings.margins, PageSettings.paperSize, 0);
    CHARRANGE selection;
    SendMessageA(EditorControl.control, EM_EXGETSEL, 0, (LPARAM)&selection);

    PRINTDLGA record;
    memset(&record, 0, sizeof record);
    record.lStructSize = sizeof record;
    record.hwndOwner = owner;
    record.Flags = PD_RETURNDC | (selection.cpMax != selection.cpMin ? PD_SELECTION : PD_NOSELECTION);
    // An empty document still opens the dialog (a job without pages): the page range
    // may not end before it starts.
    WORD last = (WORD)(pages > 0 ? (pages < 0xFFFF ? pages : 0xFFFF) : 1);
    record.nFromPage = 1;
    record.nToPage = last;
    record.nMinPage = 1;
    record.nMaxPage = last;
    if (PrintDlgA(&record))
        PrintDocument(&record, PageSettings.margins, AppName);
    else if (CommDlgExtendedError() == PDERR_NODEFAULTPRN)
        MessageBoxA(owner, NO_PRINTER, AppName, MB_OK | MB_ICONINFORMATION);
    if (record.hDC)
        DeleteDC(record.hDC);
    if (record.hDevMode)
        GlobalFree(record.hDevMode);
    if (record.hDevNames)
        GlobalFree(record.hDevNames);
}
