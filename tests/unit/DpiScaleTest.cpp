// Screen-scale arithmetic: pixel sizes at a DPI, the toolbar strip for a DPI, and the
// print preview's page grid with gaps at that scale.
#include <gtest/gtest.h>

#include "app/DpiScale.h"
#include "print/PageLayout.h"

TEST(DpiScale, PixelsAt96DpiScaleToOtherDpis)
{
    struct Case {
        int value, dpi, want;
    } cases[] = {
        {23, 96, 23},   {23, 120, 29},  {23, 144, 35},  {23, 192, 46},  {22, 192, 44},
        {8, 120, 10},   {1, 144, 2},    {1, 120, 1},    {0, 192, 0},    {-14, 192, -28},
        {-14, 120, -18}, {480, 144, 720}, {52, 168, 91}, {23, 0, 23},   {23, -5, 23},
        {600, 288, 1800},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ScaleToDpi(c.value, c.dpi), c.want) << c.value << " at " << c.dpi;
}

TEST(DpiScale, ToolbarStripIsTheLargestThatFitsNeverStretched)
{
    struct Case {
        int dpi, want;
    } cases[] = {
        {72, 16},  {96, 16},  {110, 16}, {120, 20}, {132, 20}, {144, 24}, {168, 24},
        {180, 24}, {191, 32}, {192, 32}, {240, 32}, {288, 32}, {0, 16},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ToolbarImageSize(c.dpi), c.want) << c.dpi;
}

TEST(DpiScale, PreviewPagesLeaveScaledGapsForTheirNumbers)
{
    struct Case {
        int areaWidth, areaHeight, pages, gapX, gapY, wantWidth, wantHeight;
    } cases[] = {
        // Letter paper (8.5 x 11 inches) at 100 %: the default gaps.
        {1200, 824, 1, 12, 24, 618, 800},
        // The same area at 200 %: twice the room under each page.
        {1200, 848, 1, 24, 48, 618, 800},
        // Two pages side by side, and three that must shrink to fit.
        {1400, 848, 2, 24, 48, 618, 800},
        {1400, 848, 3, 24, 48, 405, 524},
    };
    for (const Case &c : cases) {
        int width = -1, height = -1;
        FitPageImages(c.areaWidth, c.areaHeight, 8500, 11000, c.pages, &width, &height, c.gapX,
                      c.gapY);
        EXPECT_EQ(width, c.wantWidth) << c.areaWidth << "x" << c.areaHeight << " " << c.pages;
        EXPECT_EQ(height, c.wantHeight) << c.areaWidth << "x" << c.areaHeight << " " << c.pages;
    }
    // Without gaps given, the 100 % ones.
    int width = 0, height = 0, scaledWidth = 0, scaledHeight = 0;
    FitPageImages(900, 600, 8500, 11000, 2, &width, &height);
    FitPageImages(900, 600, 8500, 11000, 2, &scaledWidth, &scaledHeight, 12, 24);
    EXPECT_EQ(width, scaledWidth);
    EXPECT_EQ(height, scaledHeight);
}
