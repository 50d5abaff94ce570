#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "app/Layout.h"

class LayoutTest : public ::testing::Test {
protected:
    LayoutRecord layout = {0, 0, 0, 0};

    void SetUp() override
    {
        RECT frame = {0, 0, 400, 600};
        AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
        layout.main = CreateWindowExA(0, "STATIC", "layout", WS_OVERLAPPEDWINDOW, 0, 0,
                                      frame.right - frame.left, frame.bottom - frame.top, 0, 0, 0,
                                      0);
        ASSERT_TRUE(layout.main);
        layout.editor = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
                                        layout.main, 0, 0, 0);
        ShowWindow(layout.main, SW_SHOWNOACTIVATE);  // children of a hidden window count as hidden
        RECT client;
        GetClientRect(layout.main, &client);
        ASSERT_EQ(client.bottom, 600);
    }

    void TearDown() override { DestroyWindow(layout.main); }

    HWND Bar(int height, bool visible)
    {
        return CreateWindowExA(0, "STATIC", "", WS_CHILD | (visible ? WS_VISIBLE : 0), 0, 0, 400,
                               height, layout.main, 0, 0, 0);
    }
};

TEST_F(LayoutTest, EditorBetweenTheBars)
{
    layout.toolbar = Bar(28, true);
    layout.status = Bar(20, true);
    RECT rect;
    ComputeEditorRect(layout, &rect, 0);
    EXPECT_EQ(rect.top, 27);  // overlaps the toolbar's last row
    EXPECT_EQ(rect.bottom, 580);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.right, 400);
}

TEST_F(LayoutTest, HiddenOrMissingBarsLeaveTheWholeClientArea)
{
    RECT rect;
    ComputeEditorRect(layout, &rect, 0);  // no bars at all
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.bottom, 600);

    layout.toolbar = Bar(28, false);
    layout.status = Bar(20, false);
    ComputeEditorRect(layout, &rect, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.bottom, 600);
    ComputeEditorRect(layout, &rect, 1);  // counting hidden bars
    EXPECT_EQ(rect.top, 27);
    EXPECT_EQ(rect.bottom, 580);
}

TEST_F(LayoutTest, LayoutMovesTheEditorAndStretchesTheStatusPart)
{
    InitCommonControls();
    layout.status = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "", layout.main, 0);
    ASSERT_TRUE(layout.status);
    SetStatusParts(layout.status, 1);
    int edge = 0;
    SendMessageA(layout.status, SB_GETPARTS, 1, (LPARAM)&edge);
    EXPECT_EQ(edge, 400);

    SetWindowPos(layout.main, 0, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER);
    RECT rect;
    LayoutMainWindow(layout, &rect);
    SendMessageA(layout.status, SB_GETPARTS, 1, (LPARAM)&edge);
    EXPECT_EQ(edge, -1);

    RECT status, editor, client;
    GetWindowRect(layout.status, &status);
    GetClientRect(layout.main, &client);
    EXPECT_EQ(rect.bottom, client.bottom - (status.bottom - status.top));
    GetWindowRect(layout.editor, &editor);
    EXPECT_EQ(editor.right - editor.left, client.right);
    EXPECT_EQ(editor.bottom - editor.top, rect.bottom - rect.top);
}

TEST_F(LayoutTest, ALastPartOfItsOwnWidthStaysAtTheRightEdge)
{
    InitCommonControls();
    layout.status = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "", layout.main, 0);
    ASSERT_TRUE(layout.status);
    SetStatusParts(layout.status, 1);
    SetStatusLastPartWidth(layout.status, 150);
    int edges[2] = {0, 0};
    ASSERT_EQ(SendMessageA(layout.status, SB_GETPARTS, 2, (LPARAM)edges), 2);
    RECT client;
    GetClientRect(layout.status, &client);
    EXPECT_EQ(edges[0], client.right - 150);
    EXPECT_EQ(edges[1], -1);

    SetWindowPos(layout.main, 0, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER);
    RECT rect;
    LayoutMainWindow(layout, &rect);
    SendMessageA(layout.status, SB_GETPARTS, 2, (LPARAM)edges);
    GetClientRect(layout.status, &client);
    EXPECT_GT(client.right, 600);
    EXPECT_EQ(edges[0], client.right - 150);
    EXPECT_EQ(edges[1], -1);
}

TEST_F(LayoutTest, ToolbarButtonCheckedState)
{
    InitCommonControls();
    TBBUTTON button = {0, 4242, TBSTATE_ENABLED | TBSTATE_INDETERMINATE, TBSTYLE_BUTTON, {0}, 0, 0};
    HWND toolbar = CreateToolbarEx(layout.main, WS_CHILD, 0, 0, 0, 0, &button, 1, 0, 0, 16, 16,
                                   sizeof button);
    ASSERT_TRUE(toolbar);
    SetToolbarButtonChecked(toolbar, 4242, 1);
    EXPECT_TRUE(SendMessageA(toolbar, TB_ISBUTTONCHECKED, 4242, 0));
    EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONINDETERMINATE, 4242, 0));
    SetToolbarButtonChecked(toolbar, 4242, 0);
    EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONCHECKED, 4242, 0));
}
