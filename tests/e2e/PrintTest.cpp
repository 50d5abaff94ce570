// Printing, Page Setup and Print Preview of the real program, through its own dialogs.
#include <gtest/gtest.h>

#include "EditorProgram.h"
#include "Driver.h"
#include "../common/PrintedPages.h"
#include <richedit.h>
#include <stdio.h>

namespace {

// The print dialog's own controls (Windows' and Wine's templates share them).
const int ALL_PAGES = 0x420, SELECTION = 0x421, PAGE_RANGE = 0x422, FROM = 0x480, TO = 0x481;
const int LEFT_MARGIN = 0x483, RIGHT_MARGIN = 0x485;

class PrintTest : public EditorProgramTest {
protected:
    // Numbered lines, enough for several pages.
    void SetLines(int count)
    {
        std::string text;
        for (int n = 1; n <= count; ++n) {
            char line[32];
            snprintf(line, sizeof line, "Printed line %03d\r\n", n);
            text += line;
        }
        SendMessageA(editor, WM_SETTEXT, 0, (LPARAM)text.c_str());
    }

    HWND Command(int id, const char *dialogTitle)
    {
        PostMessageA(program.main, WM_COMMAND, id, 0);
        return WaitForDialog(dialogTitle);
    }

    bool Checked(HWND dialog, int id)
    {
        return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
};

}  // namespace

TEST_F(PrintTest, PrintDialogPrintsAPageRangeAndTheSelection)
{
    if (PrintFolder().empty())
        GTEST_SKIP() << NoPrinterReason();
    SetLines(150);
    SendMessageA(editor, EM_SETSEL, 0, 0);
    HWND dialog = Command(40011, "Print");
    ASSERT_TRUE(dialog);
    // No selection: that choice is off, the whole document chosen.
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, SELECTION)));
    EXPECT_TRUE(Checked(dialog, ALL_PAGES));
    PressButton(dialog, PAGE_RANGE);
    Pause(200);
    SendMessageA(GetDlgItem(dialog, FROM), WM_SETTEXT, 0, (LPARAM) "2");
    SendMessageA(GetDlgItem(dialog, TO), WM_SETTEXT, 0, (LPARAM) "3");
    std::set<std::string> before = PrintedJobNames();
    PressButton(dialog, IDOK);
    PrintedJob range = WaitForPrintedJob(before);
    ASSERT_TRUE(range.found);
    ASSERT_EQ(range.pages.size(), 2u);
    std::vector<std::string> second = PageLines(range.pages[0]), third = PageLines(range.pages[1]);
    ASSERT_FALSE(second.empty());
    ASSERT_FALSE(third.empty());
    EXPECT_NE(second.front(), "Printed line 001");
    EXPECT_EQ(PageLines(range.pages[1]).back(), "Printed line 150");
    // Page 3 goes on where page 2 stopped.
    int last = 0, next = 0;
    sscanf(second.back().c_str(), "Printed line %d", &last);
    sscanf(third.front().c_str(), "Printed line %d", &next);
    EXPECT_EQ(next, last + 1);

    // A selection is offered and chosen at once; only it is printed.
    int start = (int)SendMessageA(editor, EM_LINEINDEX, 4, 0);
    int end = (int)SendMessageA(editor, EM_LINEINDEX, 7, 0) - 1;
    SendMessageA(editor, EM_SETSEL, start, end);
    dialog = Command(40011, "Print");
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, SELECTION)));
    EXPECT_TRUE(Checked(dialog, SELECTION));
    before = PrintedJobNames();
    PressButton(dialog, IDOK);
    PrintedJob selection = WaitForPrintedJob(before);
    ASSERT_TRUE(selection.found);
    ASSERT_EQ(selection.pages.size(), 1u);
    std::vector<std::string> lines = PageLines(selection.pages[0]);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Printed line 005");
    EXPECT_EQ(lines[2], "Printed line 007");
}

TEST_F(PrintTest, PageSetupMarginsRewrapAPageWrappedDocument)
{
    if (PrintFolder().empty())
        GTEST_SKIP() << NoPrinterReason();
    std::string paragraph;
    for (int i = 0; i < 60; ++i)
        paragraph += "word ";
    SendMessageA(editor, WM_SETTEXT, 0, (LPARAM)paragraph.c_str());
    PostMessageA(program.main, WM_COMMAND, 40037, 0);  // Wrap to Page
    Pause(300);
    int lines = (int)SendMessageA(editor, EM_GETLINECOUNT, 0, 0);
    PostMessageA(program.main, WM_COMMAND, 40035, 0);
    // Wine's caption for the dialog is "Setup Page".
    HWND dialog = WaitForDialog("Page Setup", 3000);
    if (!dialog)
        dialog = WaitForDialog("Setup Page");
    ASSERT_TRUE(dialog);
    SendMessageA(GetDlgItem(dialog, LEFT_MARGIN), WM_SETTEXT, 0, (LPARAM) "3");
    SendMessageA(GetDlgItem(dialog, RIGHT_MARGIN), WM_SETTEXT, 0, (LPARAM) "3");
    PressButton(dialog, IDOK);
    EXPECT_TRUE(WaitForGone(dialog));
    Pause(300);
    // 2.5 inches of line instead of 6: at least twice as many lines at once.
    EXPECT_GE((int)SendMessageA(editor, EM_GETLINECOUNT, 0, 0), lines * 2) << lines;
}

TEST_F(PrintTest, PreviewOpensOnTheDocumentsPagesWithOrWithoutAPrinter)
{
    SetLines(150);
    // No printer: Print and Page Setup give a message anyone can answer, and nothing else.
    for (int command : {40011, 40035}) {
        if (!PrintFolder().empty())
            break;
        PostMessageA(program.main, WM_COMMAND, command, 0);
        HWND box = WaitForDialog("OrvelloWord");
        ASSERT_TRUE(box);
        EXPECT_EQ(WindowText(GetDlgItem(box, 0xFFFF)).substr(0, 23), "No printer is installed");
        PressButton(box, IDOK);
        ASSERT_TRUE(WaitForGone(box));
    }
    HWND dialog = Command(40041, "Print Preview");
    ASSERT_TRUE(dialog);
    // Maximised, or (where Wine undoes that) over the whole work area.
    RECT frame, work;
    GetWindowRect(dialog, &frame);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_TRUE(IsZoomed(dialog) || EqualRect(&frame, &work));
    HWND pages = GetDlgItem(dialog, 1019), first = GetDlgItem(dialog, 1020);
    int count = (int)SendMessageA(first, CB_GETCOUNT, 0, 0);
    EXPECT_GE(count, 3);
    EXPECT_EQ(SendMessageA(pages, CB_GETCURSEL, 0, 0), count - 1);
    EXPECT_EQ(SendMessageA(first, CB_GETCURSEL, 0, 0), 0);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitForGone(dialog));
    EXPECT_EQ(WindowText(editor).substr(0, 16), "Printed line 001");
}

TEST_F(PrintTest, LinesThatFitThePageWrapFitThePreviewAndItClosesWithEscapeOrTheSystemMenu)
{
    // The longest start of a sentence that the editor (Wrap to Page, the default page)
    // shows on one line.
    const std::string sentence = "The quick brown fox jumps over the lazy dog while seven "
                                 "wizards quietly box jumping frogs near a pale lake";
    PostMessageA(program.main, WM_COMMAND, 40037, 0);  // Wrap to Page
    Pause(200);
    int low = 1, high = (int)sentence.size() + 1;
    while (high - low > 1) {
        int middle = (low + high) / 2;
        SendMessageA(editor, WM_SETTEXT, 0, (LPARAM)sentence.substr(0, middle).c_str());
        (SendMessageA(editor, EM_GETLINECOUNT, 0, 0) == 1 ? low : high) = middle;
    }
    ASSERT_LT(low, (int)sentence.size());
    std::string text, shortLines;
    for (int n = 0; n < 150; ++n) {
        text += sentence.substr(0, low) + "\r\n";
        shortLines += "x\r\n";
    }
    const int closes[] = {0, 1};
    int pages[2] = {0, 0};
    for (int k = 0; k < 2; ++k) {
        SendMessageA(editor, WM_SETTEXT, 0, (LPARAM)(k ? text : shortLines).c_str());
        SendMessageA(editor, EM_SETSEL, 0, 0);
        HWND dialog = Command(40041, "Print Preview");
        ASSERT_TRUE(dialog);
        pages[k] = (int)SendMessageA(GetDlgItem(dialog, 1020), CB_GETCOUNT, 0, 0);
        if (closes[k] == 0)
            PressKey(dialog, VK_ESCAPE);
        else
            PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(WaitForGone(dialog, 3000)) << (closes[k] ? "system menu" : "Escape");
        if (IsWindow(dialog))
            PostMessageA(dialog, WM_CLOSE, 0, 0);
        WaitForGone(dialog);
    }
    EXPECT_EQ(SendMessageA(editor, EM_GETLINECOUNT, 0, 0), 151);
    EXPECT_EQ(pages[1], pages[0]) << low << " characters a line";
    EXPECT_EQ(pages[0], 3);
}

TEST_F(PrintTest, PageSetupOpensOnThePaperTheEditorUses)
{
    if (PrintFolder().empty())
        GTEST_SKIP() << NoPrinterReason();
    const int PAPER = 0x471;
    auto openSetup = [&]() {
        PostMessageA(program.main, WM_COMMAND, 40035, 0);
        HWND dialog = WaitForDialog("Page Setup", 3000);
        dialog = dialog ? dialog : WaitForDialog("Setup Page");
        Pause(300);
        return dialog;
    };
    // A drop-down list's text is its chosen item (WM_GETTEXT crosses processes).
    auto paperShown = [&](HWND dialog) { return WindowText(GetDlgItem(dialog, PAPER)); };
    SetLines(10);
    HWND dialog = openSetup();
    ASSERT_TRUE(dialog);
    EXPECT_NE(paperShown(dialog).find("Letter"), std::string::npos) << paperShown(dialog);
    // A4 chosen: the next Page Setup opens on it, as the editor and the preview use it.
    HWND combo = GetDlgItem(dialog, PAPER);
    int a4 = -1;
    for (int item = 0; item < (int)SendMessageA(combo, CB_GETCOUNT, 0, 0) && a4 < 0; ++item) {
        SendMessageA(combo, CB_SETCURSEL, item, 0);
        if (WindowText(combo) == "A4")
            a4 = item;
    }
    ASSERT_GE(a4, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(PAPER, CBN_SELCHANGE), (LPARAM)combo);
    PressButton(dialog, IDOK);
    ASSERT_TRUE(WaitForGone(dialog));
    dialog = openSetup();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(paperShown(dialog), "A4");
    PressButton(dialog, IDCANCEL);
    EXPECT_TRUE(WaitForGone(dialog));
}

