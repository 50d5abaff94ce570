// Page counting, printing to the test printer and the Print Preview dialog, over a real
// RichEdit window in the test process.
#include "EditorWindow.h"

#include <stdio.h>
#include <string.h>
#include <vector>

#include "../common/PrintedPages.h"
#include "print/FormatRange.h"
#include "print/PageSettings.h"
#include "print/PrintPreviewDialog.h"
#include "print/Printing.h"
#include "res/resource.h"

namespace {

// Lines received by a stand-in output window of this process.
std::vector<std::string> TraceLines;

LRESULT CALLBACK TraceWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) {
        const COPYDATASTRUCT *data = (const COPYDATASTRUCT *)lParam;
        TraceLines.push_back(std::string((const char *)data->lpData, data->cbData ? data->cbData - 1 : 0));
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

class PrintingTest : public EditorWindowTest {
protected:
    PageSetup savedPage;
    int copiesWanted = 1;

    void SetUp() override
    {
        EditorWindowTest::SetUp();
        savedPage = PageSettings;
        SetFont(200);
    }

    void TearDown() override
    {
        PageSettings = savedPage;
        EditorWindowTest::TearDown();
    }

    void SetFont(int twips)
    {
        CHARFORMATA format;
        memset(&format, 0, sizeof format);
        format.cbSize = sizeof format;
        format.dwMask = CFM_FACE | CFM_SIZE | CFM_BOLD;
        format.yHeight = twips;
        strcpy(format.szFaceName, "DejaVu Sans");
        SendMessageA(Editor(), EM_SETCHARFORMAT, SCF_ALL, (LPARAM)&format);
    }

    // "Line 001 of the text" ... one per line, CR LF between them.
    static std::string Lines(int first, int last)
    {
        std::string text;
        for (int n = first; n <= last; ++n) {
            char line[32];
            snprintf(line, sizeof line, "Line %03d of the text", n);
            text += line;
            if (n < last)
                text += "\r\n";
        }
        return text;
    }

    int Pages(int selectionOnly = 0)
    {
        return CountPages(PageSettings.margins, PageSettings.paperSize, selectionOnly);
    }

    // The most lines that one page holds, found by counting pages.
    int LinesPerPage()
    {
        int low = 1, high = 400;
        while (high - low > 1) {
            int middle = (low + high) / 2;
            SetText(Lines(1, middle).c_str());
            (Pages() == 1 ? low : high) = middle;
        }
        return low;
    }

    // Prints through the default printer's device context; returns the job read back.
    PrintedJob Print(DWORD flags, int from = 0, int to = 0, int *printed = 0)
    {
        PRINTDLGA record;
        memset(&record, 0, sizeof record);
        record.lStructSize = sizeof record;
        record.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
        PrintedJob job;
        if (!PrintDlgA(&record) || !record.hDC) {
            ADD_FAILURE() << "no printer device context";
            return job;
        }
        record.Flags = flags;
        record.nCopies = (WORD)copiesWanted;
        record.nFromPage = (WORD)from;
        record.nToPage = (WORD)to;
        std::set<std::string> before = PrintedJobNames();
        int pages = PrintDocument(&record, PageSettings.margins, "OrvelloWord test");
        if (printed)
            *printed = pages;
        DeleteDC(record.hDC);
        GlobalFree(record.hDevMode);
        GlobalFree(record.hDevNames);
        return WaitForPrintedJob(before);
    }
};

TEST_F(PrintingTest, PagesHoldWholeLinesAndTheCountFollowsTextMarginsAndSelection)
{
    EXPECT_EQ(Pages(), 0);
    SetText("one line");
    EXPECT_EQ(Pages(), 1);
    int perPage = LinesPerPage();
    // 9 inches of 10-point lines.
    EXPECT_GT(perPage, 40);
    EXPECT_LT(perPage, 70);
    struct { int lines, pages; } cases[] = {
        {perPage + 1, 2}, {2 * perPage, 2}, {2 * perPage + 1, 3}, {3 * perPage, 3}};
    for (const auto &c : cases) {
        SetText(Lines(1, c.lines).c_str());
        EXPECT_EQ(Pages(), c.pages) << c.lines << " lines";
    }
    // Half the height holds half the lines, rounded down.
    PageSettings.margins.bottom += 4500;
    SetText(Lines(1, perPage / 2 * 2).c_str());
    EXPECT_EQ(Pages(), 2);
    SetText(Lines(1, perPage / 2 * 2 + 1).c_str());
    EXPECT_EQ(Pages(), 3);
    PageSettings.margins.bottom -= 4500;

    // Only the selection, when asked and when there is one; the screen stays as it was.
    SetText(Lines(1, 3 * perPage).c_str());
    EditorControl.SetWrapMode(WRAP_NONE, 0);
    int start = (int)SendMessageA(Editor(), EM_LINEINDEX, 5, 0);
    int end = (int)SendMessageA(Editor(), EM_LINEINDEX, 6 + perPage, 0);
    SendMessageA(Editor(), EM_SETSEL, start, end);
    EXPECT_EQ(Pages(1), 2);
    EXPECT_EQ(Pages(0), 3);
    EXPECT_EQ(Selection().cpMin, start);
    EXPECT_EQ(Selection().cpMax, end);
    EXPECT_EQ(EditorControl.lineWidth, 1);
    SendMessageA(Editor(), EM_SETSEL, start, start);
    EXPECT_EQ(Pages(1), 3);

    // Wrap to Page wraps at the printable width, and counting keeps it.
    EXPECT_EQ(PrintableWidth(), 6000);
    EditorControl.SetWrapMode(WRAP_PAGE, PrintableWidth());
    EXPECT_EQ(EditorControl.lineWidth, 8640);
    Pages();
    EXPECT_EQ(EditorControl.lineWidth, 8640);
}

TEST_F(PrintingTest, PrintedPagesCarryEveryLineInOrderTheRangeAndTheSelection)
{
    if (PrintFolder().empty())
        GTEST_SKIP() << NoPrinterReason();
    int perPage = LinesPerPage(), total = 2 * perPage + perPage / 2, printed = 0;
    SetText(Lines(1, total).c_str());
    // The printer's Letter page breaks where the count (and so the preview) breaks.
    PrintedJob job = Print(0, 0, 0, &printed);
    ASSERT_EQ(job.pages.size(), 3u);
    EXPECT_EQ(printed, 3);
    std::string all;
    for (size_t page = 0; page < 3; ++page) {
        std::vector<std::string> lines = PageLines(job.pages[page]);
        int first = (int)page * perPage + 1, last = page < 2 ? first + perPage - 1 : total;
        ASSERT_EQ(lines.size(), size_t(last - first + 1)) << "page " << page + 1;
        for (int n = first; n <= last; ++n)
            EXPECT_EQ(lines[n - first], Lines(n, n)) << "page " << page + 1;
    }

    PrintedJob range = Print(PD_PAGENUMS, 2, 3, &printed);
    ASSERT_EQ(range.pages.size(), 2u);
    EXPECT_EQ(printed, 2);
    EXPECT_EQ(PageLines(range.pages[0]).front(), Lines(perPage + 1, perPage + 1));
    EXPECT_EQ(PageLines(range.pages[1]).back(), Lines(total, total));

    int start = (int)SendMessageA(Editor(), EM_LINEINDEX, 9, 0);
    int end = (int)SendMessageA(Editor(), EM_LINEINDEX, 20, 0) - 1;
    SendMessageA(Editor(), EM_SETSEL, start, end);
    PrintedJob selection = Print(PD_SELECTION);
    ASSERT_EQ(selection.pages.size(), 1u);
    std::vector<std::string> lines = PageLines(selection.pages[0]);
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines.front(), Lines(10, 10));
    EXPECT_EQ(lines.back(), Lines(20, 20));
    EXPECT_EQ(Selection().cpMin, start);  // the document is left as it was
    EXPECT_EQ(Selection().cpMax, end);

    // Line ends that close the document print no pages and cut no text.
    std::string text = Lines(1, 3) + "\r\nThe end";
    for (int i = 0; i < 2 * perPage; ++i)
        text += "\r\n";
    SetText(text.c_str());
    job = Print(0, 0, 0, &printed);
    ASSERT_EQ(job.pages.size(), 1u);
    EXPECT_EQ(PageLines(job.pages[0]).back(), "The end");
    // An empty document is a job without pages (Ghostscript still makes a blank one).
    SetText("");
    job = Print(0, 0, 0, &printed);
    EXPECT_TRUE(job.found);
    EXPECT_EQ(printed, 0);
    for (const std::string &page : job.pages)
        EXPECT_TRUE(PageLines(page).empty());
}

TEST_F(PrintingTest, BoldAndTwentyPointTextPrintsBoldAndLarger)
{
    if (PrintFolder().empty())
        GTEST_SKIP() << NoPrinterReason();
    SendMessageA(Editor(), WM_SETTEXT, 0, (LPARAM) "");
    SendMessageA(Editor(), EM_SETTEXTMODE, TM_RICHTEXT, 0);
    SetText("{\\rtf1{\\fonttbl{\\f0 DejaVu Sans;}}\\f0\\fs20 plain words\\par"
            "{\\b heavy words}\\par{\\fs40 large words}\\par}");
    PrintedJob job = Print(0);
    ASSERT_TRUE(job.found);
    ASSERT_EQ(job.pages.size(), 1u);
    // Each word's box from the PDF: its height follows the font size.
    auto height = [&](const char *word) {
        size_t at = job.words.find(std::string(">") + word + "<");
        double yMin = 0, yMax = 0;
        if (at == std::string::npos)
            return 0.0;
        size_t tag = job.words.rfind("<word", at);
        const char *p = job.words.c_str() + tag;
        sscanf(strstr(p, "yMin=\""), "yMin=\"%lf", &yMin);
        sscanf(strstr(p, "yMax=\""), "yMax=\"%lf", &yMax);
        return yMax - yMin;
    };
    double plain = height("plain"), heavy = height("heavy"), large = height("large");
    ASSERT_GT(plain, 0);
    EXPECT_NEAR(heavy, plain, plain * 0.1);
    EXPECT_GT(large, plain * 1.8);
    EXPECT_NE(job.fonts.find("Bold"), std::string::npos) << job.fonts;
}

TEST_F(PrintingTest, APageThatTakesNoTextEndsTheJobWithATraceLine)
{
    if (PrintFolder().empty())
        GTEST_SKIP() << NoPrinterReason();
    WNDCLASSA trace = {};
    trace.lpfnWndProc = TraceWindow;
    trace.lpszClassName = "OXR";
    RegisterClassA(&trace);
    HWND receiver = CreateWindowA("OXR", "", 0, 0, 0, 0, 0, HWND_MESSAGE, 0, 0, 0);
    TraceLines.clear();

    SetText(Lines(1, 5).c_str());
    SendMessageA(Editor(), EM_SETSEL, 3, 7);
    // The top margin below the paper's end: no line fits.
    PageSettings.margins.top = 12000;
    int printed = 0;
    Print(0, 0, 0, &printed);
    DestroyWindow(receiver);
    UnregisterClassA("OXR", 0);
    EXPECT_EQ(printed, 1);
    ASSERT_EQ(TraceLines.size(), 1u);
    int length = (int)Lines(1, 5).size() - 4;  // one position per line end
    EXPECT_EQ(TraceLines[0], "Printing Error! [0," + std::to_string(length) + ",0]\n");
    EXPECT_EQ(Text(TEXT_PLAIN), Lines(1, 5));
    EXPECT_EQ(Selection().cpMin, 3);
    EXPECT_EQ(Selection().cpMax, 7);
}

// --- Print Preview ---------------------------------------------------------------

namespace {

// The page area as the dialog draws it into a bitmap of ours, pixel by pixel.
struct AreaPicture {
    int width = 0, height = 0;
    std::vector<DWORD> pixels;
    DWORD At(int x, int y) const { return pixels[(size_t)y * width + x] & 0xFFFFFF; }
    // Size of the black outline whose top-left corner is at (x, y).
    SIZE Outline(int x, int y) const
    {
        SIZE size = {0, 0};
        while (x + size.cx < width && At(x + size.cx, y) == 0)
            ++size.cx;
        while (y + size.cy < height && At(x, y + size.cy) == 0)
            ++size.cy;
        return size;
    }
};

AreaPicture DrawArea(HWND dialog)
{
    AreaPicture picture;
    DRAWITEMSTRUCT item = {ODT_BUTTON, IDC_PREVIEW_PAGES_AREA, 0, ODA_DRAWENTIRE, 0,
                           GetDlgItem(dialog, IDC_PREVIEW_PAGES_AREA)};
    GetClientRect(item.hwndItem, &item.rcItem);
    picture.width = item.rcItem.right;
    picture.height = item.rcItem.bottom;
    BITMAPINFO info = {{sizeof info.bmiHeader, picture.width, -picture.height, 1, 32}};
    void *bits = 0;
    item.hDC = CreateCompatibleDC(0);
    HBITMAP bitmap = CreateDIBSection(item.hDC, &info, DIB_RGB_COLORS, &bits, 0, 0);
    HGDIOBJ old = SelectObject(item.hDC, bitmap);
    PatBlt(item.hDC, 0, 0, picture.width, picture.height, WHITENESS);
    SendMessageA(dialog, WM_DRAWITEM, IDC_PREVIEW_PAGES_AREA, (LPARAM)&item);
    GdiFlush();
    picture.pixels.assign((DWORD *)bits, (DWORD *)bits + (size_t)picture.width * picture.height);
    SelectObject(item.hDC, old);
    DeleteObject(bitmap);
    DeleteDC(item.hDC);
    return picture;
}

// Sizes the page area, then chooses "Pages:" and "First:" as the lists would.
AreaPicture Show(HWND dialog, int width, int height, int pages, int first)
{
    RECT frame = {0, 0, width + 40, height + 60};
    AdjustWindowRectEx(&frame, GetWindowLongA(dialog, GWL_STYLE), FALSE,
                       GetWindowLongA(dialog, GWL_EXSTYLE));
    SetWindowPos(dialog, 0, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOMOVE);
    int lists[2][2] = {{IDC_PREVIEW_PAGE_COUNT, pages - 1}, {IDC_PREVIEW_FIRST_PAGE, first - 1}};
    for (auto &list : lists) {
        SendDlgItemMessageA(dialog, list[0], CB_SETCURSEL, list[1], 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(list[0], CBN_SELENDOK), 0);
    }
    return DrawArea(dialog);
}

bool SameCell(const AreaPicture &a, int ax, const AreaPicture &b, int bx, SIZE cell)
{
    for (int y = 0; y < cell.cy; ++y)
        for (int x = 0; x < cell.cx; ++x)
            if (a.At(ax + x, y) != b.At(bx + x, y))
                return false;
    return true;
}

std::vector<int> Results;

// Runs inside the modal dialog's own loop, then closes it.
void CALLBACK CheckPreview(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = FindWindowA("#32770", "Print Preview");
    if (!dialog)
        return;
    KillTimer(0, timer);
    Results.push_back((int)SendDlgItemMessageA(dialog, IDC_PREVIEW_FIRST_PAGE, CB_GETCOUNT, 0, 0));
    // Room for four full-height pages side by side, then "First:" 3 with two pages.
    AreaPicture four = Show(dialog, 1000, 300, 4, 1);
    SIZE page = four.Outline(0, 0);
    AreaPicture two = Show(dialog, 1000, 300, 2, 3);
    int pitch = page.cx + 12;
    SIZE cell = {page.cx, page.cy + 24};  // the image and its number
    Results.insert(Results.end(), {(int)page.cx, (int)page.cy,
                                   SameCell(two, 0, four, 2 * pitch, cell),
                                   SameCell(two, pitch, four, 3 * pitch, cell),
                                   SameCell(two, 0, four, 0, cell), (int)two.Outline(2 * pitch, 0).cx});
    // Too small for four at full height: they shrink until the grid holds them.
    AreaPicture small = Show(dialog, 500, 400, 4, 1);
    SIZE shrunk = small.Outline(0, 0);
    int across = 500 / (shrunk.cx + 12), corners = 0;
    for (int k = 0; k < 4; ++k)
        corners += small.At((k % across) * (shrunk.cx + 12), (k / across) * (shrunk.cy + 24)) == 0;
    Results.insert(Results.end(), {(int)shrunk.cy, corners});
    Show(dialog, 500, 400, 1, 3);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
}

// The next opening shows the first page kept from the last one; then back to page 1.
void CALLBACK CheckReopened(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = FindWindowA("#32770", "Print Preview");
    if (!dialog)
        return;
    KillTimer(0, timer);
    Results.push_back((int)SendDlgItemMessageA(dialog, IDC_PREVIEW_FIRST_PAGE, CB_GETCURSEL, 0, 0));
    Show(dialog, 500, 400, 1, 1);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
}

}  // namespace

TEST_F(PrintingTest, PreviewShrinksFourPagesToFitAndShowsPagesFromTheFirstChosen)
{
    SetText(Lines(1, 300).c_str());
    EditorControl.SetWrapMode(WRAP_NONE, 0);
    SendMessageA(Editor(), EM_SETSEL, 4, 4);
    int count = Pages();
    ASSERT_GE(count, 5);
    Results.clear();
    SetTimer(0, 0, 50, CheckPreview);
    RunPrintPreview(parent);
    SetTimer(0, 0, 50, CheckReopened);
    RunPrintPreview(parent);
    // 376 high at first, then 10 % less each step until four fit in 500 x 400.
    int height = 376, width = 376 * 8500 / 11000;
    while ((500 / (width + 12)) * (400 / (height + 24)) < 4) {
        height = (int)(height * 0.9);
        width = (int)(width * 0.9);
    }
    ASSERT_LT(height, 376);
    // Full height 276 in a 300 high area; pages 3 and 4 in the first two places, nothing after.
    std::vector<int> expected = {count, 213, 276, 1, 1, 0, 0, height, 4, 2};
    EXPECT_EQ(Results, expected);
    // The editor is laid out for the screen again, its selection untouched.
    EXPECT_EQ(EditorControl.lineWidth, 1);
    EXPECT_EQ(Selection().cpMin, 4);
    EXPECT_EQ(Selection().cpMax, 4);
}

// --- One measure, one decision, and the job's device calls ---------------------------

namespace {

const char SENTENCE[] = "The quick brown fox jumps over the lazy dog while seven wizards "
                        "quietly box jumping frogs near a pale mountain lake every evening ";

// The calls a print job made, in order; the page call of number failAt fails.
std::vector<std::string> Calls;
int FailAt = 0;
bool FailEnd = false;

int WINAPI RecordStartDoc(HDC, const DOCINFOA *) { Calls.push_back("StartDoc"); return 1; }
int WINAPI RecordStartPage(HDC)
{
    int page = 1;
    for (const std::string &call : Calls)
        page += call == "StartPage";
    Calls.push_back("StartPage");
    return !FailEnd && page == FailAt ? SP_ERROR : 1;
}
int WINAPI RecordEndPage(HDC)
{
    int page = 0;
    for (const std::string &call : Calls)
        page += call == "StartPage";
    Calls.push_back("EndPage");
    return FailEnd && page == FailAt ? SP_ERROR : 1;
}
int WINAPI RecordEndDoc(HDC) { Calls.push_back("EndDoc"); return 1; }
int WINAPI RecordAbortDoc(HDC) { Calls.push_back("AbortDoc"); return 1; }

// A control that paginates as Windows' does: 100 characters a page where the rectangle
// holds a line (an inch or more), nothing where it holds none.
WNDPROC RealProcedure = 0;
int FormatRangeCalls = 0;
LRESULT CALLBACK Paginating(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != EM_FORMATRANGE)
        return CallWindowProcA(RealProcedure, window, message, wParam, lParam);
    ++FormatRangeCalls;
    const FORMATRANGE *request = (const FORMATRANGE *)lParam;
    if (!request)
        return 0;
    GETTEXTLENGTHEX how = {GTL_NUMCHARS, 1200};
    LONG length = (LONG)CallWindowProcA(RealProcedure, window, EM_GETTEXTLENGTHEX, (WPARAM)&how, 0);
    LONG end = request->chrg.cpMax < 0 || request->chrg.cpMax > length ? length : request->chrg.cpMax;
    if (request->rc.bottom - request->rc.top < 1440 || request->chrg.cpMin >= end)
        return 0;
    return request->chrg.cpMin + 100 < end ? request->chrg.cpMin + 100 : end;
}

}  // namespace

TEST_F(PrintingTest, LinesThatFitTheEditorsPageWrapFitThePrintedPages)
{
    const struct { const char *face; int twips; } fonts[] = {
        {"DejaVu Sans", 200}, {"Courier New", 200}, {"DejaVu Serif", 240}, {"Liberation Sans", 180},
    };
    EditorControl.SetWrapMode(WRAP_PAGE, PrintableWidth());
    for (const auto &font : fonts) {
        CHARFORMATA format;
        memset(&format, 0, sizeof format);
        format.cbSize = sizeof format;
        format.dwMask = CFM_FACE | CFM_SIZE | CFM_BOLD;
        format.yHeight = font.twips;
        strcpy(format.szFaceName, font.face);
        // The longest start of the sentence that the editor shows on one line.
        int low = 1, high = (int)strlen(SENTENCE) + 1;
        while (high - low > 1) {
            int middle = (low + high) / 2;
            SetText(std::string(SENTENCE, middle).c_str());
            SendMessageA(Editor(), EM_SETCHARFORMAT, SCF_ALL, (LPARAM)&format);
            (SendMessageA(Editor(), EM_GETLINECOUNT, 0, 0) == 1 ? low : high) = middle;
        }
        ASSERT_LT(low, (int)strlen(SENTENCE)) << font.face;
        std::string line(SENTENCE, low), text, shortLines;
        for (int n = 0; n < 150; ++n) {
            text += line + (n < 149 ? "\r\n" : "");
            shortLines += n < 149 ? "x\r\n" : "x";
        }
        SetText(shortLines.c_str());
        SendMessageA(Editor(), EM_SETCHARFORMAT, SCF_ALL, (LPARAM)&format);
        int pages = Pages();
        SetText(text.c_str());
        SendMessageA(Editor(), EM_SETCHARFORMAT, SCF_ALL, (LPARAM)&format);
        ASSERT_EQ(SendMessageA(Editor(), EM_GETLINECOUNT, 0, 0), 150) << font.face;
        EXPECT_EQ(Pages(), pages) << font.face << ": " << low << " characters a line";
    }
}

TEST_F(PrintingTest, TheLayoutIsDecidedOnceAndAPaginatingControlsZeroStandsAsItsAnswer)
{
    SetText(Lines(1, 40).c_str());
    int length = (int)SendMessageA(Editor(), WM_GETTEXTLENGTH, 0, 0) - 39;
    RealProcedure = (WNDPROC)SetWindowLongPtrA(Editor(), GWLP_WNDPROC, (LONG_PTR)Paginating);
    ProbeFormatRange(Editor());
    EXPECT_EQ(FormatRangeStandsIn(Editor()), 0);
    int paged = (length + 99) / 100;
    EXPECT_EQ(Pages(), paged);

    // A rectangle that holds no line: the control's 0 is the answer, and the pages are
    // counted by the control as before.
    FORMATRANGE request;
    memset(&request, 0, sizeof request);
    request.hdc = request.hdcTarget = MeasuringDevice();
    SetRect(&request.rc, 0, 0, 8640, 100);
    request.rcPage = request.rc;
    request.chrg.cpMin = 0;
    request.chrg.cpMax = -1;
    FormatRangeCalls = 0;
    EXPECT_EQ(FormatRange(Editor(), 0, &request), 0);
    EXPECT_EQ(FormatRangeCalls, 1);
    EXPECT_EQ(FormatRangeStandsIn(Editor()), 0);
    EXPECT_EQ(Pages(), paged);

    SetWindowLongPtrA(Editor(), GWLP_WNDPROC, (LONG_PTR)RealProcedure);
    // Our own hidden control decides for the run again, as this control would.
    FORMATRANGE probe;
    memset(&probe, 0, sizeof probe);
    probe.hdc = probe.hdcTarget = MeasuringDevice();
    SetRect(&probe.rc, 0, 0, 20 * 1440, 20 * 1440);
    probe.rcPage = probe.rc;
    probe.chrg.cpMax = 1;
    int stub = SendMessageA(Editor(), EM_FORMATRANGE, 0, (LPARAM)&probe) == 0;
    SendMessageA(Editor(), EM_FORMATRANGE, 0, 0);
    ProbeFormatRange(0);
    EXPECT_EQ(FormatRangeStandsIn(Editor()), stub);
}

TEST_F(PrintingTest, APageTheDeviceRefusesEndsTheJobWithAbortDocAndATraceLine)
{
    WNDCLASSA trace = {};
    trace.lpfnWndProc = TraceWindow;
    trace.lpszClassName = "OXR";
    RegisterClassA(&trace);
    HWND receiver = CreateWindowA("OXR", "", 0, 0, 0, 0, 0, HWND_MESSAGE, 0, 0, 0);
    PrinterCalls saved = Printer;
    Printer = {RecordStartDoc, RecordStartPage, RecordEndPage, RecordEndDoc, RecordAbortDoc};
    int perPage = LinesPerPage();
    SetText(Lines(1, 3 * perPage).c_str());
    PRINTDLGA record;
    memset(&record, 0, sizeof record);
    record.lStructSize = sizeof record;
    record.hDC = CreateCompatibleDC(0);

    const struct { int failAt; bool failEnd; int printed; std::vector<std::string> calls; } cases[] = {
        {0, false, 3, {"StartDoc", "StartPage", "EndPage", "StartPage", "EndPage", "StartPage",
                       "EndPage", "EndDoc"}},
        {2, false, 1, {"StartDoc", "StartPage", "EndPage", "StartPage", "AbortDoc"}},
        {1, true, 0, {"StartDoc", "StartPage", "EndPage", "AbortDoc"}},
        {3, true, 2, {"StartDoc", "StartPage", "EndPage", "StartPage", "EndPage", "StartPage",
                      "EndPage", "AbortDoc"}},
    };
    for (const auto &c : cases) {
        Calls.clear();
        TraceLines.clear();
        FailAt = c.failAt;
        FailEnd = c.failEnd;
        EXPECT_EQ(PrintDocument(&record, PageSettings.margins, "refused"), c.printed) << c.failAt;
        EXPECT_EQ(Calls, c.calls) << c.failAt;
        ASSERT_EQ(TraceLines.size(), c.failAt ? 1u : 0u) << c.failAt;
        if (c.failAt) {
            EXPECT_EQ(TraceLines[0].substr(0, 20), "Printing Error! [-1,") << TraceLines[0];
        }
    }
    DeleteDC(record.hDC);
    Printer = saved;
    DestroyWindow(receiver);
    UnregisterClassA("OXR", 0);
}

TEST_F(PrintingTest, CopiesLeftToTheProgramPrintTheRangeThatManyTimes)
{
    if (PrintFolder().empty())
        GTEST_SKIP() << NoPrinterReason();
    int perPage = LinesPerPage();
    SetText(Lines(1, perPage + 3).c_str());
    const struct { DWORD flags; int copies; std::vector<int> firstLines; } cases[] = {
        {PD_COLLATE, 2, {1, perPage + 1, 1, perPage + 1}},
        {0, 2, {1, 1, perPage + 1, perPage + 1}},
        {PD_COLLATE, 1, {1, perPage + 1}},
    };
    for (const auto &c : cases) {
        copiesWanted = c.copies;
        int printed = 0;
        PrintedJob job = Print(c.flags, 0, 0, &printed);
        ASSERT_EQ(job.pages.size(), c.firstLines.size()) << c.flags << " " << c.copies;
        EXPECT_EQ(printed, (int)c.firstLines.size());
        for (size_t page = 0; page < job.pages.size(); ++page)
            EXPECT_EQ(PageLines(job.pages[page]).front(), Lines(c.firstLines[page], c.firstLines[page]))
                << "page " << page + 1;
    }
    copiesWanted = 1;
}

TEST_F(PrintingTest, PageSetupHeldOffByLongLinesKeepsItsWidthForWhenWrappingReturns)
{
    std::string paragraph;
    for (int i = 0; i < 60; ++i)
        paragraph += "word ";
    SetText(paragraph.c_str());
    EditorControl.SetWrapMode(WRAP_PAGE, 6000);
    int wide = (int)SendMessageA(Editor(), EM_GETLINECOUNT, 0, 0);
    EditorControl.SuspendWrap();
    EXPECT_EQ(SendMessageA(Editor(), EM_GETLINECOUNT, 0, 0), 1);
    // Page Setup applies the new width as it does: the current mode again.
    EditorControl.SetWrapMode(-1, 2500);
    EXPECT_EQ(SendMessageA(Editor(), EM_GETLINECOUNT, 0, 0), 1);
    EXPECT_EQ(EditorControl.lineWidth, ScreenTwips(2500));
    EXPECT_EQ(EditorControl.GetWrapMode(), WRAP_PAGE);
    EditorControl.ResumeWrap();
    EXPECT_EQ(EditorControl.lineWidth, ScreenTwips(2500));
    EXPECT_GE((int)SendMessageA(Editor(), EM_GETLINECOUNT, 0, 0), wide * 2);
}

// --- Closing the preview, its bitmap, its first size ----------------------------------

namespace {

// How the next preview is to be closed, and what was seen.
int CloseWith = 0;  // 0 WM_CLOSE, 1 Escape, 2 the system menu's Close
bool FallbackClosed = false;

void CALLBACK FallbackClose(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = FindWindowA("#32770", "Print Preview");
    KillTimer(0, timer);
    if (dialog) {
        FallbackClosed = true;
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    }
}

void CALLBACK CloseThePreview(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = FindWindowA("#32770", "Print Preview");
    if (!dialog || !IsWindowVisible(dialog))
        return;
    KillTimer(0, timer);
    if (CloseWith == 1) {
        // Escape in the list that has the focus, as a key press would come.
        HWND list = GetDlgItem(dialog, IDC_PREVIEW_PAGE_COUNT);
        SetFocus(list);
        PostMessageA(list, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageA(list, WM_KEYUP, VK_ESCAPE, 0xC0010001);
    } else if (CloseWith == 2) {
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else {
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    }
    SetTimer(0, 0, 3000, FallbackClose);
}

// Whether each bitmap was really gone right after the preview deleted it.
std::vector<int> BitmapsGone;
BOOL WINAPI WatchDelete(HGDIOBJ object)
{
    bool bitmap = GetObjectType(object) == OBJ_BITMAP;
    BOOL done = DeleteObject(object);
    if (bitmap)
        BitmapsGone.push_back(done && GetObjectType(object) == 0);
    return done;
}

// Fills the stack below with a pattern, so that a rectangle a later call leaves
// unwritten reads as garbage rather than as zeros.
__attribute__((noinline)) LONG SpoilStack()
{
    volatile LONG junk[16384];
    for (int i = 0; i < 16384; ++i)
        junk[i] = 0x7FFFFF00 + (i & 0xFF);
    return junk[16383];
}

std::vector<int> SizeResults;
void CALLBACK SizeBeforeControls(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = FindWindowA("#32770", "Print Preview");
    if (!dialog || !IsWindowVisible(dialog))
        return;
    KillTimer(0, timer);
    AreaPicture before = Show(dialog, 1000, 300, 2, 1);
    // A size for a dialog whose controls do not exist yet, as the first WM_SIZE is.
    HWND bare = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 100, 100, 0, 0, 0, 0);
    SpoilStack();
    PreviewDialog(bare, WM_SIZE, SIZE_RESTORED, MAKELPARAM(640, 480));
    DestroyWindow(bare);
    AreaPicture after = DrawArea(dialog);
    SIZE a = before.Outline(0, 0), b = after.Outline(0, 0);
    SizeResults = {(int)a.cx, (int)a.cy, (int)b.cx, (int)b.cy};
    PostMessageA(dialog, WM_CLOSE, 0, 0);
}

}  // namespace

TEST_F(PrintingTest, PreviewClosesWithEscapeAndTheSystemMenuAndFreesItsBitmap)
{
    SetText(Lines(1, 100).c_str());
    BOOL (WINAPI *saved)(HGDIOBJ) = DeletePreviewObject;
    DeletePreviewObject = WatchDelete;
    for (int how : {0, 1, 2}) {
        CloseWith = how;
        FallbackClosed = false;
        BitmapsGone.clear();
        SetTimer(0, 0, 50, CloseThePreview);
        RunPrintPreview(parent);
        EXPECT_FALSE(FallbackClosed) << "closed by " << how;
        // The page bitmap went at once: not still selected into the page context.
        EXPECT_EQ(BitmapsGone, std::vector<int>{1}) << "closed by " << how;
    }
    DeletePreviewObject = saved;
}

TEST_F(PrintingTest, PreviewIgnoresASizeThatComesBeforeItsControls)
{
    SetText(Lines(1, 300).c_str());
    SizeResults.clear();
    SetTimer(0, 0, 50, SizeBeforeControls);
    RunPrintPreview(parent);
    ASSERT_EQ(SizeResults.size(), 4u);
    EXPECT_GT(SizeResults[0], 0);
    EXPECT_EQ(SizeResults[0], SizeResults[2]);
    EXPECT_EQ(SizeResults[1], SizeResults[3]);
}
