// The real About box in the test process: its template, closing, clock and repaint, and
// the logo's frames and GDI objects.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <vector>

#include "about/AboutDialog.h"
#include "about/AboutLayout.h"
#include "about/LogoAnimation.h"
#include "app/Dpi.h"
#include "res/resource.h"

namespace {

std::function<void(HWND)> Body;
bool BodyRan;
HWND SeenClosing;

// Callbacks are plain functions: the 32-bit build needs them __stdcall, which lambdas are not.
BOOL CALLBACK FindAboutBox(HWND window, LPARAM found)
{
    if (!GetDlgItem(window, IDC_ABOUT_LOGO))
        return TRUE;
    *(HWND *)found = window;
    return FALSE;
}

HWND AboutBox()
{
    HWND box = 0;
    EnumThreadWindows(GetCurrentThreadId(), FindAboutBox, (LPARAM)&box);
    return box;
}

void CALLBACK RunBody(HWND, UINT, UINT_PTR, DWORD)
{
    HWND box = AboutBox();
    if (box && IsWindowVisible(box) && !BodyRan)
        BodyRan = true, Body(box);
}

void CALLBACK Rescue(HWND, UINT, UINT_PTR, DWORD) { EndDialog(AboutBox(), 99); }

LRESULT CALLBACK WatchClose(int code, WPARAM wParam, LPARAM lParam)
{
    const MSG *msg = (const MSG *)lParam;
    if (code == HC_ACTION && msg->message == WM_CLOSE && msg->hwnd == AboutBox())
        SeenClosing = msg->hwnd;
    return CallNextHookEx(0, code, wParam, lParam);
}

// Opens the About box and, once it shows (when its loop first runs idle), runs body in
// its message loop; body closes it. A box still open after 20 s is ended without
// WM_CLOSE, so a test that waits for it fails instead of hanging.
INT_PTR RunAboutBox(std::function<void(HWND)> body)
{
    Body = body;
    BodyRan = false;
    UINT_PTR start = SetTimer(0, 0, 50, RunBody);
    UINT_PTR rescue = SetTimer(0, 0, 20000, Rescue);
    INT_PTR result = ShowAboutBox(0, "OrvelloWord", 1, 0, 0, 0);
    KillTimer(0, start);
    KillTimer(0, rescue);
    EXPECT_TRUE(BodyRan);
    return result;
}

void Pump(DWORD milliseconds)
{
    for (DWORD end = GetTickCount() + milliseconds; (int)(end - GetTickCount()) > 0; Sleep(5)) {
        MSG msg;
        while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
}

// Live GDI objects of this process. Wine's GetGuiResources answers 0; there the handle
// table is probed instead, which Wine accepts by index alone.
DWORD GdiObjectCount()
{
    DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (count)
        return count;
    for (ULONG_PTR handle = 1; handle < 0x10000; ++handle)
        count += GetObjectType((HGDIOBJ)handle) != 0;
    return count;
}

}  // namespace

TEST(AboutDialog, TemplateSizedFromItselfGivesTheItemsTheirPlaces)
{
    RunAboutBox([](HWND box) {
        int unitX, unitY, width, height;
        TemplateFontUnits("MS Shell Dlg", 8, &unitX, &unitY);
        DefaultAboutSize(unitX, unitY, &width, &height);
        width = ScaleToDpi(width, SystemDpi());
        height = ScaleToDpi(height, SystemDpi());
        AboutLayout layout = ComputeAboutLayout(width, height, unitX, unitY);
        EXPECT_EQ(layout.items[1].cy, layout.items[1].cx / 8);
        const int ids[] = {IDCANCEL, IDC_ABOUT_LOGO, IDC_ABOUT_LINK, 0xFFFF, IDC_ABOUT_TEXT};
        // Template order, except that Close follows the site's button, so Tab reads top down.
        const int order[] = {1, 2, 0, 3, 4};
        HWND child = GetWindow(box, GW_CHILD);
        for (int k = 0; k < ABOUT_ITEM_COUNT; ++k, child = GetWindow(child, GW_HWNDNEXT)) {
            int i = order[k];
            ASSERT_TRUE(child) << "item " << i;
            EXPECT_EQ(LOWORD(GetDlgCtrlID(child)), ids[i]);
            // x, y, width and height are each scaled on their own, as the dialog does.
            const AboutItemRect &item = layout.items[i];
            RECT expected = {item.x, item.y, item.cx, item.cy}, actual;
            MapDialogRect(box, &expected);
            expected.right += expected.left, expected.bottom += expected.top;
            GetWindowRect(child, &actual);
            MapWindowPoints(0, box, (POINT *)&actual, 2);
            EXPECT_TRUE(EqualRect(&expected, &actual)) << "item " << i;
        }
        EXPECT_FALSE(child);
        size_t blockSize = 0, templateSize = 0;
        EXPECT_TRUE(AboutTemplateBlock(&blockSize, &templateSize));
        EXPECT_EQ(blockSize, templateSize);

        // The texts are the end-to-end test's business; the focus starts on the logo.
        EXPECT_EQ(GetFocus(), GetDlgItem(box, IDC_ABOUT_LOGO));
        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    });
}

TEST(AboutDialog, EscapeEnterAndTheCloseButtonCloseThroughWmClose)
{
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, WatchClose, 0, GetCurrentThreadId());
    ASSERT_TRUE(hook);
    for (WORD key : {(WORD)VK_ESCAPE, (WORD)VK_RETURN, (WORD)0}) {
        SeenClosing = 0;
        INT_PTR result = RunAboutBox([key](HWND box) {
            if (key)
                PostMessageA(GetFocus(), WM_KEYDOWN, key, 0x00010001);
            else
                PostMessageA(GetDlgItem(box, IDCANCEL), BM_CLICK, 0, 0);
        });
        EXPECT_EQ(result, 0) << key;
        EXPECT_TRUE(SeenClosing) << key;
    }
    UnhookWindowsHookEx(hook);
}

TEST(AboutDialog, SecondOpeningContinuesTheClockAndReusesTheBlock)
{
    const void *block = 0;
    RunAboutBox([&](HWND box) {
        int start = animationClock;
        for (int waited = 0; waited < 3000 && animationClock > start - 3; waited += 50)
            Pump(50);
        EXPECT_LE(animationClock, start - 3);   // timer 1 turns it by one a tick
        block = AboutTemplateBlock(0, 0);
        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    });
    const int closedAt = animationClock;
    RunAboutBox([&](HWND box) {
        KillTimer(box, 1);
        // At most a tick or two since it opened: nothing started again from 0.
        EXPECT_TRUE(animationClock <= closedAt && animationClock >= closedAt - 2) << animationClock;
        int now = animationClock;
        SendMessageA(box, WM_TIMER, 1, 0);
        SendMessageA(box, WM_TIMER, 1, 0);
        SendMessageA(box, WM_TIMER, 0, 0);
        EXPECT_EQ(animationClock, now - 2);
        EXPECT_EQ(AboutTemplateBlock(0, 0), block);
        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    });
}

TEST(AboutDialog, UncoveringRedrawsTheLogoWithoutTurningIt)
{
    RunAboutBox([](HWND box) {
        KillTimer(box, 1);
        Pump(200);
        HWND logo = GetDlgItem(box, IDC_ABOUT_LOGO);
        RECT area;
        GetClientRect(logo, &area);
        HDC dc = GetDC(logo);
        FillRect(dc, &area, (HBRUSH)GetStockObject(BLACK_BRUSH));
        // The bottom right corner is below the name and right of the gem: background.
        EXPECT_EQ(GetPixel(dc, area.right - 2, area.bottom - 2), RGB(0, 0, 0));
        int before = animationClock;
        RedrawWindow(box, 0, 0, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        Pump(300);
        EXPECT_EQ(GetPixel(dc, area.right - 2, area.bottom - 2), RGB(180, 150, 240));
        EXPECT_EQ(animationClock, before);
        ReleaseDC(logo, dc);
        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    });
}

// A real minute took a minute (run once by hand); this drives the frames directly.
TEST(AboutDialog, HalfAMinuteOfFramesLeavesNoGdiObjectBehind)
{
    RunAboutBox([](HWND box) {
        KillTimer(box, 1);
        for (int tick = 0; tick < 10; ++tick)   // the first second
            SendMessageA(box, WM_TIMER, 1, 0);
        DWORD settled = GdiObjectCount();
        HPEN pens[3] = {CreatePen(PS_SOLID, 1, 0), CreatePen(PS_SOLID, 1, 0), CreatePen(PS_SOLID, 1, 0)};
        EXPECT_EQ(GdiObjectCount(), settled + 3);   // the count does see new objects
        for (HPEN pen : pens)
            DeleteObject(pen);
        for (int tick = 0; tick < 300; ++tick)
            SendMessageA(box, WM_TIMER, 1, 0);
        EXPECT_EQ(GdiObjectCount(), settled);
        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    });
}

namespace {

DWORD TwinkleSeedValue;
DWORD WINAPI FixedTwinkleSeed() { return TwinkleSeedValue; }

// One frame drawn into a 32-bit picture, as pixels 0x00RRGGBB.
std::vector<DWORD> Frame(int tick, int glow, DWORD seed)
{
    const int width = 360, height = 45;
    TwinkleSeedValue = seed;
    BITMAPINFO info = {{sizeof info.bmiHeader, width, -height, 1, 32}};
    void *bits = 0;
    HDC dc = CreateCompatibleDC(0);
    HBITMAP picture = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, 0, 0);
    HGDIOBJ old = SelectObject(dc, picture);
    RECT area = {0, 0, width, height};
    DrawLogo(0, dc, tick, glow, &area);
    GdiFlush();
    std::vector<DWORD> pixels((DWORD *)bits, (DWORD *)bits + width * height);
    SelectObject(dc, old);
    DeleteObject(picture);
    DeleteDC(dc);
    return pixels;
}

bool MosaicShade(DWORD pixel)
{
    int red = pixel >> 16 & 255, green = pixel >> 8 & 255, blue = pixel & 255;
    return blue == 255 && green - red == 40 && red >= 176;
}

}  // namespace

TEST(LogoAnimation, FramesOfOneTickDifferOnlyInTwinklingCells)
{
    LogoTwinkleSeed = FixedTwinkleSeed;
    std::vector<DWORD> first = Frame(-25, 0, 1);
    EXPECT_EQ(Frame(-25, 0, 1), first);
    int differing = 0;
    for (DWORD seed = 2; seed < 40 && !differing; ++seed) {
        std::vector<DWORD> other = Frame(-25, 0, seed);
        for (size_t i = 0; i < first.size(); ++i) {
            differing += other[i] != first[i];
            ASSERT_TRUE(other[i] == first[i] || (MosaicShade(first[i]) && MosaicShade(other[i])))
                << "pixel " << i;
        }
    }
    EXPECT_GT(differing, 0);
    // Out-of-range glow levels are the default one; an in-range level is not.
    EXPECT_EQ(Frame(-25, 3, 1), first);
    EXPECT_EQ(Frame(-25, 256, 1), first);
    EXPECT_NE(Frame(-25, 99, 1), first);
    EXPECT_NE(Frame(-26, 0, 1), first);
    LogoTwinkleSeed = GetTickCount;
}
