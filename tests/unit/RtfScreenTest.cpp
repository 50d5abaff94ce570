#include <gtest/gtest.h>
#include <string.h>
#include <string>

#include "editor/RtfScreen.h"

namespace {

RtfScreenResult Screen(const std::string &text)
{
    return ScreenRtf(text.data(), text.size());
}

std::string Nested(int depth)
{
    return "{\\rtf1 " + std::string(depth - 1, '{') + "x" + std::string(depth - 1, '}') + "}";
}

}  // namespace

TEST(RtfScreenTest, EachLimitHoldsAtItsEdgeAndRefusesOneBeyond)
{
    const std::string word32(32, 'a'), name255(255, 'N');
    const struct { std::string text; RtfScreenResult expected; } cases[] = {
        {Nested(RTF_MAX_DEPTH), RTF_READABLE},
        {Nested(RTF_MAX_DEPTH + 1), RTF_TOO_DEEP},
        {Nested(20000), RTF_TOO_DEEP},
        {"{\\rtf1 \\" + word32 + " x}", RTF_READABLE},
        {"{\\rtf1 \\" + word32 + "a x}", RTF_LONG_CONTROL_WORD},
        {"{\\rtf1 \\fs2147483647 \\li-1234567890 x}", RTF_READABLE},
        {"{\\rtf1 \\fs12345678901 x}", RTF_LONG_PARAMETER},
        {"{\\rtf1{\\fonttbl{\\f0 " + name255 + ";}}x}", RTF_READABLE},
        {"{\\rtf1{\\fonttbl{\\f0 " + name255 + "N;}}x}", RTF_LONG_NAME},
        {"{\\rtf1{\\stylesheet{\\s1 " + name255 + "\\'e9;}}x}", RTF_LONG_NAME},
        // Names end at a semicolon or a control word; line ends do not end them.
        {"{\\rtf1{\\fonttbl{\\f0 " + name255 + ";}{\\f1 " + name255 + "}}x}", RTF_READABLE},
        {"{\\rtf1{\\fonttbl{\\f0 " + name255 + "\r\nN;}}x}", RTF_LONG_NAME},
        // Long text outside the two tables is ordinary text.
        {"{\\rtf1{\\fonttbl{\\f0 A;}}" + std::string(5000, 'x') + "}", RTF_READABLE},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Screen(c.text), c.expected) << c.text.substr(0, 80);
}

TEST(RtfScreenTest, ReadsTokensAsTheControlDoes)
{
    const struct { const char *text; RtfScreenResult expected; } cases[] = {
        // Escaped and hex braces open no group.
        {"{\\rtf1 \\{\\{\\{\\'7b\\'7b}", RTF_READABLE},
        // A hex escape swallows the next two characters, braces included.
        {"{\\rtf1 \\'{{x}", RTF_READABLE},
        // Reading stops where the outermost group closes, and at a zero byte.
        {"{\\rtf1 x}\\nestcell", RTF_READABLE},
        // A delimiter other than a space starts the next token.
        {"{\\rtf1 \\b{\\nestcell}}", RTF_NESTED_TABLE},
        // Text that the control reads as plain text passes as it stands.
        {"{\\RTF1 \\nestcell}", RTF_READABLE},
        {"plain {{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{", RTF_READABLE},
        {"{\\urtf1 \\nestcell}", RTF_NESTED_TABLE},
        {"", RTF_READABLE},
        {"{\\rtf", RTF_READABLE},
        {"{\\rtf1 \\", RTF_READABLE},
        {"{\\rtf1 \\'4", RTF_READABLE},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Screen(c.text), c.expected) << c.text;
    const std::string zero("{\\rtf1 x\0\\nestcell}", 19);
    EXPECT_EQ(Screen(zero), RTF_READABLE);
}

TEST(RtfScreenTest, RefusesNestedTables)
{
    const struct { const char *text; RtfScreenResult expected; } cases[] = {
        {"{\\rtf1 \\trowd\\cellx100 \\pard\\intbl\\itap1 a\\cell\\row}", RTF_READABLE},
        {"{\\rtf1 \\pard\\intbl\\itap2 a\\cell}", RTF_NESTED_TABLE},
        {"{\\rtf1 \\itap-2 a}", RTF_READABLE},
        {"{\\rtf1 a\\nestcell}", RTF_NESTED_TABLE},
        {"{\\rtf1 a\\nestrow}", RTF_NESTED_TABLE},
        {"{\\rtf1 {\\*\\nesttableprops\\trowd}}", RTF_NESTED_TABLE},
        {"{\\rtf1 \\nestcells \\nestrowx}", RTF_READABLE},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Screen(c.text), c.expected) << c.text;
}

TEST(RtfScreenTest, RefusesWhatTheControlWouldTakeTooLongToRead)
{
    auto repeat = [](const std::string &piece, int times) {
        std::string text;
        for (int k = 0; k < times; ++k)
            text += piece;
        return text;
    };
    const struct { std::string text; RtfScreenResult expected; } cases[] = {
        {"{\\rtf1 " + repeat("{x}", 59000) + "}", RTF_READABLE},
        {"{\\rtf1 " + repeat("{x}", 61000) + "}", RTF_TOO_SLOW},
        // Runs of one format cost only their groups; each change of format costs more.
        {"{\\rtf1 " + repeat("{\\b x}", 9000) + "}", RTF_READABLE},
        {"{\\rtf1 " + repeat("{\\b x}{\\i x}", 4500) + "}", RTF_TOO_SLOW},
        // One paragraph holds at most so many format changes.
        {"{\\rtf1 " + repeat("\\b x\\b0 x", 500) + "}", RTF_READABLE},
        {"{\\rtf1 " + repeat("\\b x\\b0 x", 501) + "}", RTF_TOO_SLOW},
        {"{\\rtf1 " + repeat("\\b x\\b0 x\\par ", 1001) + "}", RTF_READABLE},
        {"{\\rtf1 " + repeat("x\\par ", 29000) + "}", RTF_READABLE},
        {"{\\rtf1 " + repeat("x\\par ", 31000) + "}", RTF_TOO_SLOW},
        // Empty paragraphs cost as much as any, however they end: 300,000 of them in
        // one group (1.8 MB) kept the program from answering.
        {"{\\rtf1 {" + repeat("\\par\r\n", 300000) + "}}", RTF_TOO_SLOW},
        {"{\\rtf1 {" + repeat("\\\r\n", 31000) + "}}", RTF_TOO_SLOW},
        {"{\\rtf1 {" + repeat("\\\n", 31000) + "}}", RTF_TOO_SLOW},
        {"{\\rtf1 {" + repeat("\\\r\n", 29000) + "}}", RTF_READABLE},
        {"{\\rtf1 {" + repeat("\\sect\n", 31000) + "}}", RTF_TOO_SLOW},
        {"{\\rtf1 {" + repeat("\\page\n", 31000) + "}}", RTF_TOO_SLOW},
        {"{\\rtf1 {" + repeat("\\line", 1000000) + "}}", RTF_TOO_SLOW},
        // A picture's paragraph marks are read as paragraphs all the same.
        {"{\\rtf1 {\\pict " + repeat("\\par\r\n", 31000) + "}x}", RTF_TOO_SLOW},
        // Paragraph marks in groups the reader skips cost nothing.
        {"{\\rtf1 {\\*\\x " + repeat("\\par\r\n", 300000) + "}x}", RTF_READABLE},
        {"{\\rtf1 {\\info " + repeat("\\par\r\n", 300000) + "}x}", RTF_READABLE},
        // Characters made by words count as text.
        {"{\\rtf1 " + repeat("\\bullet", 8000000) + "}", RTF_TOO_SLOW},
        // Text costs too, a group for RTF_TEXT_COST characters.
        {"{\\rtf1 " + std::string(7000000, 'x') + "}", RTF_READABLE},
        {"{\\rtf1 " + std::string(8000000, 'x') + "}", RTF_TOO_SLOW},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Screen(c.text), c.expected) << c.text.substr(0, 40) << " " << c.text.size();
}

TEST(RtfScreenTest, MeasuresTheLongestLineAndParagraph)
{
    const struct { const char *text; size_t longest; } lines[] = {
        {"", 0}, {"abc", 3}, {"ab\r\nabcd\nx\r", 4}, {"\r\n\r\n", 0}, {"a\rbb\rccc", 3},
    };
    for (const auto &c : lines)
        EXPECT_EQ(LongestLine(c.text, strlen(c.text)), c.longest) << c.text;

    const struct { std::string text; size_t longest; } paragraphs[] = {
        {"{\\rtf1 abc\\par defgh}", 5},
        {"{\\rtf1{\\fonttbl{\\f0 " + std::string(100, 'A') + ";}}ab{\\*\\x hidden}}", 2},
        {"{\\rtf1 a\\b b\\b0 c}", 3 + 2 * RTF_GROUP_COST},
        {"{\\rtf1 " + std::string(20000, 'x') + "}", 20000},
        // Words and symbols that become one character each lengthen the paragraph.
        {"{\\rtf1 a\\tab\\bullet\\emdash\\u8364?\\~\\{\\}\\\\b}", 11},
        // Every way of ending a paragraph ends it.
        {"{\\rtf1 aa\\sect bbb\\page cc\\\r\nd\\\ne}", 3},
    };
    for (const auto &c : paragraphs) {
        size_t longest = 0;
        ScreenRtf(c.text.data(), c.text.size(), &longest);
        EXPECT_EQ(longest, c.longest) << c.text.substr(0, 40);
    }
    std::string two = "{\\rtf1 aa\\par bbb}";
    double squares = 0;
    ScreenRtf(two.data(), two.size(), 0, &squares);
    EXPECT_EQ(squares, 4 + 9);
}
