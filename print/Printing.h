// Page Setup, page counting and printing of the document, its selection or a range
// of its pages.
#pragma once
#include <windows.h>
#include <commdlg.h>
#include <cderr.h>

// Pages the text (or, with selectionOnly and a selection, the selection) fills at these
// margins and paper size (thousandths of an inch); 0 without a control.
int CountPages(const RECT &margins, POINT paperSize, int selectionOnly);
// Prints through the filled-in print dialog record (its device context, flags, page
// range and the copies it leaves to the program: nCopies, collated with PD_COLLATE) on
// the run's paper (PageSettings) at these margins; returns the pages the device took,
// 0 without a control.
int PrintDocument(const PRINTDLGA *record, const RECT &margins, const char *documentName);

// The device calls of a print job, in one place so that a test can see their order and
// make one fail. Printing honours each result: a page the device refuses ends the job
// with AbortDoc and the "Printing Error!" trace line.
struct PrinterCalls {
    int (WINAPI *startDoc)(HDC, const DOCINFOA *);
    int (WINAPI *startPage)(HDC);
    int (WINAPI *endPage)(HDC);
    int (WINAPI *endDoc)(HDC);
    int (WINAPI *abortDoc)(HDC);
};
extern PrinterCalls Printer;

// Non-zero when the system has a default printer; asks nothing of the user.
int HasDefaultPrinter();
// The Page Setup command: margins and paper size for the run, then the re-wrap.
void RunPageSetup(HWND owner);
// The Print command: the print dialog, then the job.
void RunPrint(HWND owner);
