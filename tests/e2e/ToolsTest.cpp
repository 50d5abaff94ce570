// Find / Replace, Find Next, Goto Line and Line Sort in the real program.
#include <gtest/gtest.h>

#include "EditorProgram.h"
#include "Driver.h"
#include <richedit.h>

namespace {

class ToolsTest : public EditorProgramTest {
protected:
    void Command(int id) { PostMessageA(program.main, WM_COMMAND, id, 0); }
    CHARRANGE Selection()
    {
        CHARRANGE range = {-2, -2};
        DWORD start = 0, end = 0;
        SendMessageA(editor, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
        range.cpMin = start;
        range.cpMax = end;
        return range;
    }
    // Presses a button of the next message box; returns its message.
    std::string Answer(int button)
    {
        HWND box = WaitForDialog("OrvelloWord");
        if (!box)
            return "<no box>";
        std::string text = MessageText(box);
        PressButton(box, button);
        Pause(300);
        return text;
    }
};

}  // namespace

TEST_F(ToolsTest, F3FirstOpensTheDialogWhichReplacesAll)
{
    SendMessageA(editor, WM_SETTEXT, 0, (LPARAM) "aaa");
    PostMessageA(editor, WM_KEYDOWN, VK_F3, 0);
    HWND dialog = WaitForDialog("Find / Replace");
    ASSERT_TRUE(dialog);
    SendMessageA(GetDlgItem(dialog, 1021), WM_SETTEXT, 0, (LPARAM) "a");
    SendMessageA(GetDlgItem(dialog, 1022), WM_SETTEXT, 0, (LPARAM) "aa");
    PressButton(dialog, 1029);
    EXPECT_EQ(Answer(IDOK), "3 items replaced.");
    EXPECT_EQ(WindowText(editor), "aaaaaa");
    // One Undo takes all of it back.
    Command(40017);
    Pause(300);
    EXPECT_EQ(WindowText(editor), "aaa");

    // Ctrl+F with the dialog open only brings it to the front; F3 now searches.
    Command(40019);
    Pause(300);
    EXPECT_EQ(WaitForDialog("Find / Replace", 500), dialog);
    SendMessageA(editor, EM_SETSEL, 0, 0);
    PostMessageA(editor, WM_KEYDOWN, VK_F3, 0);
    Pause(300);
    EXPECT_EQ(Selection().cpMin, 0);
    EXPECT_EQ(Selection().cpMax, 1);
    PressButton(dialog, IDCANCEL);
    Pause(300);
    EXPECT_FALSE(IsWindow(dialog));
}

TEST_F(ToolsTest, GotoAndSortFromTheMenu)
{
    SendMessageA(editor, WM_SETTEXT, 0, (LPARAM) "pear\r\n{\\rtf1 apple}\r\nfig");
    Command(40021);
    HWND dialog = WaitForDialog("Goto Line");
    ASSERT_TRUE(dialog);
    SendMessageA(GetDlgItem(dialog, 1001), WM_SETTEXT, 0, (LPARAM) "3");
    PressButton(dialog, IDOK);
    Pause(300);
    EXPECT_EQ(Selection().cpMin, 19);

    Command(40045);
    dialog = WaitForDialog("Line Sort");
    ASSERT_TRUE(dialog);
    PressButton(dialog, 1033);
    Pause(100);
    PressButton(dialog, IDOK);
    Pause(500);
    EXPECT_EQ(WindowText(editor), "fig\r\npear\r\n{\\rtf1 apple}\r\n");
    EXPECT_NE(SendMessageA(editor, EM_GETMODIFY, 0, 0), 0);
}

TEST_F(ToolsTest, ALongSortFromTheMenuIsTakenBackByUndo)
{
    std::string lines;
    for (int i = 20000; i > 0; --i)
        lines += "line " + std::to_string(i) + "\r\n";
    SendMessageA(editor, WM_SETTEXT, 0, (LPARAM)lines.c_str());
    SendMessageA(editor, EM_SETMODIFY, FALSE, 0);
    Command(40045);
    HWND dialog = WaitForDialog("Line Sort");
    ASSERT_TRUE(dialog);
    PressButton(dialog, IDOK);
    ASSERT_TRUE(WaitForGone(dialog));
    ASSERT_TRUE(WaitForTextLength(program.main, (int)lines.size()));
    editor = FindChild(program.main, "RichEdit20A");  // a long text goes with its control
    EXPECT_EQ(LongWindowText(editor, 32), "line 1\r\nline 10\r\nline 100\r\nline ");
    EXPECT_NE(SendMessageA(editor, EM_GETMODIFY, 0, 0), 0);

    Command(40017);  // Edit > Undo
    std::string text;
    for (DWORD start = GetTickCount(); text != lines && GetTickCount() - start < 10000; Sleep(100)) {
        ASSERT_TRUE(Answers(program.main, 10000));
        editor = FindChild(program.main, "RichEdit20A");
        text = LongWindowText(editor, lines.size() + 8);
    }
    EXPECT_TRUE(text == lines) << text.size() << " characters: " << text.substr(0, 40);
    EXPECT_EQ(SendMessageA(editor, EM_GETMODIFY, 0, 0), 0);
}
