// The colour menu run for real: a thread timer acts as the user inside the menu's
// own message loop (and the colour dialog's).
#include "EditorWindow.h"

#include <string.h>
#include <vector>

#include "app/App.h"
#include "format/ColorChoice.h"
#include "format/ColorMenu.h"

namespace {

std::vector<WORD> keys;    // pressed once the menu shows; none dismisses it
std::vector<int> checked;  // ids shown checked, after a 0 that marks the menu as seen
RECT shownAt;              // where the menu showed, on the screen

BOOL CALLBACK FindShown(HWND window, LPARAM found)
{
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    bool shown = IsWindowVisible(window) && (!strcmp(name, "#32768") || !strcmp(name, "#32770"));
    if (shown)
        *(HWND *)found = window;
    return !shown;
}

void CALLBACK Act(HWND, UINT, UINT_PTR, DWORD)
{
    HWND shown = 0;
    EnumThreadWindows(GetCurrentThreadId(), FindShown, (LPARAM)&shown);
    char name[16] = "";
    GetClassNameA(shown, name, sizeof name);
    if (!strcmp(name, "#32770")) {  // the colour dialog: confirm its colour
        PostMessageA(shown, WM_COMMAND, IDOK, 0);
    } else if (shown && checked.empty()) {
        GetWindowRect(shown, &shownAt);
        HMENU menu = (HMENU)SendMessageA(shown, 0x01E1 /* MN_GETHMENU */, 0, 0);
        checked.push_back(0);
        for (int id = 1; id <= COLOR_ENTRIES; ++id)
            if (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED)
                checked.push_back(id);
        if (keys.empty())
            EndMenu();
        for (WORD key : keys)
            PostMessageA(shown, WM_KEYDOWN, key, 0);
    }
}

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

    void SetUp() override
    {
        EditorWindowTest::SetUp();
        WNDCLASSA host = {};
        host.lpfnWndProc = HostProc;
        host.lpszClassName = "ColorMenuHost";
        RegisterClassA(&host);
        savedMain = MainWindow;  // the menu's owner draws its items
        MainWindow = CreateWindowExA(0, "ColorMenuHost", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                     0, 0, 300, 200, 0, 0, 0, 0);
        ColorTable[CUSTOM_ENTRY].colour = 0;
        // Thread timers another suite left running would answer our menu themselves.
        Sleep(100);
        MSG due;
        while (PeekMessageA(&due, 0, WM_TIMER, WM_TIMER, PM_REMOVE))
            if (!due.hwnd)
                KillTimer(0, due.wParam);
    }

    void TearDown() override
    {
        DestroyWindow(MainWindow);
        MainWindow = savedMain;
        EditorWindowTest::TearDown();
    }

    // Runs f while the simulated user presses the keys; the ids shown checked.
    template <class F> std::vector<int> AsUser(std::vector<WORD> pressing, F f)
    {
        keys = pressing;
        checked.clear();
        UINT_PTR timer = SetTimer(0, 0, 50, Act);
        f();
        KillTimer(0, timer);
        EXPECT_FALSE(checked.empty()) << "the menu never showed";
        return checked.empty() ? checked : std::vector<int>(checked.begin() + 1, checked.end());
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
    EXPECT_EQ(AsUser({}, [&] { result = ShowColorMenu(0); }), std::vector<int>{2});  // Black
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(AsUser({}, [] { ShowColorMenu(-1); }).empty());
    ColorTable[CUSTOM_ENTRY].colour = 0x123456;
    EXPECT_EQ(AsUser({}, [] { ShowColorMenu(0x123456); }), std::vector<int>{16});
}

TEST_F(ColorMenuTest, ColorCommandAppliesTheChosenEntry)
{
    SetText("colour me");
    EditorControl.SetSelection(0, 6);
    // Down five times: Default, Black, Gray, Dark Red, Red (separators are skipped).
    std::vector<WORD> toRed = {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN};
    EXPECT_EQ(AsUser(toRed, [] { ColorSelection(); }), std::vector<int>{1});  // automatic
    EXPECT_EQ(EditorControl.GetTextMode(), TEXT_RICH);
    CHARFORMATA chars = Characters();
    EXPECT_EQ(chars.dwMask & CFM_COLOR, (DWORD)CFM_COLOR);
    EXPECT_EQ(chars.dwEffects & CFE_AUTOCOLOR, 0u);
    EXPECT_EQ(chars.crTextColor, 0x0000FFu);
}

TEST_F(ColorMenuTest, CustomColourOfOneIsAppliedAsAutomatic)
{
    SetText("custom");
    EditorControl.SetTextMode(TEXT_RICH);
    EditorControl.SetSelection(0, -1);
    EditorControl.ApplyFormatDescriptor("c=255;");
    ColorTable[CUSTOM_ENTRY].colour = 1;  // red 1, green 0, blue 0
    // Up from nothing selected reaches Custom...; the colour dialog starts from the
    // entry's colour and is confirmed.
    EXPECT_EQ(AsUser({VK_UP, VK_RETURN}, [] { ColorSelection(); }), std::vector<int>{5});
    EXPECT_EQ(ColorTable[CUSTOM_ENTRY].colour, 1u);
    EXPECT_TRUE(Characters().dwEffects & CFE_AUTOCOLOR);
}

TEST_F(ColorMenuTest, AButtonPressedFromTheKeyboardOpensTheMenuBelowIt)
{
    const RECT button = {200, 150, 240, 170};
    static const struct { POINT pointer; POINT menu; } cases[] = {
        {{220, 160}, {220, 160}},  // clicked: at the pointer
        {{500, 400}, {200, 170}},  // from the keyboard: below the button
        {{10, 10}, {200, 170}},
    };
    for (const auto &c : cases) {
        SetCursorPos(c.pointer.x, c.pointer.y);
        AsUser({}, [&] { ShowColorMenu(-1, &button); });
        EXPECT_EQ(shownAt.left, c.menu.x) << c.pointer.x;
        EXPECT_EQ(shownAt.top, c.menu.y) << c.pointer.x;
    }
}

TEST_F(ColorMenuTest, NamesStayReadableOnTheGreyAndTheHighlight)
{
    HDC screen = GetDC(0);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 20);
    ReleaseDC(0, screen);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    // The names that were hard to read in their own colour on the grey.
    for (int entry : {2, 6, 10, 14}) {
        for (UINT state : {0u, (UINT)ODS_SELECTED}) {
            DRAWITEMSTRUCT item = {};
            item.CtlType = ODT_MENU;
            item.hDC = dc;
            item.rcItem = {0, 0, 200, 20};
            item.itemData = (ULONG_PTR)&ColorTable[entry];
            item.itemState = state;
            ASSERT_TRUE(DrawColorItem(&item));
            int dark = 0;  // pixels of the name that stand out from the grey
            for (int y = 2; y < 18; ++y)
                for (int x = 53; x < 198; ++x) {
                    COLORREF c = GetPixel(dc, x, y);
                    dark += GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11 < 6400;
                }
            EXPECT_GT(dark, 10) << ColorTable[entry].name << " state " << state;
        }
    }
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
}
