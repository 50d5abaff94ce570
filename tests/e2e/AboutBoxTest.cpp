// The About box of the real program, opened from Help as the menu opens it.
#include <gtest/gtest.h>

#include "Driver.h"

#include <algorithm>
#include <vector>

TEST(AboutBox, OpensFromHelpTurnsItsLogoAndClosesWithEscapeOrClose)
{
    ClearSection("win.ini", "OrvelloWord");
    RunningProgram program = StartProgram("", "OrvelloWord");
    ASSERT_TRUE(program.main);
    for (int round = 0; round < 2; ++round) {
        PostMessageA(program.main, WM_COMMAND, 40049, 0);
        HWND box = WaitForDialog("OrvelloWord");
        ASSERT_TRUE(box) << "round " << round;
        EXPECT_EQ(GetWindow(box, GW_OWNER), program.main);
        EXPECT_FALSE(IsWindowEnabled(program.main));   // modal
        EXPECT_EQ(WindowText(GetDlgItem(box, 2)), "Close");
        EXPECT_EQ(WindowText(GetDlgItem(box, 50)), "orvelloword.example.org");
        std::string about = WindowText(GetDlgItem(box, 51));
        EXPECT_EQ(about.find("OrvelloWord\r\nVersion 1.0 ("), 0u) << about;
        EXPECT_NE(about.find("Copyright"), std::string::npos) << about;
        if (round == 0) {
            // The logo turns: its picture on screen changes from one moment to the next.
            HWND logo = GetDlgItem(box, 52);
            std::vector<COLORREF> before = ScreenPixels(logo, 2);
            Pause(1000);
            std::vector<COLORREF> after = ScreenPixels(logo, 2);
            EXPECT_NE(before, after);
            // Mostly the lavender background: the logo is drawn, not a blank control.
            size_t lavender = std::count(after.begin(), after.end(), RGB(180, 150, 240));
            EXPECT_GT(lavender, after.size() / 2);
            PostMessageA(logo, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        } else {
            PressButton(box, 2);
        }
        EXPECT_TRUE(WaitForGone(box)) << "round " << round;
        Pause(100);
        EXPECT_TRUE(IsWindowEnabled(program.main));
    }
    EXPECT_TRUE(CloseProgram(program));
    ClearSection("win.ini", "OrvelloWord");
}
