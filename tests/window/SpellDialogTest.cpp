// The word list file and the Spell Check dialog over a real RichEdit window. The word
// list file of the test prefix is saved before each test and put back after it.
#include <gtest/gtest.h>
#include <windows.h>
#include <richedit.h>
#include <functional>
#include <string>
#include <vector>
#include <zlib.h>

#include "EditorWindow.h"
#include "app/App.h"
#include "res/resource.h"
#include "spell/Dictionary.h"
#include "spell/SpecialFolder.h"
#include "spell/SpellDialog.h"

namespace {

std::string ReadBytes(const std::string &path)
{
    std::string bytes;
    FILE *file = fopen(path.c_str(), "rb");
    if (!file)
        return "<missing>";
    char buffer[65536];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, got);
    fclose(file);
    return bytes;
}

void WriteBytes(const std::string &path, const std::string &bytes)
{
    FILE *file = fopen(path.c_str(), "wb");
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

bool Exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The list carried in the program, inflated here with zlib's one-call interface.
std::string EmbeddedList()
{
    HRSRC found = FindResourceA(0, MAKEINTRESOURCEA(IDR_WORD_LIST), (LPCSTR)RT_RCDATA);
    const Bytef *data = (const Bytef *)LockResource(LoadResource(0, found));
    std::string list(4 << 20, 0);
    uLongf size = list.size();
    uncompress((Bytef *)&list[0], &size, data, SizeofResource(0, found));
    list.resize(size);
    return list;
}

// Answers message boxes (not the Spell Check dialog) from a thread timer, in order.
struct BoxAnswers {
    static std::vector<int> buttons;
    static std::vector<std::string> texts;
    static BOOL CALLBACK Find(HWND window, LPARAM found)
    {
        char name[16] = "", title[32] = "";
        GetClassNameA(window, name, sizeof name);
        GetWindowTextA(window, title, sizeof title);
        if (IsWindowVisible(window) && !strcmp(name, "#32770") && strcmp(title, "Spell Check")) {
            *(HWND *)found = window;
            return FALSE;
        }
        return TRUE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        HWND box = 0;
        EnumThreadWindows(GetCurrentThreadId(), Find, (LPARAM)&box);
        if (!box)
            return;
        char text[256] = "", caption[64] = "";
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        GetWindowTextA(box, caption, sizeof caption);
        texts.push_back(std::string(caption) + ": " + text);
        // A box beyond the expected ones is cancelled (and listed), so the test fails
        // instead of waiting on it.
        size_t k = texts.size() - 1;
        PostMessageA(box, WM_COMMAND, k < buttons.size() ? buttons[k] : IDCANCEL, 0);
    }
};
std::vector<int> BoxAnswers::buttons;
std::vector<std::string> BoxAnswers::texts;

class SpellDialogTest : public EditorWindowTest {
protected:
    std::string path, saved;
    UINT_PTR timer = 0;

    void SetUp() override
    {
        EditorWindowTest::SetUp();
        char folder[260] = "";
        GetSpecialFolder("AppData", folder, HKEY_CURRENT_USER);
        path = std::string(folder) + "\\OrvelloWord\\Dictionary.txt";
        saved = ReadBytes(path);
        BoxAnswers::buttons.clear();
        BoxAnswers::texts.clear();
        timer = SetTimer(0, 0, 30, BoxAnswers::Tick);
        ModelessDialog = 0;
    }

    void TearDown() override
    {
        KillTimer(0, timer);
        if (ModelessDialog)
            DestroyWindow(ModelessDialog);
        WordListStream = 0;
        if (saved == "<missing>")
            DeleteFileA(path.c_str());
        else
            WriteBytes(path, saved);
        EditorWindowTest::TearDown();
    }

    static HWND Dialog() { return FindWindowA("#32770", "Spell Check"); }
    static std::string Field(int id)
    {
        char text[256] = "";
        GetDlgItemTextA(Dialog(), id, text, sizeof text);
        return text;
    }

    // Runs the message loop as the program does until done() or a few seconds pass.
    static bool PumpUntil(const std::function<bool()> &done, DWORD milliseconds = 5000)
    {
        for (DWORD start = GetTickCount(); GetTickCount() - start < milliseconds;) {
            MSG message;
            while (PeekMessageA(&message, 0, 0, 0, PM_REMOVE)) {
                if (ModelessDialog && IsDialogMessageA(ModelessDialog, &message))
                    continue;
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
            if (done())
                return true;
            Sleep(10);
        }
        return false;
    }

    // Opens the dialog over text with the caret at caret; waits for the first report
    // (or for the dialog to be gone).
    void Check(const char *text, int caret = 0)
    {
        SetText(text);
        EditorControl.SetSelection(caret, caret);
        OpenSpellCheck(parent);
        PumpUntil([] { return !Dialog() || !Field(IDC_SPELL_WORD).empty(); });
    }

    // Presses a button and waits for the report that follows (the field is emptied
    // around the press, so the next report is seen).
    void Press(int id, const std::string &expect = "")
    {
        if (id == IDC_SPELL_FIND_NEXT)
            SetDlgItemTextA(Dialog(), IDC_SPELL_WORD, "");
        SendMessageA(Dialog(), WM_COMMAND, id, 0);
        if (id == IDC_SPELL_IGNORE || id == IDC_SPELL_ADD || id == IDC_SPELL_REPLACE)
            SetDlgItemTextA(Dialog(), IDC_SPELL_WORD, "");
        PumpUntil([&] { return !Dialog() || Field(IDC_SPELL_WORD) == expect; });
    }

    void Answer(std::vector<int> buttons) { BoxAnswers::buttons = buttons; }
    static std::string Boxes()
    {
        std::string all;
        for (auto &text : BoxAnswers::texts)
            all += text + "|";
        return all;
    }
};

}  // namespace

TEST_F(SpellDialogTest, FirstLoadCreatesTheListFileAndReadsItBack)
{
    DeleteFileA(path.c_str());
    ASSERT_TRUE(LoadDictionary());
    std::string list = EmbeddedList();
    ASSERT_GT(list.size(), 900000u);
    EXPECT_TRUE(ReadBytes(path) == list);
    EXPECT_FALSE(Exists(path + ".lzw"));
    EXPECT_FALSE(Exists(path + ".new"));
    int lines = 0;
    for (char c : list)
        lines += c == '\n';
    EXPECT_EQ(Dictionary.count, lines);
    std::string first = list.substr(0, list.find('\r'));
    std::string last = list.substr(list.rfind('\n', list.size() - 2) + 1);
    last.resize(last.size() - 2);
    EXPECT_EQ(CompareWords(WordAt(0), first.c_str()), 0);
    EXPECT_EQ(CompareWords(WordAt(Dictionary.count - 1), last.c_str()), 0);
    EXPECT_GE(FindWord("AARDVARK"), 0);
    EXPECT_GE(FindWord(last.c_str()), 0);

    // A user's word stays in the file across openings, until the file is deleted.
    AddUserWord(CopyWord("orvellox", 8));
    EXPECT_GE(FindWord("Orvellox"), 0);
    ClearDictionary();
    ASSERT_TRUE(LoadDictionary());
    EXPECT_GE(FindWord("orvellox"), 0);
    EXPECT_EQ(ReadBytes(path), list + "orvellox\r\n");
    ClearDictionary();
    DeleteFileA(path.c_str());
    ASSERT_TRUE(LoadDictionary());
    EXPECT_EQ(FindWord("orvellox"), -1);
    ClearDictionary();
}

TEST(SpecialFolder, ShellFirstThenTheShellFoldersKey)
{
    const char *key = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    RegSetKeyValueA(HKEY_CURRENT_USER, key, "OrvelloTest", REG_SZ, "C:\\probe", 9);
    char appData[260] = "";
    ASSERT_EQ(GetSpecialFolder("AppData", appData, HKEY_CURRENT_USER), appData);
    EXPECT_NE(appData[0], 0);
    EXPECT_STREQ(GetSpecialFolder("APPDATA", 0, HKEY_CURRENT_USER), appData);
    char *shared = GetSpecialFolder("OrvelloTest", 0, HKEY_CURRENT_USER);
    EXPECT_STREQ(shared, "C:\\probe");
    std::string full = std::string(key) + "\\OrvelloTest";
    EXPECT_STREQ(GetSpecialFolder(full.c_str(), 0, HKEY_CURRENT_USER), "C:\\probe");
    GetSpecialFolder("NoSuchFolder", 0, HKEY_CURRENT_USER);
    EXPECT_STREQ(shared, "");  // the next call overwrote the answer
    EXPECT_EQ(GetSpecialFolder("", appData, HKEY_CURRENT_USER), nullptr);
    EXPECT_EQ(GetSpecialFolder(std::string(300, 'x').c_str(), 0, HKEY_CURRENT_USER)[0], 0);
    RegDeleteKeyValueA(HKEY_CURRENT_USER, key, "OrvelloTest");
}

TEST_F(SpellDialogTest, DamagedStreamOrLockedFileSaysDictionaryNotFound)
{
    static const unsigned char damaged[] = {0x78, 0xDA, 0x4B, 0x4C, 0x4A, 0xFF, 0xFF, 0x00};
    WordListStream = damaged;
    WordListStreamSize = sizeof damaged;
    DeleteFileA(path.c_str());
    Answer({IDOK});
    Check("Some text");
    EXPECT_EQ(Boxes(), "OrvelloWord: Dictionary not found.|");
    EXPECT_FALSE(Dialog());
    EXPECT_EQ(ModelessDialog, (HWND)0);
    EXPECT_FALSE(Exists(path));
    EXPECT_FALSE(Exists(path + ".lzw"));
    EXPECT_FALSE(Exists(path + ".new"));

    WordListStream = 0;
    ASSERT_TRUE(LoadDictionary());
    ClearDictionary();
    HANDLE locked = CreateFileA(path.c_str(), GENERIC_READ, 0, 0, OPEN_EXISTING, 0, 0);
    BoxAnswers::texts.clear();
    Answer({IDOK});
    Check("Some text");
    CloseHandle(locked);
    EXPECT_EQ(Boxes(), "OrvelloWord: Dictionary not found.|");
    EXPECT_FALSE(Dialog());

    // Loaded, then the file cannot be written: the word is still taken for this opening.
    BoxAnswers::texts.clear();
    Answer({IDOK, IDOK});
    Check("qorvex");
    locked = CreateFileA(path.c_str(), GENERIC_READ, 0, 0, OPEN_EXISTING, 0, 0);
    Press(IDC_SPELL_ADD);
    PumpUntil([] { return !Dialog(); });
    CloseHandle(locked);
    EXPECT_EQ(Boxes(), "OrvelloWord: The word could not be added to the word list:\n" + path +
                           "|OrvelloWord: Finished spell check.|");
}

TEST_F(SpellDialogTest, ReportsSuggestsReplacesOnlyTheReportedWordAndFinishes)
{
    Answer({IDOK});
    Check("Thsi is a tset.");
    ASSERT_TRUE(Dialog());
    EXPECT_EQ(ModelessDialog, Dialog());
    EXPECT_EQ(Field(IDC_SPELL_WORD), "Thsi");
    EXPECT_EQ(Field(IDC_SPELL_SUGGESTIONS), "This");
    HWND combo = GetDlgItem(Dialog(), IDC_SPELL_SUGGESTIONS);
    EXPECT_NE(SendMessageA(combo, CB_FINDSTRINGEXACT, -1, (LPARAM) "This"), CB_ERR);
    EXPECT_GT(SendMessageA(combo, CB_GETCOUNT, 0, 0), 200);
    EXPECT_EQ(Selection().cpMin, 0);
    EXPECT_EQ(Selection().cpMax, 4);
    Press(IDC_SPELL_REPLACE, "tset");  // and on to the next misspelling
    EXPECT_EQ(Text('p'), "This is a tset.");
    EXPECT_EQ(Field(IDC_SPELL_SUGGESTIONS), "test");
    // The user selects other text meanwhile: Replace must not write over it.
    EditorControl.SetSelection(0, 4);
    SendMessageA(Dialog(), WM_COMMAND, IDC_SPELL_REPLACE, 0);
    EXPECT_EQ(Text('p'), "This is a tset.");
    Press(IDC_SPELL_FIND_NEXT, "tset");
    Press(IDC_SPELL_REPLACE);
    EXPECT_EQ(Text('p'), "This is a test.");
    PumpUntil([] { return !Dialog(); });
    EXPECT_EQ(Boxes(), "OrvelloWord: Finished spell check.|");
    EXPECT_FALSE(Dialog());
    EXPECT_EQ(ModelessDialog, (HWND)0);
    EXPECT_EQ(Dictionary.count, 0);
}

TEST_F(SpellDialogTest, TheNearestSuggestionComesFirstInTheList)
{
    static const struct { const char *word, *first; } cases[] = {
        {"recieve", "receive"}, {"Thsi", "This"}, {"tset", "test"}, {"speling", "spelling"},
    };
    for (const auto &c : cases) {
        Check(c.word);
        ASSERT_TRUE(Dialog()) << c.word;
        char first[128] = "";
        SendDlgItemMessageA(Dialog(), IDC_SPELL_SUGGESTIONS, CB_GETLBTEXT, 0, (LPARAM)first);
        EXPECT_STREQ(first, c.first) << c.word;
        EXPECT_EQ(Field(IDC_SPELL_SUGGESTIONS), c.first) << c.word;
        SendMessageA(Dialog(), WM_COMMAND, IDCANCEL, 0);
        PumpUntil([] { return !Dialog(); });
    }
}

TEST_F(SpellDialogTest, QuotedWordsAndALoneApostrophe)
{
    Check("say 'helo' on ' on");
    EXPECT_EQ(Field(IDC_SPELL_WORD), "helo");
    EXPECT_EQ(Selection().cpMin, 4);  // the quotes are part of the selection
    EXPECT_EQ(Selection().cpMax, 10);
    Press(IDC_SPELL_IGNORE);
    PumpUntil([this] { return Selection().cpMin == 14; });
    EXPECT_EQ(Selection().cpMax, 15);  // the lone apostrophe: an empty word, no suggestion
    EXPECT_EQ(Field(IDC_SPELL_SUGGESTIONS), "");
    SendMessageA(Dialog(), WM_COMMAND, IDC_SPELL_IGNORE, 0);  // does nothing, finds nothing
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(Selection().cpMin, 14);
    SendMessageA(Dialog(), WM_COMMAND, IDCANCEL, 0);
    PumpUntil([] { return !Dialog(); });
    EXPECT_EQ(ModelessDialog, (HWND)0);
    EXPECT_EQ(Dictionary.count, 0);
}

TEST_F(SpellDialogTest, ResetPromptAndWordsAddedOrIgnored)
{
    Answer({IDYES, IDNO});
    Check("zorvex one. two qorvex", 10);
    EXPECT_EQ(Field(IDC_SPELL_WORD), "qorvex");
    Press(IDC_SPELL_IGNORE, "zorvex");  // reset to the start after Yes
    Press(IDC_SPELL_ADD);
    PumpUntil([] { return !Dialog(); });
    EXPECT_EQ(Boxes(), "OrvelloWord: Finished spell check.\n\nReset to start of file?|"
                       "OrvelloWord: Finished spell check.\n\nReset to start of file?|");
    // Reopened: the added word is known, the ignored one is reported again.
    Check("zorvex one. two qorvex", 0);
    EXPECT_EQ(Field(IDC_SPELL_WORD), "qorvex");
    EXPECT_EQ(ReadBytes(path).substr(ReadBytes(path).size() - 8), "zorvex\r\n");
}

TEST_F(SpellDialogTest, AnOpenFindReplaceKeepsTheSlotAndEmptyClipboardSaysSo)
{
    HWND find = CreateWindowExA(0, "#32770", "Find", WS_POPUP, 0, 0, 10, 10, 0, 0, 0, 0);
    ModelessDialog = find;
    Check("Thsi");
    EXPECT_FALSE(Dialog());
    EXPECT_EQ(ModelessDialog, find);
    EmptyClipboardNow();
    Answer({IDOK});
    SpellCheckClipboard(parent, 0);
    EXPECT_EQ(Boxes(), "OrvelloWord: System Clipboard is empty.|");
    EXPECT_EQ(ModelessDialog, find);
    // A modal run over correct text: nothing to ask at the end, the text stays unmodified.
    SetText("This is fine.");
    EditorControl.SetSelection(0, 13);
    SendMessageA(Editor(), WM_COPY, 0, 0);
    Answer({IDOK, IDOK});
    SpellCheckClipboard(parent, 0);
    EXPECT_EQ(Boxes(), "OrvelloWord: System Clipboard is empty.|OrvelloWord: Finished spell check.|");
    EXPECT_EQ(Text('p'), "This is fine.");
    EXPECT_EQ(SendMessageA(Editor(), EM_GETMODIFY, 0, 0), 0);
    EXPECT_EQ(ModelessDialog, find);
    ModelessDialog = 0;
    DestroyWindow(find);
}

namespace {

// Drives the modal Spell Check dialog of a clipboard run from a thread timer: replaces
// "Thsi" with its first suggestion, then goes on; a dialog that reports nothing within
// a few seconds is cancelled, so a run over the wrong control ends instead of hanging.
struct ClipboardRun {
    static int ticks;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        HWND dialog = FindWindowA("#32770", "Spell Check");
        if (!dialog)
            return;
        char word[64] = "";
        GetDlgItemTextA(dialog, IDC_SPELL_WORD, word, sizeof word);
        if (!strcmp(word, "Thsi")) {
            // Replace moves on to the next misspelling by itself.
            SendMessageA(dialog, WM_COMMAND, IDC_SPELL_REPLACE, 0);
            SetDlgItemTextA(dialog, IDC_SPELL_WORD, "");
        } else if (++ticks > 100) {
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    }
};
int ClipboardRun::ticks = 0;

bool PutClipboardText(const char *text)
{
    if (!OpenClipboard(0))
        return false;
    EmptyClipboard();
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, strlen(text) + 1);
    memcpy(GlobalLock(data), text, strlen(text) + 1);
    GlobalUnlock(data);
    bool put = SetClipboardData(CF_TEXT, data) != 0;
    CloseClipboard();
    return put;
}

std::string ClipboardText()
{
    std::string text = "<none>";
    if (!OpenClipboard(0))
        return text;
    HANDLE data = GetClipboardData(CF_TEXT);
    if (data) {
        text = (const char *)GlobalLock(data);
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

}  // namespace

// New replaces the control of a long document; the clipboard run must paste into, check
// and cut from the control that holds the new document, not the one destroyed.
TEST_F(SpellDialogTest, ClipboardRunAfterALongDocumentUsesTheNewControl)
{
    std::string lines;
    for (int k = 0; k < EMPTY_BY_NEW_CONTROL + 500; ++k)
        lines += "line\r\n";
    SetText(lines.c_str());
    SendMessageA(Editor(), EM_SETMODIFY, FALSE, 0);
    HWND before = Editor();
    ASSERT_TRUE(PutClipboardText("Thsi is fine."));
    ClipboardRun::ticks = 0;
    UINT_PTR driver = SetTimer(0, 0, 30, ClipboardRun::Tick);
    Answer({IDOK, IDYES});
    SpellCheckClipboard(parent, 0);
    KillTimer(0, driver);
    EXPECT_FALSE(IsWindow(before));
    EXPECT_TRUE(IsWindow(Editor()));
    EXPECT_EQ(Boxes(), "OrvelloWord: Finished spell check.|"
                       "OrvelloWord: Save Changes to System Clipboard?|");
    EXPECT_EQ(ClipboardText(), "This is fine.");
    EXPECT_EQ(Text('p'), "");
    EXPECT_EQ(SendMessageA(Editor(), EM_GETMODIFY, 0, 0), 0);
}
