// The document's file changed by another program while it is open: asked about once,
// followed when it only grows, never overwritten without a word.
#include <gtest/gtest.h>

#include <richedit.h>
#include <stdio.h>
#include <string>
#include <vector>

#include "Driver.h"
#include "tests/common/FileBytes.h"

namespace {

const int SAVE = 40008;
// A check runs every 2 s: a change is asked about well within this.
const DWORD QUESTION_WAIT = 6000;
// Long enough for more than one check to have run.
const DWORD CHECKS_WAIT = 2600;

class OutsideChangeTest : public ::testing::Test {
protected:
    std::string folder, path;
    RunningProgram program = {};
    HWND editor = 0;

    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        folder = std::string(temp) + "owoutside\\";
        CreateDirectoryA(folder.c_str(), 0);
        path = folder + "watched.txt";
    }

    void TearDown() override
    {
        if (program.process.hProcess)
            TerminateProcess(program.process.hProcess, 1);
        WaitForExit(program, 2000);
        ClearSection("win.ini", "OrvelloWord");
        DeleteFileA(path.c_str());
    }

    bool Open(const std::string &bytes)
    {
        if (!WriteBytes(path, bytes))
            return false;
        program = StartProgram(("\"" + path + "\"").c_str(), "OrvelloWord");
        editor = program.main ? FindChild(program.main, "RichEdit20A") : 0;
        return editor != 0;
    }

    bool Modified() { return SendMessageA(editor, EM_GETMODIFY, 0, 0) != 0; }

    CHARRANGE Selection()
    {
        CHARRANGE range = {-1, -1};
        DWORD start = 0, end = 0;
        SendMessageA(editor, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
        range.cpMin = start;
        range.cpMax = end;
        return range;
    }

    void Select(int start, int end) { SendMessageA(editor, EM_SETSEL, start, end); }

    // The program's message box holding text, its message, after pressing button;
    // "<none>" when none came within the wait.
    std::string Answer(const char *text, int button, DWORD milliseconds = QUESTION_WAIT)
    {
        HWND box = WaitForMessageBox("OrvelloWord", text, milliseconds);
        if (!box)
            return "<none>";
        std::string message = MessageText(box);
        PressButton(box, button);
        WaitForGone(box);
        return message;
    }

    // Whether any message box of the program comes up within the wait.
    bool AnyBoxWithin(DWORD milliseconds)
    {
        return WaitForMessageBox("OrvelloWord", "", milliseconds) != 0;
    }
};

}  // namespace

TEST_F(OutsideChangeTest, ARewriteOfAnUnchangedDocumentIsAskedAboutAndYesReloads)
{
    ASSERT_TRUE(Open("first version\r\nsecond line\r\n"));
    Select(16, 16);
    DWORD changed = GetTickCount();
    ASSERT_TRUE(WriteBytes(path, "first version, rewritten\r\nsecond line\r\n"));
    HWND box = WaitForMessageBox("OrvelloWord", "changed by another program", QUESTION_WAIT);
    ASSERT_TRUE(box);
    printf("[ measure ] change to question: %lu ms\n", GetTickCount() - changed);
    EXPECT_EQ(MessageText(box), "watched.txt has been changed by another program. Reload it?");
    PressButton(box, IDYES);
    WaitForGone(box);
    EXPECT_TRUE(WaitForText(editor, "first version, rewritten\r\nsecond line\r\n"));
    EXPECT_FALSE(Modified());
    EXPECT_EQ(Selection().cpMin, 16) << "the caret stays near where it was";
    EXPECT_EQ(WindowText(program.main), "watched.txt - OrvelloWord");
    // The reloaded file is watched from its new state.
    EXPECT_FALSE(AnyBoxWithin(CHECKS_WAIT));
}

TEST_F(OutsideChangeTest, ARewriteUnderUnsavedChangesAnsweredNoKeepsThemAndIsNotAskedAgain)
{
    ASSERT_TRUE(Open("original\r\n"));
    TypeText(editor, "my own changes");
    ASSERT_TRUE(WriteBytes(path, "their version\r\n"));
    std::string question = Answer("changed by another program", IDNO);
    EXPECT_EQ(question.find("watched.txt has been changed by another program. Reload it?"), 0u)
        << question;
    EXPECT_NE(question.find("loses the changes"), std::string::npos) << question;
    EXPECT_EQ(WindowText(editor), "my own changes");
    EXPECT_TRUE(Modified());
    SendMessageA(program.main, WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_FALSE(AnyBoxWithin(CHECKS_WAIT)) << "one question for one change";
    EXPECT_EQ(ReadBytes(path), "their version\r\n");
}

TEST_F(OutsideChangeTest, TheProgramsOwnSaveIsNoOutsideChange)
{
    ASSERT_TRUE(Open("before\r\n"));
    TypeText(editor, "saved by the program");
    PostMessageA(program.main, WM_COMMAND, SAVE, 0);
    ASSERT_TRUE(WaitForBytes(path, "saved by the program"));
    EXPECT_FALSE(AnyBoxWithin(CHECKS_WAIT));
    EXPECT_FALSE(Modified());
    // Still watched: the next change by another program is asked about.
    ASSERT_TRUE(WriteBytes(path, "changed afterwards\r\n"));
    EXPECT_NE(Answer("changed by another program", IDNO), "<none>");
}

TEST_F(OutsideChangeTest, AGrowingLogIsFollowedWithoutAQuestion)
{
    std::string expected = "log start\r\n";
    ASSERT_TRUE(Open(expected));
    Select(-1, -1);
    int shownAtStart = WindowTextLength(editor);
    ASSERT_GT(shownAtStart, 0);
    // 25 appends in 5 s, while the text shown is watched for each line.
    std::vector<DWORD> appended;
    std::vector<DWORD> latencies;
    size_t shown = 0;  // lines seen in the editor
    std::vector<int> lengths;
    DWORD start = GetTickCount();
    while (shown < 25 && GetTickCount() - start < 12000) {
        if (appended.size() < 25 && GetTickCount() - start >= appended.size() * 200) {
            char line[64];
            snprintf(line, sizeof line, "line %02d of the log\r\n", (int)appended.size() + 1);
            ASSERT_TRUE(AppendBytes(path, line));
            expected += line;
            appended.push_back(GetTickCount());
            lengths.push_back((int)expected.size());
        }
        int length = WindowTextLength(editor);
        while (shown < lengths.size() && length >= lengths[shown])
            latencies.push_back(GetTickCount() - appended[shown++]);
        ASSERT_EQ(FindWindowA("#32770", "OrvelloWord"), (HWND)0) << "no question for growth";
        Sleep(10);
    }
    ASSERT_EQ(shown, 25u);
    EXPECT_EQ(LongWindowText(editor), expected);
    DWORD longest = 0, sum = 0;
    for (DWORD latency : latencies) {
        longest = latency > longest ? latency : longest;
        sum += latency;
    }
    printf("[ measure ] append to text shown: mean %lu ms, longest %lu ms\n",
           sum / (DWORD)latencies.size(), longest);
    CHARRANGE caret = Selection();
    EXPECT_EQ(caret.cpMin, caret.cpMax);
    // Positions count a line end as one character.
    int lineEnds = 0;
    for (size_t at = 0; (at = expected.find("\r\n", at)) != std::string::npos; at += 2)
        ++lineEnds;
    EXPECT_EQ(caret.cpMax, (LONG)expected.size() - lineEnds) << "the caret stays at the end";
    EXPECT_FALSE(Modified());
    EXPECT_FALSE(SendMessageA(editor, EM_CANUNDO, 0, 0)) << "no undo step for each append";
}

TEST_F(OutsideChangeTest, AFollowedLogKeepsACaretThatWasNotAtTheEnd)
{
    ASSERT_TRUE(Open("first\r\nsecond\r\n"));
    Select(2, 4);
    ASSERT_TRUE(AppendBytes(path, "third\r\n"));
    ASSERT_TRUE(WaitForText(editor, "first\r\nsecond\r\nthird\r\n", QUESTION_WAIT));
    CHARRANGE selection = Selection();
    EXPECT_EQ(selection.cpMin, 2);
    EXPECT_EQ(selection.cpMax, 4);
    EXPECT_FALSE(Modified());
}

TEST_F(OutsideChangeTest, GrowthIsReadInTheFilesOwnEncoding)
{
    // UTF-8, its characters cut between two appends.
    ASSERT_TRUE(Open("caf\xC3\xA9\r\n"));
    ASSERT_TRUE(AppendBytes(path, "na\xC3"));
    ASSERT_TRUE(WaitForText(editor, "caf\xE9\r\nna", QUESTION_WAIT)) << "half a character waits";
    ASSERT_TRUE(AppendBytes(path, "\xAFve\r\n"));
    EXPECT_TRUE(WaitForText(editor, "caf\xE9\r\nna\xEFve\r\n", QUESTION_WAIT));
    EXPECT_FALSE(Modified());
    TerminateProcess(program.process.hProcess, 1);
    WaitForExit(program, 2000);

    // UTF-16 little endian, after the question that opening it asks.
    ASSERT_TRUE(WriteBytes(path, std::string("\xFF\xFEo\0n\0e\0\r\0\n\0", 12)));
    program = StartProgram(("\"" + path + "\"").c_str(), "OrvelloWord");
    editor = program.main ? FindChild(program.main, "RichEdit20A") : 0;
    ASSERT_TRUE(editor);
    ASSERT_NE(Answer("Unicode", IDYES), "<none>");
    ASSERT_TRUE(WaitForText(editor, "one\r\n"));
    ASSERT_TRUE(AppendBytes(path, std::string("t\0w\0o\0\r\0\n\0", 10)));
    EXPECT_TRUE(WaitForText(editor, "one\r\ntwo\r\n", QUESTION_WAIT));
    EXPECT_FALSE(Modified());
}

TEST_F(OutsideChangeTest, AFileMadeShorterIsAskedAbout)
{
    ASSERT_TRUE(Open("a longer first version\r\n"));
    ASSERT_TRUE(WriteBytes(path, "short\r\n"));
    EXPECT_EQ(Answer("changed by another program", IDNO),
              "watched.txt has been changed by another program. Reload it?");
    EXPECT_EQ(WindowText(editor), "a longer first version\r\n");
}

TEST_F(OutsideChangeTest, ARewriteOfTheSameSizeIsAskedAbout)
{
    ASSERT_TRUE(Open("value=1\r\n"));
    ASSERT_TRUE(WriteBytes(path, "value=2\r\n"));
    EXPECT_NE(Answer("changed by another program", IDYES), "<none>");
    EXPECT_TRUE(WaitForText(editor, "value=2\r\n"));
}

TEST_F(OutsideChangeTest, GrowthUnderUnsavedChangesIsAskedAbout)
{
    ASSERT_TRUE(Open("log start\r\n"));
    TypeText(editor, "log start\r\nmy note\r\n");
    ASSERT_TRUE(AppendBytes(path, "more\r\n"));
    EXPECT_NE(Answer("changed by another program", IDNO).find("loses the changes"), std::string::npos);
    EXPECT_EQ(WindowText(editor), "log start\r\nmy note\r\n");
}

TEST_F(OutsideChangeTest, ADeletedFileIsSaidOnceAndTheDocumentKeptAsChanged)
{
    ASSERT_TRUE(Open("keep me\r\n"));
    ASSERT_TRUE(DeleteFileA(path.c_str()));
    EXPECT_EQ(Answer("no longer exists", IDOK), "watched.txt no longer exists.");
    EXPECT_EQ(WindowText(editor), "keep me\r\n");
    EXPECT_TRUE(Modified()) << "closing offers to save it";
    SendMessageA(program.main, WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_FALSE(AnyBoxWithin(CHECKS_WAIT)) << "said once";
    // Saving writes it again, without a question.
    PostMessageA(program.main, WM_COMMAND, SAVE, 0);
    EXPECT_TRUE(WaitForBytes(path, "keep me\r\n"));
    EXPECT_FALSE(AnyBoxWithin(500));
}

TEST_F(OutsideChangeTest, AChangeJustBeforeSaveIsCaughtBySave)
{
    ASSERT_TRUE(Open("original\r\n"));
    TypeText(editor, "mine");
    // Checks wait while the window is disabled, as under a modal dialog: only Save can
    // notice this change.
    EnableWindow(program.main, FALSE);
    ASSERT_TRUE(WriteBytes(path, "theirs, just now\r\n"));
    Sleep(300);
    PostMessageA(program.main, WM_COMMAND, SAVE, 0);
    EXPECT_EQ(Answer("Save over it?", IDNO, 3000),
              "watched.txt has been changed by another program since it was opened. Save over it?");
    EXPECT_EQ(ReadBytes(path), "theirs, just now\r\n");
    EXPECT_TRUE(Modified());
    EnableWindow(program.main, TRUE);
    SendMessageA(program.main, WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_FALSE(AnyBoxWithin(CHECKS_WAIT)) << "one question for one change";
    // Saving again is the user's choice, made knowing of the change.
    PostMessageA(program.main, WM_COMMAND, SAVE, 0);
    EXPECT_TRUE(WaitForBytes(path, "mine"));
    EXPECT_FALSE(Modified());
}

TEST_F(OutsideChangeTest, SaveOverAChangedFileWritesWhenTheUserAgrees)
{
    ASSERT_TRUE(Open("original\r\n"));
    TypeText(editor, "mine");
    EnableWindow(program.main, FALSE);
    ASSERT_TRUE(WriteBytes(path, "theirs\r\n"));
    Sleep(300);
    PostMessageA(program.main, WM_COMMAND, SAVE, 0);
    EXPECT_NE(Answer("Save over it?", IDYES, 3000), "<none>");
    EXPECT_TRUE(WaitForBytes(path, "mine"));
    EXPECT_FALSE(Modified());
    EnableWindow(program.main, TRUE);
    EXPECT_FALSE(AnyBoxWithin(CHECKS_WAIT)) << "the save is the program's own";
}
