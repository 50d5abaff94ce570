// Where the output window cuts when it drops its oldest lines.
#include <gtest/gtest.h>

#include <string>

#include "app/OutputTrim.h"

// n lines "line k" (from first), each ending with a CR as the control ends them.
static std::u16string Lines(int first, int n)
{
    std::u16string text;
    for (int k = first; k < first + n; ++k) {
        std::string line = "line " + std::to_string(k) + "\r";
        text.append(line.begin(), line.end());
    }
    return text;
}

TEST(OutputTrim, ATrimIsDueOnlyPastTheLimitAndItsTenth)
{
    const struct { long long lines, chars, maxLines, budget; bool due; } cases[] = {
        {100, 1000, 100, 0, false},     {110, 1000, 100, 0, false},
        {111, 1000, 100, 0, true},      {5, 10, 0, 0, false},  // 0 keeps everything
        {1000000, 1, 0, 0, false},      {3, 3, 1, 0, true},    // slack at least one
        {2, 2, 1, 0, false},            {50000, 0, 50000, 0, false},
        {55000, 0, 50000, 0, false},    {55001, 0, 50000, 0, true},
        // The cost budget: lines * LINE_COST + chars * CHAR_COST against budget + a tenth.
        {1, 100, 0, LINE_COST + 100 * CHAR_COST, false},
        {10, 1000, 0, 9 * LINE_COST, true},
        {10, 0, 0, 10 * LINE_COST, false},
        {11, 0, 0, 10 * LINE_COST, false},
        {12, 0, 0, 10 * LINE_COST, true},
    };
    for (const auto &c : cases) {
        TrimLimits limits = {c.maxLines, c.budget};
        EXPECT_EQ(TrimDue(c.lines, c.chars, limits), c.due)
            << c.lines << " lines, " << c.chars << " chars, limit " << c.maxLines << ", budget "
            << c.budget;
    }
}

TEST(OutputTrim, CountsLineEndsAndALastLineWithoutOne)
{
    const struct { std::u16string text; long long lines; } cases[] = {
        {u"", 0}, {u"a", 1}, {u"a\r", 1}, {u"a\rb", 2}, {u"\r\r", 2}, {Lines(1, 250), 250},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CountLines(c.text.data(), c.text.size()), c.lines);
}

// The kept text is an unbroken run of the newest lines, ending with the last one, and
// holding at least the limit (a batch: never one line at a time).
TEST(OutputTrim, KeepsAnUnbrokenRunOfTheNewestLines)
{
    const struct { int lines, maxLines; long long drop; } cases[] = {
        {111, 100, 11}, {110, 100, 0}, {1000, 100, 900}, {55001, 50000, 5001},
        {3, 1, 2},      {50, 0, 0},
    };
    for (const auto &c : cases) {
        std::u16string text = Lines(1, c.lines);
        TrimLimits limits = {c.maxLines, 0};
        size_t cut = 99;
        long long drop = LinesToDrop(text.data(), text.size(), limits, &cut);
        EXPECT_EQ(drop, c.drop) << c.lines << " lines, limit " << c.maxLines;
        EXPECT_TRUE(text.substr(cut) == Lines((int)drop + 1, c.lines - (int)drop))
            << c.lines << " lines, limit " << c.maxLines;
    }
}

TEST(OutputTrim, ALastLineWithoutItsEndStaysWhole)
{
    std::u16string text = Lines(1, 12) + u"partial";
    TrimLimits limits = {10, 0};
    size_t cut = 0;
    EXPECT_EQ(LinesToDrop(text.data(), text.size(), limits, &cut), 3);
    EXPECT_EQ(text.substr(cut), Lines(4, 9) + u"partial");
}

TEST(OutputTrim, TheBudgetDropsMoreOfLongLinesButNeverTheNewest)
{
    // 100 lines of 200 characters under a budget of 50 such lines: a tenth over is due,
    // and the cut leaves no more than the budget.
    std::u16string line(199, u'x');
    line += u'\r';
    std::u16string text;
    for (int k = 0; k < 100; ++k)
        text += line;
    long long lineCost = TextCost(1, 200);
    const struct { long long maxLines, budgetLines, kept; } cases[] = {
        {0, 50, 50}, {80, 50, 50}, {30, 50, 30}, {0, 95, 100}, {0, 1, 1}, {0, 0, 100},
    };
    for (const auto &c : cases) {
        TrimLimits limits = {c.maxLines, c.budgetLines * lineCost};
        size_t cut = 0;
        long long drop = LinesToDrop(text.data(), text.size(), limits, &cut);
        EXPECT_EQ(100 - drop, c.kept) << c.maxLines << " / " << c.budgetLines;
        EXPECT_EQ(cut, (size_t)drop * 200);
    }
    // One line over any budget still stays.
    std::u16string one = line;
    TrimLimits tiny = {0, 1};
    size_t cut = 5;
    EXPECT_EQ(LinesToDrop(one.data(), one.size(), tiny, &cut), 0);
    EXPECT_EQ(cut, 0u);
}

TEST(OutputTrim, AfterAShortageThreeQuartersStay)
{
    const struct { long long lines, maxLines, limit; } cases[] = {
        {1000, 0, 750}, {1000, 500, 500}, {1000, 900, 750}, {1, 0, 1}, {0, 0, 1}, {4, 0, 3},
    };
    for (const auto &c : cases)
        EXPECT_EQ(LimitAfterShortage(c.lines, c.maxLines), c.limit) << c.lines << "/" << c.maxLines;
}

TEST(OutputTrim, PositionsMoveUpWithTheirWords)
{
    const struct { long long position, cut, kept; } cases[] = {
        {100, 40, 60}, {40, 40, 0}, {39, 40, 0}, {0, 0, 0}, {5, 0, 5},
    };
    for (const auto &c : cases)
        EXPECT_EQ(KeptPosition(c.position, c.cut), c.kept);
}
