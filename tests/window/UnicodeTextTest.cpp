#include "EditorWindow.h"

class UnicodeTextTest : public EditorWindowTest {
protected:
    std::u16string Units()
    {
        size_t n = 0;
        char16_t *text = GetUnicodeText(Editor(), &n);
        std::u16string result = text ? std::u16string(text, n) : u"<null>";
        delete[] text;
        return result;
    }
};

// Latin, Greek, CJK, a character whose low byte is zero, an emoji (a surrogate pair)
// and a line that only looks like RTF.
static const std::u16string Mixed = u"caf\u00e9 \u03b1\u03b2 \u4e2d\u6587 \u0100\r\n{\\rtf1 x}\r\n\U0001F600 end";

TEST_F(UnicodeTextTest, StreamedTextComesBackUnitForUnit)
{
    for (int mode : {TEXT_PLAIN, TEXT_RICH}) {
        SetText("");
        EditorControl.SetTextMode(mode);
        StreamInUnicode(Editor(), Mixed.data(), Mixed.size());
        EXPECT_EQ(Units(), Mixed) << (char)mode;
    }
    // Longer than any one chunk, with line ends and pairs on every possible border.
    std::u16string big;
    for (int i = 0; i < 3000; ++i)
        big += i % 3 ? u"ab\r\n" : u"\U0001F600\u20ac";
    SetText("");
    EditorControl.SetTextMode(TEXT_PLAIN);
    StreamInUnicode(Editor(), big.data(), big.size());
    EXPECT_EQ(Units(), big);
}

TEST_F(UnicodeTextTest, ReplacingTheSelectionIsOneUndoAndStaysText)
{
    EditorControl.SetTextMode(TEXT_PLAIN);
    SetText("old text");
    SendMessageA(Editor(), EM_EMPTYUNDOBUFFER, 0, 0);
    EditorControl.SetSelection(0, -1);
    ReplaceSelectionUnicode(Editor(), Mixed.data(), Mixed.size());
    EXPECT_EQ(Units(), Mixed);
    SendMessageA(Editor(), EM_UNDO, 0, 0);
    EXPECT_EQ(Units(), u"old text");
}

TEST_F(UnicodeTextTest, ModeSwitchesKeepCharactersOutsideTheCodePage)
{
    EditorControl.SetTextMode(TEXT_PLAIN);
    StreamInUnicode(Editor(), Mixed.data(), Mixed.size());
    ASSERT_EQ(EditorControl.SetTextMode(TEXT_RICH), 1);
    EXPECT_EQ(Units(), Mixed);
    ASSERT_EQ(EditorControl.SetTextMode(TEXT_PLAIN), 1);
    EXPECT_EQ(Units(), Mixed);
}
