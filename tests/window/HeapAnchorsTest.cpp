// The anchors keep a destroyed control's memory for the next one, under Wine's heap.
#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>
#include <richedit.h>
#include <string>

#include "editor/HeapAnchors.h"

static double WorkingSetMB()
{
    PROCESS_MEMORY_COUNTERS memory = {sizeof memory};
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    return memory.WorkingSetSize / 1048576.0;
}

// A control filled as a trim fills one: pieces of 1,000 lines, an anchor after each.
static HWND FilledControl(HWND parent, HeapAnchors &anchors, int lines)
{
    HWND editor = CreateWindowExA(0, "RichEdit20A", "",
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE |
                                      ES_AUTOVSCROLL | ES_DISABLENOSCROLL,
                                  0, 0, 580, 360, parent, 0, 0, 0);
    SendMessageA(editor, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    SendMessageA(editor, EM_SETUNDOLIMIT, 0, 0);
    SendMessageA(editor, WM_SETREDRAW, FALSE, 0);
    for (int first = 0; first < lines; first += 1000) {
        std::string piece;
        for (int k = first; k < first + 1000; ++k)
            piece += "line " + std::to_string(k) + " of a build log, sixty characters or so\r";
        SendMessageA(editor, EM_REPLACESEL, FALSE, (LPARAM)piece.c_str());
        anchors.After(1000);
    }
    return editor;
}

TEST(HeapAnchorsTest, AControlsMemoryWaitsForTheNextOneAndGoesWhenLetGo)
{
    LoadLibraryA("riched20.dll");
    HWND parent = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, 0, 0,
                                  0, 0);
    ASSERT_TRUE(parent);
    HeapAnchors anchors;
    double start = WorkingSetMB();
    HWND first = FilledControl(parent, anchors, 20000);
    double filled = WorkingSetMB() - start;
    ASSERT_GT(filled, 30.0);  // the control's text is what the figures below are made of

    anchors.Hold();
    DestroyWindow(first);
    HWND second = FilledControl(parent, anchors, 20000);
    double grown = WorkingSetMB() - start - filled;
    EXPECT_LT(grown, filled * 0.3) << "the second control did not take the first one's memory";

    anchors.Clear();
    DestroyWindow(second);
    EXPECT_LT(WorkingSetMB() - start, filled * 0.3) << "memory stayed after every anchor went";
    DestroyWindow(parent);
}
