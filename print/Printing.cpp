#include "print/Printing.h"

#include <richedit.h>
#include <stdlib.h>
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

PrinterCalls Printer = {StartDocA, StartPage, EndPage, EndDoc, AbortDoc};

// Lays the control's text out for pages of that line width, measured as the screen
// measures it. Where our own layout paginates, the control's target device would only
// re-wrap the screen twice.
static void SetFormattingDevice(HWND control, int lineWidth)
{
    if (!FormatRangeStandsIn(control))
        SendMessageA(control, EM_SETTARGETDEVICE, (WPARAM)MeasuringDevice(), lineWidth);
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
    request.hdc = request.hdcTarget = MeasuringDevice();
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
    SetFormattingDevice(control, request.rc.right - request.rc.left);

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

namespace {

// One print job: the request as it stands, the rectangles it starts each page with.
struct Job {
    HWND control;
    HDC device;
    const PRINTDLGA *record;
    FORMATRANGE request;
    RECT area, page;
    int printed;   // pages the device took
    bool ended;    // the device failed or a page took no text: nothing more is printed
    bool aborted;  // the device failed: the job was taken back
};

// The device refused a page: nothing more goes to it, and the job is taken back.
void DeviceFailed(Job &job, int result)
{
    TracePrint("Printing Error! [%d,%d,%d]", result, (int)job.request.chrg.cpMax,
               (int)job.request.chrg.cpMin);
    Printer.abortDoc(job.device);
    job.ended = job.aborted = true;
}

// The page of that number at the range start, printed times times (or only measured
// when it is not among the chosen pages); the position after it.
LRESULT PrintPage(Job &job, int number, int times)
{
    const PRINTDLGA *record = job.record;
    if ((record->Flags & PD_PAGENUMS) && (number < record->nFromPage || number > record->nToPage))
        return FormatRange(job.control, 0, &job.request);
    LRESULT next = 0;
    for (int copy = 0; copy < times; ++copy) {
        job.request.rc = job.area;
        job.request.rcPage = job.page;
        int started = Printer.startPage(job.device);
        if (started <= 0) {
            DeviceFailed(job, started);
            return 0;
        }
        next = FormatRange(job.control, 1, &job.request);
        int ended = Printer.endPage(job.device);
        if (ended <= 0) {
            DeviceFailed(job, ended);
            return 0;
        }
        ++job.printed;
    }
    return next;
}

// The range from first, each page times times, until it ends or the job does.
void PrintPages(Job &job, LONG first, int times)
{
    job.request.chrg.cpMin = first;
    LONG previous = first;
    for (int number = 1; !job.ended && job.request.chrg.cpMin < job.request.chrg.cpMax; ++number) {
        LRESULT next = PrintPage(job, number, times);
        if (job.ended)
            return;
        if (next <= previous) {
            TracePrint("Printing Error! [%d,%d,%d]", (int)next, (int)job.request.chrg.cpMax,
                       (int)previous);
            job.ended = true;
            return;
        }
        job.request.rc = job.area;
        job.request.rcPage = job.page;
        job.request.chrg.cpMin = (LONG)next;
        previous = (LONG)next;
    }
}

}  // namespace

int PrintDocument(const PRINTDLGA *record, const RECT &margins, const char *documentName)
{
    HWND control = EditorControl.control;
    if (!control || !record || !record->hDC)
        return 0;
    HDC device = record->hDC;
    int dpiX = GetDeviceCaps(device, LOGPIXELSX), dpiY = GetDeviceCaps(device, LOGPIXELSY);
    int offsetX = PixelsToTwips(GetDeviceCaps(device, PHYSICALOFFSETX), dpiX);
    int offsetY = PixelsToTwips(GetDeviceCaps(device, PHYSICALOFFSETY), dpiY);
    // The run's paper, as the page count and the preview lay it out (the print dialog
    // was given it): the same lines on every page, whatever the device rounds.
    int pageWidth = ThousandthsToTwips(PageSettings.paperSize.x);
    int pageHeight = ThousandthsToTwips(PageSettings.paperSize.y);

    Job job;
    memset(&job, 0, sizeof job);
    job.control = control;
    job.device = device;
    job.record = record;
    job.request.hdc = device;
    job.request.hdcTarget = MeasuringDevice();
    job.area = {ThousandthsToTwips(margins.left) - offsetX, ThousandthsToTwips(margins.top) - offsetY,
                pageWidth - ThousandthsToTwips(margins.right) - offsetX,
                pageHeight - ThousandthsToTwips(margins.bottom) - offsetY};
    job.page = {0, 0, pageWidth, pageHeight};
    job.request.rc = job.area;
    job.request.rcPage = job.page;
    job.request.chrg = PrintRange(control, record->Flags);
    SetFormattingDevice(control, job.area.right - job.area.left);
    job.request.chrg.cpMax = TrimRangeEnd(control, job.request.chrg.cpMax);
    LONG first = job.request.chrg.cpMin;

    // Copies the driver does not make (the dialog then says how many): the range that
    // many times, whole ranges one after another when collated, else each page repeated.
    int copies = record->nCopies > 1 ? record->nCopies : 1;
    bool collated = (record->Flags & PD_COLLATE) != 0;

    DOCINFOA information;
    memset(&information, 0, sizeof information);
    information.cbSize = sizeof information;
    information.lpszDocName = documentName;
    // A job the spooler refused prints nothing rather than counting pages it never had.
    if (Printer.startDoc(device, &information) > 0) {
        for (int pass = 0; pass < (collated ? copies : 1) && !job.ended; ++pass)
            PrintPages(job, first, collated ? 1 : copies);
        // A job stopped by a page that took no text keeps the pages it printed.
        if (!job.aborted)
            Printer.endDoc(device);
    }
    FormatRange(control, 0, 0);
    RestoreScreenFormatting(control);
    return job.printed;
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

namespace {

// The default printer's device mode and names, the mode set to the run's paper; false
// without a printer. The dialogs given them open on the paper the editor's Wrap to Page,
// the page count and the preview use, and a job prints on it.
bool DefaultPrinterOnRunPaper(HGLOBAL *devMode, HGLOBAL *devNames)
{
    PRINTDLGA probe;
    memset(&probe, 0, sizeof probe);
    probe.lStructSize = sizeof probe;
    probe.Flags = PD_RETURNDEFAULT | PD_NOWARNING;
    BOOL found = PrintDlgA(&probe);
    *devMode = probe.hDevMode;
    *devNames = probe.hDevNames;
    if (!found || !probe.hDevMode || !probe.hDevNames)
        return found != 0;
    DEVMODEA *mode = (DEVMODEA *)GlobalLock(probe.hDevMode);
    const char *names = (const char *)GlobalLock(probe.hDevNames);
    if (mode && names) {
        const DEVNAMES *offsets = (const DEVNAMES *)names;
        const char *device = names + offsets->wDeviceOffset, *port = names + offsets->wOutputOffset;
        POINT paper = PageSettings.paperSize;
        bool landscape = paper.x > paper.y;
        if (landscape)
            paper = {paper.y, paper.x};
        // Tenths of a millimetre, as the driver lists its papers.
        POINT wanted = {(LONG)(paper.x * 254LL / 1000), (LONG)(paper.y * 254LL / 1000)};
        int count = (int)DeviceCapabilitiesA(device, port, DC_PAPERS, 0, mode);
        std::vector<WORD> papers(count > 0 ? count : 0);
        std::vector<POINT> sizes(papers.size());
        int known = -1;
        if (count > 0 && DeviceCapabilitiesA(device, port, DC_PAPERS, (char *)papers.data(), mode) == count &&
            DeviceCapabilitiesA(device, port, DC_PAPERSIZE, (char *)sizes.data(), mode) == count) {
            // The printer's own paper where it is that size, else the paper of that size
            // with the lowest (standard) number: drivers list a size under several names.
            for (int i = 0; i < count; ++i) {
                if (abs(sizes[i].x - wanted.x) > 10 || abs(sizes[i].y - wanted.y) > 10)
                    continue;
                if (papers[i] == mode->dmPaperSize) {
                    known = i;
                    break;
                }
                if (known < 0 || papers[i] < papers[known])
                    known = i;
            }
        }
        if (known >= 0) {
            mode->dmPaperSize = papers[known];
            mode->dmFields = (mode->dmFields | DM_PAPERSIZE) & ~(DM_PAPERWIDTH | DM_PAPERLENGTH);
        } else {
            mode->dmPaperSize = DMPAPER_USER;
            mode->dmPaperWidth = (short)wanted.x;
            mode->dmPaperLength = (short)wanted.y;
            mode->dmFields |= DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH;
        }
        mode->dmOrientation = landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
        mode->dmFields |= DM_ORIENTATION;
    }
    GlobalUnlock(probe.hDevNames);
    GlobalUnlock(probe.hDevMode);
    return true;
}

// Whether the printer makes copies itself (the dialog then puts them in its device mode).
bool DriverMakesCopies(HGLOBAL devMode, HGLOBAL devNames)
{
    DEVMODEA *mode = (DEVMODEA *)GlobalLock(devMode);
    const char *names = (const char *)GlobalLock(devNames);
    bool copies = false;
    if (mode && names) {
        const DEVNAMES *offsets = (const DEVNAMES *)names;
        copies = (mode->dmFields & DM_COPIES) &&
                 DeviceCapabilitiesA(names + offsets->wDeviceOffset,
                                     names + offsets->wOutputOffset, DC_COPIES, 0, mode) > 1;
    }
    GlobalUnlock(devNames);
    GlobalUnlock(devMode);
    return copies;
}

void FreePrinter(HGLOBAL devMode, HGLOBAL devNames)
{
    if (devMode)
        GlobalFree(devMode);
    if (devNames)
        GlobalFree(devNames);
}

}  // namespace

void RunPageSetup(HWND owner)
{
    PAGESETUPDLGA setup;
    memset(&setup, 0, sizeof setup);
    if (!DefaultPrinterOnRunPaper(&setup.hDevMode, &setup.hDevNames)) {
        FreePrinter(setup.hDevMode, setup.hDevNames);
        MessageBoxA(owner, NO_PRINTER, AppName, MB_OK | MB_ICONINFORMATION);
        return;
    }
    setup.lStructSize = sizeof setup;
    setup.hwndOwner = owner;
    setup.Flags = PSD_MARGINS | PSD_INTHOUSANDTHSOFINCHES;
    setup.rtMargin = PageSettings.margins;
    if (PageSetupDlgA(&setup)) {
        PageSettings.paperSize = setup.ptPaperSize;
        PageSettings.margins = setup.rtMargin;
        EditorControl.SetWrapMode(-1, PrintableWidth());
    }
    // The paper chosen lives on in PageSettings; the next dialog starts from it again.
    FreePrinter(setup.hDevMode, setup.hDevNames);
}

void RunPrint(HWND owner)
{
    if (!EditorControl.control)
        return;
    PRINTDLGA record;
    memset(&record, 0, sizeof record);
    if (!DefaultPrinterOnRunPaper(&record.hDevMode, &record.hDevNames)) {
        FreePrinter(record.hDevMode, record.hDevNames);
        MessageBoxA(owner, NO_PRINTER, AppName, MB_OK | MB_ICONINFORMATION);
        return;
    }
    int pages = CountPages(PageSettings.margins, PageSettings.paperSize, 0);
    CHARRANGE selection;
    SendMessageA(EditorControl.control, EM_EXGETSEL, 0, (LPARAM)&selection);

    record.lStructSize = sizeof record;
    record.hwndOwner = owner;
    record.Flags = PD_RETURNDC | (selection.cpMax != selection.cpMin ? PD_SELECTION : PD_NOSELECTION);
    // The driver makes the copies where it can; otherwise the dialog reports them in
    // nCopies and PD_COLLATE, and PrintDocument prints the range that many times.
    if (DriverMakesCopies(record.hDevMode, record.hDevNames))
        record.Flags |= PD_USEDEVMODECOPIESANDCOLLATE;
    // An empty document still opens the dialog (a job without pages): the page range
    // may not end before it starts.
    WORD last = (WORD)(pages > 0 ? (pages < 0xFFFF ? pages : 0xFFFF) : 1);
    record.nFromPage = 1;
    record.nToPage = last;
    record.nMinPage = 1;
    record.nMaxPage = last;
    record.nCopies = 1;
    if (PrintDlgA(&record))
        PrintDocument(&record, PageSettings.margins, AppName);
    else if (CommDlgExtendedError() == PDERR_NODEFAULTPRN)
        MessageBoxA(owner, NO_PRINTER, AppName, MB_OK | MB_ICONINFORMATION);
    if (record.hDC)
        DeleteDC(record.hDC);
    FreePrinter(record.hDevMode, record.hDevNames);
}
