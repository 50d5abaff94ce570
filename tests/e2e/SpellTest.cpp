// Spell checking in the real program: /spell over the clipboard, and the Spell Check
// dialog over the document.
#include <gtest/gtest.h>

#include "Driver.h"
#include <richedit.h>
#include <string.h>
#include <vector>

namespace {

const int WORD_FIELD = 1021, SUGGESTIONS = 1022, FIND_NEXT = 1027, REPLACE = 1028;

}  // namespace

TEST(SpellE2E, SpellChecksTheClipboardPutsTheCorrectionBackAndCloses)
{
    ASSERT_TRUE(SetClipboardText("Thsi is a tset\r\nof the clipboard."));
    RunningProgram program = StartProgram("/spell", "OrvelloWord");
    ASSERT_TRUE(program.main);
    HWND dialog = WaitForDialog("Spell Check");
    ASSERT_TRUE(dialog);
    HWND word = GetDlgItem(dialog, WORD_FIELD), combo = GetDlgItem(dialog, SUGGESTIONS);
    ASSERT_TRUE(WaitForText(word, "Thsi"));
    EXPECT_EQ(WindowText(combo), "This");
    // Replace goes on to the next misspelling by itself; after the last, to the end.
    PressButton(dialog, REPLACE);
    ASSERT_TRUE(WaitForText(word, "tset"));
    EXPECT_EQ(WindowText(combo), "test");
    PressButton(dialog, REPLACE);
    HWND box = WaitForMessageBox("OrvelloWord", "Finished spell check.");
    ASSERT_TRUE(box);
    PressButton(box, IDOK);
    box = WaitForMessageBox("OrvelloWord", "Save Changes to System Clipboard?");
    ASSERT_TRUE(box);
    PressButton(box, IDYES);
    EXPECT_TRUE(WaitForExit(program));
    EXPECT_EQ(ClipboardText(), "This is a test\r\nof the clipboard.");
}

TEST(SpellE2E, EmptyClipboardSaysSoAndCloses)
{
    ASSERT_TRUE(SetClipboardText(0));
    RunningProgram program = StartProgram("/spell", "OrvelloWord");
    ASSERT_TRUE(program.main);
    HWND box = WaitForMessageBox("OrvelloWord", "System Clipboard is empty.");
    ASSERT_TRUE(box);
    PressButton(box, IDOK);
    EXPECT_TRUE(WaitForExit(program));
}

namespace {

struct SpellSearch {
    DWORD process;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectSpellDialog(HWND window, LPARAM data)
{
    SpellSearch *search = (SpellSearch *)data;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[64] = "", title[64] = "";
    GetClassNameA(window, name, sizeof name);
    GetWindowTextA(window, title, sizeof title);
    if (owner == search->process && !strcmp(name, "#32770") && !strcmp(title, "Spell Check"))
        search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> SpellDialogsOf(const RunningProgram &program)
{
    SpellSearch search = {program.process.dwProcessId, {}};
    EnumWindows(CollectSpellDialog, (LPARAM)&search);
    return search.found;
}

}  // namespace

TEST(SpellE2E, SpellCheckCommandOpensOneDialogOverTheDocument)
{
    RunningProgram program = StartProgram("", "OrvelloWord");
    ASSERT_TRUE(program.main);
    HWND editor = FindChild(program.main, "RichEdit20A");
    SendMessageA(editor, WM_SETTEXT, 0, (LPARAM) "All fine but recieve.");
    SendMessageA(program.main, WM_COMMAND, 40043, 0);
    HWND dialog = WaitForDialog("Spell Check");
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(WaitForText(GetDlgItem(dialog, WORD_FIELD), "recieve"));
    EXPECT_EQ(WindowText(GetDlgItem(dialog, SUGGESTIONS)), "receive");
    DWORD start = 0, end = 0;
    SendMessageA(editor, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    EXPECT_EQ(start, 13u);
    EXPECT_EQ(end, 20u);
    // A second Spell Check only brings the open one to the front. Sent, so it has run
    // when the call returns; every top-level "Spell Check" of the program is counted,
    // wherever a newer one would sit in the window order.
    SendMessageA(program.main, WM_COMMAND, 40043, 0);
    EXPECT_EQ(SpellDialogsOf(program), std::vector<HWND>{dialog});
    PressButton(dialog, IDCANCEL);
    for (int i = 0; i < 100 && IsWindow(dialog); ++i)
        Pause(50);
    EXPECT_FALSE(IsWindow(dialog));
    SendMessageA(editor, EM_SETMODIFY, FALSE, 0);
    EXPECT_TRUE(CloseProgram(program));
}
