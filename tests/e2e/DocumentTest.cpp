// Opening and saving with the real program: command line, Save As with its format
// list, the save question, and the recent files across restarts.
#include <gtest/gtest.h>

#include "Driver.h"
#include "editor/RtfIndents.h"
#include "tests/common/FileBytes.h"
#include <ctype.h>
#include <utility>
#include <vector>
#include <commdlg.h>
#include <richedit.h>
#include <string.h>
#include <string>

namespace {

std::string Folder()
{
    return TempFolder("ow e2e docs");
}

void ForgetSettings()
{
    ClearSection("win.ini", "OrvelloWord");
    WritePrivateProfileStringA("Folders", "OrvelloTools", 0, "win.ini");
}

class DocumentTest : public ::testing::Test {
protected:
    std::string folder = Folder();
    RunningProgram program = {};

    void SetUp() override { ForgetSettings(); }

    void TearDown() override
    {
        if (program.process.hProcess) {
            TerminateProcess(program.process.hProcess, 1);
            WaitForExit(program, 2000);
        }
        ForgetSettings();
    }

    HWND Editor() { return FindChild(program.main, "RichEdit20A"); }

    // Closes the window and answers "Save Changes?" with button; false when not asked.
    bool CloseAnswering(int button)
    {
        PostMessageA(program.main, WM_CLOSE, 0, 0);
        HWND question = WaitForDialog("OrvelloWord");
        if (!question)
            return false;
        PressButton(question, button);
        return true;
    }

    void Type(const char *text) { TypeText(Editor(), text); }

    bool SaveAs(const std::string &path, int formatItem, int *shownItem = 0)
    {
        return SaveAsThroughDialog(program.main, path, formatItem, shownItem);
    }
};

}  // namespace

TEST_F(DocumentTest, CommandLineOpensQuotedAndUnquotedPaths)
{
    std::string plain = folder + "plain.txt";
    WriteBytes(plain, "from the command line\r\nsecond");
    program = StartProgram(plain.c_str(), "OrvelloWord");
    ASSERT_TRUE(program.main);
    EXPECT_EQ(WindowText(Editor()), "from the command line\r\nsecond");
    EXPECT_EQ(WindowText(program.main), TitleFor(plain));
    EXPECT_EQ(SendMessageA(Editor(), EM_GETMODIFY, 0, 0), 0);
    ASSERT_TRUE(CloseProgram(program)) << "an opened, unchanged file closes without asking";
    EXPECT_EQ(ProfileText("win.ini", "OrvelloWord", "MRU0"), plain);

    std::string spaced = folder + "with spaces.rtf";
    WriteBytes(spaced, "{\\rtf1\\ansi rich \\b words\\b0\\par}");
    program = StartProgram(("\"" + spaced + "\"").c_str(), "OrvelloWord");
    ASSERT_TRUE(program.main);
    EXPECT_EQ(WindowText(Editor()).substr(0, 10), "rich words");
    EXPECT_EQ(WindowText(program.main), TitleFor(spaced));
    EXPECT_EQ(SendMessageA(Editor(), EM_GETTEXTMODE, 0, 0) & 3, TM_RICHTEXT);
    ASSERT_TRUE(CloseProgram(program));
    EXPECT_EQ(ProfileText("win.ini", "OrvelloWord", "MRU0"), spaced);
    EXPECT_EQ(ProfileText("win.ini", "OrvelloWord", "MRU1"), plain);
}

TEST_F(DocumentTest, SaveAsWritesTheFormatChosenInTheList)
{
    program = StartProgram("", "OrvelloWord");
    ASSERT_TRUE(program.main);
    Type("caf\xE9");
    const struct { int item; const char *name; std::string bytes; } cases[] = {
        {1, "plain.txt", "caf\xE9"},
        {2, "multi.txt", std::string("c\0a\0f\0\xE9\0", 8)},
        {3, "little.txt", std::string("\xFF\xFE" "c\0a\0f\0\xE9\0", 10)},
        {4, "big.txt", std::string("\xFE\xFF\0c\0a\0f\0\xE9", 10)},
    };
    for (const auto &c : cases) {
        std::string path = folder + c.name;
        DeleteFileA(path.c_str());
        ASSERT_TRUE(SaveAs(path, c.item)) << c.name;
        EXPECT_EQ(WaitForFile(path), c.bytes) << c.name;
        EXPECT_EQ(WindowText(program.main), TitleFor(path));
        EXPECT_EQ(SendMessageA(Editor(), EM_GETMODIFY, 0, 0), 0);
    }

    // Rich text under a name without extension becomes a .wri file.
    std::string bare = folder + "notes";
    DeleteFileA((bare + ".wri").c_str());
    ASSERT_TRUE(SaveAs(bare, 0));
    std::string rtf = WaitForFile(bare + ".wri");
    EXPECT_EQ(rtf.substr(0, 5), "{\\rtf");
    EXPECT_NE(rtf.find("caf\\'e9"), std::string::npos) << rtf;
    EXPECT_EQ(WindowText(program.main), TitleFor(bare + ".wri"));
}

TEST_F(DocumentTest, SaveAsProposesTheDocumentsOwnName)
{
    std::string opened = folder + "opened doc.txt", saved = folder + "saved doc.txt";
    WriteBytes(opened, "text");
    DeleteFileA(saved.c_str());
    program = StartProgram(("\"" + opened + "\"").c_str(), "OrvelloWord");
    ASSERT_TRUE(program.main);
    // The opened file's name; after Save As under another name, that name; a new
    // (untitled) document: none, not the last one saved.
    static const struct { const char *shown, *typed; bool newFirst; } steps[] = {
        {"opened doc.txt", "saved doc.txt", false},
        {"saved doc.txt", "", false},
        {"", "", true},
    };
    for (const auto &step : steps) {
        if (step.newFirst) {
            SendMessageA(program.main, WM_COMMAND, 40015, 0);  // New
            ASSERT_EQ(WindowText(program.main), "OrvelloWord");
        }
        PostMessageA(program.main, WM_COMMAND, 40004, 0);
        HWND dialog = WaitForDialog("Save As");
        ASSERT_TRUE(dialog) << step.shown;
        HWND name = FileNameField(dialog);
        HWND edit = name ? FindChild(name, "Edit") : 0;
        if (!edit)
            edit = name;
        EXPECT_EQ(WindowText(edit), step.shown);
        if (step.typed[0])
            SendMessageA(edit, WM_SETTEXT, 0, (LPARAM)(folder + step.typed).c_str());
        PressButton(dialog, step.typed[0] ? IDOK : IDCANCEL);
        ASSERT_TRUE(WaitForGone(dialog)) << step.shown;
    }
    EXPECT_EQ(WaitForFile(saved), "text");
}

TEST_F(DocumentTest, ListChoiceSurvivesACancelledSaveAs)
{
    program = StartProgram("", "OrvelloWord");
    ASSERT_TRUE(program.main);
    Type("AB");
    std::string path = folder + "after cancel.txt";
    DeleteFileA(path.c_str());
    ASSERT_TRUE(SaveAs("", 3));  // "Unicode Text (little endian)", then Cancel
    int shown = -1;
    ASSERT_TRUE(SaveAs(path, -1, &shown));
    EXPECT_EQ(shown, 3);
    EXPECT_EQ(WaitForFile(path), std::string("\xFF\xFE" "A\0B\0", 6));
}

TEST_F(DocumentTest, SaveChangesYesSavesTheNamedFileAndCloses)
{
    std::string path = folder + "answer yes.txt";
    WriteBytes(path, "old");
    program = StartProgram(("\"" + path + "\"").c_str(), "OrvelloWord");
    ASSERT_TRUE(program.main);
    Type("new words");
    ASSERT_TRUE(CloseAnswering(IDYES));
    EXPECT_TRUE(WaitForExit(program));
    EXPECT_EQ(ReadBytes(path), "new words");
}

TEST_F(DocumentTest, SaveChangesYesThenCancelledSaveAsKeepsTheWindow)
{
    program = StartProgram("", "OrvelloWord");
    ASSERT_TRUE(program.main);
    Type("unsaved");
    ASSERT_TRUE(CloseAnswering(IDYES));
    HWND dialog = WaitForDialog("Save As");
    ASSERT_TRUE(dialog) << "Yes on an untitled document asks for a name";
    PressButton(dialog, IDCANCEL);
    EXPECT_TRUE(StillRunsAfter(dialog, program));
    EXPECT_EQ(WindowText(Editor()), "unsaved");
    EXPECT_NE(SendMessageA(Editor(), EM_GETMODIFY, 0, 0), 0);
}

TEST_F(DocumentTest, RecentFilesLastAcrossRestarts)
{
    std::string a = folder + "recent a.txt", b = folder + "recent b.txt", c = folder + "recent c.txt";
    WriteBytes(a, "text of a");
    WriteBytes(b, "text of b");
    WriteBytes(c, "text of c");
    for (const std::string *path : {&a, &b, &c}) {
        program = StartProgram(("\"" + *path + "\"").c_str(), "OrvelloWord");
        ASSERT_TRUE(program.main);
        ASSERT_TRUE(CloseProgram(program));
    }
    EXPECT_EQ(ProfileText("win.ini", "OrvelloWord", "MRU0"), c);
    EXPECT_EQ(ProfileText("win.ini", "OrvelloWord", "MRU2"), a);
    EXPECT_EQ(ProfileText("win.ini", "OrvelloWord", "MRU3"), "");

    // b vanishes while nothing runs: its entry goes at the next start.
    DeleteFileA(b.c_str());
    program = StartProgram("", "OrvelloWord");
    ASSERT_TRUE(program.main);
    SendMessageA(program.main, WM_COMMAND, 40001, 0);  // now a
    EXPECT_EQ(WindowText(Editor()), "text of a");
    EXPECT_EQ(WindowText(program.main), TitleFor(a));

    // c vanishes while the program runs: opening its entry fails and removes it.
    DeleteFileA(c.c_str());
    SendMessageA(program.main, WM_COMMAND, 40001, 0);  // c, second after a moved up
    EXPECT_EQ(WindowText(Editor()), "text of a");
    EXPECT_EQ(WindowText(program.main), TitleFor(a));
    ASSERT_TRUE(CloseProgram(program));
    EXPECT_EQ(ProfileText("win.ini", "OrvelloWord", "MRU0"), a);
    EXPECT_EQ(ProfileText("win.ini", "OrvelloWord", "MRU1"), "");
}

TEST_F(DocumentTest, OpenDialogOpensTheChosenFileAfterTheQuestion)
{
    std::string path = folder + "chosen.txt";
    WriteBytes(path, "chosen text");
    program = StartProgram("", "OrvelloWord");
    ASSERT_TRUE(program.main);
    Type("changed");
    PostMessageA(program.main, WM_COMMAND, 40006, 0);
    HWND dialog = WaitForDialog("Open");
    ASSERT_TRUE(dialog);
    HWND name = FileNameField(dialog);
    ASSERT_TRUE(name);
    SendMessageA(name, WM_SETTEXT, 0, (LPARAM)path.c_str());
    PressButton(dialog, IDOK);
    HWND question = WaitForDialog("OrvelloWord");
    ASSERT_TRUE(question) << "a changed document is not dropped without asking";
    PressButton(question, IDNO);
    for (int i = 0; i < 100 && WindowText(Editor()) != "chosen text"; ++i)
        Sleep(50);
    EXPECT_EQ(WindowText(Editor()), "chosen text");
    EXPECT_EQ(WindowText(program.main), TitleFor(path));
}

// Every paragraph's indent words in an RTF file, as (left, first line) twips in order.
static std::vector<std::pair<long long, long long>> IndentWords(const std::string &rtf)
{
    std::vector<std::pair<long long, long long>> words;
    for (size_t at = rtf.find("\\pard"); at != std::string::npos; at = rtf.find("\\pard", at + 5)) {
        size_t end = rtf.find("\\par", at + 5);
        while (end != std::string::npos && rtf.compare(end, 5, "\\pard") != 0 &&
               isalpha((unsigned char)rtf[end + 4]))
            end = rtf.find("\\par", end + 4);
        std::string paragraph = rtf.substr(at, end == std::string::npos ? end : end - at);
        long long left = 0, first = 0;
        FirstParagraphIndents(paragraph.data(), paragraph.size(), &left, &first);
        words.push_back({left, first});
    }
    return words;
}

// A key typed and taken back, then a save: the file still says the indents it said.
TEST_F(DocumentTest, SavingRtfKeepsTheParagraphsIndents)
{
    std::string path = folder + "indented.rtf";
    WriteBytes(path, "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\li720 one\\par"
                     "\\pard\\li1440\\fi-360 two\\par\\pard\\ri720\\fi360 three\\par}");
    program = StartProgram(("\"" + path + "\"").c_str(), "OrvelloWord");
    ASSERT_TRUE(program.main);
    ASSERT_EQ(WindowText(Editor()).substr(0, 3), "one");
    SendMessageA(Editor(), EM_SETSEL, 3, 3);
    SendMessageA(Editor(), WM_CHAR, 'x', 0);
    SendMessageA(Editor(), WM_CHAR, VK_BACK, 0);
    ASSERT_NE(SendMessageA(Editor(), EM_GETMODIFY, 0, 0), 0);
    for (int round = 0; round < 2; ++round) {
        PressKey(program.main, 'S', VK_CONTROL);
        for (int k = 0; k < 100 && SendMessageA(Editor(), EM_GETMODIFY, 0, 0); ++k)
            Pause(50);
        std::string saved = WaitForFile(path);
        std::vector<std::pair<long long, long long>> words = IndentWords(saved);
        ASSERT_GE(words.size(), 3u) << saved;
        EXPECT_EQ(words[0], std::make_pair(720LL, 0LL)) << saved;
        EXPECT_EQ(words[1], std::make_pair(1440LL, -360LL)) << saved;
        EXPECT_EQ(words[2], std::make_pair(0LL, 360LL)) << saved;
        EXPECT_NE(saved.find("\\ri720"), std::string::npos) << saved;
        // Saved again: no worse the second time.
        SendMessageA(Editor(), EM_SETMODIFY, TRUE, 0);
    }
    SendMessageA(Editor(), EM_SETMODIFY, FALSE, 0);
}
