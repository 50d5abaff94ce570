// Commands of the real program, sent the way its toolbar and menus send them.
#include <gtest/gtest.h>

#include "Driver.h"
#include <commctrl.h>
#include <richedit.h>

namespace {

class CommandsTest : public ::testing::Test {
protected:
    RunningProgram program = {};
    HWND editor = 0, toolbar = 0, status = 0, sizeCombo = 0;

    void SetUp() override
    {
        ClearSection("win.ini", "OrvelloWord");
        program = StartProgram("", "OrvelloWord");
        ASSERT_TRUE(program.main);
        editor = FindChild(program.main, "RichEdit20A");
        toolbar = FindChild(program.main, "ToolbarWindow32");
        status = FindChild(program.main, "msctls_statusbar32");
        sizeCombo = FindWindowExA(toolbar, 0, "ComboBox", 0);
        ASSERT_TRUE(editor && toolbar && status && sizeCombo);
    }

    void TearDown() override
    {
        if (!program.process.hProcess)
            return;
        SendMessageA(editor, EM_SETMODIFY, FALSE, 0);
        CloseProgram(program);
        ClearSection("win.ini", "OrvelloWord");
    }

    // As the keyboard types it: Enter arrives as a key, the rest as characters.
    void Type(const char *text)
    {
        for (; *text; ++text) {
            if (*text == '\r') {
                SendMessageA(editor, WM_KEYDOWN, VK_RETURN, 0);
                SendMessageA(editor, WM_KEYUP, VK_RETURN, 0xC0000000);
            } else {
                SendMessageA(editor, WM_CHAR, (unsigned char)*text, 0);
            }
        }
    }

    void Select(int start, int end) { SendMessageA(editor, EM_SETSEL, start, end); }

    void Toolbar(int id) { SendMessageA(program.main, WM_COMMAND, id, (LPARAM)toolbar); }

    bool Pressed(int id) { return SendMessageA(toolbar, TB_ISBUTTONCHECKED, id, 0) != 0; }
};

}  // namespace

TEST_F(CommandsTest, BoldFromTheToolbarMakesAPlainDocumentRich)
{
    Type("make me bold");
    EXPECT_EQ(SendMessageA(editor, EM_GETTEXTMODE, 0, 0) & 3, TM_PLAINTEXT);
    Select(0, 4);
    Toolbar(40026);
    EXPECT_EQ(SendMessageA(editor, EM_GETTEXTMODE, 0, 0) & 3, TM_RICHTEXT);
    EXPECT_EQ(WindowText(editor), "make me bold");
    Select(8, 12);
    EXPECT_FALSE(Pressed(40026));
    Select(1, 3);
    EXPECT_TRUE(Pressed(40026));
}

TEST_F(CommandsTest, SizeChosenInTheComboApplies)
{
    Type("abc def");
    Select(0, 3);
    int item = (int)SendMessageA(sizeCombo, CB_FINDSTRINGEXACT, -1, (LPARAM) "24");
    ASSERT_GE(item, 0);
    SendMessageA(sizeCombo, CB_SETCURSEL, item, 0);
    // What the combo's own drop-down sends when it closes, through the toolbar.
    SendMessageA(program.main, WM_COMMAND, MAKEWPARAM(0, CBN_CLOSEUP), (LPARAM)sizeCombo);
    EXPECT_EQ(SendMessageA(editor, EM_GETTEXTMODE, 0, 0) & 3, TM_RICHTEXT);
    Select(4, 7);
    EXPECT_EQ(WindowText(sizeCombo), "10");
    Select(1, 2);
    EXPECT_EQ(WindowText(sizeCombo), "24");
}

TEST_F(CommandsTest, StatusBarFollowsTheCaret)
{
    Type("one\rtwo\rthree");
    Select(9, 9);
    EXPECT_EQ(WindowText(status), "Ln 3, col 2");
    Select(0, 0);
    EXPECT_EQ(WindowText(status), "Ln 1, col 1");
}

TEST_F(CommandsTest, UndoRedoAndSelectAllThroughTheMenuIds)
{
    Type("abc");
    SendMessageA(program.main, WM_COMMAND, 40016, 0);  // Select All
    SendMessageA(program.main, WM_COMMAND, 40018, 0);  // Delete
    EXPECT_EQ(WindowText(editor), "");
    SendMessageA(program.main, WM_COMMAND, 40017, 0);  // Undo
    EXPECT_EQ(WindowText(editor), "abc");
    SendMessageA(program.main, WM_COMMAND, 40022, 0);  // Redo
    EXPECT_EQ(WindowText(editor), "");
}

TEST(OutputWindowCommands, AlwaysOnTopOffSendsTheWindowToTheBottom)
{
    ClearSection("win.ini", "OXR");
    WritePrivateProfileStringA("OXR", "Mode", "16", "win.ini");
    RunningProgram program = StartProgram("/oxr", "OXR");
    ASSERT_TRUE(program.main);
    EXPECT_TRUE(GetWindowLongA(program.main, GWL_EXSTYLE) & WS_EX_TOPMOST);
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                 200, 200, 0, 0, 0, 0);
    SendMessageA(program.main, WM_COMMAND, 40025, 0);
    EXPECT_FALSE(GetWindowLongA(program.main, GWL_EXSTYLE) & WS_EX_TOPMOST);
    bool belowOther = false;
    for (HWND w = GetWindow(other, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w == program.main)
            belowOther = true;
    EXPECT_TRUE(belowOther);
    DestroyWindow(other);
    ASSERT_TRUE(CloseProgram(program));
    EXPECT_EQ(ProfileText("win.ini", "OXR", "Mode"), "3");
    ClearSection("win.ini", "OXR");
}
