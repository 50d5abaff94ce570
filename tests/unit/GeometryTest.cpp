#include <gtest/gtest.h>

#include "app/MainWindow.h"

namespace {

RECT Rect(int l, int t, int r, int b)
{
    RECT x = {l, t, r, b};
    return x;
}

::testing::AssertionResult SameRect(const RECT &a, const RECT &b)
{
    if (EqualRect(&a, &b))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.left << "," << a.top << "," << a.right << ","
                                         << a.bottom << ") vs (" << b.left << "," << b.top << ","
                                         << b.right << "," << b.bottom << ")";
}

}  // namespace

TEST(SnapGeometry, WindowsStickingOutSnapToHalvesAndQuarters)
{
    const RECT area = Rect(0, 30, 1280, 1000);  // 970 high, a bar on top
    struct { RECT window; int wp, hp; RECT expected; } cases[] = {
        {Rect(-10, 10, 500, 400), 0, 0, Rect(0, 30, 640, 515)},       // left and top: top-left
        {Rect(-10, 100, 500, 1200), 0, 0, Rect(0, 515, 640, 1000)},   // left and bottom
        {Rect(-10, 100, 500, 600), 0, 0, Rect(0, 30, 640, 1000)},     // left only: full height
        {Rect(1000, 100, 1400, 600), 50, 90, Rect(640, 30, 1280, 1000)},  // right
        {Rect(1000, 0, 1400, 600), SNAP_NO_PERCENT, SNAP_NO_PERCENT, Rect(640, 30, 1280, 515)},
        {Rect(100, 0, 600, 500), 0, 0, Rect(0, 30, 1280, 515)},       // top only: top half
        {Rect(100, 500, 600, 1100), 0, 0, Rect(0, 515, 1280, 1000)},  // bottom only
    };
    for (const auto &c : cases) {
        RECT result;
        EXPECT_EQ(ComputeSnapRect(c.window, area, c.wp, c.hp, &result), 1);
        EXPECT_TRUE(SameRect(result, c.expected));
    }
}

TEST(SnapGeometry, InsideWindowsAreCentred)
{
    const RECT area = Rect(0, 0, 1280, 1000);
    RECT result;
    EXPECT_EQ(ComputeSnapRect(Rect(10, 10, 410, 310), area, 50, 90, &result), 1);
    EXPECT_TRUE(SameRect(result, Rect(320, 50, 960, 950)));
    // 0 % keeps the size but still centres (the Move command).
    EXPECT_EQ(ComputeSnapRect(Rect(10, 10, 410, 310), area, 0, 0, &result), 1);
    EXPECT_TRUE(SameRect(result, Rect(440, 350, 840, 650)));
    // Out-of-range percentages keep that dimension.
    EXPECT_EQ(ComputeSnapRect(Rect(10, 10, 410, 310), area, 101, 100, &result), 1);
    EXPECT_TRUE(SameRect(result, Rect(440, 0, 840, 1000)));
    // Already centred: nothing changes.
    EXPECT_EQ(ComputeSnapRect(Rect(440, 350, 840, 650), area, 0, 0, &result), 0);
}

TEST(SnapGeometry, NothingWithoutPercentagesOrContact)
{
    const RECT area = Rect(0, 0, 1280, 1000);
    RECT result;
    EXPECT_EQ(ComputeSnapRect(Rect(10, 10, 410, 310), area, SNAP_NO_PERCENT, SNAP_NO_PERCENT,
                              &result), 0);
    EXPECT_TRUE(SameRect(result, Rect(10, 10, 410, 310)));
    EXPECT_EQ(ComputeSnapRect(Rect(1500, 10, 1900, 310), area, 50, 90, &result), 0);
    EXPECT_TRUE(SameRect(result, Rect(1500, 10, 1900, 310)));
    EXPECT_EQ(ComputeSnapRect(Rect(-900, -900, -10, -10), area, 0, 0, &result), 0);
}

TEST(SnapGeometry, MaximumTrackingSizeIsFiveQuarters)
{
    POINT p = MaximumTrackSize(1920, 1080);
    EXPECT_EQ(p.x, 2400);
    EXPECT_EQ(p.y, 1350);
    p = MaximumTrackSize(1001, 3);
    EXPECT_EQ(p.x, 1251);
    EXPECT_EQ(p.y, 3);
}
