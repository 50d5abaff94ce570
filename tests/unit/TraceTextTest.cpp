// The output window's text rules: typed form, title line, packing of lines into blocks.
#include <gtest/gtest.h>

#include <string>

#include "app/TraceText.h"

TEST(TraceText, TypingKeepsPrintableBytesAndTabsAndBreaksAtLineFeeds)
{
    const struct { std::string in, typed; } cases[] = {
        {"abc\n", "abc\r"},
        {"a\tb\n\n", "a\tb\r\r"},
        {"cr\r\nlf", "cr\rlf"},                  // CR types nothing
        {std::string("\x01\x08\x1b" "x\x7f\xe9", 6), "x\x7f\xe9"},
        {"", ""},
    };
    for (const auto &c : cases) {
        std::string typed = "before";
        AppendTypedText(typed, c.in.data(), c.in.size());
        EXPECT_EQ(typed, "before" + c.typed) << c.in;
    }
}

TEST(TraceText, TheTitleIsTheLastWholeLine)
{
    const struct { const char *in, *title; } cases[] = {
        {"abc\n", "abc"},           {"no line feed", "no line feed"},
        {"first\nsecond\n", "second"}, {"first\npartial", "first"},
        {"a\nb\nc", "b"},           {"\n", ""},
        {"x\n\n", ""},              {"", ""},
    };
    for (const auto &c : cases) {
        size_t start = 99;
        size_t length = TitleLine(c.in, strlen(c.in), &start);
        EXPECT_EQ(std::string(c.in + start, length), c.title) << c.in;
    }
}

TEST(TraceText, BlocksHoldWholeLinesUpToTheBuffer)
{
    TraceBlock block = {{0}, 0};
    EXPECT_TRUE(AddTraceLine(block, "one", 3));
    EXPECT_TRUE(AddTraceLine(block, "", 0));
    EXPECT_TRUE(AddTraceLine(block, "two\0hidden", 10)) << "cut at the zero byte";
    EXPECT_EQ(std::string(block.text, block.used + 1), std::string("one\n\ntwo\n", 10));

    // Filling up: the text, a line feed per line and the zero stay within the buffer.
    std::string line(100, 'x');
    int lines = 3;
    while (AddTraceLine(block, line.data(), line.size()))
        ++lines;
    EXPECT_EQ(lines, 3 + (TRACE_LINE_SIZE - 1 - 9) / 101);
    EXPECT_LE(block.used + 1, (size_t)TRACE_LINE_SIZE);
    EXPECT_EQ(block.text[block.used - 1], '\n');
    EXPECT_EQ(block.text[block.used], 0);
    size_t before = block.used;
    EXPECT_FALSE(AddTraceLine(block, line.data(), line.size())) << "left as it was";
    EXPECT_EQ(block.used, before);
    EXPECT_TRUE(AddTraceLine(block, "y", 1)) << "a shorter line still fits";

    // An empty block takes even the longest line, cut as TracePrint cuts it.
    TraceBlock big = {{0}, 0};
    std::string longest(5000, 'L');
    EXPECT_TRUE(AddTraceLine(big, longest.data(), longest.size()));
    EXPECT_EQ(big.used, (size_t)TRACE_TEXT_MAX + 1);
    EXPECT_EQ(big.text[TRACE_TEXT_MAX], '\n');
    EXPECT_EQ(big.text[TRACE_TEXT_MAX + 1], 0);
    EXPECT_FALSE(AddTraceLine(big, "", 0));
}
