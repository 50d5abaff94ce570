// The About box's pure parts: the gem's geometry, the glow and mosaic numbers, the
// dialog layout and the about text.
#include <gtest/gtest.h>

#include <math.h>
#include <algorithm>
#include <string>

#include "about/AboutLayout.h"
#include "about/LogoGeometry.h"

namespace {

LogoPoint P(double x, double y, double z)
{
    LogoPoint p = {x, y, z};
    return p;
}

::testing::AssertionResult Near(const LogoPoint &a, const LogoPoint &b)
{
    const double e = 1e-6;
    if (fabs(a.x - b.x) < e && fabs(a.y - b.y) < e && fabs(a.z - b.z) < e)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ") vs ("
                                         << b.x << ", " << b.y << ", " << b.z << ")";
}

}  // namespace

TEST(LogoModel, SixSidedGemHasThePointsOfItsFacets)
{
    LogoModel model;
    BuildLogoModel(model, 6, 0.67, 0.1675, 10000);
    ASSERT_EQ(model.size(), 13u);
    const double s60 = sqrt(3.0) / 2, inset = 0.8325, crown = -167.5;
    const LogoPoint v0 = P(0, 0, 670), v1 = P(-s60 * 670, 0, 335);
    const LogoPoint c0 = P(0, crown, 670 * inset), c1 = P(-s60 * 670 * inset, crown, 335 * inset);
    struct { size_t facet; std::vector<LogoPoint> points; double depth; } cases[] = {
        {0, {v0, v1, P(0, 1000, 0)}, 335},
        {1, {v0, v1, c1, c0}, (335 * inset + 670) / 2},
        {12, {c0, c1, P(-s60 * 670 * inset, crown, -335 * inset), P(0, crown, -670 * inset),
              P(s60 * 670 * inset, crown, -335 * inset), P(s60 * 670 * inset, crown, 335 * inset)}, 0},
    };
    for (const auto &c : cases) {
        const Facet &facet = model[c.facet];
        ASSERT_EQ(facet.points.size(), c.points.size()) << "facet " << c.facet;
        for (size_t i = 0; i < c.points.size(); ++i)
            EXPECT_TRUE(Near(facet.points[i], c.points[i])) << "facet " << c.facet << " point " << i;
        EXPECT_NEAR(facet.depth, c.depth, 1e-6) << "facet " << c.facet;
    }
    // The last pair closes the ring back to the first vertex.
    EXPECT_TRUE(Near(model[10].points[1], v0));
    BuildLogoModel(model, 0, 0.67, 0.1675, 10000);
    EXPECT_TRUE(model.empty());
}

TEST(LogoModel, RotateTurnsAboutEachAxisInOrderAndKeepsTheDepth)
{
    const double PI6 = 3.14159265358979323846 / 6;
    struct { LogoPoint from; double ax, ay, az; LogoPoint to; } cases[] = {
        {P(0, 0, 1), 90, 0, 0, P(0, -1, 0)},     // about x: +z goes to -y
        {P(0, 0, 1), 0, 90, 0, P(-1, 0, 0)},     // about y: +z goes to -x
        {P(0, 1, 0), 0, 0, 90, P(-1, 0, 0)},     // about z: +y goes to -x
        {P(3, 4, 5), 0, 0, 0, P(3, 4, 5)},       // no angle, no change
        {P(0, 0, 2), 90, 90, 0, P(0, -2, 0)},    // x first: y second has nothing left to turn
        {P(0, 3, 4), -30, 0, 0, P(0, 3 * cos(PI6) + 4 * sin(PI6),
                                   4 * cos(PI6) - 3 * sin(PI6))},
        {P(1, 0, 0), 0, 360, 0, P(1, 0, 0)},
    };
    for (const auto &c : cases) {
        Facet facet;
        facet.points = {c.from, P(0, 0, -7)};
        facet.depth = 99;
        Rotate(facet, c.ax, c.ay, c.az);
        EXPECT_TRUE(Near(facet.points[0], c.to)) << c.ax << " " << c.ay << " " << c.az;
        double low = std::min(facet.points[0].z, facet.points[1].z);
        double high = std::max(facet.points[0].z, facet.points[1].z);
        EXPECT_NEAR(facet.depth, (low + high) / 2, 1e-9);
    }
}

TEST(LogoModel, FacetsAreOrderedDeepestFirst)
{
    const double depths[] = {1, 5, 3, 5, -2, 4};
    LogoModel model;
    for (double d : depths) {
        Facet facet;
        facet.points = {P(d, 0, d)};   // x marks the facet
        UpdateDepth(facet);
        model.push_back(facet);
    }
    OrderFacetsByDepth(model);
    const double expected[] = {5, 5, 4, 3, 1, -2};
    for (size_t i = 0; i < model.size(); ++i) {
        EXPECT_EQ(model[i].depth, expected[i]);
        EXPECT_EQ(model[i].points[0].x, expected[i]);   // the points went with their depth
    }
}

TEST(LogoModel, ProjectionScalesByHeightAndTruncatesTowardZero)
{
    struct { LogoPoint point; int width, height; int x, y; } cases[] = {
        {P(0, 0, 0), 800, 100, 54, 42},            // centre: H/2 + W/200, H/2 - W/100
        {P(1000, -500, 1500), 800, 100, 94, 23},   // t = 2: 40.5 -> 40, -19.5 -> -19
        {P(-670, 1000, 0), 480, 60, 5, 68},        // t = 3.5, s = 0.012: -27.64 -> -27
        {P(0, 0, 5000), 100, 1000, 500, 499},
    };
    for (const auto &c : cases) {
        LogoPixel pixel = ProjectPoint(c.point, c.width, c.height);
        EXPECT_EQ(pixel.x, c.x);
        EXPECT_EQ(pixel.y, c.y);
    }
}

TEST(LogoGlow, LevelsStrokeCountsColoursAndWidths)
{
    struct { int level, normalised; } levels[] = {
        {0, 255}, {3, 255}, {256, 255}, {255, 255}, {4, 255}, {7, 6}, {100, 99}, {99, 99}, {-5, 255},
    };
    for (const auto &c : levels)
        EXPECT_EQ(NormaliseGlowLevel(c.level), c.normalised) << c.level;
    struct { int level, height, count; } counts[] = {
        {255, 674, 169}, {255, 1000, 169}, {255, 672, 169}, {255, 670, 168},
        {255, 100, 26}, {255, 49, 13}, {99, 1000, 65}, {6, 1000, 3}, {255, 1, 1},
    };
    for (const auto &c : counts)
        EXPECT_EQ(GlowStrokeCount(c.level, c.height), c.count) << c.level << " " << c.height;
    EXPECT_EQ(GlowColor(169, 169), 0xFFFFFFu);
    EXPECT_EQ(GlowColor(1, 169), 180u | 151u << 8 | 240u << 16);
    EXPECT_EQ(GlowColor(13, 26), 218u | 203u << 8 | 248u << 16);
    EXPECT_EQ(GlowPenWidth(1, 26, 100), 49);   // o = 51: 49.04 -> 49
    EXPECT_EQ(GlowPenWidth(13, 26, 100), 27);  // 51 - 25.5 = 25.5 -> 26, made odd
    EXPECT_EQ(GlowPenWidth(26, 26, 100), 1);
}

TEST(LogoGlow, PathRunsToEveryRepeatedPoint)
{
    std::vector<LogoPixel> points = {{10, 10}, {20, 20}, {10, 10}, {30, 5}, {20, 20}, {10, 10}};
    std::vector<LogoSegment> path = GlowPath(points, 40);
    // The three-point line, then the two points that come back (the third return of
    // {10, 10} adds the same lines again, so it adds none).
    ASSERT_EQ(path.size(), 2u + 2 * 4);
    EXPECT_TRUE(path[0].to == path[1].from);
    const LogoPixel ends[] = {{10, 10}, {20, 20}};
    for (int r = 0; r < 2; ++r)
        for (int k = 0; k < 4; ++k)
            EXPECT_TRUE(path[2 + r * 4 + k].to == ends[r]);
}

TEST(LogoMosaic, CellsCoverTheBoxAndShadesStayLightBlue)
{
    struct { int left, top, right, bottom, cell; size_t count; } boxes[] = {
        {0, 0, 37, 23, 10, 27}, {5, 7, 6, 8, 10, 2}, {-20, 3, 40, 33, 9, 0}, {0, 0, 50, 50, 1, 0},
        {0, 0, 10, 10, 0, 0}, {3, 3, 3, 9, 10, 0},
    };
    for (const auto &c : boxes) {
        std::vector<LogoPixel> cells = MosaicCells(c.left, c.top, c.right, c.bottom, c.cell);
        if (c.count) {
            EXPECT_EQ(cells.size(), c.count);
        }
        if (c.cell < 2 || c.right <= c.left) {
            EXPECT_TRUE(cells.empty());
        }
        for (int y = c.top; y < c.bottom && c.cell >= 2; ++y)
            for (int x = c.left; x < c.right; ++x) {
                bool covered = false;
                for (const LogoPixel &centre : cells)
                    covered = covered || InMosaicCell(centre, c.cell, x, y);
                ASSERT_TRUE(covered) << x << "," << y << " cell " << c.cell;
            }
    }
    struct { int random, shades; unsigned colour; } shades[] = {
        {0, 40, 215u | 255u << 8 | 255u << 16}, {39, 40, 176u | 216u << 8 | 255u << 16},
        {40, 40, 215u | 255u << 8 | 255u << 16}, {4, 5, 183u | 223u << 8 | 255u << 16},
        {12345, 1, 215u | 255u << 8 | 255u << 16}, {7, 85, 208u | 248u << 8 | 255u << 16},
    };
    for (const auto &c : shades)
        EXPECT_EQ(MosaicColor(c.random, c.shades), c.colour) << c.random << " " << c.shades;
}

TEST(AboutLayout, ItemsFollowTheBaseUnitsAndTheLogoIsEightTimesAsWideAsHigh)
{
    struct { int baseX, baseY; int cx, cy; AboutItemRect items[ABOUT_ITEM_COUNT]; } cases[] = {
        {8, 16, 256, 136, {{208, 114, 40, 14}, {8, 8, 240, 30}, {64, 47, 128, 14},
                           {8, 68, 240, 1}, {8, 84, 192, 44}}},
        {6, 13, 336, 164, {{288, 142, 40, 14}, {8, 8, 320, 40}, {84, 59, 168, 14},
                           {8, 82, 320, 1}, {8, 98, 272, 58}}},
    };
    for (const auto &c : cases) {
        int width, height;
        DefaultAboutSize(c.baseX, c.baseY, &width, &height);
        AboutLayout layout = ComputeAboutLayout(width, height, c.baseX, c.baseY);
        EXPECT_EQ(layout.cx, c.cx);
        EXPECT_EQ(layout.cy, c.cy);
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
    struct { int n, num, den, result; } muldiv[] = {
        {5, 1, 2, 3}, {-5, 1, 2, -3}, {1, 1, 0, -1}, {7, 3, -2, -11}, {4, 8, 13, 2}, {1 << 30, 4, 1, -1},
    };
    for (const auto &c : muldiv)
        EXPECT_EQ(MulDivRound(c.n, c.num, c.den), c.result) << c.n << "*" << c.num << "/" << c.den;
}

TEST(AboutLayout, AboutTextHasNameVersionAndYear)
{
    char text[128];
    struct { const char *product; unsigned version; const char *date; int size; const char *expected; } cases[] = {
        {"OrvelloWord", 1, "Dec  8 2026", sizeof text,
         "OrvelloWord\r\nVersion 1.0 (Dec 8 2026)\r\nCopyright (C) 2026"},
        {"OXR", 0x00020003, "Jan 17 2027", sizeof text, "OXR\r\nVersion 3.2 (Jan 17 2027)\r\nCopyright (C) 2027"},
        {"OrvelloWord", 1, "Dec  8 2026", 10, "OrvelloWo"},
    };
    for (const auto &c : cases) {
        FormatAboutText(text, c.size, c.product, c.version, c.date);
        EXPECT_STREQ(text, c.expected);
    }
}
