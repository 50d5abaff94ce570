#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "document/LongLines.h"

static std::string Repeat(const std::string &unit, size_t times)
{
    std::string text;
    for (size_t i = 0; i < times; ++i)
        text += unit;
    return text;
}

TEST(LongLines, RunBreaksCountTabsDigitsPunctuationAndScriptChanges)
{
    struct Case {
        std::string text;
        size_t breaks;
    } cases[] = {
        {"", 0},
        {"plain words and spaces", 0},
        {"a,b;c\td", 3},
        {"x = 12", 3},                         // "=", "1", "2"
        {"caf\xC3\xA9 au lait", 2},            // into the sequence and out of it once
        {"one,two\r\nthree,four,five", 2},     // the line with the most
        {"a,b\rc,d,e\nf", 2},                  // CR and LF alone end lines too
        {Repeat("a,", 5000) + "\r\n" + Repeat("word ", 9000), 5000},
    };
    for (const Case &c : cases)
        EXPECT_EQ(MostRunBreaks(c.text.data(), c.text.size()), c.breaks) << c.text.substr(0, 40);
    std::u16string wide = u"\u0431\u0443\u043a\u0432\u044b, x";
    EXPECT_EQ(MostRunBreaks(wide.data(), wide.size()), 2u);  // into Cyrillic, out at the comma
}

TEST(LongLines, OnlyLinesWithTooManyBreaksAreCutAndNothingElseChanges)
{
    std::string json = Repeat("{\"key\":[1,2,3],\"name\":\"value\"},", 1000);
    std::string words = Repeat("many words without breaks ", 2000);
    std::string text = "first line\r\n" + json + "\n" + words + "\rlast";
    std::string broken = BreakLongLines(text.data(), text.size());

    // The other lines, their line ends included, stay as they were.
    ASSERT_EQ(broken.compare(0, 12, "first line\r\n"), 0);
    size_t jsonEnd = broken.find("\n" + words + "\rlast");
    ASSERT_NE(jsonEnd, std::string::npos);
    EXPECT_EQ(jsonEnd + 1 + words.size() + 5, broken.size());
    // The JSON line became pieces of at most the set length, all of it there.
    std::string jsonPart = broken.substr(12, jsonEnd - 12), joined;
    size_t pieces = 0, longest = 0;
    for (size_t start = 0;;) {
        size_t at = jsonPart.find("\r\n", start);
        size_t end = at == std::string::npos ? jsonPart.size() : at;
        longest = std::max(longest, end - start);
        joined += jsonPart.substr(start, end - start);
        ++pieces;
        if (at == std::string::npos)
            break;
        start = at + 2;
    }
    EXPECT_EQ(joined, json);
    EXPECT_GE(pieces, json.size() / BROKEN_LINE_LENGTH);
    EXPECT_LE(longest, BROKEN_LINE_LENGTH);
    EXPECT_LE(MostRunBreaks(broken.data(), broken.size()), MOST_RUN_BREAKS);

    std::string fine = "a,b\r\n" + words;
    EXPECT_EQ(BreakLongLines(fine.data(), fine.size()), fine);
    EXPECT_FALSE(HasLinesTooLong(fine.data(), fine.size()));
    EXPECT_TRUE(HasLinesTooLong(text.data(), text.size()));

    // A line of plain words is cut only beyond its own limit of length.
    std::string plain(LONGEST_UNBROKEN_LINE, 'w');
    EXPECT_FALSE(HasLinesTooLong(plain.data(), plain.size()));
    plain += "w\r\nend";
    EXPECT_TRUE(HasLinesTooLong(plain.data(), plain.size()));
    broken = BreakLongLines(plain.data(), plain.size());
    EXPECT_EQ(broken.size(), plain.size() + 2 * (LONGEST_UNBROKEN_LINE / BROKEN_LINE_LENGTH));
    EXPECT_EQ(broken.compare(broken.size() - 5, 5, "\r\nend"), 0);
}

TEST(LongLines, CutsFallAfterASpaceAndNeverInsideACharacter)
{
    // Commas and spaces: each piece ends after a space.
    std::string prose = Repeat("one, two, three, four, ", 1000);
    std::string broken = BreakLongLines(prose.data(), prose.size());
    for (size_t at = broken.find("\r\n"); at != std::string::npos; at = broken.find("\r\n", at + 2))
        EXPECT_EQ(broken[at - 1], ' ') << at;

    // Nothing but two-byte UTF-8 letters after one comma each: no cut splits a sequence.
    std::string utf8 = Repeat(",\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 5000);
    broken = BreakLongLines(utf8.data(), utf8.size());
    EXPECT_NE(broken.size(), utf8.size());
    for (size_t at = broken.find("\r\n"); at != std::string::npos; at = broken.find("\r\n", at + 2))
        EXPECT_NE((unsigned char)broken[at + 2] & 0xC0, 0x80) << at;

    // 16-bit: a run of surrogate pairs is never cut between its halves.
    std::u16string wide;
    for (int i = 0; i < 5000; ++i)
        wide += u",\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600";
    std::u16string cut = BreakLongLines(wide.data(), wide.size());
    EXPECT_NE(cut.size(), wide.size());
    for (size_t at = cut.find(u"\r\n"); at != std::u16string::npos; at = cut.find(u"\r\n", at + 2))
        EXPECT_FALSE(cut[at + 2] >= 0xDC00 && cut[at + 2] <= 0xDFFF) << at;
}
