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
        ASSERT_TRUE(editor && toolbar);
    }

    void TearDown() override
    {
        if (dialog && IsWindow(dialog))
            PressButton(dialog, IDCANCEL);
        SendMessageA(editor, EM_SETMODIFY, FALSE, 0);
        CloseProgram(program);
        ClearSection("win.ini", "OrvelloWord");
    }

    HWND OpenDialog()
    {
        PressKey(program.main, 'T', VK_CONTROL);
        return dialog = WaitForDialog("Paragraph Format");
    }

    HWND Item(int id) { return GetDlgItem(dialog, id); }
    LRESULT Send(int id, UINT message, WPARAM w = 0, LPARAM l = 0)
    {
        return SendMessageA(Item(id), message, w, l);
    }
    void Choose(int id, const char *text)
    {
        Send(id, CB_SETCURSEL, Send(id, CB_FINDSTRINGEXACT, -1, (LPARAM)text));
    }
    // Replaces the text of an edit, or of a combo's edit, by typing it.
    void TypeInto(int id, const std::string &text)
    {
        HWND edit = FindWindowExA(Item(id), 0, "Edit", 0);
        edit = edit ? edit : Item(id);
        SendMessageA(edit, EM_SETSEL, 0, -1);
        SendMessageA(edit, WM_CHAR, VK_BACK, 0);
        for (char c : text)
            SendMessageA(edit, WM_CHAR, (unsigned char)c, 0);
    }
    void PasteInto(int id, const std::string &text)
    {
        ASSERT_TRUE(OpenClipboard(0));
        EmptyClipboard();
        HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
        memcpy(GlobalLock(data), text.c_str(), text.size() + 1);
        GlobalUnlock(data);
        SetClipboardData(CF_TEXT, data);
        CloseClipboard();
        HWND edit = FindWindowExA(Item(id), 0, "Edit", 0);
        SendMessageA(edit, EM_SETSEL, 0, -1);
        SendMessageA(edit, WM_PASTE, 0, 0);
    }
    void SetText(int id, const std::string &text)
    {
        HWND edit = FindWindowExA(Item(id), 0, "Edit", 0);
        SendMessageA(edit ? edit : Item(id), WM_SETTEXT, 0, (LPARAM)text.c_str());
    }
    std::string Text(int id) { return WindowText(Item(id)); }
    bool Pressed(int id) { return SendMessageA(toolbar, TB_ISBUTTONCHECKED, id, 0) != 0; }
};

}  // namespace

TEST_F(TextFormatTest, CtrlTFormatsTheSelectionAndRefusesWhatTheControlCannotTake)
{
    for (char c : std::string("format me, not me"))
        SendMessageA(editor, WM_CHAR, (unsigned char)c, 0);
    SendMessageA(editor, EM_SETSEL, 0, 9);
    ASSERT_TRUE(OpenDialog());
    EXPECT_EQ(Text(1013), "10");
    EXPECT_EQ(Send(1008, BM_GETCHECK), BST_UNCHECKED);
    EXPECT_TRUE(IsWindowEnabled(Item(1014)));

    Send(1008, BM_SETCHECK, BST_CHECKED);
    Send(1009, BM_SETCHECK, BST_CHECKED);
    // Pasting stops at the fields' limits; what is left of the size is still too big.
    PasteInto(1011, std::string(1000, 'F'));
    PasteInto(1013, std::string(1000, '1'));
    // The face box also stops where its text no longer fits the box.
    std::string face = Text(1011);
    EXPECT_TRUE(face.size() >= 20 && face.size() <= 31) << face;
    EXPECT_EQ(Text(1013), "11111");
    Choose(1014, "Superscript");
    Choose(1006, "Center");
    Choose(1007, "On");
    TypeInto(1002, "0.5\"");
    TypeInto(1004, "-0.25\"");
    SetText(1003, "100\"");
    TypeInto(1005, "1\",2.5\"");
    PressButton(dialog, IDOK);
    // Each refusal names the field and keeps the dialog open.
    HWND box = WaitForDialog("OrvelloWord");
    ASSERT_TRUE(box);
    EXPECT_NE(WindowText(GetDlgItem(box, 0xFFFF)).find("size"), std::string::npos);
    PressButton(box, IDOK);
    Pause(300);
    TypeInto(1013, "11");
    PressButton(dialog, IDOK);
    ASSERT_TRUE(box = WaitForDialog("OrvelloWord"));
    EXPECT_NE(WindowText(GetDlgItem(box, 0xFFFF)).find("indentation"), std::string::npos);
    PressButton(box, IDOK);
    Pause(300);
    TypeInto(1003, "1\"");
    PressButton(dialog, IDOK);
    Pause(500);
    ASSERT_FALSE(IsWindow(dialog));

    EXPECT_EQ(SendMessageA(editor, EM_GETTEXTMODE, 0, 0) & 3, TM_RICHTEXT);
    EXPECT_TRUE(Pressed(40026));  // Bold
    EXPECT_TRUE(Pressed(40030));  // Center
    EXPECT_TRUE(Pressed(40033));  // Bullets
    HWND fontCombo = FindWindowExA(toolbar, FindWindowExA(toolbar, 0, "ComboBox", 0), "ComboBox", 0);
    EXPECT_EQ(WindowText(fontCombo), face);

    // Read back through the dialog, which starts from the selection's format.
    SendMessageA(editor, EM_SETSEL, 1, 3);
    ASSERT_TRUE(OpenDialog());
    EXPECT_EQ(Send(1008, BM_GETCHECK), BST_CHECKED);
    EXPECT_EQ(Send(1009, BM_GETCHECK), BST_CHECKED);
    EXPECT_EQ(Send(1010, BM_GETCHECK), BST_UNCHECKED);
    EXPECT_EQ(Text(1013), "11");
    EXPECT_EQ(Send(1014, CB_GETCURSEL), 2);
    EXPECT_EQ(Send(1006, CB_GETCURSEL), 3);
    EXPECT_EQ(Send(1007, CB_GETCURSEL), 2);
    EXPECT_EQ(Text(1002), "0.5\"");
    EXPECT_EQ(Text(1004), "-0.25\"");
    EXPECT_EQ(Text(1003), "1\"");
    EXPECT_EQ(Text(1005), "1\",2.5\"");
    PressButton(dialog, IDCANCEL);
    Pause(300);

    // Text outside the selection kept its format.
    SendMessageA(editor, EM_SETSEL, 12, 14);
    EXPECT_FALSE(Pressed(40026));
}
