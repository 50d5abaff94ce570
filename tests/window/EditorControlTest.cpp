#include "EditorWindow.h"

#include <string.h>

class EditorControlTest : public EditorWindowTest {};

TEST_F(EditorControlTest, EveryOperationIsANoOpWithoutAControl)
{
    HWND editor = EditorControl.control;
    EditorControl.control = 0;
    EXPECT_EQ(EditorControl.GetTextMode(), 0);
    EXPECT_EQ(EditorControl.SetTextMode(TEXT_RICH), 0);
    EXPECT_EQ(EditorControl.GetText('p', LINE_END_CRLF), nullptr);
    EXPECT_EQ(EditorControl.SetSelection(0, -1), 0);
    EXPECT_EQ(EditorControl.GetWrapMode(), 0);
    EditorControl.SetWrapMode(WRAP_NONE, 0);
    EXPECT_EQ(EditorControl.lineWidth, 0);
    EXPECT_STREQ(EditorControl.GetEditState(), "");
    EXPECT_EQ(EditorControl.SetTextLimit(100), 0);
    EXPECT_EQ(EditorControl.GetFormatDescriptor(), nullptr);
    EXPECT_EQ(EditorControl.ApplyFormatDescriptor("b=1;"), 0);
    EditorControl.control = editor;
}

TEST_F(EditorControlTest, PlainTextInEachLineEndStyle)
{
    ASSERT_EQ(EditorControl.SetTextMode(TEXT_PLAIN), 1);
    EXPECT_EQ(Text('p'), "");
    char *empty = EditorControl.GetText('p', LINE_END_CRLF);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty[0], 0);
    delete[] empty;

    SetText("first\r\nsecond\r\n\r\nlast");
    EXPECT_EQ(Text('p'), "first\r\nsecond\r\n\r\nlast");
    EXPECT_EQ(Text('p', 13), "first\rsecond\r\rlast");
    EXPECT_EQ(Text('p', 10), "first\nsecond\n\nlast");
    EXPECT_EQ(Text(-1), "first\r\nsecond\r\n\r\nlast");  // current mode is plain
}

TEST_F(EditorControlTest, RichTextLargerThanTheFirstBuffer)
{
    ASSERT_EQ(EditorControl.SetTextMode(TEXT_RICH), 1);
    std::string text;
    for (int k = 0; k < 600; ++k)
        text += "line number " + std::to_string(k) + "\r\n";
    text += "the end";
    SetText(text.c_str());
    EditorControl.SetSelection(0, 4);
    EXPECT_EQ(EditorControl.ApplyFormatDescriptor("b=1;"), 1);

    std::string rtf = Text('r');
    EXPECT_GT(rtf.size(), 8192u);
    EXPECT_EQ(rtf.compare(0, 5, "{\\rtf"), 0);
    EXPECT_NE(rtf.find("line number 599"), std::string::npos);
    EXPECT_NE(rtf.find("the end"), std::string::npos);
    EXPECT_NE(rtf.find("\\b"), std::string::npos);
    EXPECT_EQ(rtf.find_last_not_of("\r\n\0", std::string::npos, 3), rtf.rfind('}'));
    EXPECT_EQ(Text(-1), rtf);  // current mode is rich
}

TEST_F(EditorControlTest, ModeSwitchKeepsCharactersAndSelection)
{
    ASSERT_EQ(EditorControl.SetTextMode(TEXT_PLAIN), 1);
    SetText("alpha beta\r\ngamma");
    EditorControl.SetSelection(2, 8);

    ASSERT_EQ(EditorControl.SetTextMode(TEXT_RICH), 1);
    EXPECT_EQ(EditorControl.GetTextMode(), TEXT_RICH);
    EXPECT_EQ(Text('p'), "alpha beta\r\ngamma");
    EXPECT_EQ(Selection().cpMin, 2);
    EXPECT_EQ(Selection().cpMax, 8);

    EditorControl.ApplyFormatDescriptor("b=1;");
    ASSERT_EQ(EditorControl.SetTextMode(TEXT_PLAIN), 1);
    EXPECT_EQ(EditorControl.GetTextMode(), TEXT_PLAIN);
    EXPECT_EQ(Text('p'), "alpha beta\r\ngamma");
    EXPECT_EQ(Selection().cpMin, 2);
    EXPECT_EQ(Selection().cpMax, 8);

    // The same mode again still round-trips.
    ASSERT_EQ(EditorControl.SetTextMode(TEXT_PLAIN), 1);
    EXPECT_EQ(Text('p'), "alpha beta\r\ngamma");
}

TEST_F(EditorControlTest, ModeSwitchKeepsTheModifiedFlag)
{
    EditorControl.SetTextMode(TEXT_PLAIN);
    SetText("unsaved");
    SendMessageA(Editor(), EM_SETMODIFY, TRUE, 0);
    EditorControl.SetTextMode(TEXT_RICH);
    EXPECT_NE(SendMessageA(Editor(), EM_GETMODIFY, 0, 0), 0);
    EditorControl.SetTextMode(TEXT_PLAIN);
    EXPECT_NE(SendMessageA(Editor(), EM_GETMODIFY, 0, 0), 0);

    SendMessageA(Editor(), EM_SETMODIFY, FALSE, 0);
    EditorControl.SetTextMode(TEXT_RICH);
    EXPECT_EQ(SendMessageA(Editor(), EM_GETMODIFY, 0, 0), 0);
    EditorControl.SetTextMode(TEXT_PLAIN);
    EXPECT_EQ(SendMessageA(Editor(), EM_GETMODIFY, 0, 0), 0);
}

TEST_F(EditorControlTest, PlainTextThatLooksLikeRtfStaysAsWritten)
{
    const char *source = "{\\rtf1\\ansi {\\b bold}}\r\nsecond line";
    EditorControl.SetTextMode(TEXT_PLAIN);
    // Put the characters in one by one, as typing would, so nothing reads them as RTF.
    for (const char *c = source; *c; ++c) {
        if (*c == '\n')
            continue;
        char one[2] = {*c, 0};
        SendMessageA(Editor(), EM_REPLACESEL, FALSE, (LPARAM)one);
    }
    ASSERT_EQ(Text('p'), source);

    EditorControl.SetTextMode(TEXT_RICH);
    EXPECT_EQ(Text('p'), source);
    EditorControl.SetTextMode(TEXT_PLAIN);
    EXPECT_EQ(Text('p'), source);
    EditorControl.SetTextMode(TEXT_PLAIN);
    EXPECT_EQ(Text('p'), source);
}

TEST_F(EditorControlTest, ModeSwitchOfAnEmptyDocument)
{
    ASSERT_EQ(EditorControl.SetTextMode(TEXT_RICH), 1);
    EXPECT_EQ(EditorControl.GetTextMode(), TEXT_RICH);
    EXPECT_EQ(Text('p'), "");
    ASSERT_EQ(EditorControl.SetTextMode(TEXT_PLAIN), 1);
    EXPECT_EQ(EditorControl.GetTextMode(), TEXT_PLAIN);
    EXPECT_EQ(Text('p'), "");
}

TEST_F(EditorControlTest, OtherModesAreRefused)
{
    EditorControl.SetTextMode(TEXT_PLAIN);
    SetText("keep me");
    EditorControl.SetSelection(1, 3);
    for (int mode : {(int)'x', (int)'R', 0, -1, 1, 2}) {
        EXPECT_EQ(EditorControl.SetTextMode(mode), 0) << mode;
        EXPECT_EQ(EditorControl.GetTextMode(), TEXT_PLAIN);
        EXPECT_EQ(Text('p'), "keep me");
        EXPECT_EQ(Selection().cpMin, 1);
        EXPECT_EQ(Selection().cpMax, 3);
    }
}

TEST_F(EditorControlTest, SelectionConventions)
{
    SetText("0123456789");
    // Select all takes the final paragraph mark too (Wine reports 11).
    int all = EditorControl.SetSelection(0, -1);
    EXPECT_TRUE(all == 10 || all == 11) << all;
    EXPECT_EQ(EditorControl.SetSelection(3, 7), 4);
    EXPECT_EQ(EditorControl.SetSelection(5, 5), 0);
    EXPECT_EQ(Selection().cpMin, 5);
    EXPECT_EQ(EditorControl.SetSelection(-1, -1), 0);
    EXPECT_EQ(Selection().cpMin, 10);
}

TEST_F(EditorControlTest, WrapWidthsInThousandthsAndTwips)
{
    EditorControl.SetWrapMode(WRAP_PAGE, 6500);
    EXPECT_EQ(EditorControl.GetWrapMode(), WRAP_PAGE);
    EXPECT_EQ(EditorControl.lineWidth, 9360);

    EditorControl.SetWrapMode(WRAP_PAGE, 0);  // no width: nothing changes
    EXPECT_EQ(EditorControl.lineWidth, 9360);

    EditorControl.SetWrapMode(-1, 0);  // apply again: 9360 -> 6500 -> 9360
    EXPECT_EQ(EditorControl.lineWidth, 9360);
    EXPECT_EQ(EditorControl.GetWrapMode(), WRAP_PAGE);

    EditorControl.SetWrapMode(WRAP_NONE, 0);
    EXPECT_EQ(EditorControl.lineWidth, 1);
    EXPECT_EQ(EditorControl.GetWrapMode(), WRAP_NONE);
    EditorControl.SetWrapMode(-1, 0);
    EXPECT_EQ(EditorControl.lineWidth, 1);

    EditorControl.SetWrapMode(WRAP_WINDOW, 0);
    EXPECT_EQ(EditorControl.lineWidth, 0);
    EXPECT_EQ(EditorControl.GetWrapMode(), WRAP_WINDOW);

    // A printer device formats for the printer; the screen setting stays.
    HDC screen = GetDC(Editor());
    EditorControl.SetWrapMode(WRAP_PAGE, 6000, screen);
    ReleaseDC(Editor(), screen);
    EXPECT_EQ(EditorControl.lineWidth, 0);

    // A stored value of no known mode wraps at the given width.
    EditorControl.SetWrapMode(50, 1000);
    EXPECT_EQ(EditorControl.lineWidth, 1440);
    EXPECT_EQ(EditorControl.GetWrapMode(), WRAP_PAGE);
    EXPECT_EQ(ScreenTwips(6000), 8640);
    EXPECT_EQ(ScreenTwips(1), 1);
}

TEST_F(EditorControlTest, WrapModesChangeHowTheControlBreaksLines)
{
    std::string line;
    for (int k = 0; k < 60; ++k)
        line += "word ";
    SetText(line.c_str());
    auto lines = [&] { return (int)SendMessageA(Editor(), EM_GETLINECOUNT, 0, 0); };

    EditorControl.SetWrapMode(WRAP_NONE, 0);
    EXPECT_EQ(lines(), 1);
    EditorControl.SetWrapMode(WRAP_WINDOW, 0);
    int windowLines = lines();
    EXPECT_GT(windowLines, 1);
    EditorControl.SetWrapMode(WRAP_PAGE, 1000);  // one inch
    EXPECT_GT(lines(), windowLines);
}

TEST_F(EditorControlTest, EditStateLetters)
{
    EmptyClipboardNow();
    SendMessageA(Editor(), EM_EMPTYUNDOBUFFER, 0, 0);
    EXPECT_STREQ(EditorControl.GetEditState(), "");

    SendMessageA(Editor(), EM_REPLACESEL, TRUE, (LPARAM) "hello");
    EXPECT_STREQ(EditorControl.GetEditState(), "u");
    EditorControl.SetSelection(0, 2);
    EXPECT_STREQ(EditorControl.GetEditState(), "cu");
    SendMessageA(Editor(), WM_COPY, 0, 0);
    EXPECT_STREQ(EditorControl.GetEditState(), "cpu");
    SendMessageA(Editor(), EM_UNDO, 0, 0);
    EditorControl.SetSelection(0, 0);
    EXPECT_STREQ(EditorControl.GetEditState(), "pr");
    EmptyClipboardNow();
}

TEST_F(EditorControlTest, TextLimitIsRaised)
{
    EXPECT_EQ(EditorControl.SetTextLimit(100000), 100000);
    EXPECT_EQ(EditorControl.SetTextLimit(32767 + 32768), 65535);
}

TEST_F(EditorControlTest, EmptyingALongDocumentGivesAFreshControlWithTheSameSettings)
{
    static HWND replacedBy = 0;
    void (*savedHook)(HWND, HWND) = OnEditorReplaced;
    OnEditorReplaced = [](HWND, HWND fresh) { replacedBy = fresh; };
    ASSERT_EQ(EditorControl.SetTextMode(TEXT_PLAIN), 1);
    EditorControl.SetWrapMode(WRAP_NONE, 0);
    SendMessageA(Editor(), EM_SETEVENTMASK, 0, ENM_SELCHANGE | ENM_CHANGE);
    EditorControl.SetTextLimit(5000000);
    CHARFORMAT2A font = {};
    font.cbSize = sizeof font;
    SendMessageA(Editor(), EM_GETCHARFORMAT, SCF_DEFAULT, (LPARAM)&font);

    // A few lines go the ordinary way, in the same control.
    HWND first = Editor();
    SetText("one\r\ntwo");
    EXPECT_EQ(EditorControl.Empty(), first);
    EXPECT_EQ(GetWindowTextLengthA(first), 0);

    std::string lines;
    for (int i = 0; i < EMPTY_BY_NEW_CONTROL + 500; ++i)
        lines += "line of the long document\r\n";
    SetText(lines.c_str());
    SendMessageA(Editor(), EM_SETSEL, 0, 4);
    SendMessageA(Editor(), EM_REPLACESEL, TRUE, (LPARAM) "LINE");
    SendMessageA(Editor(), EM_SETMODIFY, TRUE, 0);
    HWND fresh = EditorControl.Empty();
    EXPECT_NE(fresh, first);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(fresh, Editor());
    EXPECT_EQ(replacedBy, fresh);
    EXPECT_EQ(GetParent(fresh), parent);
    EXPECT_EQ(GetWindowTextLengthA(fresh), 0);
    EXPECT_EQ(SendMessageA(fresh, EM_GETMODIFY, 0, 0), 0);
    EXPECT_EQ(SendMessageA(fresh, EM_CANUNDO, 0, 0), 0);
    EXPECT_EQ(EditorControl.GetTextMode(), TEXT_PLAIN);
    EXPECT_EQ(EditorControl.GetWrapMode(), WRAP_NONE);
    EXPECT_EQ(SendMessageA(fresh, EM_GETEVENTMASK, 0, 0), ENM_SELCHANGE | ENM_CHANGE);
    EXPECT_EQ(SendMessageA(fresh, EM_GETLIMITTEXT, 0, 0), 5000000);
    CHARFORMAT2A now = {};
    now.cbSize = sizeof now;
    SendMessageA(fresh, EM_GETCHARFORMAT, SCF_DEFAULT, (LPARAM)&now);
    EXPECT_STREQ(now.szFaceName, font.szFaceName);
    EXPECT_EQ(now.yHeight, font.yHeight);
    RECT place;
    GetClientRect(fresh, &place);
    EXPECT_EQ(place.right > 500 && place.bottom > 300, true) << place.right << "x" << place.bottom;
    SendMessageA(fresh, EM_REPLACESEL, TRUE, (LPARAM) "typed");
    EXPECT_EQ(Text('p'), "typed");
    OnEditorReplaced = savedHook;
}
