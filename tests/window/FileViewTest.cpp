// The read-only view of a file too big for the control, in a real control: the window
// it holds is exactly the file's lines, line numbers are the file's, Goto and Find reach
// any line, nothing changes the text, and Save As copies the file.
#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>
#include <richedit.h>
#include <string>
#include <vector>

#include "EditorWindow.h"
#include "ModalAnswer.h"
#include "tests/common/FileBytes.h"
#include "document/Document.h"
#include "document/FileView.h"
#include "document/LoadCost.h"
#include "document/OpenDocument.h"
#include "tools/FindDialog.h"
#include "app/MainWindow.h"
#include "res/resource.h"

namespace {

class FileViewTest : public EditorWindowTest {
protected:
    std::string path;
    std::vector<std::u16string> lines;  // the file's lines, as the control shows them

    void SetUp() override
    {
        EditorWindowTest::SetUp();
        EditorControl.SetTextMode(TEXT_PLAIN);
        char folder[MAX_PATH];
        GetTempPathA(sizeof folder, folder);
        path = std::string(folder) + "view test.log";
    }

    void TearDown() override
    {
        ModalAnswer::Stop();
        CloseFileView();
        LoadMemoryLimit = MOST_CONTROL_BYTES;
        CurrentDocumentPath[0] = 0;
        DeleteFileA(path.c_str());
        EditorWindowTest::TearDown();
    }

    // A log of about bytes bytes whose lines end in CR LF, LF and CR by turns, with
    // UTF-8 sequences (a surrogate pair among them) in some, or the same in UTF-16 after
    // its byte order mark; opened as a view.
    void OpenLog(size_t bytes, ViewEncoding encoding = VIEW_UTF8)
    {
        CloseFileView();
        std::string file;
        std::u16string wideFile;
        lines.clear();
        const char *ends[] = {"\r\n", "\n", "\r"};
        for (int i = 0; file.size() < bytes; ++i) {
            std::string line = "2026-12-09 03:56:" + std::to_string(10 + i % 50) + " [w" +
                               std::to_string(i % 7) + "] line " + std::to_string(i);
            std::u16string wide(line.begin(), line.end());
            if (i % 5 == 0) {
                line += " \xD0\xB4\xD0\xB0 \xF0\x9F\x98\x80";
                wide += u" \u0434\u0430 \U0001F600";
            }
            file += line + ends[i % 3];
            wideFile += wide + std::u16string(ends[i % 3], ends[i % 3] + strlen(ends[i % 3]));
            lines.push_back(wide);
        }
        if (encoding != VIEW_UTF8) {
            file = encoding == VIEW_UTF16BE ? "\xFE\xFF" : "\xFF\xFE";
            for (char16_t unit : wideFile) {
                char high = (char)(unit >> 8), low = (char)(unit & 0xFF);
                file += encoding == VIEW_UTF16BE ? std::string{high, low} : std::string{low, high};
            }
        }
        lines.push_back(u"");  // after the last line end
        ASSERT_TRUE(WriteBytes(path, file));
        // The control may take far less than the file would cost it.
        LoadMemoryLimit = 1024 * 1024;
        ASSERT_EQ(OpenDocument(parent, path.c_str()), 1);
        ASSERT_TRUE(IsFileViewOpen());
    }

    std::u16string ControlText()
    {
        size_t units = 0;
        char16_t *text = GetUnicodeText(Editor(), &units, false);
        std::u16string result = text ? std::u16string(text, units) : u"<null>";
        delete[] text;
        return result;
    }

    // What the control holds of count paragraphs from the file's line first on: whole
    // lines, each with its line end (one CR), and the empty paragraph after the last.
    std::u16string FileLines(size_t first, size_t count)
    {
        std::u16string joined;
        for (size_t i = first; i + 1 < first + count && i < lines.size(); ++i)
            joined += lines[i] + u"\r";
        return joined;
    }

    LONG Caret()
    {
        CHARRANGE selection;
        SendMessageA(Editor(), EM_EXGETSEL, 0, (LPARAM)&selection);
        return selection.cpMin;
    }
};

}  // namespace

// Wherever the window goes, the control holds exactly the file's lines from the window's
// first line on, whole (CR LF, CR and LF ends, UTF-8 sequences and surrogate pairs at the
// window's edges), and the caret's line and column are the file's.
TEST_F(FileViewTest, WindowsHoldTheFileLinesExactlyAndNumberThemAsTheFileDoes)
{
  for (ViewEncoding encoding : {VIEW_UTF8, VIEW_UTF16LE, VIEW_UTF16BE}) {
    SCOPED_TRACE(encoding);
    OpenLog(encoding == VIEW_UTF8 ? 1200 * 1024 : 2400 * 1024, encoding);
    const size_t last = lines.size() - 1;
    const size_t targets[] = {0, 1, 5, 4000, 9999, 10000, last / 2, last - 1, last, last + 50};
    for (size_t target : targets) {
        SCOPED_TRACE(target);
        FileViewGotoLine(target);
        size_t line = target > last ? last : target;
        FileOffset first = FileViewFirstLine();
        ASSERT_LE(first, line);
        std::u16string held = ControlText();
        size_t count = 1;
        for (char16_t c : held)
            count += c == u'\r';
        ASSERT_GT(first + count, line);
        std::u16string expected = FileLines((size_t)first, count);
        size_t differs = 0;
        while (differs < held.size() && differs < expected.size() && held[differs] == expected[differs])
            ++differs;
        EXPECT_TRUE(held == expected) << "the window from line " << first << " of " << count
                                      << " lines differs at " << differs << " of " << held.size()
                                      << " / " << expected.size();
        FileOffset atLine = 0, atColumn = 0;
        FileViewPlace(Caret(), &atLine, &atColumn);
        EXPECT_EQ(atLine, line);
        EXPECT_EQ(atColumn, 0u);
        // The caret's line in the control is the file's line.
        LONG paragraph = (LONG)SendMessageA(Editor(), EM_EXLINEFROMCHAR, 0, Caret());
        EXPECT_EQ(paragraph, (LONG)(line - first));
    }
    EXPECT_EQ(FileViewIndexedLines(true), lines.size());
    // Find looks for the words as the file holds them.
    FileViewGotoLine(0);
    lstrcpynA(FindText, "LINE 9999", sizeof FindText);
    FindFlags = FR_DOWN;
    ASSERT_EQ(FindNext(parent), 1);
    FileOffset foundLine = 0, column = 0;
    FileViewPlace(Caret(), &foundLine, &column);
    EXPECT_EQ(foundLine, 9999u);
    EXPECT_EQ(column, 25u);
    FindText[0] = 0;
  }
}

// Moving the caret to the window's edge brings the next lines in, and the place stays
// the file's.
TEST_F(FileViewTest, TheWindowFollowsTheCaretToItsEdges)
{
    OpenLog(1200 * 1024);
    FileViewIndexedLines(true);
    FileViewGotoLine(20000);
    FileOffset before = FileViewFirstLine();
    // The control's last line, then what a selection change makes of it.
    LONG end = (LONG)SendMessageA(Editor(), EM_LINEINDEX,
                                  SendMessageA(Editor(), EM_GETLINECOUNT, 0, 0) - 1, 0);
    FileOffset lastHeld = before + SendMessageA(Editor(), EM_GETLINECOUNT, 0, 0) - 1;
    SendMessageA(Editor(), EM_SETSEL, end, end);
    FileViewFollowCaret();
    EXPECT_GT(FileViewFirstLine(), before);
    FileOffset line = 0, column = 0;
    FileViewPlace(Caret(), &line, &column);
    EXPECT_EQ(line, lastHeld);
    EXPECT_EQ(column, 0u);
    // And back up from the top.
    FileOffset top = FileViewFirstLine();
    SendMessageA(Editor(), EM_SETSEL, 0, 0);
    FileViewFollowCaret();
    EXPECT_LT(FileViewFirstLine(), top);
    FileViewPlace(Caret(), &line, &column);
    EXPECT_EQ(line, top);
}

// Find searches the whole file from the caret, down or up: a match in lines far beyond
// the window is found, shown and selected (a whole word only where one is asked for), and
// the next Find goes on from it.
TEST_F(FileViewTest, FindReachesMatchesBeyondTheWindow)
{
    OpenLog(1200 * 1024);
    const struct {
        const char *text;
        FileOffset from;
        UINT flags;
        size_t line;
        size_t column;
    } cases[] = {
        {"line 12342\r", 0, FR_DOWN, 12342, 25},   // up to the line's end (CR LF)
        {"LINE 20001", 0, FR_DOWN, 20001, 25},     // either case
        {"] line 25000", 0, FR_DOWN, 25000, 23},
        {"LINE 20001", 25000, 0, 20001, 25},       // up
        {"line 1234", 25000, 0, 12349, 25},
        {"line 1234", 25000, FR_WHOLEWORD, 1234, 25},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        FileViewGotoLine(c.from);
        lstrcpynA(FindText, c.text, sizeof FindText);
        FindFlags = c.flags;
        ASSERT_EQ(FindNext(parent), 1);
        FileOffset line = 0, column = 0;
        FileViewPlace(Caret(), &line, &column);
        EXPECT_EQ(line, c.line);
        EXPECT_EQ(column, c.column);
        CHARRANGE selection;
        SendMessageA(Editor(), EM_EXGETSEL, 0, (LPARAM)&selection);
        std::string wanted = c.text;
        if (wanted.back() == '\r')
            wanted.pop_back();
        EXPECT_GE(selection.cpMax - selection.cpMin, (LONG)wanted.size());
    }
    // The next match of a word is after the one selected.
    FileViewGotoLine(0);
    FindFlags = FR_DOWN;
    lstrcpynA(FindText, "[w3] line", sizeof FindText);
    ASSERT_EQ(FindNext(parent), 1);
    FileOffset first = 0, second = 0, column = 0;
    FileViewPlace(Caret(), &first, &column);
    ASSERT_EQ(FindNext(parent), 1);
    FileViewPlace(Caret(), &second, &column);
    EXPECT_EQ(first, 3u);
    EXPECT_EQ(second, 10u);
    FindText[0] = 0;
}

// Nothing typed or pasted changes a view, it never counts as modified, and Save As
// copies the file byte for byte.
TEST_F(FileViewTest, AViewCannotBeChangedAndSaveAsCopiesTheFile)
{
    OpenLog(600 * 1024);
    std::u16string before = ControlText();
    SendMessageA(Editor(), EM_SETSEL, 0, 0);
    SendMessageA(Editor(), WM_CHAR, 'x', 0);
    SendMessageA(Editor(), WM_KEYDOWN, VK_DELETE, 0);
    ASSERT_TRUE(OpenClipboard(0));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, 8);
    memcpy(GlobalLock(memory), "pasted", 7);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
    SendMessageA(Editor(), WM_PASTE, 0, 0);
    EditorControl.Paste();
    SendMessageA(Editor(), WM_CUT, 0, 0);
    EXPECT_TRUE(ControlText() == before);
    EXPECT_EQ(SendMessageA(Editor(), EM_GETMODIFY, 0, 0), 0);
    EXPECT_EQ(std::string(CurrentDocumentPath), path);

    std::string copy = path + ".copy";
    ASSERT_EQ(FileViewSaveCopy(parent, copy.c_str()), 1);
    EXPECT_EQ(ReadBytes(copy), ReadBytes(path));
    DeleteFileA(copy.c_str());

    // A file that fits is no view.
    CloseFileView();
    LoadMemoryLimit = MOST_CONTROL_BYTES;
    ASSERT_EQ(OpenDocument(parent, path.c_str()), 1);
    EXPECT_FALSE(IsFileViewOpen());
}

// Scrolling (the wheel, the scroll bar) moves no caret: when the lines shown come near
// the window's edge, the window moves with the first line shown staying first.
TEST_F(FileViewTest, ScrollingToTheWindowsEdgeBringsTheNextLines)
{
    OpenLog(1200 * 1024);
    FileViewIndexedLines(true);
    FileViewGotoLine(20000);
    const struct {
        const char *name;
        int lines;  // scrolled by: to the bottom, to the top
    } steps[] = {{"to the bottom", 1000000}, {"to the top", -1000000}};
    for (const auto &step : steps) {
        SCOPED_TRACE(step.name);
        FileOffset before = FileViewFirstLine();
        SendMessageA(Editor(), EM_LINESCROLL, 0, step.lines);
        LONG shown = (LONG)SendMessageA(Editor(), EM_GETFIRSTVISIBLELINE, 0, 0);
        FileOffset top = before + shown;
        ASSERT_TRUE(OnFileViewTimer(VIEW_SCROLL_TIMER));
        if (step.lines > 0) {
            EXPECT_GT(FileViewFirstLine(), before);
        } else {
            EXPECT_LT(FileViewFirstLine(), before);
        }
        LONG now = (LONG)SendMessageA(Editor(), EM_GETFIRSTVISIBLELINE, 0, 0);
        EXPECT_EQ(FileViewFirstLine() + now, top) << "the same line shown first";
        FileOffset line = 0, column = 0;
        FileViewPlace((LONG)SendMessageA(Editor(), EM_LINEINDEX, now, 0), &line, &column);
        EXPECT_EQ(line, top);
        std::u16string held = ControlText();
        size_t start = (size_t)SendMessageA(Editor(), EM_LINEINDEX, now, 0);
        EXPECT_TRUE(held.substr(start, lines[(size_t)top].size()) == lines[(size_t)top]);
    }
    EXPECT_FALSE(OnFileViewTimer(VIEW_SCROLL_TIMER + 1));
}

// The menu offers nothing that would change, format or print a view, and gives it all
// back for the next document.
TEST_F(FileViewTest, TheMenuOffersNothingThatWouldChangeAView)
{
    HMENU menu = LoadMenuA(GetModuleHandleA(0), MAKEINTRESOURCEA(IDM_EDITOR));
    ASSERT_TRUE(menu);
    OpenLog(300 * 1024);
    const struct {
        int id;
        bool inView;
    } items[] = {
        {IDC_TEXT_FORMAT, false}, {IDC_PASTE, false},      {IDC_UNDO, false},
        {IDC_SORT_LINES, false}, {IDC_PRINT, false},     {IDC_WRAP_WINDOW, false},
        {IDC_LINE_ENDS_LF, false}, {IDC_RICH_TEXT, false}, {IDC_FIND, true},
        {IDC_GOTO, true},       {IDC_SAVE_AS, true},     {IDC_OPEN, true},
        {IDC_SELECT_ALL, true},
    };
    auto enabled = [&](int id) {
        UINT state = GetMenuState(menu, id, MF_BYCOMMAND);
        EXPECT_NE(state, (UINT)-1) << id << " is in the menu";
        return !(state & MF_GRAYED);
    };
    UpdateMenuState(menu);
    for (const auto &item : items)
        EXPECT_EQ(enabled(item.id), item.inView) << item.id;
    CloseFileView();
    SendMessageA(Editor(), WM_SETTEXT, 0, (LPARAM) "text");
    UpdateMenuState(menu);
    for (int id : {IDC_TEXT_FORMAT, IDC_SORT_LINES, IDC_PRINT, IDC_WRAP_WINDOW, IDC_LINE_ENDS_LF})
        EXPECT_TRUE(enabled(id)) << id;
    DestroyMenu(menu);
}
