// The dialogs and menus from the keyboard: tab order, mnemonics, Enter and Escape, as the
// templates and menus in the resources give them.
#include <gtest/gtest.h>
#include <windows.h>
#include <ctype.h>
#include <string.h>
#include <string>
#include <vector>

#include "res/resource.h"

namespace {

int LastCommand = 0;

INT_PTR CALLBACK RecordCommands(HWND, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    // Presses only: focus changes notify too.
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
        LastCommand = LOWORD(wParam);
    return FALSE;
}

struct Mnemonic {
    char letter;
    int reaches;  // the control that gets the focus, or the button that is pressed
};

struct DialogKeys {
    int dialog;
    std::vector<int> tabOrder;
    std::vector<Mnemonic> mnemonics;  // every mnemonic of the dialog
    int enter;                        // the command of Enter: the default button
};

const DialogKeys DIALOGS[] = {
    {IDD_GOTO,
     {IDC_GOTO_LINE, IDC_GOTO_NUMBER, IDOK, IDCANCEL},
     {{'l', IDC_GOTO_LINE}, {'c', IDC_GOTO_CHAR}},
     IDOK},
    {IDD_FIND,
     {IDC_FIND_TEXT, IDC_FIND_ESCAPES, IDC_REPLACE_TEXT, IDC_REPLACE_ESCAPES, IDC_WHOLE_WORD,
      IDC_MATCH_CASE, IDC_SEARCH_UP, IDC_FIND_NEXT_BUTTON, IDC_REPLACE, IDC_REPLACE_ALL, IDCANCEL},
     {{'n', IDC_FIND_TEXT}, {'t', IDC_FIND_ESCAPES}, {'p', IDC_REPLACE_TEXT},
      {'l', IDC_REPLACE_ESCAPES}, {'w', IDC_WHOLE_WORD}, {'c', IDC_MATCH_CASE},
      {'u', IDC_SEARCH_UP}, {'d', IDC_SEARCH_DOWN}, {'f', IDC_FIND_NEXT_BUTTON},
      {'r', IDC_REPLACE}, {'a', IDC_REPLACE_ALL}},
     IDC_FIND_NEXT_BUTTON},
    {IDD_LINE_SORT,
     {IDC_SORT_REVERSE, IDC_SORT_CASE, IDOK, IDCANCEL},
     {{'r', IDC_SORT_REVERSE}, {'s', IDC_SORT_CASE}},
     IDOK},
    {IDD_TEXT_FORMAT,
     {IDC_FORMAT_BOLD, IDC_FORMAT_COLOR, IDC_FORMAT_ITALIC, IDC_FORMAT_UNDERLINE,
      IDC_FORMAT_STRIKEOUT, IDC_FORMAT_OFFSET, IDC_FORMAT_SIZE, IDC_FORMAT_FACE, IDC_FORMAT_LEFT,
      IDC_FORMAT_RIGHT, IDC_FORMAT_FIRST_LINE, IDC_FORMAT_ALIGNMENT, IDC_FORMAT_BULLETS,
      IDC_FORMAT_TABS, IDOK, IDCANCEL},
     {{'b', IDC_FORMAT_BOLD}, {'c', IDC_FORMAT_COLOR}, {'i', IDC_FORMAT_ITALIC},
      {'u', IDC_FORMAT_UNDERLINE}, {'k', IDC_FORMAT_STRIKEOUT}, {'v', IDC_FORMAT_OFFSET},
      {'s', IDC_FORMAT_SIZE}, {'o', IDC_FORMAT_FACE}, {'l', IDC_FORMAT_LEFT},
      {'r', IDC_FORMAT_RIGHT}, {'f', IDC_FORMAT_FIRST_LINE}, {'a', IDC_FORMAT_ALIGNMENT},
      {'e', IDC_FORMAT_BULLETS}, {'t', IDC_FORMAT_TABS}},
     IDOK},
    {IDD_SPELL,
     {IDC_SPELL_WORD, IDC_SPELL_SUGGESTIONS, IDC_SPELL_ADD, IDC_SPELL_FIND_NEXT,
      IDC_SPELL_REPLACE, IDC_SPELL_IGNORE, IDCANCEL},
     {{'m', IDC_SPELL_WORD}, {'w', IDC_SPELL_SUGGESTIONS}, {'d', IDC_SPELL_ADD},
      {'f', IDC_SPELL_FIND_NEXT}, {'r', IDC_SPELL_REPLACE}, {'i', IDC_SPELL_IGNORE}},
     IDC_SPELL_FIND_NEXT},
    {IDD_PRINT_PREVIEW,
     {IDC_PREVIEW_PAGE_COUNT, IDC_PREVIEW_FIRST_PAGE},
     {{'p', IDC_PREVIEW_PAGE_COUNT}, {'f', IDC_PREVIEW_FIRST_PAGE}},
     IDOK},
    {IDD_SAVE_FORMAT, {IDC_SAVE_FORMAT_LIST}, {{'f', IDC_SAVE_FORMAT_LIST}}, IDOK},
};

// The mnemonic letters of a dialog's controls, in template order.
std::string MnemonicsOf(HWND dialog)
{
    std::string letters;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char text[128] = "";
        GetWindowTextA(child, text, sizeof text);
        for (const char *c = text; *c; ++c)
            if (c[0] == '&' && c[1] && c[1] != '&')
                letters += (char)tolower((unsigned char)c[1]);
    }
    return letters;
}

void Key(HWND dialog, UINT message, WPARAM key)
{
    MSG msg = {GetFocus(), message, key, message == WM_SYSCHAR ? 0x20000001 : 0x00000001};
    LastCommand = 0;
    IsDialogMessageA(dialog, &msg);
}

HWND Host()
{
    static HWND host = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                                       0, 0, 0, 0);
    return host;
}

}  // namespace

TEST(Keyboard, DialogsTabInReadingOrderAndTheirMnemonicsReachTheirFields)
{
    for (const DialogKeys &keys : DIALOGS) {
        SCOPED_TRACE(keys.dialog);
        HWND dialog = CreateDialogParamA(GetModuleHandleA(0), MAKEINTRESOURCEA(keys.dialog),
                                         Host(), RecordCommands, 0);
        ASSERT_TRUE(dialog);
        ShowWindow(dialog, SW_SHOW);
        HWND first = GetNextDlgTabItem(dialog, 0, FALSE);
        std::vector<int> order;
        for (HWND item = first; item && order.size() < 40;) {
            order.push_back(GetDlgCtrlID(item));
            item = GetNextDlgTabItem(dialog, item, FALSE);
            if (item == first)
                break;
        }
        EXPECT_EQ(order, keys.tabOrder);

        // Every mnemonic is listed once, and each reaches its control.
        std::string listed;
        for (const Mnemonic &m : keys.mnemonics)
            listed += m.letter;
        EXPECT_EQ(MnemonicsOf(dialog), listed);
        for (const Mnemonic &m : keys.mnemonics) {
            SetFocus(first);
            Key(dialog, WM_SYSCHAR, m.letter);
            // A drop-down combo's focus is in its edit field.
            HWND focus = GetFocus();
            if (focus && GetParent(focus) != dialog)
                focus = GetParent(focus);
            int reached = LastCommand ? LastCommand : GetDlgCtrlID(focus);
            EXPECT_EQ(reached, m.reaches) << m.letter;
        }

        SetFocus(first);
        Key(dialog, WM_KEYDOWN, VK_RETURN);
        EXPECT_EQ(LastCommand, keys.enter);
        SetFocus(first);
        Key(dialog, WM_KEYDOWN, VK_ESCAPE);
        EXPECT_EQ(LastCommand, IDCANCEL);
        DestroyWindow(dialog);
    }
}

namespace {

// The text after the tab of a menu item, "" when it has none.
std::string ShortcutOf(HMENU menu, int id)
{
    char text[128] = "";
    GetMenuStringA(menu, id, text, sizeof text, MF_BYCOMMAND);
    const char *tab = strchr(text, '\t');
    return tab ? tab + 1 : "";
}

// Collects the menu's items below menu, each popup's mnemonics checked on the way.
void CheckMnemonics(HMENU menu, const std::string &path)
{
    std::string letters;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[128] = "";
        if (GetMenuItemID(menu, i) == 0 && !GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION))
            continue;  // a separator
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        const char *mark = strchr(text, '&');
        EXPECT_TRUE(mark && mark[1]) << path << " > " << text;
        if (mark && mark[1]) {
            char letter = (char)tolower((unsigned char)mark[1]);
            EXPECT_EQ(letters.find(letter), std::string::npos) << path << " > " << text;
            letters += letter;
        }
        if (HMENU sub = GetSubMenu(menu, i))
            CheckMnemonics(sub, path + " > " + text);
    }
}

}  // namespace

TEST(Keyboard, EveryMenuItemHasAMnemonicAndShowsItsShortcut)
{
    HMENU editor = LoadMenuA(GetModuleHandleA(0), MAKEINTRESOURCEA(IDM_EDITOR));
    HMENU output = LoadMenuA(GetModuleHandleA(0), MAKEINTRESOURCEA(IDM_OUTPUT));
    ASSERT_TRUE(editor && output);
    CheckMnemonics(editor, "editor");
    CheckMnemonics(output, "output");

    // The control's own keys, which the accelerator table does not hold.
    static const struct { HMENU *menu; int id; const char *shortcut; } keys[] = {
        {&editor, IDC_UNDO, "Ctrl+Z"},       {&editor, IDC_CUT, "Ctrl+X"},
        {&editor, IDC_COPY, "Ctrl+C"},       {&editor, IDC_PASTE, "Ctrl+V"},
        {&editor, IDC_DELETE, "Del"},        {&editor, IDC_SELECT_ALL, "Ctrl+A"},
        {&output, IDC_COPY, "Ctrl+C"},       {&output, IDC_SELECT_ALL, "Ctrl+A"},
    };
    for (const auto &k : keys)
        EXPECT_EQ(ShortcutOf(*k.menu, k.id), k.shortcut) << k.id;

    // Every accelerator whose command is in a menu is shown there.
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(0), MAKEINTRESOURCEA(IDA_MAIN));
    ACCEL accelerators[32];
    int count = CopyAcceleratorTableA(table, accelerators, 32);
    ASSERT_GT(count, 0);
    int shown = 0;
    for (int i = 0; i < count; ++i) {
        const ACCEL &a = accelerators[i];
        std::string want = a.key >= VK_F1 && a.key <= VK_F12 ? "F" + std::to_string(a.key - VK_F1 + 1)
                                                             : std::string(1, (char)a.key);
        if (a.fVirt & FCONTROL)
            want = "Ctrl+" + want;
        for (HMENU menu : {editor, output})
            if (GetMenuStringA(menu, a.cmd, 0, 0, MF_BYCOMMAND) > 0) {
                EXPECT_EQ(ShortcutOf(menu, a.cmd), want) << a.cmd;
                ++shown;
            }
    }
    EXPECT_GE(shown, 8);
    DestroyMenu(editor);
    DestroyMenu(output);
}
