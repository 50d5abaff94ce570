// Odd and hostile documents, generated here, opened in the real program: it keeps
// answering, shows the text or says plainly why not, and closes cleanly.
#include <gtest/gtest.h>

#include "Driver.h"
#include <string.h>
#include "tests/common/FileBytes.h"
#include <richedit.h>
#include <algorithm>
#include <string>

namespace {

std::string Folder()
{
    return TempFolder("ow hostile");
}

// The text with its CR LF pairs taken out: what was there before lines were broken.
std::string WithoutLineEnds(const std::string &text)
{
    std::string joined;
    for (size_t i = 0; i < text.size(); ++i)
        if (text.compare(i, 2, "\r\n") == 0)
            ++i;
        else
            joined += text[i];
    return joined;
}

std::string Nested(int depth)
{
    return "{\\rtf1 " + std::string(depth, '{') + "x" + std::string(depth, '}') + "}";
}

class HostileInputTest : public ::testing::Test {
protected:
    std::string folder = Folder();
    RunningProgram program = {};

    void SetUp() override { ClearSection("win.ini", "OrvelloWord"); }
    void TearDown() override
    {
        if (program.process.hProcess) {
            TerminateProcess(program.process.hProcess, 1);
            WaitForExit(program, 2000);
        }
        ClearSection("win.ini", "OrvelloWord");
    }

    HWND Editor() { return FindChild(program.main, "RichEdit20A"); }

    std::string Write(const char *name, const std::string &bytes)
    {
        std::string path = folder + name;
        WriteBytes(path, bytes);
        return path;
    }

    // Starts the program with path as its first recent file and unsaved words in the
    // document; returns the title it shows.
    std::string StartWithUnsavedWords(const std::string &path)
    {
        WritePrivateProfileStringA("OrvelloWord", "MRU0", path.c_str(), "win.ini");
        program = StartProgram("", "OrvelloWord");
        if (!program.main)
            return "";
        std::string title = WindowText(program.main);
        SendMessageA(Editor(), WM_SETTEXT, 0, (LPARAM) "unsaved words");
        SendMessageA(Editor(), EM_SETMODIFY, TRUE, 0);
        return title;
    }

    // After a refused open: the words, their modified flag and the title as they were.
    void ExpectUnsavedWordsKept(const std::string &title, const char *name)
    {
        EXPECT_TRUE(Answers(program.main)) << name;
        EXPECT_EQ(WindowText(Editor()), "unsaved words") << name;
        EXPECT_NE(SendMessageA(Editor(), EM_GETMODIFY, 0, 0), 0) << name;
        EXPECT_EQ(WindowText(program.main), title) << name;
    }

    // Answers the program's next message box with button; false when none came.
    bool Answer(int button)
    {
        HWND box = WaitForDialog("OrvelloWord", 5000);
        if (box)
            PressButton(box, button);
        for (int i = 0; i < 100 && box && IsWindow(box); ++i)
            Sleep(50);
        return box != 0;
    }
};

}  // namespace

TEST_F(HostileInputTest, OddDocumentsOpenAndTheProgramClosesCleanly)
{
    std::string binary("MZ\x90\0\x03\0\0\0\x04\0", 10);
    for (int k = 0; k < 4096; ++k)
        binary += (char)(k * 7 + 3);
    std::string lines;
    while (lines.size() < 400000)
        lines += "a line of ordinary text, seventy characters or so, then a line end\r\n";
    // An RTF stream that stops short (cut off, or ended by a null character) leaves nothing
    // of itself, after a message: a part must never be saved over the file.
    const struct { const char *name; std::string bytes; int question; int length; } cases[] = {
        {"empty.txt", "", 0, 0},
        {"binary.exe", binary, 0, 3},
        {"controls.txt", "\x01\x02\x1b[31m\r\r\n\n\t\x7f\xff", 0, 16},
        {"odd 16-bit.txt", std::string("A\0B", 3), IDYES, 1},
        {"mark only.txt", "\xFF\xFE", IDYES, 0},
        {"truncated.rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0 Ari", IDOK, 0},
        {"binary in rtf.rtf", std::string("{\\rtf1 a\\bin5 \0\0}}}{{ b}", 23), IDOK, 0},
        {"many lines.txt", lines, 0, (int)lines.size()},
    };
    for (const auto &c : cases) {
        std::string path = Write(c.name, c.bytes);
        program = StartProgram(("\"" + path + "\"").c_str(), "OrvelloWord");
        ASSERT_TRUE(program.main) << c.name;
        if (c.question) {
            EXPECT_TRUE(Answer(c.question)) << c.name;
        }
        EXPECT_TRUE(Answers(program.main)) << c.name;
        EXPECT_TRUE(WaitForTextLength(program.main, c.length))
            << c.name << ": " << WindowTextLength(Editor());
        if (!strcmp(c.name, "controls.txt")) {
            // Controls as they are; each of CR, CR LF and LF one line end.
            EXPECT_EQ(WindowText(Editor()), "\x01\x02\x1b[31m\r\n\r\n\r\n\t\x7f\xff");
        }
        EXPECT_TRUE(CloseProgram(program)) << c.name << " closes without a question";
    }
}

TEST_F(HostileInputTest, UnreadableRtfIsRefusedAndNoLeavesTheDocumentAlone)
{
    // 20,000 groups deep, in lines of 1,000 braces (the reader skips line ends): as plain
    // text one line of 40,000 braces would first be offered broken (lines too long).
    std::string deep = Nested(20000);
    for (size_t at = 1000; at < deep.size(); at += 1002)
        deep.insert(at, "\r\n");
    const struct { const char *name; std::string bytes; } cases[] = {
        {"deep.rtf", deep},
        {"long word.rtf", "{\\rtf1 \\" + std::string(100000, 'a') + " x}"},
        {"nested table.rtf", "{\\rtf1 \\trowd\\cellx900 \\pard\\intbl\\itap2 a\\nestcell"
                             "{\\*\\nesttableprops\\trowd\\cellx400\\nestrow}\\itap1 \\cell\\row}"},
    };
    for (const auto &c : cases) {
        std::string title = StartWithUnsavedWords(Write(c.name, c.bytes));
        ASSERT_TRUE(program.main);

        PostMessageA(program.main, WM_COMMAND, 40000, 0);
        ASSERT_TRUE(Answer(IDNO)) << c.name << ": no question about the file";
        ExpectUnsavedWordsKept(title, c.name);

        // Yes opens the text as it stands, after the usual question about changes.
        PostMessageA(program.main, WM_COMMAND, 40000, 0);
        ASSERT_TRUE(Answer(IDYES)) << c.name;
        ASSERT_TRUE(Answer(IDNO)) << c.name << ": unsaved words dropped without asking";
        EXPECT_TRUE(Answers(program.main)) << c.name;
        EXPECT_EQ(WindowTextLength(Editor()), (int)c.bytes.size()) << c.name;
        EXPECT_EQ(SendMessageA(Editor(), EM_GETTEXTMODE, 0, 0) & 3, TM_PLAINTEXT) << c.name;
        EXPECT_NE(WindowText(program.main), title) << c.name;
        EXPECT_TRUE(CloseProgram(program)) << c.name;
    }
}

TEST_F(HostileInputTest, AVeryLongLineOpensUnwrappedAndTheWrapSettingStays)
{
    std::string line;
    while (line.size() < 100000)
        line += "one line of words, spaces between them and no line end anywhere; ";
    std::string path = Write("one line.txt", line);
    WritePrivateProfileStringA("OrvelloWord", "Wrap", "119", "win.ini");
    WritePrivateProfileStringA("OrvelloWord", "WindowState", "0.1,0.1,0.9,0.9,1,1,1", "win.ini");
    program = StartProgram(("\"" + path + "\"").c_str(), "OrvelloWord");
    ASSERT_TRUE(program.main);
    EXPECT_TRUE(Answers(program.main));
    EXPECT_EQ(WindowTextLength(Editor()), (int)line.size());
    SendMessageA(Editor(), EM_SETSEL, 5, 5);
    std::string status = WindowText(FindChild(program.main, "msctls_statusbar32"));
    EXPECT_NE(status.find("not wrapped"), std::string::npos) << status;
    ASSERT_TRUE(CloseProgram(program));
    EXPECT_EQ(ProfileText("win.ini", "OrvelloWord", "Wrap"), "119");
}

TEST_F(HostileInputTest, ALongDocumentGoesAtOnceOnNewAndOpen)
{
    std::string lines;
    for (int i = 0; i < 30000; ++i)
        lines += "line " + std::to_string(i) + " of a long document\r\n";
    std::string path = Write("thirty thousand.txt", lines);
    std::string small = Write("small.txt", "small file");
    WritePrivateProfileStringA("OrvelloWord", "MRU0", small.c_str(), "win.ini");
    program = StartProgram(("\"" + path + "\"").c_str(), "OrvelloWord");
    ASSERT_TRUE(program.main);
    // A posted command may still be on its way when the window answers: wait for the
    // editor's length.
    ASSERT_TRUE(WaitForTextLength(program.main, (int)lines.size()));
    HWND first = Editor();

    // Emptying 30,000 lines in the control itself would take minutes under Wine.
    PostMessageA(program.main, WM_COMMAND, 40015, 0);
    EXPECT_TRUE(WaitForTextLength(program.main, 0, 5000));
    HWND editor = Editor();
    ASSERT_TRUE(editor);
    EXPECT_NE(editor, first);
    EXPECT_EQ(WindowText(program.main).find("thirty thousand"), std::string::npos);
    TypeText(editor, "typed");
    EXPECT_EQ(WindowText(editor), "typed");
    SendMessageA(editor, EM_SETMODIFY, FALSE, 0);

    // The long file again from the recent files, then the small one over it.
    PostMessageA(program.main, WM_COMMAND, 40000, 0);
    ASSERT_TRUE(WaitForTextLength(program.main, (int)lines.size()));
    PostMessageA(program.main, WM_COMMAND, 40001, 0);
    EXPECT_TRUE(WaitForTextLength(program.main, 10, 5000));
    EXPECT_EQ(WindowText(Editor()), "small file");
    EXPECT_NE(WindowText(program.main).find("small"), std::string::npos);
    EXPECT_TRUE(CloseProgram(program));
}

TEST_F(HostileInputTest, ABigFileKeepsTheProgramAnsweringWhileItLoads)
{
    // In one piece, Wine's control takes about 4 s for these lines before it answers.
    std::string lines;
    for (int i = 0; i < 200000; ++i)
        lines += std::to_string(i % 10) + "\r\n";
    std::string path = Write("two hundred thousand.txt", lines);
    program = StartProgram(("\"" + path + "\"").c_str(), "OrvelloWord");
    ASSERT_TRUE(program.main);
    DWORD longest = 0;
    int length = 0;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 60000; Sleep(20)) {
        DWORD asked = GetTickCount();
        bool answered = Answers(program.main, 30000);
        longest = std::max(longest, GetTickCount() - asked);
        length = WindowTextLength(Editor());
        if (answered && length == (int)lines.size())
            break;
    }
    EXPECT_EQ(length, (int)lines.size());
    EXPECT_LT(longest, 2000u);
    EXPECT_NE(WindowText(program.main).find("two hundred thousand"), std::string::npos);
    EXPECT_TRUE(CloseProgram(program));
}

TEST_F(HostileInputTest, ALineOfManyRunsIsBrokenOnlyWhenTheUserSaysSo)
{
    std::string json;
    while (json.size() < 256 * 1024)
        json += "{\"key\":[1,2,3],\"name\":\"value\"},";
    std::string title = StartWithUnsavedWords(Write("minified.json", json + "\r\nlast line"));
    ASSERT_TRUE(program.main);

    // No leaves everything as it was.
    PostMessageA(program.main, WM_COMMAND, 40000, 0);
    HWND box = WaitForMessageBox("OrvelloWord", "too long for the editor to show quickly");
    ASSERT_TRUE(box);
    PressButton(box, IDNO);
    ASSERT_TRUE(WaitForGone(box));
    ExpectUnsavedWordsKept(title, "minified.json");

    // Yes: every character is there, in lines the control can show, untitled.
    PostMessageA(program.main, WM_COMMAND, 40000, 0);
    ASSERT_TRUE(Answer(IDYES));
    ASSERT_TRUE(Answer(IDNO)) << "unsaved words dropped without asking";
    // The program answers while the text goes in: wait for its end.
    std::string shown;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 30000; Sleep(50)) {
        if (!Answers(program.main, 10000))
            continue;
        shown = LongWindowText(Editor(), 2 * json.size());
        if (shown.size() >= 9 && shown.compare(shown.size() - 9, 9, "last line") == 0)
            break;
    }
    // Only line ends were added (the text has none but its last).
    EXPECT_TRUE(WithoutLineEnds(shown) == json + "last line") << shown.size() << " characters shown";
    EXPECT_GT(SendMessageA(Editor(), EM_GETLINECOUNT, 0, 0), 200);
    EXPECT_EQ(WindowText(program.main), title) << "the document is untitled";
    EXPECT_EQ(SendMessageA(Editor(), EM_GETMODIFY, 0, 0), 0);
    // A key in the document is answered at once.
    DWORD start = GetTickCount();
    SendMessageA(Editor(), EM_SETSEL, 100, 100);
    SendMessageA(Editor(), WM_CHAR, 'x', 0);
    EXPECT_LT(GetTickCount() - start, 2000u);
    SendMessageA(Editor(), EM_SETMODIFY, FALSE, 0);
    EXPECT_TRUE(CloseProgram(program));
}

namespace {

std::string Repeat(const std::string &piece, size_t times)
{
    std::string text;
    text.reserve(piece.size() * times);
    for (size_t k = 0; k < times; ++k)
        text += piece;
    return text;
}

// Waits until the program's editor holds length characters (WM_GETTEXTLENGTH), asking
// whether it answers all along; the longest wait for an answer, or -1 when the length
// never came.
long WaitAnswering(HWND main, int length, DWORD milliseconds)
{
    DWORD longest = 0;
    for (DWORD start = GetTickCount(); GetTickCount() - start < milliseconds; Sleep(250)) {
        DWORD asked = GetTickCount();
        bool answered = Answers(main, 30000);
        longest = std::max(longest, GetTickCount() - asked);
        if (answered && WindowTextLength(FindChild(main, "RichEdit20A")) == length)
            return (long)longest;
    }
    return -1;
}

}  // namespace

TEST_F(HostileInputTest, TextOfManyLinesEndedByCarriageReturnsOpensWhileTheProgramAnswers)
{
    // Old Macintosh line ends: nothing but CRs (2 MB, which would cost Wine's control
    // 4 GB: it opens as a read-only view of the file, a window of it in the control),
    // then ordinary lines ended so.
    const struct { const char *name; std::string bytes; int lines; bool view; } cases[] = {
        {"cr only.txt", std::string(2 * 1024 * 1024, '\r'), 2 * 1024 * 1024, true},
        {"cr lines.txt", Repeat("an ordinary line of an old Macintosh text file\r", 40000), 40000,
         false},
    };
    for (const auto &c : cases) {
        program = StartProgram(("\"" + Write(c.name, c.bytes) + "\"").c_str(), "OrvelloWord");
        ASSERT_TRUE(program.main) << c.name;
        if (c.view) {
            HWND status = FindChild(program.main, "msctls_statusbar32");
            DWORD longest = 0;
            bool shown = false;
            for (DWORD start = GetTickCount(); !shown && GetTickCount() - start < 60000;
                 Sleep(100)) {
                DWORD asked = GetTickCount();
                bool answered = Answers(program.main, 30000);
                longest = std::max(longest, GetTickCount() - asked);
                int length = WindowTextLength(FindChild(program.main, "RichEdit20A"));
                shown = answered && length > 0 && length < (int)c.bytes.size() &&
                        StatusPartText(status, 0).find("Read-only view") != std::string::npos;
            }
            EXPECT_TRUE(shown) << StatusPartText(status, 0);
            EXPECT_LT(longest, 5000u);
            EXPECT_TRUE(CloseProgram(program));
            continue;
        }
        // Each line end reads back as CR LF.
        long longest = WaitAnswering(program.main, (int)c.bytes.size() + c.lines, 240000);
        EXPECT_GE(longest, 0) << c.name << ": " << WindowTextLength(Editor());
        EXPECT_LT(longest, 5000) << c.name;
        EXPECT_NE(WindowText(program.main).find(c.name), std::string::npos) << c.name;
        EXPECT_TRUE(CloseProgram(program)) << c.name;
    }
}

TEST_F(HostileInputTest, RtfOfManyEmptyParagraphsIsRefusedAndTheProgramAnswers)
{
    // Every way RTF ends a paragraph, 300,000 times or more in one group.
    const struct { const char *name; std::string bytes; } cases[] = {
        {"empty paragraphs.rtf", "{\\rtf1 {" + Repeat("\\par\r\n", 300000) + "}}"},
        {"symbol paragraphs.rtf", "{\\rtf1 {" + Repeat("\\\r\n", 600000) + "}}"},
        {"sections.rtf", "{\\rtf1 {" + Repeat("\\sect\n", 300000) + "}}"},
        {"picture paragraphs.rtf", "{\\rtf1 {\\pict " + Repeat("\\par\r\n", 300000) + "}x}"},
    };
    for (const auto &c : cases) {
        program = StartProgram(("\"" + Write(c.name, c.bytes) + "\"").c_str(), "OrvelloWord");
        ASSERT_TRUE(program.main) << c.name;
        HWND box = WaitForMessageBox("OrvelloWord", "not a readable RTF document", 10000);
        ASSERT_TRUE(box) << c.name << " was not refused";
        PressButton(box, IDNO);
        EXPECT_TRUE(WaitForGone(box));
        EXPECT_TRUE(Answers(program.main, 10000)) << c.name;
        EXPECT_EQ(WindowTextLength(Editor()), 0) << c.name;
        EXPECT_TRUE(CloseProgram(program)) << c.name;
    }
}

TEST_F(HostileInputTest, RtfOfAMillionLineBreaksOpensAsPlainTextInShortLines)
{
    std::string bytes = "{\\rtf1 {" + Repeat("\\line", 1000000) + "}}";
    program = StartProgram(("\"" + Write("million lines.rtf", bytes) + "\"").c_str(), "OrvelloWord");
    ASSERT_TRUE(program.main);
    HWND box = WaitForMessageBox("OrvelloWord", "not a readable RTF document", 10000);
    ASSERT_TRUE(box);
    PressButton(box, IDYES);
    // As plain text it is one line of 5 MB, which the control would take minutes over.
    box = WaitForMessageBox("OrvelloWord", "lines too long", 10000);
    ASSERT_TRUE(box);
    PressButton(box, IDYES);
    std::string shown;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 120000; Sleep(250)) {
        ASSERT_TRUE(Answers(program.main, 10000));
        if (WindowTextLength(Editor()) > (int)bytes.size()) {
            shown = LongWindowText(Editor(), 2 * bytes.size());
            if (shown.size() >= 2 && shown.compare(shown.size() - 2, 2, "}}") == 0)
                break;
        }
    }
    EXPECT_TRUE(WithoutLineEnds(shown) == bytes) << shown.size() << " characters shown";
    EXPECT_GT(SendMessageA(Editor(), EM_GETLINECOUNT, 0, 0), 1000);
    EXPECT_TRUE(CloseProgram(program));
}


// A log that would cost the control gigabytes opens at once as a read-only view, whose
// status bar shows the line of the whole file: its scroll bar stands for the whole file,
// Ctrl+End goes to the file's last line and Ctrl+Home back to its first, typing changes
// nothing, and the program answers throughout.
TEST_F(HostileInputTest, ABigLogOpensAsAViewThatReachesItsLastLine)
{
    std::string log;
    int lines = 0;
    for (; log.size() < 6 * 1024 * 1024; ++lines)
        log += "2026-12-09 03:56:" + std::to_string(10 + lines % 50) + ".123 [worker-" +
               std::to_string(lines % 32) + "] /srv/app/handler.cpp:" + std::to_string(lines) +
               " request done\r\n";
    program = StartProgram(("\"" + Write("big view.log", log) + "\"").c_str(), "OrvelloWord");
    ASSERT_TRUE(program.main);
    HWND status = FindChild(program.main, "msctls_statusbar32");
    // The scroll bar's middle is the line that holds the file's middle byte.
    int middle = (int)std::count(log.begin(), log.begin() + log.size() / 2, '\n');
    const struct {
        WORD key;
        int thumb;
        std::string status;
    } steps[] = {
        {0, -1, "Ln 1, col 1    Read-only view"},
        {0, 1 << 14, "Ln " + std::to_string(middle + 1) + ", col 1    Read-only view"},
        {VK_END, -1, "Ln " + std::to_string(lines + 1) + ", col 1    Read-only view"},
        {VK_HOME, -1, "Ln 1, col 1    Read-only view"},
    };
    for (const auto &step : steps) {
        if (step.key)
            PressKey(Editor(), step.key, VK_CONTROL);
        if (step.thumb >= 0)
            PostMessageA(program.main, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, step.thumb),
                         (LPARAM)FindChild(program.main, "ScrollBar"));
        std::string shown;
        for (DWORD start = GetTickCount(); GetTickCount() - start < 20000; Sleep(50)) {
            ASSERT_TRUE(Answers(program.main, 5000));
            shown = StatusPartText(status, 0);
            if (shown == step.status)
                break;
        }
        EXPECT_EQ(shown, step.status);
        // One vertical bar, the whole file's: the control's own stays hidden after moves.
        bool ownBar = true;
        for (DWORD start = GetTickCount(); ownBar && GetTickCount() - start < 2000; Sleep(50))
            ownBar = (GetWindowLongA(Editor(), GWL_STYLE) & WS_VSCROLL) != 0;
        EXPECT_FALSE(ownBar) << step.status;
    }
    int length = WindowTextLength(Editor());
    EXPECT_GT(length, 0);
    EXPECT_LT(length, (int)log.size() / 4) << "a window of the file, not the file";
    PressKey(Editor(), 'X');
    Pause(200);
    EXPECT_EQ(WindowTextLength(Editor()), length);
    EXPECT_EQ(SendMessageA(Editor(), EM_GETMODIFY, 0, 0), 0);
    EXPECT_NE(WindowText(program.main).find("big view.log"), std::string::npos);
    EXPECT_TRUE(CloseProgram(program));
}
