// The Text Format dialog in the real program: opened with Ctrl+T on a selection,
// changed as a user would, and the selection's format read back.
#include <gtest/gtest.h>

#include "Driver.h"
#include <commctrl.h>
#include <richedit.h>
#include <string>

namespace {

class TextFormatTest : public ::testing::Test {
protected:
    RunningProgram program = {};
    HWND editor = 0, toolbar = 0, dialog = 0;

    void SetUp() override
    {
        ClearSection("win.ini", "OrvelloWord");
        program = StartProgram("", "OrvelloWord");
        ASSERT_TRUE(program.main);
        editor = FindChild(program.main, "RichEdit20A");
        toolbar = FindChild(program.main, "ToolbarWindow32");
    }

    void TearDown() override
    {
        SendMessageA(editor, EM_SETMODIFY, FALSE, 0);
        CloseProgram(program);
        ClearSection("win.ini", "OrvelloWord");
    }

    HWND OpenDialog()
    {
        PressKey(program.main, 'T', VK_CONTROL);
        return dialog = WaitForDialog("Paragraph Format");
    }
    LRESULT Send(int id, UINT message, WPARAM w = 0, LPARAM l = 0)
    {
        return SendMessageA(GetDlgItem(dialog, id), message, w, l);
    }
    void Choose(int id, const char *text)
    {
        Send(id, CB_SETCURSEL, Send(id, CB_FINDSTRINGEXACT, -1, (LPARAM)text));
    }
    // The field's edit (a combo's own edit), its text selected, to be typed over.
    HWND Edit(int id)
    {
        HWND edit = FindWindowExA(GetDlgItem(dialog, id), 0, "Edit", 0);
        edit = edit ? edit : GetDlgItem(dialog, id);
        SendMessageA(edit, EM_SETSEL, 0, -1);
        return edit;
    }
    void Type(HWND window, const std::string &text)
    {
        SendMessageA(window, WM_CHAR, VK_BACK, 0);
        for (char c : text)
            SendMessageA(window, WM_CHAR, (unsigned char)c, 0);
    }
    void Paste(int id, const std::string &text)
    {
        ASSERT_TRUE(SetClipboardText(text.c_str()));
        SendMessageA(Edit(id), WM_PASTE, 0, 0);
    }
    std::string Text(int id) { return WindowText(GetDlgItem(dialog, id)); }
    // Presses OK and answers the refusal, which must mention the field.
    bool Refused(const char *field)
    {
        PressButton(dialog, IDOK);
        HWND box = WaitForMessageBox("OrvelloWord", field);
        PressButton(box, IDOK);
        return box && WaitForGone(box);
    }
    bool Pressed(int id) { return SendMessageA(toolbar, TB_ISBUTTONCHECKED, id, 0) != 0; }
};

}  // namespace

TEST_F(TextFormatTest, CtrlTFormatsTheSelectionAndRefusesWhatTheControlCannotTake)
{
    Type(editor, "format me, not me");
    SendMessageA(editor, EM_SETSEL, 0, 9);
    ASSERT_TRUE(OpenDialog());
    EXPECT_EQ(Text(1013), "10");
    EXPECT_EQ(Send(1008, BM_GETCHECK), BST_UNCHECKED);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, 1014)));

    Send(1008, BM_SETCHECK, BST_CHECKED);
    Send(1009, BM_SETCHECK, BST_CHECKED);
    // Pasting 1,000 characters stops at the fields' limits (the face box also where
    // its text no longer fits); the size left is still too big.
    Paste(1011, std::string(1000, 'F'));
    Paste(1013, std::string(1000, '1'));
    std::string face = Text(1011);
    EXPECT_TRUE(face.size() >= 20 && face.size() <= 31) << face;
    EXPECT_EQ(Text(1013), "11111");
    Choose(1014, "Superscript");
    Choose(1006, "Center");
    Choose(1007, "On");
    Type(Edit(1002), "0.5\"");
    Type(Edit(1004), "-0.25\"");
    Type(Edit(1003), "100\"");
    Type(Edit(1005), "1\",2.5\"");
    EXPECT_TRUE(Refused("size"));
    Type(Edit(1013), "11");
    EXPECT_TRUE(Refused("indentation"));
    Type(Edit(1003), "1\"");
    PressButton(dialog, IDOK);
    ASSERT_TRUE(WaitForGone(dialog));

    EXPECT_EQ(SendMessageA(editor, EM_GETTEXTMODE, 0, 0) & 3, TM_RICHTEXT);
    EXPECT_TRUE(Pressed(40026) && Pressed(40030) && Pressed(40033));  // Bold, Center, Bullets
    HWND sizeCombo = FindWindowExA(toolbar, 0, "ComboBox", 0);
    EXPECT_EQ(WindowText(FindWindowExA(toolbar, sizeCombo, "ComboBox", 0)), face);

    // Read back through the dialog, which starts from the selection's format.
    SendMessageA(editor, EM_SETSEL, 1, 3);
    ASSERT_TRUE(OpenDialog());
    EXPECT_EQ(Send(1008, BM_GETCHECK) + 2 * Send(1009, BM_GETCHECK), 3);
    EXPECT_EQ(Send(1010, BM_GETCHECK), BST_UNCHECKED);
    EXPECT_EQ(Send(1014, CB_GETCURSEL) * 100 + Send(1006, CB_GETCURSEL) * 10 +
                  Send(1007, CB_GETCURSEL), 232);  // Superscript, Center, On
    EXPECT_EQ(Text(1013) + "|" + Text(1002) + "|" + Text(1004) + "|" + Text(1003) + "|" + Text(1005),
              "11|0.5\"|-0.25\"|1\"|1\",2.5\"");
    PressButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitForGone(dialog));
    SendMessageA(editor, EM_SETSEL, 12, 14);  // outside the selection: not bold
    EXPECT_FALSE(Pressed(40026));
}
