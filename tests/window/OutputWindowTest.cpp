// The real output window, built by start-up with /oxr inside the test process, fed
// through its window procedure with WM_COPYDATA blocks and with TracePrint.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <functional>
#include <string>

#include "app/App.h"
#include "app/Layout.h"
#include "app/OutputLog.h"
#include "app/OutputWindow.h"
#include "app/Settings.h"
#include "app/Toolbar.h"
#include "app/TracePrint.h"
#include "editor/EditorControl.h"
#include "res/resource.h"

namespace {

// What start-up replaces in the editor's personality, put back after the suite.
struct SavedShell {
    const char *appName, *fileFilter, *settingsFile, *settingsSection;
    int modeFlags;
    HWND mainWindow, toolbar, status, sizeCombo, fontCombo;
    LayoutRecord layout;
    HWND editor;
    ToolbarObject toolbarObject;  // its child slots fill up with this start's combos
};

}  // namespace

class OutputWindowTest : public ::testing::Test {
protected:
    static SavedShell Saved;
    static int ModeAtStart;
    static HWND Window;

    static void SetUpTestSuite()
    {
        Saved = {AppName,   FileFilter, SettingsFile,       SettingsSection,
                 ModeFlags, MainWindow, MainToolbar.window, StatusBar,
                 SizeCombo, FontCombo,  MainLayout,         EditorControl.control,
                 MainToolbar};
        WritePrivateProfileStringA("OXR", 0, 0, "win.ini");
        WritePrivateProfileStringA("OXR", "Mode", "0", "win.ini");
        Window = StartMainWindow(GetModuleHandleA(0), "/oxr");
        ModeAtStart = ModeFlags;
    }

    static void TearDownTestSuite()
    {
        if (Window)
            DestroyWindow(Window);
        // The window's WM_DESTROY posts WM_QUIT, which would end the next message box at once.
        MSG quit;
        PeekMessageA(&quit, 0, WM_QUIT, WM_QUIT, PM_REMOVE);
        UnregisterClassA("OXR", GetModuleHandleA(0));
        WritePrivateProfileStringA("OXR", 0, 0, "win.ini");
        AppName = Saved.appName;
        FileFilter = Saved.fileFilter;
        SettingsFile = Saved.settingsFile;
        SettingsSection = Saved.settingsSection;
        ModeFlags = Saved.modeFlags;
        MainWindow = Saved.mainWindow;
        MainToolbar = Saved.toolbarObject;
        MainToolbar.window = Saved.toolbar;
        StatusBar = Saved.status;
        SizeCombo = Saved.sizeCombo;
        FontCombo = Saved.fontCombo;
        MainLayout = Saved.layout;
        EditorControl.control = Saved.editor;
    }

    void SetUp() override
    {
        ASSERT_TRUE(Window) << "the output window was not built";
        ModeFlags = MODE_ACTIVE | MODE_OUTPUT;
        SendMessageA(Editor(), WM_SETTEXT, 0, (LPARAM) "");
        SendMessageA(Editor(), EM_EXLIMITTEXT, 0, 32767);
        SetWindowTextA(Window, "OXR");
        EditorControl.SetWrapMode(WRAP_WINDOW, 0);
    }

    // Wine re-wraps a whole paragraph at each typed character; long texts go in unwrapped.
    static void NoWrap() { EditorControl.SetWrapMode(WRAP_NONE, 0); }

    static HWND Editor() { return EditorControl.control; }

    // One block through the window procedure, as another program's SendMessage delivers it.
    static LRESULT Send(const void *bytes, DWORD size)
    {
        COPYDATASTRUCT data = {0, size, (void *)bytes};
        return SendMessageA(Window, WM_COPYDATA, 0, (LPARAM)&data);
    }

    // A block as TracePrint builds it: the text, a line feed and a zero byte.
    static LRESULT SendLine(const std::string &text)
    {
        std::string block = text + "\n";
        return Send(block.c_str(), (DWORD)block.size() + 1);
    }

    static std::string Text()
    {
        int length = GetWindowTextLengthA(Editor());
        std::string text(length + 1, '\0');
        GetWindowTextA(Editor(), &text[0], length + 1);
        text.resize(strlen(text.c_str()));
        return text;
    }

    // The title a moment later, once the waiting lines are shown.
    static std::string Title()
    {
        HandOverTraceLines();
        char title[256] = "";
        GetWindowTextA(Window, title, sizeof title);
        return title;
    }

    static int Limit()
    {
        HandOverTraceLines();
        return (int)SendMessageA(Editor(), EM_GETLIMITTEXT, 0, 0);
    }

    // Where the caret is, asked without handing the waiting lines over.
    static int Caret()
    {
        CHARRANGE caret;
        SendMessageA(Editor(), EM_EXGETSEL, 0, (LPARAM)&caret);
        return caret.cpMax;
    }

    static std::string ProfileValue(const char *key)
    {
        char value[260] = "";
        GetPrivateProfileStringA("OXR", key, "", value, sizeof value, "win.ini");
        return value;
    }

    static UINT MenuState(int id)
    {
        HMENU menu = GetMenu(Window);
        SendMessageA(Window, WM_INITMENU, (WPARAM)menu, 0);
        return GetMenuState(menu, id, MF_BYCOMMAND);
    }
};

SavedShell OutputWindowTest::Saved;
int OutputWindowTest::ModeAtStart = -1;
HWND OutputWindowTest::Window = 0;

TEST_F(OutputWindowTest, StartsWithOutputOnAndTheMenuFollowsTheBits)
{
    EXPECT_EQ(ModeAtStart, MODE_ACTIVE | MODE_OUTPUT) << "a stored Mode of 0 gains bits 1 and 2";
    char name[16] = "";
    GetClassNameA(Window, name, sizeof name);
    EXPECT_STREQ(name, "OXR");
    ModeFlags = ModeAtStart;
    EXPECT_TRUE(MenuState(IDC_OUTPUT) & MF_CHECKED);
    EXPECT_FALSE(MenuState(IDC_TITLE_OUTPUT) & MF_CHECKED);
    SendMessageA(Window, WM_COMMAND, IDC_TITLE_OUTPUT, 0);
    SendMessageA(Window, WM_COMMAND, IDC_OUTPUT, 0);
    EXPECT_EQ(ModeFlags, MODE_ACTIVE | MODE_TITLE_OUTPUT);
    EXPECT_TRUE(MenuState(IDC_TITLE_OUTPUT) & MF_CHECKED);
    EXPECT_FALSE(MenuState(IDC_OUTPUT) & MF_CHECKED);
}

TEST_F(OutputWindowTest, ALineArrivesAsItsCharactersAndALineBreak)
{
    EXPECT_EQ(SendLine("abc"), 1);
    EXPECT_EQ(Text(), "abc\r\n");
    EXPECT_EQ(SendMessageA(Editor(), EM_GETLINECOUNT, 0, 0), 2);
    EXPECT_EQ(SendLine("tab\there and 8-bit \xE9"), 1);
    EXPECT_EQ(Text(), "abc\r\ntab\there and 8-bit \xE9\r\n");
    EXPECT_EQ(Title(), "OXR") << "the title stays while Title Bar Output is off";

    // The follow-up held back while typing comes once afterwards: the control is drawn
    // again, selection changes are reported again, and the status bar shows the caret.
    EXPECT_TRUE(GetWindowLongA(Editor(), GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(SendMessageA(Editor(), EM_GETEVENTMASK, 0, 0), ENM_SELCHANGE);
    char status[64] = "";
    SendMessageA(StatusBar, SB_GETTEXTA, 0, (LPARAM)status);
    EXPECT_STREQ(status, "Ln 3, col 1");

    // A line is text, whatever it looks like; control characters type nothing.
    SendMessageA(Editor(), WM_SETTEXT, 0, (LPARAM) "");
    EXPECT_EQ(SendLine("{\\rtf1 {\\b bold}}\r\x08\x01"), 1);
    EXPECT_EQ(Text(), "{\\rtf1 {\\b bold}}\r\n");
}

TEST_F(OutputWindowTest, TitleBarOutputShowsTheLastWholeLine)
{
    ModeFlags |= MODE_TITLE_OUTPUT;
    EXPECT_EQ(SendLine("abc"), 1);
    EXPECT_EQ(Title(), "abc");
    EXPECT_EQ(Text(), "abc\r\n") << "Output is still on";

    const char whole[] = "no line feed";
    EXPECT_EQ(Send(whole, sizeof whole), 1);
    EXPECT_EQ(Title(), "no line feed");

    const char two[] = "first\nsecond\n";
    EXPECT_EQ(Send(two, sizeof two), 1);
    EXPECT_EQ(Title(), "second") << "one line of a block that carries several";
}

TEST_F(OutputWindowTest, WithOutputOffNothingIsTyped)
{
    ModeFlags = MODE_ACTIVE | MODE_TITLE_OUTPUT;
    EXPECT_EQ(SendLine("abc"), 1);
    EXPECT_EQ(Title(), "abc");
    EXPECT_EQ(Text(), "");

    ModeFlags = MODE_ACTIVE;
    EXPECT_EQ(SendLine("def"), 1);
    EXPECT_EQ(Title(), "abc");
    EXPECT_EQ(Text(), "");
}

TEST_F(OutputWindowTest, LinesGoInAtTheCaretAfterTheUserMovedIt)
{
    SendLine("one");
    SendLine("two");
    SendMessageA(Editor(), EM_SETSEL, 4, 4);  // start of "two"
    SendLine("inserted");
    EXPECT_EQ(Text(), "one\r\ninserted\r\ntwo\r\n");
    SendLine("next");
    EXPECT_EQ(Text(), "one\r\ninserted\r\nnext\r\ntwo\r\n");
    CHARRANGE caret;
    SendMessageA(Editor(), EM_EXGETSEL, 0, (LPARAM)&caret);
    EXPECT_EQ(caret.cpMin, 18);
}

TEST_F(OutputWindowTest, TheLimitGrowsPastTheControlsDefault)
{
    // 490 lines of 64 characters: 31,850 characters in the control, 32,340 counted
    // with CR LF; the limit is the control's default of 32,767.
    NoWrap();
    std::string filler;
    for (int k = 0; k < 490; ++k)
        filler += std::string(64, (char)('a' + k % 26)) + "\r\n";
    SendMessageA(Editor(), WM_SETTEXT, 0, (LPARAM)filler.c_str());
    SendMessageA(Editor(), EM_SETSEL, -1, -1);
    ASSERT_EQ(Limit(), 32767);

    std::string line(1000, 'L');
    EXPECT_EQ(SendLine(line), 1);
    EXPECT_EQ(Limit(), 32767 + 32768);
    EXPECT_EQ(Text(), filler + line + "\r\n") << "typing stops at the limit unless it grows";

    SendLine("short");
    EXPECT_EQ(Limit(), 32767 + 32768) << "no growth while there is room";
}

TEST_F(OutputWindowTest, TheLimitGrowsWhenLineEndsCountedAsCrLfPassIt)
{
    // 17,000 empty lines: 17,000 characters in the control, 34,000 with CR LF.
    NoWrap();
    std::string empty;
    for (int k = 0; k < 17000; ++k)
        empty += "\r\n";
    SendMessageA(Editor(), WM_SETTEXT, 0, (LPARAM)empty.c_str());
    SendMessageA(Editor(), EM_SETSEL, -1, -1);
    SendMessageA(Editor(), EM_EXLIMITTEXT, 0, 32767);  // WM_SETTEXT raised it to 34,000
    ASSERT_EQ(Limit(), 32767);
    EXPECT_EQ(SendLine("x"), 1);
    EXPECT_EQ(Limit(), 32767 + 32768);
    EXPECT_EQ(Text(), empty + "x\r\n");
}

TEST_F(OutputWindowTest, ATextLongerThanOneStepGrowsTheLimitUntilItFits)
{
    NoWrap();
    std::string filler;
    for (int k = 0; k < 490; ++k)
        filler += std::string(64, 'f') + "\r\n";
    SendMessageA(Editor(), WM_SETTEXT, 0, (LPARAM)filler.c_str());
    SendMessageA(Editor(), EM_SETSEL, -1, -1);
    // One block of 340 lines, 34,000 bytes: more than one step of 32,768 beyond the
    // room left.
    std::string block, typed;
    for (int k = 0; k < 340; ++k) {
        std::string line(99, (char)('A' + k % 26));
        block += line + "\n";
        typed += line + "\r\n";
    }
    EXPECT_EQ(Send(block.c_str(), (DWORD)block.size() + 1), 1);
    EXPECT_EQ(Limit(), 32767 + 2 * 32768);
    EXPECT_EQ(Text(), filler + typed);
}

TEST_F(OutputWindowTest, NoByteIsReadPastCbData)
{
    // A block at the very end of readable memory, without a zero byte: reading one byte
    // further faults.
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    char *pages = (char *)VirtualAlloc(0, 2 * system.dwPageSize, MEM_COMMIT, PAGE_READWRITE);
    ASSERT_TRUE(pages);
    DWORD old;
    ASSERT_TRUE(VirtualProtect(pages + system.dwPageSize, system.dwPageSize, PAGE_NOACCESS, &old));
    char *block = pages + system.dwPageSize - 4;
    memcpy(block, "abc\n", 4);
    EXPECT_EQ(Send(block, 4), 1);
    EXPECT_EQ(Text(), "abc\r\n");

    ModeFlags |= MODE_TITLE_OUTPUT;
    memcpy(block, "titl", 4);
    EXPECT_EQ(Send(block, 4), 1);
    EXPECT_EQ(Title(), "titl");
    EXPECT_EQ(Text(), "abc\r\ntitl");
    VirtualFree(pages, 0, MEM_RELEASE);
}

TEST_F(OutputWindowTest, TheTextEndsAtCbDataOrAtTheFirstZeroByte)
{
    const char longer[] = "abcdef\n";
    EXPECT_EQ(Send(longer, 3), 1);
    EXPECT_EQ(Text(), "abc");

    SendMessageA(Editor(), WM_SETTEXT, 0, (LPARAM) "");
    const char inner[] = "ab\0cd\n";
    EXPECT_EQ(Send(inner, sizeof inner), 1);
    EXPECT_EQ(Text(), "ab");
}

TEST_F(OutputWindowTest, EmptyBlocksAndMissingPointers)
{
    const char handshake[] = "";
    EXPECT_EQ(Send(handshake, 1), 1) << "the handshake is answered once the editor exists";
    const char text[] = "xyz\n";
    EXPECT_EQ(Send(text, 0), 1) << "cbData 0 is an empty text";
    EXPECT_EQ(Send(0, 5), 0) << "no data pointer";
    EXPECT_EQ(SendMessageA(Window, WM_COPYDATA, 0, 0), 0) << "no block at all";
    EXPECT_EQ(Text(), "");

    // Before the editor exists an empty text is refused: that is what the handshake waits on.
    HWND editor = EditorControl.control;
    EditorControl.control = 0;
    LRESULT early = Send(handshake, 1);
    LRESULT earlyZero = Send(text, 0);
    EditorControl.control = editor;
    EXPECT_EQ(early, 0);
    EXPECT_EQ(earlyZero, 0);
}

TEST_F(OutputWindowTest, TracePrintFormatsOneLineIntoTheRunningWindow)
{
    ASSERT_EQ(FindWindowA("OXR", 0), Window);
    TracePrint("Printing Error! [%d,%d,%d]", 1, -2, 300);
    EXPECT_EQ(Text(), "Printing Error! [1,-2,300]\r\n");
    TracePrint("%s and 100%%", "percent");
    EXPECT_EQ(Text(), "Printing Error! [1,-2,300]\r\npercent and 100%\r\n");
}

TEST_F(OutputWindowTest, TracePrintCutsTextsLongerThan2046Characters)
{
    NoWrap();
    std::string fits(2046, 'f');
    TracePrint("%s", fits.c_str());
    EXPECT_EQ(Text(), fits + "\r\n");

    SendMessageA(Editor(), WM_SETTEXT, 0, (LPARAM) "");
    std::string longer = std::string(2046, 'x') + "yz";
    TracePrint("%s", longer.c_str());
    EXPECT_EQ(Text(), std::string(2046, 'x') + "\r\n");
}

TEST_F(OutputWindowTest, WaitingLinesGoInAMomentLaterOrWhenSomethingNeedsThem)
{
    // Unasked, the lines are shown once the flow pauses.
    SendLine("one");
    SendLine("two");
    MSG message;
    for (DWORD start = GetTickCount(); Caret() < 8 && GetTickCount() - start < 2000;)
        if (PeekMessageA(&message, 0, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    EXPECT_EQ(Caret(), 8);

    // Undo takes back what was received last, waiting or not.
    SendLine("three");
    SendMessageA(Window, WM_COMMAND, IDC_UNDO, 0);
    EXPECT_EQ(Text(), "one\r\ntwo\r\n");

    // What saving reads has every line.
    SendLine("four");
    char *text = EditorControl.GetText(TEXT_PLAIN, LINE_END_CRLF);
    EXPECT_STREQ(text, "one\r\ntwo\r\nfour\r\n");
    delete[] text;
}

// Paragraphs the control holds, asked in a way that does not itself bring waiting lines in.
static int ControlLines(HWND editor)
{
    return (int)SendMessageA(editor, EM_GETLINECOUNT, 0, 0);
}

TEST_F(OutputWindowTest, WaitingLinesGoInBeforeWhatReadsTheTextOrTheUsersClick)
{
    char found[8];
    FINDTEXTEXA find = {{0, -1}, "one", {0, 0}};
    TEXTRANGEA range = {{0, 3}, found};
    const struct { const char *what; UINT message; WPARAM wParam; LPARAM lParam; } cases[] = {
        {"copy", WM_COPY, 0, 0},
        {"find", EM_FINDTEXTEX, 1 /* FR_DOWN */, (LPARAM)&find},
        {"modified flag", EM_GETMODIFY, 0, 0},
        {"text range", EM_GETTEXTRANGE, 0, (LPARAM)&range},
        {"mouse click", WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        SendMessageA(Editor(), WM_SETTEXT, 0, (LPARAM) "");
        SendLine("one");
        ASSERT_EQ(ControlLines(Editor()), 1) << "the line waits for a moment";
        SendMessageA(Editor(), c.message, c.wParam, c.lParam);
        if (c.message == WM_LBUTTONDOWN)
            SendMessageA(Editor(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        EXPECT_EQ(ControlLines(Editor()), 2) << "the line went in first";
    }
}

TEST_F(OutputWindowTest, WaitingLinesGoInAt64KBAndEveryQuarterSecondOfASteadyFlow)
{
    NoWrap();
    // 64 KB waiting go in at once, without a pause in the flow.
    std::string line(99, 'k');
    int sent = 0;
    while (ControlLines(Editor()) == 1 && sent < 1000) {
        SendLine(line.c_str());
        ++sent;
    }
    // Lines of 99 characters and their line end: about 650 of them make 64 KB.
    EXPECT_GE(sent, 640);
    EXPECT_LE(sent, 670);

    // A line every 10 ms never pauses the flow for long, yet shows within a quarter second.
    SendMessageA(Editor(), WM_SETTEXT, 0, (LPARAM) "");
    DWORD start = GetTickCount(), shownAfter = 0;
    MSG message;
    while (!shownAfter && GetTickCount() - start < 2000) {
        SendLine("steady");
        for (DWORD tick = GetTickCount(); GetTickCount() - tick < 10;)
            if (PeekMessageA(&message, 0, 0, 0, PM_REMOVE))
                DispatchMessageA(&message);
        if (ControlLines(Editor()) > 1)
            shownAfter = GetTickCount() - start;
    }
    EXPECT_GT(shownAfter, 0u);
    EXPECT_LT(shownAfter, 600u) << "250 ms, and the timer's tick, on a busy machine";
}

// Line k of a trimming run: its number and letters that change with it.
static std::string NumberedLine(int k)
{
    char line[64];
    snprintf(line, sizeof line, "entry %05d %c%c%c", k, 'a' + k % 26, 'a' + k / 26 % 26, 'q');
    return line;
}

// Lines first..last as the control shows them.
static std::string Shown(int first, int last)
{
    std::string text;
    for (int k = first; k <= last; ++k)
        text += NumberedLine(k) + "\r\n";
    return text;
}

// The window with a line limit from win.ini, emptied, nothing dropped yet.
static void LimitLines(const char *maxLines)
{
    WritePrivateProfileStringA("OXR", "MaxLines", maxLines, "win.ini");
    ReadOutputSettings();
    SendMessageA(MainWindow, WM_COMMAND, IDC_CLEAR_OUTPUT, 0);
}

static std::string StatusText()
{
    char status[128] = "";
    SendMessageA(StatusBar, SB_GETTEXTA, 0, (LPARAM)status);
    return status;
}

TEST_F(OutputWindowTest, TrimmingKeepsAnUnbrokenRunOfTheNewestLines)
{
    NoWrap();
    LimitLines("100");
    // One line a message, each shown before the next (a slow build's log).
    for (int k = 1; k <= 350; ++k) {
        SendLine(NumberedLine(k));
        HandOverTraceLines();
        long long lines = SendMessageA(Editor(), EM_GETLINECOUNT, 0, 0) - 1;
        ASSERT_LE(lines, 110) << "at most a tenth more than the limit, after line " << k;
        ASSERT_GE(lines, k < 100 ? k : 100) << "at least the limit, after line " << k;
    }
    std::string text = Text();
    int first = atoi(text.c_str() + 6);
    EXPECT_GE(first, 241);
    EXPECT_LE(first, 251);
    EXPECT_EQ(text, Shown(first, 350)) << "whole lines, in order, ending with the last";
    EXPECT_NE(StatusText().find("Earlier lines dropped"), std::string::npos) << StatusText();

    // A burst in one block past the count where a new control takes the kept lines.
    LimitLines("3000");
    std::string block;
    for (int k = 1; k <= 3400; ++k)
        block += NumberedLine(k) + "\n";
    HWND before = Editor();
    EXPECT_EQ(Send(block.c_str(), (DWORD)block.size() + 1), 1);
    HandOverTraceLines();
    EXPECT_TRUE(Text() == Shown(401, 3400)) << "kept " << Text().size() << " bytes";
    EXPECT_NE(Editor(), before) << "3,400 lines go to a fresh control";
    SendLine("after the trim");
    // Read at once, the lines go in without a trim: that waits for the timer.
    EXPECT_TRUE(Text() == Shown(401, 3400) + "after the trim\r\n");
    LimitLines(0);
}

TEST_F(OutputWindowTest, ASelectionKeepsItsWordsWhenTheTopGoes)
{
    NoWrap();
    LimitLines("100");
    for (int k = 1; k <= 105; ++k)
        SendLine(NumberedLine(k));
    std::string text = Text();
    std::string word = NumberedLine(60);
    size_t at = text.find(word);
    ASSERT_NE(at, std::string::npos);
    // Character positions count a line end once; the text read back counts two.
    int position = (int)at - 59;
    SendMessageA(Editor(), EM_SETSEL, position, position + (int)word.size());
    for (int k = 106; k <= 130; ++k)
        SendLine(NumberedLine(k));
    HandOverTraceLines();
    EXPECT_EQ(Text(), Shown(31, 130)) << "the selection neither took the lines nor was replaced";
    char selected[64] = "";
    SendMessageA(Editor(), EM_GETSELTEXT, 0, (LPARAM)selected);
    EXPECT_EQ(std::string(selected), word);
    LimitLines(0);
}

// "Ln %d, col %d" of the caret, counted here from the text the control shows.
static std::string PlaceOfCaret(const std::string &text, int caret)
{
    int line = 0, column = 0, position = 0;
    for (size_t k = 0; k < text.size() && position < caret; ++k, ++position) {
        if (text[k] == '\r') {
            ++line;
            column = 0;
            k += k + 1 < text.size() && text[k + 1] == '\n';
        } else {
            ++column;
        }
    }
    char place[64];
    snprintf(place, sizeof place, "Ln %d, col %d", line + 1, column + 1);
    return place;
}

TEST_F(OutputWindowTest, TheStatusBarCountsTheLinesAsTheyComeAndAfterTheUsersEdits)
{
    LimitLines("100");
    auto moveTo = [](int from, int to) { SendMessageA(Editor(), EM_SETSEL, from, to); };
    auto key = [](char c) { SendMessageA(Editor(), WM_CHAR, (unsigned char)c, 0); };
    int next = 1;
    auto lines = [&next](int count) {
        for (int k = 0; k < count; ++k, ++next)
            SendLine(NumberedLine(next));
        HandOverTraceLines();
    };
    const struct {
        const char *what;
        std::function<void()> step;
    } steps[] = {
        {"lines in three hand-overs", [&] { lines(10); lines(10); lines(10); }},
        {"the caret near the end", [&] { moveTo(Caret() - 40, Caret() - 40); }},
        {"a line in at the caret", [&] { lines(1); }},
        {"the caret near the top", [&] { moveTo(25, 25); }},
        {"a line break typed there, then the end", [&] { key('\r'); moveTo(-1, -1); }},
        {"a letter typed over with a line break", [&] {
             moveTo(30, 31);
             key('\r');
             moveTo(-1, -1);
         }},
        {"three lines cut from the top, then lines", [&] {
             moveTo(0, 60);
             SendMessageA(Editor(), WM_CUT, 0, 0);
             moveTo(-1, -1);
             lines(3);
         }},
        {"the top dropped", [&] { lines(120); }},
        {"the caret in the middle after the drop", [&] { moveTo(Caret() / 2, Caret() / 2); }},
    };
    for (const auto &step : steps) {
        step.step();
        HandOverTraceLines();
        std::string status = StatusText();
        EXPECT_EQ(status.substr(0, status.find("    ")), PlaceOfCaret(Text(), Caret()))
            << step.what;
    }
    EXPECT_NE(StatusText().find("Earlier lines dropped"), std::string::npos);
    LimitLines(0);
}

TEST_F(OutputWindowTest, ClearEmptiesTheWindowAndNewLinesStartAtTheTop)
{
    NoWrap();
    LimitLines(0);
    for (int k = 1; k <= 20; ++k)
        SendLine(NumberedLine(k));
    EXPECT_TRUE(MenuState(IDC_CLEAR_OUTPUT) == MF_ENABLED);
    SendMessageA(Window, WM_COMMAND, IDC_CLEAR_OUTPUT, 0);
    EXPECT_EQ(Text(), "");
    SendLine("first after clear");
    EXPECT_EQ(Text(), "first after clear\r\n");

    // A long window is cleared by a fresh control, which takes the next lines too.
    std::string block;
    for (int k = 1; k <= 3500; ++k)
        block += NumberedLine(k) + "\n";
    Send(block.c_str(), (DWORD)block.size() + 1);
    HWND before = Editor();
    SendMessageA(Window, WM_COMMAND, IDC_CLEAR_OUTPUT, 0);
    EXPECT_NE(Editor(), before);
    EXPECT_EQ(Text(), "");
    SendLine("one");
    SendLine("two");
    EXPECT_EQ(Text(), "one\r\ntwo\r\n");
}

TEST_F(OutputWindowTest, TheLogFileHoldsEveryLineAfterTrimming)
{
    NoWrap();
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::string path = std::string(folder) + "oxr-window-test.log";
    DeleteFileA(path.c_str());
    ASSERT_TRUE(OpenOutputLog(path.c_str()));
    EXPECT_TRUE(MenuState(IDC_LOG_TO_FILE) & MF_CHECKED);
    LimitLines("50");
    std::string written;
    for (int k = 1; k <= 300; ++k) {
        SendLine(NumberedLine(k));
        written += NumberedLine(k) + "\r\n";
    }
    HandOverTraceLines();
    EXPECT_EQ(Text(), Shown(251, 300));
    // Within a second or so the buffer is on disk, without closing anything.
    MSG message;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 1500;)
        if (PeekMessageA(&message, 0, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        else
            Sleep(10);
    std::string logged;
    if (FILE *file = fopen(path.c_str(), "rb")) {
        char chunk[4096];
        size_t got;
        while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
            logged.append(chunk, got);
        fclose(file);
    }
    EXPECT_TRUE(logged == written) << "logged " << logged.size() << " of " << written.size();
    EXPECT_TRUE(OpenOutputLog(""));
    EXPECT_FALSE(MenuState(IDC_LOG_TO_FILE) & MF_CHECKED);
    EXPECT_EQ(ProfileValue("LogFile"), "");
    DeleteFileA(path.c_str());
    LimitLines(0);
}

// Watches the close steps empty the document, and notes where the caret stood then.
static WNDPROC BelowObserver;
static int CaretAtClose = -1;
static LRESULT CALLBACK CloseObserver(HWND editor, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT && CaretAtClose < 0) {
        CHARRANGE caret;
        CallWindowProcA(BelowObserver, editor, EM_EXGETSEL, 0, (LPARAM)&caret);
        CaretAtClose = caret.cpMax;
    }
    return CallWindowProcA(BelowObserver, editor, message, wParam, lParam);
}

TEST_F(OutputWindowTest, TheCloseStepsSeeEveryLineReceivedBeforeThem)
{
    int expected = 0;
    for (int k = 0; k < 50; ++k) {
        std::string line = "burst line " + std::to_string(k);
        SendLine(line);
        expected += (int)line.size() + 1;
    }
    char folder[MAX_PATH];
    GetCurrentDirectoryA(sizeof folder, folder);
    BelowObserver = (WNDPROC)SetWindowLongPtrA(Editor(), GWLP_WNDPROC, (LONG_PTR)CloseObserver);
    // Closing runs the close steps and then destroys the window (this is the last test).
    SendMessageA(Window, WM_CLOSE, 0, 0);
    SetCurrentDirectoryA(folder);
    EXPECT_FALSE(IsWindow(Window));
    EXPECT_EQ(CaretAtClose, expected);
}
