// The colour menu run for real: a thread timer acts as the user inside the menu's
// own message loop (and the colour dialog's).
#include "EditorWindow.h"

#include <string.h>
#include <vector>

#include "app/App.h"
#include "format/ColorChoice.h"
#include "format/ColorMenu.h"

namespace {

// What the simulated user does: keys to press once the menu shows, then OK in the
// colour dialog if one opens. Records the items shown checked.
struct MenuUser {
    static std::vector<WORD> keys;
    static std::vector<int> checked;

    static BOOL CALLBACK Find(HWND window, LPARAM found)
    {
        char name[16] = "";
        GetClassNameA(window, name, sizeof name);
        if (IsWindowVisible(window) && (!strcmp(name, "#32768") || !strcmp(name, "#32770"))) {
            *(HWND *)found = window;
            return FALSE;
        }
        return TRUE;
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        HWND shown = 0;
        EnumThreadWindows(GetCurrentThreadId(), Find, (LPARAM)&shown);
        char name[16] = "";
        GetClassNameA(shown, name, sizeof name);
        if (!strcmp(name, "#32770")) {  // the colour dialog
            PostMessageA(shown, WM_COMMAND, IDOK, 0);
        } else if (shown && checked.empty()) {
            HMENU menu = (HMENU)SendMessageA(shown, 0x01E1 /* MN_GETHMENU */, 0, 0);
            checked.push_back(0);  // marks the menu as seen
            for (int id = 1; id <= COLOR_ENTRIES; ++id)
                if (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED)
                    checked.push_back(id);
            if (keys.empty())
                EndMenu();
            for (WORD key : keys)
                PostMessageA(shown, WM_KEYDOWN, key, 0);
        }
    }
};
std::vector<WORD> MenuUser::keys;
std::vector<int> MenuUser::checked;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MEASUREITEM)
        return MeasureColorItem(window, (MEASUREITEMSTRUCT *)lParam);
    if (message == WM_DRAWITEM)
        return DrawColorItem((const DRAWITEMSTRUCT *)lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

class ColorMenuTest : public EditorWindowTest {
protected:
    HWND savedMain = 0;
    UINT_PTR timer = 0;

    void SetUp() override
    {
        EditorWindowTest::SetUp();
        WNDCLASSA host = {};
        host.lpfnWndProc = HostProc;
        host.lpszClassName = "ColorMenuHost";
        RegisterClassA(&host);
        savedMain = MainWindow;
        MainWindow = CreateWindowExA(0, "ColorMenuHost", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                     0, 0, 300, 200, 0, 0, 0, 0);
        SetForegroundWindow(MainWindow);
        ColorTable[CUSTOM_ENTRY].colour = 0;
    }

    void TearDown() override
    {
        KillTimer(0, timer);
        DestroyWindow(MainWindow);
        MainWindow = savedMain;
        EditorWindowTest::TearDown();
    }

    // Runs f with the simulated user pressing keys in the menu.
    template <class F> void AsUser(std::vector<WORD> keys, F f)
    {
        MenuUser::keys = keys;
        MenuUser::checked.clear();
        timer = SetTimer(0, 0, 50, MenuUser::Tick);
        f();
        KillTimer(0, timer);
        ASSERT_FALSE(MenuUser::checked.empty()) << "the menu never showed";
        MenuUser::checked.erase(MenuUser::checked.begin());
    }

    CHARFORMATA Characters()
    {
        CHARFORMATA chars = {};
        chars.cbSize = sizeof chars;
        SendMessageA(Editor(), EM_GETCHARFORMAT, SCF_SELECTION, (LPARAM)&chars);
        return chars;
    }
};

}  // namespace

TEST_F(ColorMenuTest, ChecksTheFirstMatchOnlyAndDismissingGivesMinusOne)
{
    int result = 0;
    AsUser({}, [&] { result = ShowColorMenu(0); });
    EXPECT_EQ(result, -1);
    EXPECT_EQ(MenuUser::checked, std::vector<int>{2});  // Black, not Custom...
    AsUser({}, [&] { result = ShowColorMenu(-1); });
    EXPECT_TRUE(MenuUser::checked.empty());
    ColorTable[CUSTOM_ENTRY].colour = 0x123456;
    AsUser({}, [&] { ShowColorMenu(0x123456); });
    EXPECT_EQ(MenuUser::checked, std::vector<int>{16});
}

TEST_F(ColorMenuTest, ColorCommandAppliesTheChosenEntry)
{
    SetText("colour me");
    EditorControl.SetSelection(0, 6);
    // Down five times: Default, Black, Gray, Dark Red, Red (separators are skipped).
    AsUser({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, [] { ColorSelection(); });
    EXPECT_EQ(EditorControl.GetTextMode(), TEXT_RICH);
    EXPECT_EQ(MenuUser::checked, std::vector<int>{1});  // the automatic colour
    CHARFORMATA chars = Characters();
    EXPECT_TRUE(chars.dwMask & CFM_COLOR);
    EXPECT_FALSE(chars.dwEffects & CFE_AUTOCOLOR);
    EXPECT_EQ(chars.crTextColor, 0x0000FFu);
}

TEST_F(ColorMenuTest, CustomColourOfOneIsAppliedAsAutomatic)
{
    SetText("custom");
    EditorControl.SetTextMode(TEXT_RICH);
    EditorControl.SetSelection(0, -1);
    EditorControl.ApplyFormatDescriptor("c=255;");
    ColorTable[CUSTOM_ENTRY].colour = 1;  // red 1, green 0, blue 0
    // Up from nothing selected reaches the last entry, Custom...; the colour dialog
    // then starts from that colour and is confirmed.
    AsUser({VK_UP, VK_RETURN}, [] { ColorSelection(); });
    EXPECT_EQ(MenuUser::checked, std::vector<int>{5});  // Red
    EXPECT_EQ(ColorTable[CUSTOM_ENTRY].colour, 1u);
    EXPECT_TRUE(Characters().dwEffects & CFE_AUTOCOLOR);
}
