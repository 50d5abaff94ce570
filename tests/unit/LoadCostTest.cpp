#include <gtest/gtest.h>

#include <string>

#include "document/LoadCost.h"

// Characters, lines and runs as the control will hold them, whatever the encoding and
// however the file's blocks fall.
TEST(LoadCost, CountsCharactersLinesAndRunsInEveryEncoding)
{
    struct Case {
        const char *name;
        std::string bytes;
        CostEncoding encoding;
        double chars, lines, runs;
    } cases[] = {
        {"empty", "", COST_8BIT, 0, 0, 0},
        {"words", "ab cd", COST_8BIT, 5, 1, 0},
        {"digits each start a run", "a12b", COST_8BIT, 4, 1, 2},
        {"a line's first run is the line's", "1a", COST_8BIT, 2, 1, 0},
        {"CR LF is one end", "ab\r\ncd\r\n", COST_8BIT, 6, 2, 0},
        {"CR alone and LF alone", "a\rb\nc", COST_8BIT, 5, 3, 0},
        {"empty lines", "\n\n", COST_8BIT, 2, 2, 0},
        {"CR CR LF is two ends", "a\r\r\n", COST_8BIT, 3, 2, 0},
        {"log line", "[12:30] x=1\n", COST_8BIT, 12, 1, 8},
        {"UTF-8 sequences are one character", "\xD0\xB4\xD0\xB0 \xE2\x82\xAC", COST_UTF8, 4, 1, 0},
        {"8-bit high bytes are characters", "\xD0\xB4.", COST_8BIT, 3, 1, 1},
        {"UTF-16 LE", std::string("a\0\r\0\n\0" "1\0" "2\0", 10), COST_UTF16LE, 4, 2, 1},
        {"UTF-16 BE", std::string("\0a\0\r\0\n\0" "1\0" "2", 10), COST_UTF16BE, 4, 2, 1},
        {"a surrogate pair is one character", std::string("\x3D\xD8\x00\xDE", 4), COST_UTF16LE,
         1, 1, 0},
    };
    for (const Case &c : cases) {
        // Whole, and in every split into two blocks.
        for (size_t split = 0; split <= c.bytes.size(); ++split) {
            TextCostCounter counter(c.encoding);
            counter.Add((const unsigned char *)c.bytes.data(), split);
            counter.Add((const unsigned char *)c.bytes.data() + split, c.bytes.size() - split);
            TextCost cost = counter.Cost();
            EXPECT_EQ(cost.chars, c.chars) << c.name << " split at " << split;
            EXPECT_EQ(cost.lines, c.lines) << c.name << " split at " << split;
            EXPECT_EQ(cost.runs, c.runs) << c.name << " split at " << split;
        }
    }
    TextCost wide = CountTextCost(u"\u0434\u0430 1\r\n\U0001F600", 8);
    EXPECT_EQ(wide.chars, 6);
    EXPECT_EQ(wide.lines, 2);
    EXPECT_EQ(wide.runs, 1);
}

// The budget: what is left after what the load holds and the reserve, never above the cap.
TEST(LoadCost, BudgetIsWhatIsLeftWithinTheCap)
{
    const double MB = 1024.0 * 1024;
    struct Case {
        double left, held, most, budget;
    } cases[] = {
        {4096 * MB, 0, 384 * MB, 384 * MB},       // a 64-bit process: the cap
        {1000 * MB, 100 * MB, 384 * MB, 384 * MB},
        {500 * MB, 100 * MB, 384 * MB, 500 * MB - 100 * MB - ADDRESS_SPACE_RESERVE},
        {200 * MB, 100 * MB, 384 * MB, 0},         // nothing to spare
        {0, 0, 384 * MB, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ControlBudget(c.left, c.held, c.most), c.budget) << c.left / MB;
}

// A log costs the control several times what prose does (as measured), and a text that
// does not fit is given only as many characters as the budget pays for.
TEST(LoadCost, EstimateFollowsTheContentAndFitsTheBudget)
{
    std::string prose, log;
    while (prose.size() < 100000)
        prose += "the river carried a letter from morning to evening while nobody slept.\r\n";
    for (int i = 0; log.size() < 100000; ++i)
        log += "2026-12-09 03:56:" + std::to_string(10 + i % 50) +
               ".123 [worker-17] INFO /srv/app/h.cpp:12 request " + std::to_string(i) + "\r\n";
    TextCost proseCost = CountTextCost(prose.data(), prose.size());
    TextCost logCost = CountTextCost(log.data(), log.size());
    double prosePerChar = EstimatedControlBytes(proseCost) / proseCost.chars;
    double logPerChar = EstimatedControlBytes(logCost) / logCost.chars;
    EXPECT_GT(prosePerChar, 30);
    EXPECT_LT(prosePerChar, 100);
    EXPECT_GT(logPerChar, 250);
    EXPECT_LT(logPerChar, 600);

    double whole = EstimatedControlBytes(logCost);
    struct Case {
        double budget, chars;
    } cases[] = {
        {whole * 2, logCost.chars},
        {whole, logCost.chars},
        {whole / 2, logCost.chars / 2},
        {whole / 10, logCost.chars / 10},
        {0, 0},
    };
    for (const Case &c : cases)
        EXPECT_DOUBLE_EQ(CharactersThatFit(logCost, c.budget), c.chars) << c.budget;
}

// A cut text ends after a whole line; a text without line ends is cut where no CR LF
// or surrogate pair is split.
TEST(LoadCost, PrefixEndsAfterALineAndSplitsNoCharacter)
{
    struct Case {
        std::string text;
        size_t chars, prefix;
    } cases[] = {
        {"ab\ncd\nef", 7, 6},
        {"ab\ncd\nef", 6, 6},
        {"ab\ncd\nef", 5, 3},
        {"ab\ncd\nef", 2, 2},     // no line end within: cut in the line
        {"ab\ncd\nef", 8, 8},
        {"ab\ncd\nef", 100, 8},
        {"ab\r\ncd", 3, 2},        // CR LF: no end within 3, and it stays whole
        {"ab\r\ncd", 5, 4},
        {"a\rb", 2, 2},            // a CR alone ends a line
        {"abc\r\n", 4, 3},         // cut in the line, before the CR LF
        {"", 0, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FittingPrefix(c.text.data(), c.text.size(), c.chars), c.prefix)
            << c.text << " / " << c.chars;

    std::u16string wide = u"a\U0001F600b";
    EXPECT_EQ(FittingPrefix(wide.data(), wide.size(), 2), 1u);  // not inside the pair
    EXPECT_EQ(FittingPrefix(wide.data(), wide.size(), 3), 3u);
    std::u16string lines = u"\U0001F600\n\U0001F600\n";
    EXPECT_EQ(FittingPrefix(lines.data(), lines.size(), 5), 3u);
}
