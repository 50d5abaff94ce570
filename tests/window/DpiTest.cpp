// The real main window moved to a monitor of another scale: WM_DPICHANGED as Windows
// sends it (the new DPI and the suggested rectangle) rescales the bars and the text.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include "app/App.h"
#include "app/Dpi.h"
#include "app/Layout.h"
#include "app/Toolbar.h"
#include "editor/EditorControl.h"

namespace {

struct BarSizes {
    SIZE button;
    int imageSide;
    int sizeComboWidth;
    int statusFontHeight;
};

BarSizes MeasureBars()
{
    BarSizes sizes;
    LRESULT button = SendMessageA(MainToolbar.window, TB_GETBUTTONSIZE, 0, 0);
    sizes.button.cx = LOWORD(button);
    sizes.button.cy = HIWORD(button);
    int cx = 0, cy = 0;
    ImageList_GetIconSize((HIMAGELIST)SendMessageA(MainToolbar.window, TB_GETIMAGELIST, 0, 0), &cx,
                          &cy);
    sizes.imageSide = cx;
    RECT combo;
    GetWindowRect(SizeCombo, &combo);
    sizes.sizeComboWidth = combo.right - combo.left;
    LOGFONTA font = {};
    GetObjectA((HFONT)SendMessageA(StatusBar, WM_GETFONT, 0, 0), sizeof font, &font);
    sizes.statusFontHeight = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
    return sizes;
}

void MoveToDpi(int dpi, const RECT &suggested)
{
    SendMessageA(MainWindow, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), (LPARAM)&suggested);
}

}  // namespace

class DpiChangeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // Another suite's main window may have left the class behind.
        UnregisterClassA("OrvelloWord", GetModuleHandleA(0));
        ASSERT_TRUE(StartMainWindow(GetModuleHandleA(0), ""));
        ShowWindow(MainToolbar.window, SW_SHOW);
        ShowWindow(StatusBar, SW_SHOW);
    }

    static void TearDownTestSuite()
    {
        DestroyWindow(MainWindow);
        EditorControl.control = 0;
        UnregisterClassA("OrvelloWord", GetModuleHandleA(0));
        MSG quit;
        PeekMessageA(&quit, 0, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
};

TEST_F(DpiChangeTest, NewScaleTakesTheSuggestedRectangleAndRescalesTheBars)
{
    const int start = MainWindowDpi;
    ASSERT_EQ(start, WindowDpi(MainWindow));
    BarSizes before = MeasureBars();
    EXPECT_EQ(before.imageSide, ToolbarImageSize(start));

    RECT suggested = {40, 30, 40 + 900, 30 + 700}, actual;
    MoveToDpi(start * 2, suggested);
    GetWindowRect(MainWindow, &actual);
    EXPECT_TRUE(EqualRect(&suggested, &actual));
    EXPECT_EQ(MainWindowDpi, start * 2);

    BarSizes after = MeasureBars();
    EXPECT_NEAR(after.button.cx, 2 * before.button.cx, 1);
    EXPECT_NEAR(after.button.cy, 2 * before.button.cy, 1);
    EXPECT_EQ(after.imageSide, ToolbarImageSize(start * 2));
    EXPECT_NEAR(after.sizeComboWidth, 2 * before.sizeComboWidth, 2);
    EXPECT_NEAR(after.statusFontHeight, 2 * before.statusFontHeight, 1);
    // The owner-drawn colour menu measures with the window's scale.
    EXPECT_EQ(ScaleForWindow(MainWindow, 52), ScaleToDpi(52, start * 2));
    // The text grows with the monitor's scale over the system's.
    WPARAM numerator = 0;
    LPARAM denominator = 0;
    SendMessageA(EditorControl.control, EM_GETZOOM, (WPARAM)&numerator, (LPARAM)&denominator);
    EXPECT_EQ((int)numerator * SystemDpi(), start * 2 * (int)denominator);
    // The editor sits between the bars as before.
    RECT editor;
    ComputeEditorRect(MainLayout, &editor, 0);
    RECT placed;
    GetWindowRect(EditorControl.control, &placed);
    MapWindowPoints(0, MainWindow, (POINT *)&placed, 2);
    EXPECT_TRUE(EqualRect(&editor, &placed));

    // Back on the first monitor everything is as it was.
    RECT back = {0, 0, 640, 480};
    MoveToDpi(start, back);
    GetWindowRect(MainWindow, &actual);
    EXPECT_TRUE(EqualRect(&back, &actual));
    BarSizes again = MeasureBars();
    EXPECT_EQ(again.button.cx, before.button.cx);
    EXPECT_EQ(again.button.cy, before.button.cy);
    EXPECT_EQ(again.imageSide, before.imageSide);
    EXPECT_EQ(again.sizeComboWidth, before.sizeComboWidth);
    EXPECT_EQ(again.statusFontHeight, before.statusFontHeight);
    numerator = denominator = 7;
    SendMessageA(EditorControl.control, EM_GETZOOM, (WPARAM)&numerator, (LPARAM)&denominator);
    EXPECT_EQ(numerator, 0u);
}
