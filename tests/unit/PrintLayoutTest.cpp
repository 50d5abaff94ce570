#include <gtest/gtest.h>

#include <string.h>
#include <vector>

#include "print/PageLayout.h"

namespace {

// Every character 100 twips wide, so the expected breaks can be counted by hand.
LineFit Fit(const wchar_t *text, int startX, int right, const int *tabs = 0, int tabCount = 0)
{
    int count = (int)wcslen(text);
    std::vector<int> advance(count, 100);
    return FitLine(text, advance.data(), count, startX, right, tabs, tabCount);
}

}  // namespace

TEST(PrintLayout, LinesBreakAfterTheLastWordThatFits)
{
    struct { const wchar_t *text; int startX, right; int length, width; } cases[] = {
        {L"one two three", 0, 1000, 8, 700},     // "one two " then "three"
        {L"one two three", 0, 1300, 13, 1300},   // all of it, exactly
        {L"one\rtwo", 0, 1000, 4, 300},          // a paragraph end ends the line
        {L"a\x0b" L"b", 0, 1000, 2, 100},        // so does a soft line end
        {L"abcdefghij", 0, 450, 4, 400},         // one long word is cut
        {L"abcdefghij", 0, 50, 1, 100},          // at least one character
        {L"ab      cd", 0, 300, 8, 200},         // spaces hang past the edge
        {L"one two", 300, 900, 4, 300},          // an indent takes room
    };
    for (const auto &c : cases) {
        LineFit fit = Fit(c.text, c.startX, c.right);
        EXPECT_EQ(fit.length, c.length) << c.right;
        EXPECT_EQ(fit.width, c.width) << c.right;
    }
    // Tabs go to the paragraph's stops, then to the default ones every half inch.
    const int stops[] = {250, 1000};
    LineFit tabbed = Fit(L"a\tb\tc\td", 0, 5000, stops, 2);
    EXPECT_EQ(tabbed.length, 7);
    EXPECT_EQ(tabbed.width, 1540);  // a, tab to 250, b, tab to 1000, c, tab to 1440, d
    EXPECT_EQ(NextTabStop(0, 0, 0), 720);
    EXPECT_EQ(NextTabStop(720, 0, 0), 1440);
}

TEST(PrintLayout, TrailingLineEndsLeaveTheRangeButNothingElse)
{
    struct { const wchar_t *text; int rangeEnd, expected; } cases[] = {
        {L"abc\r\r", 6, 3},      // the whole document, final mark included: both ends go
        {L"abc\r\r", -1, 3},     // "to the end"
        {L"abc\r\n\r\n", 7, 3},  // line feeds count the same
        {L"abc", 4, 3},          // past the end: clamped to the text
        {L"abc\rdef\r", 2, 2},   // a selection inside the text keeps its end
        {L"ab\rcd\r", 3, 3},     // even one ending in a line end
        {L"\r\r\r", 3, 0},       // only line ends: nothing to print
        {L"", -1, 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TrimmedRangeEnd(c.text, (int)wcslen(c.text), c.rangeEnd), c.expected) << c.rangeEnd;
}

TEST(PrintLayout, PageImagesShrinkInTenPercentStepsUntilTheGridHoldsThem)
{
    // Letter paper 8500 x 11000 in an area 600 x 400 pixels.
    struct { int width, height, pages; int imageWidth, imageHeight; } cases[] = {
        {600, 400, 1, 290, 376},  // full height: 376 x 8500 / 11000
        {600, 400, 2, 261, 338},  // one step: two across
        {600, 400, 4, 137, 178},  // six steps: four across
        {600, 400, 0, 290, 376},
        {30, 30, 50, 1, 3},       // tiny area: stops at one pixel instead of looping
        {600, 10, 1, 0, 0},       // no room for the number line: nothing to draw
    };
    for (const auto &c : cases) {
        int width = -1, height = -1;
        FitPageImages(c.width, c.height, 8500, 11000, c.pages, &width, &height);
        EXPECT_EQ(width, c.imageWidth) << c.pages;
        EXPECT_EQ(height, c.imageHeight) << c.pages;
        if (c.height >= 100 && c.pages > 0) {
            EXPECT_GE((c.width / (width + 12)) * (c.height / (height + 24)), c.pages);
        }
    }
}

TEST(PrintLayout, UnitsConvertAsThePageValuesNeed)
{
    EXPECT_EQ(ThousandthsToTwips(6000), 8640);   // the printable width at the start values
    EXPECT_EQ(ThousandthsToTwips(1250), 1800);
    EXPECT_EQ(ThousandthsToTwips(1), 1);          // 1.44 truncated
    EXPECT_EQ(ThousandthsToTwips(-1), -1);        // toward zero
    EXPECT_EQ(PixelsToTwips(300, 300), 1440);
    EXPECT_EQ(PixelsToTwips(7, 96), 105);
    EXPECT_EQ(PixelsToTwips(7, 0), 0);
    EXPECT_EQ(TwipsToDevice(1440, 300), 300);
    EXPECT_EQ(TwipsToDevice(10, 96), 1);          // 0.67 rounds up
    EXPECT_EQ(TwipsToDevice(-10, 96), -1);
}
