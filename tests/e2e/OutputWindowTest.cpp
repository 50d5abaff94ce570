// The real OrvelloWord.exe /oxr fed from this process: WM_COPYDATA blocks carried across
// processes, TracePrint with and without a running output window, and tracesend.
#include <gtest/gtest.h>

#include "Driver.h"
#include <stdio.h>
#include <string.h>
#include <richedit.h>
#include <string>

#include "app/TracePrint.h"

namespace {

void ForgetSettings()
{
    ClearSection("win.ini", "OrvelloWord");
    ClearSection("win.ini", "OXR");
    WritePrivateProfileStringA("Folders", "OrvelloTools", 0, "win.ini");
}

std::string BesideTests(const char *name)
{
    char path[MAX_PATH];
    GetModuleFileNameA(0, path, sizeof path);
    strcpy(strrchr(path, '\\') + 1, name);
    return path;
}

// Closes whatever output window runs, so the next test starts without one.
void CloseAnyOutputWindow()
{
    HWND window;
    for (int tries = 0; tries < 10 && (window = FindWindowA("OXR", 0)); ++tries) {
        RunningProgram program;
        memset(&program, 0, sizeof program);
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        program.main = window;
        program.process.hProcess = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id);
        if (!CloseProgram(program))
            Pause(500);
    }
}

class OutputWindowE2E : public ::testing::Test {
protected:
    RunningProgram program;
    HWND editor = 0;

    void SetUp() override
    {
        memset(&program, 0, sizeof program);
        CloseAnyOutputWindow();
        ForgetSettings();
    }

    void TearDown() override
    {
        if (program.process.hProcess)
            CloseProgram(program);
        CloseAnyOutputWindow();
        ForgetSettings();
    }

    void Start()
    {
        program = StartProgram("/oxr", "OXR");
        ASSERT_TRUE(program.main) << "no OXR window";
        editor = FindChild(program.main, "RichEdit20A");
        ASSERT_TRUE(editor);
    }

    LRESULT Send(const void *bytes, DWORD size)
    {
        COPYDATASTRUCT data = {0, size, (void *)bytes};
        DWORD_PTR result = 0;
        SendMessageTimeoutA(program.main, WM_COPYDATA, 0, (LPARAM)&data, SMTO_ABORTIFHUNG, 10000,
                            &result);
        return (LRESULT)result;
    }

    void Command(int id) { SendMessageA(program.main, WM_COMMAND, id, 0); }
};

}  // namespace

TEST_F(OutputWindowE2E, AStoredModeOfZeroStillStartsWithOutputOn)
{
    WritePrivateProfileStringA("OXR", "Mode", "0", "win.ini");
    Start();
    const char line[] = "abc\n";
    EXPECT_EQ(Send(line, sizeof line), 1);
    EXPECT_EQ(WindowText(editor), "abc\r\n");
    EXPECT_EQ(WindowText(program.main), "OXR");
    ASSERT_TRUE(CloseProgram(program));
    EXPECT_EQ(ProfileText("win.ini", "OXR", "Mode"), "3");
}

TEST_F(OutputWindowE2E, TitleBarOutputAndOutputOffAcrossProcesses)
{
    Start();
    Command(40024);  // Title Bar Output on
    const char line[] = "abc\n";
    EXPECT_EQ(Send(line, sizeof line), 1);
    EXPECT_EQ(WaitForWindowText(program.main, "abc"), "abc");
    EXPECT_EQ(WindowText(editor), "abc\r\n");
    const char whole[] = "whole title";
    EXPECT_EQ(Send(whole, sizeof whole), 1);
    EXPECT_EQ(WaitForWindowText(program.main, "whole title"), "whole title");

    Command(40023);  // Output off
    const char more[] = "not typed\n";
    EXPECT_EQ(Send(more, sizeof more), 1);
    EXPECT_EQ(WaitForWindowText(program.main, "not typed"), "not typed");
    EXPECT_EQ(WindowText(editor), "abc\r\nwhole title");
    ASSERT_TRUE(CloseProgram(program));
    EXPECT_EQ(ProfileText("win.ini", "OXR", "Mode"), "5");
}

TEST_F(OutputWindowE2E, BlocksAreReadNoFurtherThanCbData)
{
    Start();
    const char cut[] = "abcdef\n";
    EXPECT_EQ(Send(cut, 3), 1);
    EXPECT_EQ(WindowText(editor), "abc");
    const char unterminated[4] = {'\n', 'x', 'y', 'z'};
    EXPECT_EQ(Send(unterminated, sizeof unterminated), 1);
    EXPECT_EQ(WindowText(editor), "abc\r\nxyz");
    const char handshake[] = "";
    EXPECT_EQ(Send(handshake, 1), 1);
    EXPECT_EQ(Send(cut, 0), 1) << "cbData 0 carries an empty text";
    EXPECT_EQ(Send(0, 0), 1) << "no bytes, no pointer: still an empty text";
    EXPECT_EQ(WindowText(editor), "abc\r\nxyz");
}

TEST_F(OutputWindowE2E, TracePrintSendsToTheRunningWindow)
{
    Start();
    Command(40036);  // No Wrap: Wine re-wraps a whole paragraph at each typed character
    TracePrint("hello %d from %s", 7, "e2e");
    EXPECT_EQ(WindowText(editor), "hello 7 from e2e\r\n");

    std::string longer(3000, 'w');
    TracePrint("%s", longer.c_str());
    EXPECT_EQ(LongWindowText(editor), "hello 7 from e2e\r\n" + std::string(2046, 'w') + "\r\n");
}

TEST_F(OutputWindowE2E, TracePrintStartsTheProgramNamedInWinIni)
{
    ASSERT_FALSE(FindWindowA("OXR", 0));
    std::string command = BesideTests("OrvelloWord.exe") + " /oxr";
    WritePrivateProfileStringA("OXR", "App", command.c_str(), "win.ini");
    TracePrint("started by %s", "TracePrint");
    HWND window = FindWindowA("OXR", 0);
    ASSERT_TRUE(window) << "TracePrint did not start " << command;
    EXPECT_EQ(WindowText(FindChild(window, "RichEdit20A")), "started by TracePrint\r\n")
        << "the first line waits for the handshake";
}

TEST_F(OutputWindowE2E, TracePrintGivesUpSilentlyWhenTheProgramCannotStart)
{
    WritePrivateProfileStringA("OXR", "App", "C:\\nowhere\\missing-oxr.exe /oxr", "win.ini");
    DWORD before = GetTickCount();
    TracePrint("lost");
    EXPECT_LT(GetTickCount() - before, 5000u);
    EXPECT_FALSE(FindWindowA("OXR", 0));
}

TEST_F(OutputWindowE2E, TraceSendSendsItsArgumentsOrEachInputLine)
{
    Start();
    EXPECT_EQ(RunWithInput("tracesend.exe", "one two  three", ""), 0);
    EXPECT_EQ(WindowText(editor), "one two three\r\n");

    // Standard input: each line, without its CR LF, including the last one without a feed;
    // a zero byte cuts its line only, and a line longer than a message is cut as TracePrint
    // cuts it.
    std::string input = std::string("first\r\n\r\n100% sec\0ond\n", 22) +
                        std::string(3000, 'w') + "\nlast";
    EXPECT_EQ(RunWithInput("tracesend.exe", "", input), 0);
    EXPECT_EQ(LongWindowText(editor), "one two three\r\nfirst\r\n\r\n100% sec\r\n" +
                                          std::string(2046, 'w') + "\r\nlast\r\n");
}

TEST_F(OutputWindowE2E, TraceSendSendsWhatItHasWhenItsInputPauses)
{
    Start();
    // Each line must show while the pipe stays open, before the next one is written.
    PipedProgram piped;
    ASSERT_TRUE(StartPiped(piped, "tracesend.exe", ""));
    std::string shown;
    for (const char *line : {"compiling a.c", "compiling b.c", "linking"}) {
        ASSERT_TRUE(WritePiped(piped, std::string(line) + "\r\n"));
        shown += std::string(line) + "\r\n";
        EXPECT_TRUE(WaitForText(editor, shown, 5000)) << "waiting for input that has not come";
    }
    EXPECT_EQ(FinishPiped(piped), 0);
    EXPECT_EQ(WindowText(editor), shown);
}

// Line k of a burst: its number and letters that change with it.
std::string BurstLine(int k)
{
    char line[64];
    int used = snprintf(line, sizeof line, "burst %05d ", k);
    for (int c = used; c < 50; ++c)
        line[c] = (char)('a' + (k + c) % 26);
    line[50] = 0;
    return line;
}

TEST_F(OutputWindowE2E, ABurstArrivesWholeAndInOrderWithTheLastLineInTheTitle)
{
    const int count = 10000;
    std::string typed, piped;
    for (int k = 1; k <= count; ++k) {
        typed += BurstLine(k) + "\r\n";
        piped += BurstLine(k) + "\n";
    }
    // One message a line, as TracePrint sends them.
    Start();
    for (int k = 1; k <= count; ++k)
        TracePrint("%s", BurstLine(k).c_str());
    EXPECT_TRUE(LongWindowText(editor, typed.size() * 2) == typed) << "one message a line";

    // Several lines a message, through tracesend, with Title Bar Output on.
    SendMessageA(editor, WM_SETTEXT, 0, (LPARAM) "");
    Command(40024);
    EXPECT_EQ(RunWithInput("tracesend.exe", "", piped), 0);
    EXPECT_TRUE(LongWindowText(editor, typed.size() * 2) == typed) << "through tracesend";
    EXPECT_EQ(WaitForWindowText(program.main, BurstLine(count)), BurstLine(count));
}

TEST_F(OutputWindowE2E, ALineAfterTheUserMovedTheCaretLandsThere)
{
    Start();
    const char first[] = "first\n", second[] = "second\n", third[] = "third\n";
    Send(first, sizeof first);
    Send(second, sizeof second);
    // Up a line, as the arrow key does: the lines before it are in by then.
    PostMessageA(editor, WM_KEYDOWN, VK_UP, 1);
    PostMessageA(editor, WM_KEYUP, VK_UP, 0xC0000001);
    Pause(100);
    Send(third, sizeof third);
    EXPECT_EQ(WindowText(editor), "first\r\nthird\r\nsecond\r\n");
}

TEST_F(OutputWindowE2E, TraceSendFromARedirectedFileSendsEveryLineInOrder)
{
    const int count = 3000;
    std::string input, typed;
    for (int k = 1; k <= count; ++k) {
        input += BurstLine(k) + (k % 3 ? "\n" : "\r\n");
        typed += BurstLine(k) + "\r\n";
    }
    input += "last line without its end";
    typed += "last line without its end\r\n";
    std::string path = BesideTests("tracesend-input.txt");
    FILE *file = fopen(path.c_str(), "wb");
    ASSERT_TRUE(file);
    fwrite(input.data(), 1, input.size(), file);
    fclose(file);
    Start();
    EXPECT_EQ(RunWithFileInput("tracesend.exe", "", path), 0);
    EXPECT_TRUE(LongWindowText(editor, typed.size() * 2) == typed)
        << "every line once, in order, the last one too";
    DeleteFileA(path.c_str());
}

TEST_F(OutputWindowE2E, TheLogFileHoldsEveryLineAfterTrimmingAndClose)
{
    std::string path = BesideTests("oxr-e2e.log");
    DeleteFileA(path.c_str());
    WritePrivateProfileStringA("OXR", "LogFile", path.c_str(), "win.ini");
    WritePrivateProfileStringA("OXR", "MaxLines", "200", "win.ini");
    Start();
    std::string logged, shown;
    for (int k = 1; k <= 1000; ++k) {
        std::string line = BurstLine(k) + "\n";
        Send(line.c_str(), (DWORD)line.size() + 1);
        logged += BurstLine(k) + "\r\n";
        if (k % 100 == 0)
            Pause(60);  // the flow pauses: the lines go in, and trims come
    }
    Pause(300);
    std::string kept = LongWindowText(editor = FindChild(program.main, "RichEdit20A"), 200000);
    size_t lines = 0;
    for (char c : kept)
        lines += c == '\n';
    EXPECT_GE(lines, 200u);
    EXPECT_LE(lines, 220u);
    EXPECT_TRUE(logged.size() >= kept.size() &&
                logged.compare(logged.size() - kept.size(), kept.size(), kept) == 0)
        << "the window keeps the newest lines";
    ASSERT_TRUE(CloseProgram(program));
    EXPECT_TRUE(WaitForBytes(path, logged)) << "the log holds every line once the window closed";
    EXPECT_EQ(ProfileText("win.ini", "OXR", "LogFile"), path) << "logging stays on";
    DeleteFileA(path.c_str());
}
