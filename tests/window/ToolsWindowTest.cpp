// Find / Replace, Goto Line and Line Sort against a real RichEdit control.
#include "EditorWindow.h"
#include "ModalAnswer.h"

#include <string.h>

#include "app/App.h"
#include "editor/FileLines.h"
#include "res/resource.h"
#include "tools/FindDialog.h"
#include "tools/GotoDialog.h"
#include "tools/LineSortDialog.h"
#include "tools/ReplaceAll.h"

namespace {

class ToolsWindowTest : public EditorWindowTest {
protected:
    void SetUp() override
    {
        EditorWindowTest::SetUp();
        EditorControl.SetTextMode(TEXT_PLAIN);
        FindFlags = FR_DOWN;
        FindText[0] = ReplaceText[0] = 0;
    }
    void TearDown() override
    {
        ModalAnswer::Stop();
        if (ModelessDialog)
            DestroyWindow(ModelessDialog);
        EditorWindowTest::TearDown();
    }

    void Load(const char *text)
    {
        SetText(text);
        SendMessageA(Editor(), EM_EMPTYUNDOBUFFER, 0, 0);
        SendMessageA(Editor(), EM_SETMODIFY, FALSE, 0);
    }
    void Select(int start, int end) { EditorControl.SetSelection(start, end); }
    bool Modified() { return SendMessageA(Editor(), EM_GETMODIFY, 0, 0) != 0; }

    struct Outcome {
        std::string text;
        int count;
        LONG start, end;
        bool modified;
    };
    Outcome Replace(bool byLoop, const char *text, const char *find, const char *with, UINT flags)
    {
        Load(text);
        Select(1, 1);
        Outcome o;
        o.count = byLoop ? ReplaceAllByLoop(Editor(), find, with, flags)
                         : ReplaceAllMatches(Editor(), find, with, flags);
        o.text = Text('p');
        CHARRANGE s = Selection();
        o.start = s.cpMin;
        o.end = s.cpMax;
        o.modified = Modified();
        return o;
    }

    // Presses Yes or No on the prompt that FindNext may show; the number of prompts seen.
    int FindWithAnswer(int answer)
    {
        ModalAnswer::Expect(answer);
        FindNext(Editor());
        ModalAnswer::Stop();
        return ModalAnswer::shown;
    }
};

// Fills a dialog field and presses a button from inside the modal loop of the dialog.
struct DialogScript {
    static int field, button, checkbox;
    static std::string fieldText, caption;
    static std::string seen;  // the field's text as the dialog opened
    static UINT seenCheck;    // 1017's check as the dialog opened
    static DWORD seenSelection;  // the field's selection (EM_GETSEL) as the dialog opened
    static int seenFocus;        // the control that had the focus
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
    {
        HWND dialog = FindWindowA("#32770", caption.c_str());
        if (!dialog || !IsWindowVisible(dialog))
            return;
        KillTimer(0, id);
        char text[64] = "";
        GetDlgItemTextA(dialog, field, text, sizeof text);
        seen = text;
        seenCheck = IsDlgButtonChecked(dialog, IDC_GOTO_CHAR);
        seenSelection = (DWORD)SendDlgItemMessageA(dialog, field, EM_GETSEL, 0, 0);
        seenFocus = GetDlgCtrlID(GetFocus());
        if (field)
            SetDlgItemTextA(dialog, field, fieldText.c_str());
        if (checkbox)
            SendMessageA(GetDlgItem(dialog, checkbox), BM_CLICK, 0, 0);
        SendMessageA(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
    }
    static void Run(const char *title, int f, const char *text, int check, int press)
    {
        caption = title;
        field = f;
        fieldText = text;
        checkbox = check;
        button = press;
        SetTimer(0, 0, 30, Tick);
    }
};
int DialogScript::field, DialogScript::button, DialogScript::checkbox;
std::string DialogScript::fieldText, DialogScript::caption, DialogScript::seen;
UINT DialogScript::seenCheck;
DWORD DialogScript::seenSelection;
int DialogScript::seenFocus;

}  // namespace

TEST_F(ToolsWindowTest, ReplaceAllInOnePieceEqualsTheLoop)
{
    const struct { const char *text, *find, *with; UINT flags; } cases[] = {
        {"aaa", "a", "aa", 0},
        {"one two one\rone", "one", "1", 0},
        {"One one ONE", "one", "x", FR_MATCHCASE},
        {"cat catalog cat.", "cat", "dog", FR_WHOLEWORD},
        {"a b a", "a", "", FR_WHOLEWORD},
        {"x.a.a y", ".a", "b", FR_WHOLEWORD},   // the edge before a match changes
        {"a\rb a\rb", "a\rb", "-", 0},
        {"{\\rtf1 x} x", "x", "{\\rtf1 y}", 0},
        {"nothing here", "zz", "y", 0},
    };
    for (const auto &c : cases) {
        Outcome loop = Replace(true, c.text, c.find, c.with, c.flags);
        Outcome fast = Replace(false, c.text, c.find, c.with, c.flags);
        EXPECT_EQ(fast.text, loop.text) << c.text;
        EXPECT_EQ(fast.count, loop.count) << c.text;
        EXPECT_EQ(fast.start, loop.start) << c.text;
        EXPECT_EQ(fast.end, loop.end) << c.text;
        EXPECT_EQ(fast.modified, loop.modified) << c.text;
    }
    Outcome aaa = Replace(false, "aaa", "a", "aa", FR_DOWN);
    EXPECT_EQ(aaa.text, "aaaaaa");
    EXPECT_EQ(aaa.count, 3);
}

TEST_F(ToolsWindowTest, OneUndoTakesBackReplaceAllAndSort)
{
    Load("b x\r\nc x\r\na x");
    ASSERT_EQ(ReplaceAllMatches(Editor(), "x", "yy", 0), 3);
    SendMessageA(Editor(), EM_UNDO, 0, 0);
    EXPECT_EQ(Text('p'), "b x\r\nc x\r\na x");

    // Long enough to be streamed in several pieces.
    std::string many;
    for (int k = 0; k < 1500; ++k)
        many += "line x " + std::to_string(k % 97) + "\r\n";
    Load(many.c_str());
    ASSERT_EQ(ReplaceAllMatches(Editor(), "x", "yy", 0), 1500);
    SendMessageA(Editor(), EM_UNDO, 0, 0);
    EXPECT_TRUE(Text('p') == many);

    Load("b\r\nc\r\na");
    ASSERT_EQ(SortEditorLines(0, 1), 1);
    EXPECT_EQ(Text('p'), "a\r\nb\r\nc\r\n");
    EXPECT_TRUE(Modified());
    EXPECT_EQ(Selection().cpMin, 0);
    EXPECT_EQ(Selection().cpMax, 0);
    SendMessageA(Editor(), EM_UNDO, 0, 0);
    EXPECT_EQ(Text('p'), "b\r\nc\r\na");
}

TEST_F(ToolsWindowTest, SortedLinesThatLookLikeRtfStayText)
{
    Load("zz\r\n{\\rtf1 {\\b bold}}\r\n");
    SortEditorLines(1, 1);  // '{' comes after 'z': reversed, it leads the text
    EXPECT_EQ(Text('p'), "{\\rtf1 {\\b bold}}\r\nzz\r\n");
    Load("");
    SortEditorLines(0, 0);
    EXPECT_EQ(Text('p'), "");
    EXPECT_TRUE(Modified());
}

TEST_F(ToolsWindowTest, FindNextAndItsResetPrompt)
{
    Load("ab ab ab");
    strcpy(FindText, "ab");
    Select(0, 2);
    EXPECT_EQ(FindWithAnswer(IDYES), 0);
    EXPECT_EQ(Selection().cpMin, 3);  // after the selected match
    Select(6, 8);
    EXPECT_EQ(FindWithAnswer(IDNO), 1);
    EXPECT_EQ(ModalAnswer::text, "No more matches found.\n\nReset to start of file?");
    EXPECT_EQ(Selection().cpMin, 6);
    EXPECT_EQ(FindWithAnswer(IDYES), 1);
    EXPECT_EQ(Selection().cpMin, 0);
    EXPECT_EQ(Selection().cpMax, 0);
    FindWithAnswer(IDYES);
    EXPECT_EQ(Selection().cpMax, 2);  // the first match again

    FindFlags = 0;  // Up
    Select(3, 5);
    FindWithAnswer(IDYES);
    EXPECT_EQ(Selection().cpMin, 0);  // the one before it
    EXPECT_EQ(FindWithAnswer(IDYES), 1);
    EXPECT_EQ(Selection().cpMin, 8);  // caret at the end
    EXPECT_EQ(Selection().cpMax, 8);
}

TEST_F(ToolsWindowTest, FindDialogFieldsOptionsAndTheSlot)
{
    Load("a\r\nb a\\nb");
    OpenFindDialog(parent);
    HWND dialog = ModelessDialog;
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_REPLACE_ALL)));
    SetDlgItemTextA(dialog, IDC_FIND_TEXT, "a\\nb");
    EXPECT_STREQ(FindText, "a\\nb");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_REPLACE_ALL)));
    SendMessageA(GetDlgItem(dialog, IDC_FIND_ESCAPES), BM_CLICK, 0, 0);
    MSG message;
    while (PeekMessageA(&message, 0, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    EXPECT_STREQ(FindText, "a\rb");
    Select(0, 0);
    SendMessageA(dialog, WM_COMMAND, IDC_FIND_NEXT_BUTTON, 0);
    EXPECT_EQ(Selection().cpMin, 0);
    EXPECT_EQ(Selection().cpMax, 3);  // across the line end

    // Replace with an empty selection replaces nothing and selects the next match.
    SetDlgItemTextA(dialog, IDC_REPLACE_TEXT, "X");
    Select(0, 0);
    SendMessageA(dialog, WM_COMMAND, IDC_REPLACE, 0);
    EXPECT_EQ(Text('p'), "a\r\nb a\\nb");
    EXPECT_EQ(Selection().cpMax, 3);
    ModalAnswer::Expect(IDNO);  // no further match
    SendMessageA(dialog, WM_COMMAND, IDC_REPLACE, 0);  // now the selection goes
    ModalAnswer::Stop();
    EXPECT_EQ(Text('p'), "X a\\nb");

    SendMessageA(GetDlgItem(dialog, IDC_WHOLE_WORD), BM_CLICK, 0, 0);
    SendMessageA(GetDlgItem(dialog, IDC_SEARCH_UP), BM_CLICK, 0, 0);
    EXPECT_EQ(FindFlags, (UINT)FR_WHOLEWORD);
    // Ctrl+F with a dialog in the slot opens nothing new.
    OpenFindDialog(parent);
    EXPECT_EQ(ModelessDialog, dialog);
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    while (PeekMessageA(&message, 0, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(ModelessDialog, (HWND)0);

    OpenFindDialog(parent);
    dialog = ModelessDialog;
    char field[64];
    GetDlgItemTextA(dialog, IDC_FIND_TEXT, field, sizeof field);
    EXPECT_STREQ(field, "a\rb");
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_FIND_ESCAPES), (UINT)BST_UNCHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_WHOLE_WORD), (UINT)BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_SEARCH_UP), (UINT)BST_CHECKED);
}

TEST_F(ToolsWindowTest, GotoRemembersItsEntry)
{
    Load("one\r\ntwo\r\nthree");
    GotoTarget = 1;
    DialogScript::Run("Goto Line", IDC_GOTO_NUMBER, "3", 0, IDOK);
    GotoCommand(parent);
    EXPECT_EQ(DialogScript::seen, "1");
    EXPECT_EQ(Selection().cpMin, 8);
    DialogScript::Run("Goto Line", IDC_GOTO_NUMBER, "25", IDC_GOTO_CHAR, IDOK);
    GotoCommand(parent);
    EXPECT_EQ(GotoTarget, -25);
    EXPECT_EQ(Selection().cpMin, 13);  // past the end: the end
    DialogScript::Run("Goto Line", IDC_GOTO_NUMBER, "1", 0, IDCANCEL);
    GotoCommand(parent);
    EXPECT_EQ(DialogScript::seen, "25");
    EXPECT_EQ(DialogScript::seenCheck, (UINT)BST_CHECKED);
    EXPECT_EQ(GotoTarget, -25);
    // A line past the last: EM_LINEINDEX answers -1, sent on unchanged.
    DialogScript::Run("Goto Line", IDC_GOTO_NUMBER, "9", IDC_GOTO_LINE, IDOK);
    Select(2, 2);
    GotoCommand(parent);
    EXPECT_EQ(GotoTarget, 9);
    CHARRANGE after = Selection();
    EXPECT_EQ(after.cpMin, after.cpMax);
}

TEST_F(ToolsWindowTest, GotoSelectsTheRememberedNumberSoTypingReplacesIt)
{
    Load("one\r\ntwo\r\nthree");
    static const struct { int target; const char *shown; } cases[] = {
        {1, "1"}, {12345, "12345"}, {-25, "25"}, {0, "0"},
    };
    for (const auto &c : cases) {
        GotoTarget = c.target;
        DialogScript::Run("Goto Line", IDC_GOTO_NUMBER, "", 0, IDCANCEL);
        GotoCommand(parent);
        EXPECT_EQ(DialogScript::seen, c.shown);
        EXPECT_EQ(DialogScript::seenFocus, IDC_GOTO_NUMBER);
        EXPECT_EQ(LOWORD(DialogScript::seenSelection), 0);
        EXPECT_EQ(HIWORD(DialogScript::seenSelection), strlen(c.shown));
    }
}

TEST_F(ToolsWindowTest, WrappedTheLineNumbersAreTheFilesLines)
{
    // Lines long enough to wrap in any window, between short ones.
    std::string text, wide(400, 'w');
    std::vector<int> starts;
    for (int i = 0; i < 12; ++i) {
        starts.push_back((int)text.size() - i);  // CR LF is one position in the control
        text += (i % 2 ? wide : "short " + std::to_string(i + 1)) + "\r\n";
    }
    Load(text.c_str());
    EditorControl.SetWrapMode(WRAP_WINDOW, 0);
    ASSERT_GT(SendMessageA(Editor(), EM_GETLINECOUNT, 0, 0), 20);
    for (int line = 0; line < 12; ++line)
        EXPECT_EQ(FileLineStart(Editor(), line), starts[line]) << line;
    EXPECT_EQ(FileLineStart(Editor(), 12), (int)text.size() - 12);  // the empty last line
    EXPECT_EQ(FileLineStart(Editor(), 13), -1);

    // Goto Line 10 goes to the tenth line of the file.
    DialogScript::Run("Goto Line", IDC_GOTO_NUMBER, "10", IDC_GOTO_LINE, IDOK);
    GotoCommand(parent);
    EXPECT_EQ(Selection().cpMin, starts[9]);
    EditorControl.SetWrapMode(WRAP_NONE, 0);
}

TEST_F(ToolsWindowTest, LineSortDialogGivesItsStateText)
{
    Load("b\r\nB\r\na\r\n");
    DialogScript::Run("Line Sort", 0, "", IDC_SORT_CASE, IDOK);
    SortLinesCommand(parent);
    EXPECT_EQ(Text('p'), "B\r\na\r\nb\r\n");  // "Case Sensitive" checked: byte order
    Load("b\r\nA\r\nc\r\n");
    DialogScript::Run("Line Sort", 0, "", IDC_SORT_REVERSE, IDOK);
    SortLinesCommand(parent);
    EXPECT_EQ(Text('p'), "c\r\nb\r\nA\r\n");  // reverse, ignoring case
    DialogScript::Run("Line Sort", 0, "", 0, IDCANCEL);
    Load("b\r\na\r\n");
    SortLinesCommand(parent);
    EXPECT_EQ(Text('p'), "b\r\na\r\n");
}

// The effects and size of each character, one letter each: b bold, i italic, else "-".
static std::string Looks(HWND editor)
{
    std::string looks;
    int length = GetWindowTextLengthA(editor);
    for (int i = 0; i < length; ++i) {
        CHARRANGE one = {i, i + 1};
        SendMessageA(editor, EM_EXSETSEL, 0, (LPARAM)&one);
        CHARFORMAT2A format = {};
        format.cbSize = sizeof format;
        SendMessageA(editor, EM_GETCHARFORMAT, SCF_SELECTION, (LPARAM)&format);
        looks += format.dwEffects & CFE_BOLD ? 'b' : format.dwEffects & CFE_ITALIC ? 'i' : '-';
        looks += std::to_string(format.yHeight / 20);
    }
    return looks;
}

TEST_F(ToolsWindowTest, RichReplaceAllKeepsTheFormatAndUndoesInOneStep)
{
    const char *rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 head {\\b bold} cat "
                      "{\\i cat} mid {\\fs32 big} cat tail\\par second line\\par}";
    const struct { const char *find, *with; UINT flags; } cases[] = {
        {"cat", "dog", 0},
        {"cat", "", 0},
        {"cat", "\xe9l\xe9phant", FR_WHOLEWORD},
        {"at", "AT", FR_MATCHCASE},
    };
    for (const auto &c : cases) {
        std::string results[2], looks[2];
        int counts[2];
        CHARRANGE carets[2];
        for (int fast = 0; fast < 2; ++fast) {
            EditorControl.SetTextMode(TEXT_RICH);
            ASSERT_TRUE(StreamInText(Editor(), rtf, strlen(rtf), SF_RTF));
            SendMessageA(Editor(), EM_EMPTYUNDOBUFFER, 0, 0);
            SendMessageA(Editor(), EM_SETMODIFY, FALSE, 0);
            std::string before = Text('p'), beforeLooks = Looks(Editor());
            Select(0, 0);
            counts[fast] = fast ? ReplaceAllMatches(Editor(), c.find, c.with, c.flags)
                                : ReplaceAllByLoop(Editor(), c.find, c.with, c.flags);
            carets[fast] = Selection();
            results[fast] = Text('p');
            looks[fast] = Looks(Editor());
            EXPECT_TRUE(Modified()) << c.with;
            if (fast) {
                SendMessageA(Editor(), EM_UNDO, 0, 0);
                EXPECT_EQ(Text('p'), before) << c.with << ": one Undo";
                EXPECT_EQ(Looks(Editor()), beforeLooks) << c.with << ": one Undo";
            }
        }
        EXPECT_EQ(counts[1], counts[0]) << c.with;
        EXPECT_EQ(results[1], results[0]) << c.with;
        EXPECT_EQ(looks[1], looks[0]) << c.with;
        EXPECT_EQ(carets[1].cpMin, carets[0].cpMin) << c.with;
        EXPECT_EQ(carets[1].cpMax, carets[0].cpMax) << c.with;
    }
}

TEST_F(ToolsWindowTest, ALongTextSortedOrReplacedComesBackWithOneUndo)
{
    EditorControl.ScreenPastes();
    std::string lines;
    for (int i = EMPTY_BY_NEW_CONTROL + 200; i > 0; --i)
        lines += "line " + std::to_string(i) + "\r\n";
    Load(lines.c_str());
    HWND before = Editor();
    ASSERT_EQ(SortEditorLines(0, 1), 1);
    EXPECT_NE(Editor(), before) << "emptied by a new control";
    std::string sorted = Text('p');
    EXPECT_EQ(sorted.compare(0, 16, "line 1\r\nline 10\r"), 0) << sorted.substr(0, 40);
    EXPECT_TRUE(Modified());
    EXPECT_NE(SendMessageA(Editor(), EM_CANUNDO, 0, 0), 0);
    EXPECT_STREQ(EditorControl.GetEditState(), "u");

    // Typing after the sort is undone first, then the sort.
    SendMessageA(Editor(), EM_REPLACESEL, TRUE, (LPARAM) "typed ");
    SendMessageA(Editor(), EM_UNDO, 0, 0);
    EXPECT_TRUE(Text('p') == sorted);
    SendMessageA(Editor(), EM_UNDO, 0, 0);
    EXPECT_TRUE(Text('p') == lines);
    EXPECT_FALSE(Modified());
    EXPECT_EQ(SendMessageA(Editor(), EM_CANUNDO, 0, 0), 0);

    // Replace All the same way, taken back by WM_UNDO; a save in between keeps the
    // document marked as changed.
    ASSERT_EQ(ReplaceAllMatches(Editor(), "line", "row", FR_MATCHCASE), EMPTY_BY_NEW_CONTROL + 200);
    EXPECT_EQ(Text('p').compare(0, 8, "row 3200"), 0);
    SendMessageA(Editor(), EM_SETMODIFY, FALSE, 0);
    SendMessageA(Editor(), WM_UNDO, 0, 0);
    EXPECT_TRUE(Text('p') == lines);
    EXPECT_TRUE(Modified());
    // A new document forgets the text before.
    Load(lines.c_str());
    EditorControl.Empty();
    EXPECT_EQ(SendMessageA(Editor(), EM_CANUNDO, 0, 0), 0);
}
