// A fresh RichEdit window per test, installed as the program's editor control.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <richedit.h>
#include <string>

#include "editor/EditorControl.h"

class EditorWindowTest : public ::testing::Test {
protected:
    HWND parent = 0;
    HWND saved = 0;
    int savedWidth = 0;

    void SetUp() override
    {
        LoadLibraryA("riched32.dll");
        parent = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, 0, 0,
                                 0, 0);
        ASSERT_TRUE(parent);
        HWND editor = CreateWindowExA(0, "RichEdit20A", "",
                                      WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE |
                                          ES_AUTOVSCROLL | ES_NOHIDESEL | ES_WANTRETURN,
                                      0, 0, 580, 360, parent, 0, 0, 0);
        ASSERT_TRUE(editor);
        // Without a font first, Wine's default format is the bold system font.
        SendMessageA(editor, WM_SETFONT, (WPARAM)GetStockObject(ANSI_FIXED_FONT), 0);
        saved = EditorControl.control;
        savedWidth = EditorControl.lineWidth;
        EditorControl.control = editor;
        EditorControl.lineWidth = 0;
    }

    void TearDown() override
    {
        DestroyWindow(parent);
        EditorControl.control = saved;
        EditorControl.lineWidth = savedWidth;
    }

    HWND Editor() const { return EditorControl.control; }

    void SetText(const char *text) { SendMessageA(Editor(), WM_SETTEXT, 0, (LPARAM)text); }

    std::string Text(int format, int lineEnd = LINE_END_CRLF)
    {
        char *text = EditorControl.GetText(format, lineEnd);
        std::string result = text ? text : "<null>";
        delete[] text;
        return result;
    }

    CHARRANGE Selection()
    {
        CHARRANGE range;
        SendMessageA(Editor(), EM_EXGETSEL, 0, (LPARAM)&range);
        return range;
    }

    static void EmptyClipboardNow()
    {
        if (OpenClipboard(0)) {
            EmptyClipboard();
            CloseClipboard();
        }
    }
};
