// The About box's pure parts: the gem's geometry, the glow and mosaic numbers, the
// dialog layout and the about text.
#include <gtest/gtest.h>

#include <math.h>
#include <algorithm>

#include "about/AboutLayout.h"
#include "about/LogoGeometry.h"

namespace {

LogoPoint P(double x, double y, double z) { return LogoPoint{x, y, z}; }

bool Near(const LogoPoint &a, const LogoPoint &b)
{
    return fabs(a.x - b.x) < 1e-6 && fabs(a.y - b.y) < 1e-6 && fabs(a.z - b.z) < 1e-6;
}

const double S60 = sqrt(3.0) / 2, PI6 = 3.14159265358979323846 / 6;

}  // namespace

TEST(LogoModel, SixSidedGemHasThePointsOfItsFacets)
{
    LogoModel model;
    BuildLogoModel(model, 6, 0.67, 0.1675, 10000);
    ASSERT_EQ(model.size(), 13u);
    const double f = 0.8325, y = -167.5;   // inset and crown depth
    const LogoPoint v0 = P(0, 0, 670), v1 = P(-S60 * 670, 0, 335);
    const LogoPoint c0 = P(0, y, 670 * f), c1 = P(-S60 * 670 * f, y, 335 * f);
    struct { size_t facet; std::vector<LogoPoint> points; double depth; } cases[] = {
        {0, {v0, v1, P(0, 1000, 0)}, 335},
        {1, {v0, v1, c1, c0}, (335 * f + 670) / 2},
        {12, {c0, c1, P(-S60 * 670 * f, y, -335 * f), P(0, y, -670 * f),
              P(S60 * 670 * f, y, -335 * f), P(S60 * 670 * f, y, 335 * f)}, 0},
    };
    for (const auto &c : cases) {
        ASSERT_EQ(model[c.facet].points.size(), c.points.size()) << c.facet;
        for (size_t i = 0; i < c.points.size(); ++i)
            EXPECT_TRUE(Near(model[c.facet].points[i], c.points[i])) << c.facet << " " << i;
        EXPECT_NEAR(model[c.facet].depth, c.depth, 1e-6) << c.facet;
    }
    BuildLogoModel(model, 0, 0.67, 0.1675, 10000);
    EXPECT_TRUE(model.empty());
}

TEST(LogoModel, RotateTurnsAboutXThenYThenZAndRenewsTheDepth)
{
    struct { LogoPoint from; double ax, ay, az; LogoPoint to; } cases[] = {
        {P(0, 0, 1), 90, 0, 0, P(0, -1, 0)},    {P(0, 0, 1), 0, 90, 0, P(-1, 0, 0)},
        {P(0, 1, 0), 0, 0, 90, P(-1, 0, 0)},    {P(3, 4, 5), 0, 0, 0, P(3, 4, 5)},
        {P(0, 0, 2), 90, 90, 0, P(0, -2, 0)},   // x first leaves y nothing to turn
        {P(1, 0, 0), 0, 360, 0, P(1, 0, 0)},
        {P(0, 3, 4), -30, 0, 0, P(0, 3 * cos(PI6) + 4 * sin(PI6), 4 * cos(PI6) - 3 * sin(PI6))},
    };
    for (const auto &c : cases) {
        Facet facet = {{c.from, P(0, 0, -7)}, 99};
        Rotate(facet, c.ax, c.ay, c.az);
        EXPECT_TRUE(Near(facet.points[0], c.to)) << c.ax << " " << c.ay << " " << c.az;
        double z0 = facet.points[0].z, z1 = facet.points[1].z;
        EXPECT_NEAR(facet.depth, (std::max(z0, z1) + std::min(z0, z1)) / 2, 1e-9);
    }
}

TEST(LogoModel, DeepestFacetFirstAndProjectionTruncatesTowardZero)
{
    LogoModel model;
    for (double d : {1.0, 5.0, 3.0, 5.0, -2.0, 4.0})
        model.push_back(Facet{{P(d, 0, d)}, d});   // x marks the facet
    OrderFacetsByDepth(model);
    const double order[] = {5, 5, 4, 3, 1, -2};
    for (size_t i = 0; i < model.size(); ++i)
        EXPECT_TRUE(model[i].depth == order[i] && model[i].points[0].x == order[i]) << i;

    struct { LogoPoint point; int width, height, x, y; } cases[] = {
        {P(0, 0, 0), 800, 100, 54, 42},            // H/2 + W/200, H/2 - W/100
        {P(1000, -500, 1500), 800, 100, 94, 23},   // 40.5 -> 40, -19.5 -> -19
        {P(-670, 1000, 0), 480, 60, 5, 68},        // -27.64 -> -27
        {P(0, 0, 5000), 100, 1000, 500, 499},
    };
    for (const auto &c : cases) {
        LogoPixel pixel = ProjectPoint(c.point, c.width, c.height);
        EXPECT_TRUE(pixel.x == c.x && pixel.y == c.y) << pixel.x << "," << pixel.y;
    }
}

TEST(LogoGlow, LevelsStrokeCountsColoursWidthsAndPath)
{
    const int levels[][2] = {{0, 255}, {3, 255}, {256, 255}, {255, 255}, {4, 255}, {7, 6},
                             {100, 99}, {99, 99}, {-5, 255}};
    for (const auto &c : levels)
        EXPECT_EQ(NormaliseGlowLevel(c[0]), c[1]) << c[0];
    const int counts[][3] = {{255, 674, 169}, {255, 672, 169}, {255, 670, 168}, {255, 100, 26},
                             {255, 49, 13}, {99, 1000, 65}, {6, 1000, 3}, {255, 1, 1}};
    for (const auto &c : counts)
        EXPECT_EQ(GlowStrokeCount(c[0], c[1]), c[2]) << c[0] << " " << c[1];
    EXPECT_EQ(GlowColor(13, 26), 218u | 203u << 8 | 248u << 16);
    EXPECT_EQ(GlowPenWidth(13, 26, 100), 27);   // 25.5 -> 26, made odd

    // The three-point line, then four lines to each point that comes back, once each.
    std::vector<LogoSegment> path = GlowPath({{10, 10}, {20, 20}, {10, 10}, {30, 5}, {20, 20}, {10, 10}}, 40);
    ASSERT_EQ(path.size(), 2u + 2 * 4);
    EXPECT_TRUE(path[0].to == path[1].from);
    for (int k = 0; k < 8; ++k)
        EXPECT_TRUE(path[2 + k].to == (k < 4 ? LogoPixel{10, 10} : LogoPixel{20, 20})) << k;
}

TEST(LogoMosaic, CellsCoverTheBoxAndShadesStayLightBlue)
{
    struct { int left, top, right, bottom, cell; size_t count; } boxes[] = {
        {0, 0, 37, 23, 10, 27}, {5, 7, 6, 8, 10, 2}, {-20, 3, 40, 33, 9, 72},
        {0, 0, 50, 50, 1, 0}, {3, 3, 3, 9, 10, 0},
    };
    for (const auto &c : boxes) {
        std::vector<LogoPixel> cells = MosaicCells(c.left, c.top, c.right, c.bottom, c.cell);
        EXPECT_EQ(cells.size(), c.count);
        for (int y = c.top; y < c.bottom && c.count; ++y)
            for (int x = c.left; x < c.right; ++x)
                ASSERT_TRUE(std::any_of(cells.begin(), cells.end(), [&](LogoPixel centre) {
                    return InMosaicCell(centre, c.cell, x, y);
                })) << x << "," << y << " cell " << c.cell;
    }
    EXPECT_EQ(MosaicColor(39, 40), 176u | 216u << 8 | 255u << 16);
}

TEST(AboutLayout, ItemsFollowTheBaseUnitsAndTheLogoIsEightTimesAsWideAsHigh)
{
    struct { int baseX, baseY, cx, cy; AboutItemRect items[ABOUT_ITEM_COUNT]; } cases[] = {
        {8, 16, 256, 136, {{208, 114, 40, 14}, {8, 8, 240, 30}, {64, 47, 128, 14},
                           {8, 68, 240, 1}, {8, 84, 192, 44}}},
        {6, 13, 336, 164, {{288, 142, 40, 14}, {8, 8, 320, 40}, {84, 59, 168, 14},
                           {8, 82, 320, 1}, {8, 98, 272, 58}}},
    };
    for (const auto &c : cases) {
        int width, height;
        DefaultAboutSize(c.baseX, c.baseY, &width, &height);
        AboutLayout layout = ComputeAboutLayout(width, height, c.baseX, c.baseY);
        EXPECT_TRUE(layout.cx == c.cx && layout.cy == c.cy) << layout.cx << " x " << layout.cy;
        for (int i = 0; i < ABOUT_ITEM_COUNT; ++i) {
            const AboutItemRect &a = layout.items[i], &e = c.items[i];
            EXPECT_TRUE(a.x == e.x && a.y == e.y && a.cx == e.cx && a.cy == e.cy)
                << "item " << i << ": " << a.x << "," << a.y << "," << a.cx << "," << a.cy;
        }
    }
    for (int width = 100; width < 2000; width += 37) {
        AboutLayout layout = ComputeAboutLayout(width, 300, 7, 15);
        EXPECT_EQ(layout.items[1].cy, layout.items[1].cx / 8) << width;
    }
    EXPECT_EQ(MulDivRound(-5, 1, 2), -3);   // halves round away from zero
    char text[128];
    FormatAboutText(text, sizeof text, "OrvelloWord", 1, "Dec  8 2026");
    EXPECT_STREQ(text, "OrvelloWord\r\nVersion 1.0 (Dec 8 2026)\r\nCopyright (C) 2026");
    FormatAboutText(text, sizeof text, "OXR", 0x00020003, "Jan 17 2027");
    EXPECT_STREQ(text, "OXR\r\nVersion 3.2 (Jan 17 2027)\r\nCopyright (C) 2027");
}
