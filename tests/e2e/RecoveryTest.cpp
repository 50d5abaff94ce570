// Unsaved work survives the program's end: snapshots in the recovery folder, restored
// at the next start.
#include <gtest/gtest.h>
#include <richedit.h>
#include <stdio.h>
#include <string.h>

#include <deque>
#include <string>
#include <vector>

#include "Driver.h"
#include "document/RecoveryFormat.h"
#include "tests/common/FileBytes.h"

namespace {

const int IDC_SAVE = 40008, IDC_BOLD = 40026;
const char QUESTION[] = "Restore them?";

std::string TestFolder()
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + "ow recovery\\";
    CreateDirectoryA(folder.c_str(), 0);
    return folder;
}

std::vector<std::string> FilesInRecovery(const char *pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((RecoveryFolderPath() + "\\" + pattern).c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        if (strcmp(data.cFileName, ".") != 0 && strcmp(data.cFileName, "..") != 0)
            names.push_back(data.cFileName);
    while (FindNextFileA(search, &data));
    FindClose(search);
    return names;
}

struct Snapshot {
    SnapshotRecord record;
    std::string content;   // RTF, or UTF-16 converted to 8-bit for comparing
    bool good = false;
};

Snapshot ReadSnapshot(const std::string &path)
{
    Snapshot snapshot;
    std::string bytes = ReadBytes(path);
    size_t offset = 0, length = 0;
    if (ParseSnapshot(bytes.data(), bytes.size(), &snapshot.record, &offset, &length) !=
        SNAPSHOT_GOOD)
        return snapshot;
    snapshot.good = true;
    if (snapshot.record.rich) {
        snapshot.content = bytes.substr(offset, length);
    } else {
        for (size_t i = 0; i + 1 < length; i += 2)
            snapshot.content += (char)(unsigned char)bytes[offset + i];
    }
    return snapshot;
}

std::string SnapshotOf(const RunningProgram &program)
{
    char prefix[16];
    snprintf(prefix, sizeof prefix, "%08X-", (unsigned)program.process.dwProcessId);
    for (const std::string &name : FilesInRecovery("*.snapshot"))
        if (name.compare(0, 9, prefix) == 0)
            return RecoveryFolderPath() + "\\" + name;
    return "";
}

// Waits until the program's snapshot holds text; the snapshot then.
Snapshot WaitForSnapshotWith(const RunningProgram &program, const std::string &text,
                             DWORD milliseconds = 8000)
{
    Snapshot last;
    for (DWORD waited = 0; waited < milliseconds; waited += 50) {
        std::string path = SnapshotOf(program);
        if (!path.empty()) {
            last = ReadSnapshot(path);
            if (last.good && last.content.find(text) != std::string::npos)
                return last;
        }
        Sleep(50);
    }
    return last;
}

// Characters as the keyboard types them into the editor.
void TypeChars(HWND editor, const char *text)
{
    for (const char *c = text; *c; ++c)
        SendMessageA(editor, WM_CHAR, (unsigned char)*c, 1);
}

// A snapshot written as a program that ended would have left it, without a lock.
std::string PlantSnapshot(const std::string &owner, SnapshotRecord record,
                          const std::string &content)
{
    std::string header = BuildSnapshotHeader(record, content.data(), content.size());
    std::string path = RecoveryFolderPath() + "\\" + owner + ".snapshot";
    CreateDirectoryA(RecoveryFolderPath().c_str(), 0);
    WriteBytes(path, header + content);
    return path;
}

std::string Utf16(const std::string &text)
{
    std::string wide;
    for (char c : text) {
        wide += c;
        wide += '\0';
    }
    return wide;
}

void Kill(RunningProgram &program)
{
    TerminateProcess(program.process.hProcess, 1);
    WaitForExit(program, 5000);
}

// Answers the start's question; false when it was not asked.
bool AnswerQuestion(int button)
{
    HWND box = WaitForMessageBox("OrvelloWord", QUESTION);
    if (!box)
        return false;
    PressButton(box, button);
    return WaitForGone(box);
}

// Ends every OrvelloWord process that still has a window, so none outlives the test.
void EndEveryWindow()
{
    HWND found;
    for (int k = 0; k < 10 && (found = FindWindowExA(0, 0, "OrvelloWord", 0)); ++k) {
        DWORD id = 0;
        GetWindowThreadProcessId(found, &id);
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
        if (!process)
            break;
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
}

class RecoveryTest : public ::testing::Test {
protected:
    std::string folder = TestFolder();
    std::deque<RunningProgram> programs;   // references stay valid as it grows

    void SetUp() override
    {
        ClearSection("win.ini", "OrvelloWord");
        ForgetUnsavedWork();
    }

    void TearDown() override
    {
        for (RunningProgram &program : programs)
            if (program.process.hProcess)
                Kill(program);
        // Windows a restore started on its own go too.
        EndEveryWindow();
        ForgetUnsavedWork();
        ClearSection("win.ini", "OrvelloWord");
    }

    RunningProgram &Start(const std::string &arguments)
    {
        programs.push_back(StartProgramKeepingSnapshots(arguments.c_str()));
        return programs.back();
    }

    HWND Editor(const RunningProgram &program) { return FindChild(program.main, "RichEdit20A"); }
};

TEST_F(RecoveryTest, KilledPlainDocumentComesBackUnderItsNameAndTheFileWaitsForSave)
{
    std::string path = folder + "plain.txt";
    // Unix line ends, which the save keeps.
    const std::string original = "first line\nsecond line\n";
    WriteBytes(path, original);
    RunningProgram &first = Start("\"" + path + "\"");
    ASSERT_TRUE(first.main);
    HWND editor = Editor(first);
    SendMessageA(editor, EM_SETSEL, 11, 11);
    TypeChars(editor, "added ");
    std::string expected = "first line\r\nadded second line\r\n";
    ASSERT_EQ(LongWindowText(editor), expected);
    Snapshot taken = WaitForSnapshotWith(first, "added");
    ASSERT_TRUE(taken.good);
    EXPECT_EQ(taken.record.path, path);
    Kill(first);
    EXPECT_EQ(ReadBytes(path), original);

    RunningProgram &second = Start("");
    ASSERT_TRUE(second.main);
    ASSERT_TRUE(AnswerQuestion(IDYES));
    editor = Editor(second);
    EXPECT_EQ(LongWindowText(editor), expected);
    EXPECT_EQ(WindowText(second.main), "plain.txt - OrvelloWord");
    EXPECT_NE(SendMessageA(editor, EM_GETMODIFY, 0, 0), 0);
    LRESULT selection = SendMessageA(editor, EM_GETSEL, 0, 0);
    EXPECT_EQ(LOWORD(selection), 17);
    EXPECT_EQ(HIWORD(selection), 17);
    EXPECT_EQ(ReadBytes(path), original);
    // The restored document is the new program's own; the old snapshot is gone.
    EXPECT_FALSE(SnapshotOf(second).empty());
    EXPECT_EQ(FilesInRecovery("*.snapshot").size(), 1u);

    SendMessageA(second.main, WM_COMMAND, IDC_SAVE, 0);
    EXPECT_TRUE(WaitForBytes(path, "first line\nadded second line\n")) << ReadBytes(path);
    EXPECT_TRUE(FilesInRecovery("*.snapshot").empty());
    EXPECT_TRUE(CloseProgram(second));
}

TEST_F(RecoveryTest, KilledRichDocumentComesBackWithItsBold)
{
    RunningProgram &first = Start("");
    ASSERT_TRUE(first.main);
    HWND editor = Editor(first);
    TypeChars(editor, "plain bold end");
    SendMessageA(editor, EM_SETSEL, 6, 10);
    SendMessageA(first.main, WM_COMMAND, IDC_BOLD, 0);
    SendMessageA(editor, EM_SETSEL, 3, 3);
    Snapshot taken = WaitForSnapshotWith(first, "\\b");
    ASSERT_TRUE(taken.good);
    EXPECT_TRUE(taken.record.rich);
    Kill(first);

    RunningProgram &second = Start("");
    ASSERT_TRUE(second.main);
    ASSERT_TRUE(AnswerQuestion(IDYES));
    editor = Editor(second);
    EXPECT_EQ(LongWindowText(editor), "plain bold end");
    EXPECT_EQ(WindowText(second.main), "OrvelloWord");
    EXPECT_NE(SendMessageA(editor, EM_GETMODIFY, 0, 0), 0);
    EXPECT_EQ(LOWORD(SendMessageA(editor, EM_GETSEL, 0, 0)), 3);
    // What the control holds now, as its own RTF: bold on "bold" and off after it.
    Snapshot own = WaitForSnapshotWith(second, "bold");
    ASSERT_TRUE(own.good);
    size_t word = own.content.find("bold");
    size_t on = own.content.rfind("\\b", word);
    ASSERT_NE(on, std::string::npos);
    EXPECT_NE(own.content[on + 2], '0') << own.content;
    size_t off = own.content.find("\\b0", word);
    EXPECT_NE(off, std::string::npos) << own.content;
    EXPECT_LT(off, own.content.find("end")) << own.content;
    SendMessageA(editor, EM_SETMODIFY, FALSE, 0);
    EXPECT_TRUE(CloseProgram(second));
}

TEST_F(RecoveryTest, CloseAnsweringNoLeavesNoSnapshotAndTheNextStartAsksNothing)
{
    RunningProgram &first = Start("");
    ASSERT_TRUE(first.main);
    TypeChars(Editor(first), "not wanted");
    ASSERT_TRUE(WaitForSnapshotWith(first, "not wanted").good);
    PostMessageA(first.main, WM_CLOSE, 0, 0);
    HWND question = WaitForMessageBox("OrvelloWord", "Save Changes?");
    ASSERT_TRUE(question);
    PressButton(question, IDNO);
    ASSERT_TRUE(WaitForExit(first));
    EXPECT_TRUE(FilesInRecovery("*").empty());

    RunningProgram &second = Start("");
    ASSERT_TRUE(second.main);
    EXPECT_FALSE(WaitForMessageBox("OrvelloWord", QUESTION, 1000));
    EXPECT_TRUE(IsWindowEnabled(second.main));
    EXPECT_TRUE(CloseProgram(second));
}

TEST_F(RecoveryTest, TruncatedSnapshotIsSetAsideWithOneMessage)
{
    SnapshotRecord record;
    std::string content = Utf16("cut short");
    std::string path = PlantSnapshot("0000BEEF-0000000000000001", record, content);
    std::string whole = ReadBytes(path);
    WriteBytes(path, whole.substr(0, whole.size() - 4));

    RunningProgram &program = Start("");
    ASSERT_TRUE(program.main);
    HWND message = WaitForMessageBox("OrvelloWord", "0000BEEF-0000000000000001.snapshot");
    ASSERT_TRUE(message);
    EXPECT_NE(MessageText(message).find("damaged"), std::string::npos);
    PressButton(message, IDOK);
    ASSERT_TRUE(WaitForGone(message));
    EXPECT_FALSE(WaitForMessageBox("OrvelloWord", "", 500));
    EXPECT_EQ(ReadBytes(path), "<missing>");
    EXPECT_EQ(ReadBytes(path + ".damaged"), whole.substr(0, whole.size() - 4));
    EXPECT_EQ(LongWindowText(Editor(program)), "");
    EXPECT_TRUE(CloseProgram(program));
}

TEST_F(RecoveryTest, FileChangedSinceTheSnapshotOpensUntitledAndSaysSo)
{
    std::string path = folder + "changed.txt";
    WriteBytes(path, "newer text written elsewhere\r\n");
    SnapshotRecord record;
    record.path = path;
    record.fileSize = 5;
    record.fileTime = 1;
    PlantSnapshot("0000BEEF-0000000000000002", record, Utf16("older edit"));

    RunningProgram &program = Start("");
    ASSERT_TRUE(program.main);
    ASSERT_TRUE(AnswerQuestion(IDYES));
    HWND message = WaitForMessageBox("OrvelloWord", "has changed");
    ASSERT_TRUE(message);
    PressButton(message, IDOK);
    EXPECT_EQ(WindowText(program.main), "OrvelloWord");
    EXPECT_EQ(LongWindowText(Editor(program)), "older edit");
    EXPECT_EQ(ReadBytes(path), "newer text written elsewhere\r\n");
    SendMessageA(Editor(program), EM_SETMODIFY, FALSE, 0);
    EXPECT_TRUE(CloseProgram(program));
}

TEST_F(RecoveryTest, EndingOneOfTwoProgramsOffersOnlyItsDocument)
{
    RunningProgram &ended = Start("");
    RunningProgram &living = Start("");
    ASSERT_TRUE(ended.main && living.main);
    TypeChars(Editor(ended), "from the ended one");
    TypeChars(Editor(living), "still being edited");
    ASSERT_TRUE(WaitForSnapshotWith(ended, "ended").good);
    ASSERT_TRUE(WaitForSnapshotWith(living, "edited").good);
    Kill(ended);

    RunningProgram &third = Start("");
    ASSERT_TRUE(third.main);
    ASSERT_TRUE(AnswerQuestion(IDYES));
    EXPECT_EQ(LongWindowText(Editor(third)), "from the ended one");
    // No second window: the living program's document was not offered.
    EXPECT_FALSE(SnapshotOf(living).empty());
    EXPECT_EQ(LongWindowText(Editor(living)), "still being edited");
    EXPECT_EQ(FilesInRecovery("*.snapshot").size(), 2u);
    for (RunningProgram *program : {&third, &living}) {
        SendMessageA(Editor(*program), EM_SETMODIFY, FALSE, 0);
        EXPECT_TRUE(CloseProgram(*program));
    }
    EXPECT_TRUE(FilesInRecovery("*.snapshot").empty());
}

TEST_F(RecoveryTest, SeveralSnapshotsOpenOneHereAndEachOtherInANewWindow)
{
    SnapshotRecord older, newer;
    older.takenAt = 100;
    newer.takenAt = 200;
    PlantSnapshot("0000BEEF-0000000000000003", older, Utf16("older document"));
    PlantSnapshot("0000BEEF-0000000000000004", newer, Utf16("newer document"));
    std::string named = folder + "named.txt";
    WriteBytes(named, "from the command line");

    RunningProgram &program = Start("\"" + named + "\"");
    ASSERT_TRUE(program.main);
    ASSERT_TRUE(AnswerQuestion(IDYES));
    EXPECT_EQ(LongWindowText(Editor(program)), "newer document");
    // The other snapshot and the file each come up in a window of their own.
    bool older_shown = false, file_shown = false;
    for (int k = 0; k < 200 && !(older_shown && file_shown); ++k) {
        HWND found = 0;
        while ((found = FindWindowExA(0, found, "OrvelloWord", 0))) {
            std::string text = LongWindowText(FindChild(found, "RichEdit20A"));
            older_shown = older_shown || text == "older document";
            file_shown = file_shown || (text == "from the command line" &&
                                        WindowText(found) == "named.txt - OrvelloWord");
        }
        Sleep(50);
    }
    EXPECT_TRUE(older_shown);
    EXPECT_TRUE(file_shown);
    // Closing each window answers No to "Save Changes?": the restored documents go.
    HWND found = 0;
    while ((found = FindWindowExA(0, found, "OrvelloWord", 0)))
        PostMessageA(found, WM_CLOSE, 0, 0);
    for (int k = 0; k < 200 && FindWindowExA(0, 0, "OrvelloWord", 0); ++k) {
        if (HWND question = WaitForMessageBox("OrvelloWord", "Save Changes?", 50))
            PressButton(question, IDNO);
    }
    EXPECT_FALSE(FindWindowExA(0, 0, "OrvelloWord", 0));
    EXPECT_TRUE(WaitForExit(program));
    programs.clear();
    EndEveryWindow();
    EXPECT_TRUE(FilesInRecovery("*.snapshot").empty());
}

TEST_F(RecoveryTest, CancelKeepsTheSnapshotsForTheNextStart)
{
    SnapshotRecord record;
    std::string path = PlantSnapshot("0000BEEF-0000000000000005", record, Utf16("kept"));
    RunningProgram &first = Start("");
    ASSERT_TRUE(first.main);
    ASSERT_TRUE(AnswerQuestion(IDCANCEL));
    EXPECT_EQ(LongWindowText(Editor(first)), "");
    EXPECT_TRUE(CloseProgram(first));
    EXPECT_NE(ReadBytes(path), "<missing>");

    RunningProgram &second = Start("");
    ASSERT_TRUE(second.main);
    ASSERT_TRUE(AnswerQuestion(IDNO));
    EXPECT_EQ(LongWindowText(Editor(second)), "");
    EXPECT_EQ(ReadBytes(path), "<missing>");
    EXPECT_TRUE(CloseProgram(second));
}

}  // namespace
