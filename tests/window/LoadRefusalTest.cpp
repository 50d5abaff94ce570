// While a long text goes into the real main window's editor by pieces, what other
// threads send that would change the document or end the window waits: it is refused,
// and the text arrives whole.
#include <gtest/gtest.h>
#include <windows.h>
#include <richedit.h>
#include <string>

#include "app/App.h"
#include "app/Layout.h"
#include "editor/EditorControl.h"
#include "res/resource.h"

namespace {

struct Sent {
    UINT message;
    WPARAM wParam;
    DWORD_PTR result;
    bool answered;
    bool duringLoad;  // the load was still going on when the answer came
};

Sent Messages[] = {
    {WM_COMMAND, IDC_NEW, 1, false, false},
    {WM_COMMAND, IDC_SELECT_ALL, 1, false, false},
    {WM_SYSCOMMAND, SC_CLOSE, 1, false, false},
    {WM_CLOSE, 0, 1, false, false},
    {WM_QUERYENDSESSION, 0, 1, false, false},
};

DWORD WINAPI SendDuringLoad(void *)
{
    for (int i = 0; i < 5000 && !IsLoadingInPieces(); ++i)
        Sleep(1);
    for (Sent &sent : Messages) {
        sent.answered = SendMessageTimeoutA(MainWindow, sent.message, sent.wParam, 0,
                                            SMTO_NORMAL, 20000, &sent.result) != 0;
        sent.duringLoad = IsLoadingInPieces();
    }
    return 0;
}

}  // namespace

TEST(LoadRefusal, WhatWouldChangeOrCloseTheDocumentIsRefusedWhileATextGoesIn)
{
    // Another suite of this process may have made (and destroyed) a main window already.
    UnregisterClassA(AppName, GetModuleHandleA(0));
    ASSERT_TRUE(StartMainWindow(GetModuleHandleA(0), ""));
    HWND editor = MainLayout.editor;
    EditorControl.control = editor;
    EditorControl.SetWrapMode(WRAP_NONE, 0);
    // Enough pieces that every message gets its own pause between two of them.
    std::string text;
    for (int line = 0; line < 200000; ++line)
        text += "line " + std::to_string(line) + "\r\n";
    HANDLE sender = CreateThread(0, 0, SendDuringLoad, 0, 0, 0);
    ASSERT_TRUE(StreamInText(editor, text.data(), text.size(), SF_TEXT));
    WaitForSingleObject(sender, 30000);
    CloseHandle(sender);

    for (const Sent &sent : Messages) {
        SCOPED_TRACE(sent.message);
        EXPECT_TRUE(sent.answered);
        ASSERT_TRUE(sent.duringLoad) << "the load ended before the message came: make it longer";
        EXPECT_EQ(sent.result, 0u) << "refused";
    }
    EXPECT_TRUE(IsWindow(MainWindow));
    EXPECT_EQ(EditorControl.control, editor);
    EXPECT_EQ(GetWindowTextLengthA(editor), (int)text.size());
    CHARRANGE selection;
    SendMessageA(editor, EM_EXGETSEL, 0, (LPARAM)&selection);
    EXPECT_EQ(selection.cpMax - selection.cpMin, 0) << "Select All did not run";

    SendMessageA(editor, EM_SETMODIFY, FALSE, 0);
    DestroyWindow(MainWindow);
    EditorControl.control = 0;
    MSG quit;
    PeekMessageA(&quit, 0, WM_QUIT, WM_QUIT, PM_REMOVE);
    UnregisterClassA(AppName, GetModuleHandleA(0));
}
