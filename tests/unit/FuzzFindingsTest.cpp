// Inputs the fuzz targets (fuzz/) turned up, and their neighbours: numbers far out of
// range in settings and format texts are pinned, never undefined.
#include <gtest/gtest.h>
#include <limits.h>

#include "app/WindowStateText.h"
#include "editor/FormatText.h"

TEST(FuzzFindings, WindowStateFractionsFarOutOfRangeArePinned)
{
    // Found by window_state: a fraction written for a negative screen height.
    WindowStateValues v = ParseWindowState("0.5,0.5,0.5,701000.0,1,1,1", 1280, -26368);
    EXPECT_EQ(v.normal.bottom, INT_MIN);
    v = ParseWindowState("1e300,-1e300,0.25,0.5,1,0,1", 1000, 1000);
    EXPECT_EQ(v.normal.left, INT_MAX);
    EXPECT_EQ(v.normal.top, INT_MIN);
    EXPECT_EQ(v.normal.right, 250);
    EXPECT_EQ(v.normal.bottom, 500);
}

TEST(FuzzFindings, FormatNumbersFarOutOfRangeArePinned)
{
    FormatItems items = ParseFormatItems("y=2000000000;h=-2000000000;l=1e300;o=-1e300;t=1e99,5;");
    EXPECT_EQ(items.offset, INT_MAX);
    EXPECT_EQ(items.height, INT_MIN);
    EXPECT_EQ(items.firstOffset, INT_MAX);
    EXPECT_EQ(items.startIndent, 0);
    EXPECT_EQ(items.tabs[0], INT_MAX);
    EXPECT_EQ(items.tabs[1], 7200);
    EXPECT_EQ(InchesToTwips(-1e300), INT_MIN);
}
