// Opening and saving never lose the user's text or file without a word: files cut
// short, names that get their extension late, formatting, locked folders, log-off.
#include <gtest/gtest.h>

#include "Driver.h"
#include "tests/common/FileBytes.h"
#include <richedit.h>
#include <string>

namespace {

const int SAVE = 40008, BOLD = 40026;

bool CanCreateIn(const std::string &folder)
{
    HANDLE probe = CreateFileA((folder + "probe.tmp").c_str(), GENERIC_WRITE, 0, 0, CREATE_NEW,
                               FILE_FLAG_DELETE_ON_CLOSE, 0);
    CloseHandle(probe);
    return probe != INVALID_HANDLE_VALUE;
}

// Makes a folder refuse new files while its files stay writable, as a folder without
// the right to create files does (root may write anywhere, but not into an immutable
// folder), or undoes that. Only under Wine; true when the folder is then as asked,
// else why not in *why.
bool LockFolder(const std::string &folder, bool locked, std::string *why = 0)
{
    typedef char *(CDECL * UnixName)(const WCHAR *);
    UnixName unixName = (UnixName)(void *)GetProcAddress(GetModuleHandleA("kernel32"),
                                                         "wine_get_unix_file_name");
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, wide, MAX_PATH);
    char *name = unixName ? unixName(wide) : 0;
    if (!name) {
        if (why)
            *why = "not under Wine: no Unix command to lock a folder with";
        return false;
    }
    const char *commands[] = {locked ? "chattr +i" : "chattr -i", locked ? "chmod a-w" : "chmod u+w"};
    for (const char *command : commands) {
        // A Unix program started from Wine cannot be waited for: wait for its effect.
        std::string line = std::string("/usr/bin/env ") + command + " \"" + name + "\"";
        STARTUPINFOA startup = {sizeof startup};
        PROCESS_INFORMATION process;
        if (CreateProcessA(0, &line[0], 0, 0, FALSE, 0, 0, 0, &startup, &process)) {
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
        for (int i = 0; i < 40 && CanCreateIn(folder) == locked; ++i)
            Sleep(50);
        if (CanCreateIn(folder) != locked)
            break;
    }
    HeapFree(GetProcessHeap(), 0, name);
    if (CanCreateIn(folder) != locked)
        return true;
    if (why)
        *why = "chattr +i and chmod a-w did not stop new files in " + folder +
               " (a file system or container that refuses immutable folders to root)";
    return false;
}

class DocumentSafetyTest : public ::testing::Test {
protected:
    std::string folder, locked;   // locked: a folder to unlock at the end
    RunningProgram program = {};

    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        folder = std::string(temp) + "owsafe\\";
        CreateDirectoryA(folder.c_str(), 0);
    }

    void TearDown() override
    {
        if (program.process.hProcess)
            TerminateProcess(program.process.hProcess, 1);
        WaitForExit(program, 2000);
        ClearSection("win.ini", "OrvelloWord");
        if (!locked.empty())
            LockFolder(locked, false);
    }

    HWND Editor() { return FindChild(program.main, "RichEdit20A"); }

    bool Start(const std::string &path)
    {
        program = StartProgram(("\"" + path + "\"").c_str(), "OrvelloWord");
        return program.main != 0;
    }

    // Waits for the program's message box, presses button; its text, or "<none>".
    std::string Answer(int button)
    {
        HWND box = WaitForMessageBox("OrvelloWord", "");
        std::string text = box ? MessageText(box) : "<none>";
        PressButton(box, button);
        WaitForGone(box);
        return text;
    }
};

}  // namespace

TEST_F(DocumentSafetyTest, FileCutAtANullCharacterOpensUntitledSoSaveAsks)
{
    std::string path = folder + "with null.txt", bytes("before\0after", 12);
    WriteBytes(path, bytes);
    ASSERT_TRUE(Start(path));
    EXPECT_NE(Answer(IDOK).find("null character"), std::string::npos);
    EXPECT_EQ(WindowText(Editor()), "before");
    EXPECT_EQ(WindowText(program.main), "OrvelloWord");
    TypeText(Editor(), "before and more");
    PostMessageA(program.main, WM_COMMAND, SAVE, 0);
    HWND dialog = WaitForDialog("Save As");
    ASSERT_TRUE(dialog) << "no silent save over the longer file";
    PressButton(dialog, IDCANCEL);
    EXPECT_EQ(ReadBytes(path), bytes);
}

TEST_F(DocumentSafetyTest, FileTheControlReadsOnlyInPartFailsToOpenAndSaysSo)
{
    std::string path = folder + "cut off.rtf";
    WriteBytes(path, "{\\rtf1\\ansi {\\b the end of this file is missing");
    ASSERT_TRUE(Start(path));
    EXPECT_EQ(Answer(IDOK), "Failed to open file: it could not be read completely.");
    EXPECT_EQ(WindowText(Editor()), "");
    EXPECT_EQ(WindowText(program.main), "OrvelloWord");
}

TEST_F(DocumentSafetyTest, NameWithoutExtensionAsksBeforeReplacingTheFinalName)
{
    std::string bare = folder + "notes", txt = bare + ".txt";
    WriteBytes(txt, "old notes");
    program = StartProgram("", "OrvelloWord");
    ASSERT_TRUE(program.main);
    TypeText(Editor(), "new notes");
    ASSERT_TRUE(SaveAsThroughDialog(program.main, bare, 1));
    EXPECT_EQ(Answer(IDNO), "notes.txt already exists.\nDo you want to replace it?");
    HWND again = WaitForDialog("Save As");
    ASSERT_TRUE(again && FileNameField(again)) << "No goes back to the dialog";
    PressButton(again, IDCANCEL);
    WaitForGone(again);
    EXPECT_EQ(ReadBytes(txt), "old notes");
}

TEST_F(DocumentSafetyTest, BoldTextSavedToATextFileAsksFirst)
{
    std::string path = folder + "plain words.txt";
    WriteBytes(path, "plain words");
    ASSERT_TRUE(Start(path));
    TypeText(Editor(), "bold words");
    SendMessageA(Editor(), EM_SETSEL, 0, -1);
    SendMessageA(program.main, WM_COMMAND, BOLD, 0);
    PostMessageA(program.main, WM_COMMAND, SAVE, 0);
    EXPECT_NE(Answer(IDCANCEL).find("formatting"), std::string::npos);
    EXPECT_EQ(ReadBytes(path), "plain words");
    EXPECT_NE(SendMessageA(Editor(), EM_GETMODIFY, 0, 0), 0);

    PostMessageA(program.main, WM_COMMAND, SAVE, 0);
    EXPECT_NE(Answer(IDYES), "<none>");
    EXPECT_TRUE(WaitForBytes(path, "bold words")) << "Yes keeps plain text";
}

TEST_F(DocumentSafetyTest, FolderWithoutRightToCreateFilesIsSavedInPlace)
{
    locked = folder + "locked\\";
    std::string path = locked + "kept.txt";
    CreateDirectoryA(locked.c_str(), 0);
    WriteBytes(path, "old text");
    std::string why;
    if (!LockFolder(locked, true, &why))
        GTEST_SKIP() << why;
    ASSERT_TRUE(Start(path));
    TypeText(Editor(), "new text");
    DWORD_PTR result = 0;
    bool saved = SendMessageTimeoutA(program.main, WM_COMMAND, SAVE, 0, SMTO_NORMAL, 5000, &result);
    if (!saved)
        Answer(IDOK);
    EXPECT_TRUE(saved) << "no message: the file itself could be written";
    EXPECT_EQ(ReadBytes(path), "new text");
    EXPECT_EQ(SendMessageA(Editor(), EM_GETMODIFY, 0, 0), 0);
}

TEST_F(DocumentSafetyTest, LogOffQuestionKeepsTheDocumentUntilTheSessionEnds)
{
    program = StartProgram("", "OrvelloWord");
    ASSERT_TRUE(program.main);
    TypeText(Editor(), "unsaved words");
    SentMessage query = {program.main, WM_QUERYENDSESSION, 0, (LPARAM)ENDSESSION_LOGOFF};
    StartSending(query);
    EXPECT_EQ(Answer(IDNO), "Save Changes?");
    ASSERT_TRUE(FinishSending(query));
    EXPECT_EQ(query.result, TRUE);

    // The log-off was cancelled after all: nothing is lost, and closing still asks.
    SendMessageA(program.main, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    EXPECT_EQ(WindowText(Editor()), "unsaved words");
    EXPECT_NE(SendMessageA(Editor(), EM_GETMODIFY, 0, 0), 0);

    // Asked again and answered No, then the session ends: no second question.
    StartSending(query);
    EXPECT_EQ(Answer(IDNO), "Save Changes?");
    ASSERT_TRUE(FinishSending(query));
    SentMessage end = {program.main, WM_ENDSESSION, TRUE, (LPARAM)ENDSESSION_LOGOFF};
    StartSending(end);
    EXPECT_TRUE(WaitForExit(program, 5000));
    FinishSending(end);
}
