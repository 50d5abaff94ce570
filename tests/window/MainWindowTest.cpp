// The real main window, built by start-up inside the test process.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>
#include <shellapi.h>
#include <shlobj.h>
#include <string>
#include <vector>

#include "app/App.h"
#include "app/Layout.h"
#include "app/Toolbar.h"
#include "document/Document.h"
#include "document/OpenDocument.h"
#include "document/RecentFiles.h"
#include "app/MainWindow.h"
#include "ModalAnswer.h"
#include "editor/EditorControl.h"
#include "res/resource.h"

// The thread timer that answers popup menus; it must not outlive this suite, or it
// would press keys in other suites' menus.
static UINT_PTR PopupTimer = 0;

class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(StartMainWindow(GetModuleHandleA(0), ""));
        StateAtStart = EditorControl.GetEditState();
    }

    static std::string StateAtStart;

    static void TearDownTestSuite()
    {
        if (PopupTimer)
            KillTimer(0, PopupTimer);
        PopupTimer = 0;
        DestroyWindow(MainWindow);
        EditorControl.control = 0;
        // WM_DESTROY posted WM_QUIT, which would end the next suite's message boxes at once.
        MSG quit;
        PeekMessageA(&quit, 0, WM_QUIT, WM_QUIT, PM_REMOVE);
    }

    void SetUp() override
    {
        ASSERT_TRUE(MainWindow);
        EditorControl.control = MainLayout.editor;
        SendMessageA(Editor(), WM_SETTEXT, 0, (LPARAM) "");
        EditorControl.SetTextMode(TEXT_PLAIN);
        SendMessageA(Editor(), WM_SETFONT, (WPARAM)DocumentFont, 0);
    }

    static HWND Editor() { return EditorControl.control; }

    static void Command(int id) { SendMessageA(MainWindow, WM_COMMAND, id, 0); }

    static std::string WindowText(HWND window)
    {
        char text[256] = "";
        GetWindowTextA(window, text, sizeof text);
        return text;
    }

    static std::string StatusText()
    {
        char text[256] = "";
        SendMessageA(StatusBar, SB_GETTEXTA, 0, (LPARAM)text);
        return text;
    }

    static bool Checked(int id)
    {
        return SendMessageA(MainToolbar.window, TB_ISBUTTONCHECKED, id, 0) != 0;
    }

    // Menu state as WM_INITMENU leaves it.
    static UINT MenuState(int id)
    {
        HMENU menu = GetMenu(MainWindow);
        SendMessageA(MainWindow, WM_INITMENU, (WPARAM)menu, 0);
        return GetMenuState(menu, id, MF_BYCOMMAND);
    }

    static bool Grayed(int id) { return MenuState(id) & MF_GRAYED; }

    static void Type(const char *text)
    {
        SendMessageA(Editor(), EM_REPLACESEL, TRUE, (LPARAM)text);
    }
};

std::string MainWindowTest::StateAtStart;

TEST_F(MainWindowTest, StartsAsTheEditor)
{
    EXPECT_EQ(StateAtStart.find('u'), std::string::npos) << "a new document has nothing to undo";
    EXPECT_EQ(SendMessageA(Editor(), EM_GETMODIFY, 0, 0), 0);
    char name[64];
    GetClassNameA(MainWindow, name, sizeof name);
    EXPECT_STREQ(name, "OrvelloWord");
    EXPECT_EQ(WindowText(MainWindow), "OrvelloWord");
    EXPECT_EQ(WindowText(SizeCombo), "10");
    EXPECT_EQ(WindowText(FontCombo), "Courier New");
    EXPECT_EQ(SendMessageA(SizeCombo, CB_GETCOUNT, 0, 0), 44);
    EXPECT_GT(SendMessageA(FontCombo, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(EditorControl.GetTextMode(), TEXT_PLAIN);
    EXPECT_TRUE(GetWindowLongA(Editor(), GWL_STYLE) & ES_SELECTIONBAR ||
                SendMessageA(Editor(), EM_GETOPTIONS, 0, 0) & ECO_SELECTIONBAR);
    EXPECT_EQ(GetParent(SizeCombo), MainToolbar.window);
    EXPECT_EQ(MainToolbar.controls[0], SizeCombo);
    EXPECT_EQ(MainToolbar.controls[1], FontCombo);
    EXPECT_EQ(SendMessageA(MainToolbar.window, TB_BUTTONCOUNT, 0, 0), 16);
}

TEST_F(MainWindowTest, BarsToggleAndTheEditorFollows)
{
    bool toolbarShown = IsWindowVisible(MainToolbar.window);
    Command(IDC_TOOLBAR);
    EXPECT_NE((bool)IsWindowVisible(MainToolbar.window), toolbarShown);
    Command(IDC_TOOLBAR);
    EXPECT_EQ((bool)IsWindowVisible(MainToolbar.window), toolbarShown);

    if (!IsWindowVisible(MainToolbar.window))
        Command(IDC_TOOLBAR);
    if (!IsWindowVisible(StatusBar))
        Command(IDC_STATUSBAR);
    RECT toolbar, editor;
    GetWindowRect(MainToolbar.window, &toolbar);
    GetWindowRect(Editor(), &editor);
    EXPECT_EQ(editor.top, toolbar.bottom - 1);
    EXPECT_TRUE(MenuState(IDC_TOOLBAR) & MF_CHECKED);
    EXPECT_TRUE(MenuState(IDC_STATUSBAR) & MF_CHECKED);

    Command(IDC_STATUSBAR);
    EXPECT_FALSE(IsWindowVisible(StatusBar));
    EXPECT_FALSE(MenuState(IDC_STATUSBAR) & MF_CHECKED);
    RECT client;
    GetClientRect(MainWindow, &client);
    GetClientRect(Editor(), &editor);
    RECT frame;
    GetWindowRect(Editor(), &frame);
    POINT bottom = {0, frame.bottom};
    ScreenToClient(MainWindow, &bottom);
    EXPECT_EQ(bottom.y, client.bottom);
    Command(IDC_STATUSBAR);
}

TEST_F(MainWindowTest, StatusBarFollowsTheCaret)
{
    Type("first line\rsecond");
    EditorControl.SetSelection(14, 14);
    EXPECT_EQ(StatusText(), "Ln 2, col 4");
    EditorControl.SetSelection(0, 0);
    EXPECT_EQ(StatusText(), "Ln 1, col 1");
    EditorControl.SetSelection(-1, -1);
    EXPECT_EQ(StatusText(), "Ln 2, col 7");
}

TEST_F(MainWindowTest, WrappedTheStatusBarCountsTheFilesLines)
{
    // Every other line wraps at any window width.
    std::string text, wide(400, 'w');
    std::vector<int> starts;
    for (int i = 0; i < 10; ++i) {
        starts.push_back((int)text.size());
        text += (i % 2 ? wide : "line " + std::to_string(i + 1)) + "\r";
    }
    Type(text.c_str());
    static const struct { int line, column; } places[] = {
        {0, 0}, {1, 0}, {1, 399}, {4, 2}, {9, 0}, {9, 300},
    };
    for (int wrap : {WRAP_WINDOW, WRAP_PAGE, WRAP_NONE}) {
        EditorControl.SetWrapMode(wrap, 6000);
        for (const auto &p : places) {
            EditorControl.SetSelection(starts[p.line] + p.column, starts[p.line] + p.column);
            EXPECT_EQ(StatusText(), "Ln " + std::to_string(p.line + 1) + ", col " +
                                        std::to_string(p.column + 1)) << wrap;
        }
    }
    EditorControl.SetWrapMode(WRAP_PAGE, 6000);
}

TEST_F(MainWindowTest, FarIntoAWrappedTextTheStatusBarFollowsOnceTypingPauses)
{
    std::string text, wide(400, 'w');
    std::vector<int> starts;
    for (int i = 0; i < 1100; ++i) {
        starts.push_back((int)text.size());
        text += (i % 2 ? wide : "line " + std::to_string(i + 1)) + "\r";
    }
    Type(text.c_str());
    EditorControl.SetWrapMode(WRAP_WINDOW, 0);
    static const struct { int line, column; } places[] = {{1099, 0}, {1050, 5}, {3, 1}};
    for (const auto &p : places) {
        EditorControl.SetSelection(starts[p.line] + p.column, starts[p.line] + p.column);
        std::string want = "Ln " + std::to_string(p.line + 1) + ", col " +
                           std::to_string(p.column + 1);
        for (DWORD start = GetTickCount(); StatusText() != want && GetTickCount() - start < 3000;) {
            MSG message;
            while (PeekMessageA(&message, 0, 0, 0, PM_REMOVE))
                DispatchMessageA(&message);
            Sleep(10);
        }
        EXPECT_EQ(StatusText(), want);
    }
    EditorControl.SetWrapMode(WRAP_PAGE, 6000);
}

TEST_F(MainWindowTest, CtrlBIAndUToggleBoldItalicAndUnderline)
{
    Type("some text");
    BYTE keys[256], saved[256];
    GetKeyboardState(saved);
    memcpy(keys, saved, sizeof keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    static const struct { char key; int command; } shortcuts[] = {
        {'B', IDC_BOLD}, {'I', IDC_ITALIC}, {'U', IDC_UNDERLINE},
    };
    for (const auto &k : shortcuts) {
        EditorControl.SetSelection(0, 4);
        MSG press = {Editor(), WM_KEYDOWN, (WPARAM)k.key, 0x00000001};
        EXPECT_TRUE(TranslateAcceleratorA(MainWindow, Accelerators, &press)) << k.key;
        EXPECT_TRUE(Checked(k.command)) << k.key;
        EXPECT_TRUE(TranslateAcceleratorA(MainWindow, Accelerators, &press)) << k.key;
        EXPECT_FALSE(Checked(k.command)) << k.key;
    }
    SetKeyboardState(saved);
}

TEST_F(MainWindowTest, FontBoxShowsTheFacesOwnSpellingWithoutAHighlight)
{
    LRESULT added = SendMessageA(FontCombo, CB_ADDSTRING, 0, (LPARAM) "Orvello Test Face");
    Type("abc");
    EditorControl.SetTextMode(TEXT_RICH);
    SetFocus(Editor());
    static const struct { const char *item, *shown; } faces[] = {
        {"f=orvello test face;", "Orvello Test Face"},
        {"f=ORVELLO TEST FACE;", "Orvello Test Face"},
        {"f=Unlisted Face;", "Unlisted Face"},
    };
    for (const auto &f : faces) {
        EditorControl.SetSelection(0, 3);
        EditorControl.ApplyFormatDescriptor(f.item);
        FollowSelection();
        EXPECT_EQ(WindowText(FontCombo), f.shown);
        DWORD start = 0, end = 0;
        SendMessageA(FontCombo, CB_GETEDITSEL, (WPARAM)&start, (LPARAM)&end);
        EXPECT_EQ(start, end) << f.item;
    }
    SendMessageA(FontCombo, CB_DELETESTRING, added, 0);
}

TEST_F(MainWindowTest, SmallestWindowKeepsTheMenuOnOneLineAndLinesOfText)
{
    RECT before;
    GetWindowRect(MainWindow, &before);
    HMENU menu = GetMenu(MainWindow);
    for (SIZE tiny : {SIZE{20, 20}, SIZE{120, 60}, SIZE{300, 40}}) {
        MoveWindow(MainWindow, 10, 10, tiny.cx, tiny.cy, TRUE);
        RECT first, last, client;
        ASSERT_TRUE(GetMenuItemRect(MainWindow, menu, 0, &first));
        ASSERT_TRUE(GetMenuItemRect(MainWindow, menu, GetMenuItemCount(menu) - 1, &last));
        EXPECT_EQ(first.top, last.top) << tiny.cx << "x" << tiny.cy;  // one line of menu
        GetClientRect(Editor(), &client);
        TEXTMETRICA text;
        HDC dc = GetDC(Editor());
        HGDIOBJ old = SelectObject(dc, (HGDIOBJ)SendMessageA(Editor(), WM_GETFONT, 0, 0));
        GetTextMetricsA(dc, &text);
        SelectObject(dc, old);
        ReleaseDC(Editor(), dc);
        EXPECT_GE(client.bottom, MINIMUM_TEXT_LINES * text.tmHeight) << tiny.cx << "x" << tiny.cy;
    }
    MoveWindow(MainWindow, before.left, before.top, before.right - before.left,
               before.bottom - before.top, TRUE);
}

TEST_F(MainWindowTest, BoldMakesPlainTextRichAndTheButtonFollows)
{
    Type("bold plain");
    EditorControl.SetSelection(0, 4);
    ASSERT_EQ(EditorControl.GetTextMode(), TEXT_PLAIN);
    Command(IDC_BOLD);
    EXPECT_EQ(EditorControl.GetTextMode(), TEXT_RICH);
    EXPECT_TRUE(Checked(IDC_BOLD));

    EditorControl.SetSelection(6, 8);
    EXPECT_FALSE(Checked(IDC_BOLD));
    EditorControl.SetSelection(0, -1);  // mixed: Bold makes all of it bold
    EXPECT_FALSE(Checked(IDC_BOLD));
    Command(IDC_BOLD);
    EditorControl.SetSelection(6, 8);
    EXPECT_TRUE(Checked(IDC_BOLD));
    EditorControl.SetSelection(0, -1);
    Command(IDC_BOLD);  // all bold: toggles off
    EXPECT_FALSE(Checked(IDC_BOLD));
}

TEST_F(MainWindowTest, ItalicUnderlineAlignmentAndBullets)
{
    Type("styled");
    EditorControl.SetSelection(0, -1);
    Command(IDC_ITALIC);
    Command(IDC_UNDERLINE);
    Command(IDC_CENTER);
    Command(IDC_BULLETS);
    EditorControl.SetSelection(1, 3);
    EXPECT_TRUE(Checked(IDC_ITALIC));
    EXPECT_TRUE(Checked(IDC_UNDERLINE));
    EXPECT_TRUE(Checked(IDC_CENTER));
    EXPECT_FALSE(Checked(IDC_ALIGN_LEFT));
    EXPECT_TRUE(Checked(IDC_BULLETS));
    Command(IDC_ALIGN_RIGHT);
    Command(IDC_BULLETS);
    EditorControl.SetSelection(0, 0);
    EXPECT_TRUE(Checked(IDC_ALIGN_RIGHT));
    EXPECT_FALSE(Checked(IDC_CENTER));
    EXPECT_FALSE(Checked(IDC_BULLETS));
    Command(IDC_ALIGN_LEFT);
    EditorControl.SetSelection(1, 1);
    EXPECT_TRUE(Checked(IDC_ALIGN_LEFT));
}

TEST_F(MainWindowTest, CombosApplySizeAndFaceToTheSelection)
{
    Type("small large");
    EditorControl.SetSelection(6, 11);
    int item = (int)SendMessageA(SizeCombo, CB_FINDSTRINGEXACT, -1, (LPARAM) "16");
    ASSERT_GE(item, 0);
    SendMessageA(SizeCombo, CB_SETCURSEL, item, 0);
    SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(0, CBN_CLOSEUP), (LPARAM)SizeCombo);
    EXPECT_EQ(EditorControl.GetTextMode(), TEXT_RICH);

    EditorControl.SetSelection(0, 3);
    EXPECT_EQ(WindowText(SizeCombo), "10");
    EditorControl.SetSelection(7, 9);
    EXPECT_EQ(WindowText(SizeCombo), "16");
    EditorControl.SetSelection(0, -1);
    EXPECT_EQ(WindowText(SizeCombo), "");  // mixed sizes

    // A typed size with no list selection.
    EditorControl.SetSelection(0, 5);
    SendMessageA(SizeCombo, CB_SETCURSEL, (WPARAM)-1, 0);
    SetWindowTextA(SizeCombo, "18");
    SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(0, CBN_CLOSEUP), (LPARAM)SizeCombo);
    EditorControl.SetSelection(1, 2);
    EXPECT_EQ(WindowText(SizeCombo), "18");

    SendMessageA(FontCombo, CB_SETCURSEL, (WPARAM)-1, 0);
    SetWindowTextA(FontCombo, "Arial");
    SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(0, CBN_CLOSEUP), (LPARAM)FontCombo);
    EditorControl.SetSelection(1, 2);
    EXPECT_EQ(WindowText(FontCombo), "Arial");

    // Other notifications of the combos change nothing.
    SendMessageA(SizeCombo, CB_SETCURSEL, SendMessageA(SizeCombo, CB_FINDSTRINGEXACT, -1,
                                                       (LPARAM) "24"), 0);
    SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), (LPARAM)SizeCombo);
    EditorControl.SetSelection(2, 3);
    EXPECT_EQ(WindowText(SizeCombo), "18");
}

TEST_F(MainWindowTest, ClosingTheRealDropDownReachesTheMainWindow)
{
    Type("through the toolbar");
    EditorControl.SetSelection(0, 7);
    int item = (int)SendMessageA(SizeCombo, CB_FINDSTRINGEXACT, -1, (LPARAM) "20");
    ASSERT_GE(item, 0);
    SendMessageA(SizeCombo, CB_SHOWDROPDOWN, TRUE, 0);
    SendMessageA(SizeCombo, CB_SETCURSEL, item, 0);
    SendMessageA(SizeCombo, CB_SHOWDROPDOWN, FALSE, 0);  // the combo tells its parent, the toolbar
    EXPECT_EQ(EditorControl.GetTextMode(), TEXT_RICH);
    EditorControl.SetSelection(8, 9);
    EditorControl.SetSelection(1, 2);
    EXPECT_EQ(WindowText(SizeCombo), "20");
    EXPECT_EQ(GetFocus(), Editor());
}

TEST_F(MainWindowTest, MenuStateOfAnEmptyDocument)
{
    if (OpenClipboard(0)) {
        EmptyClipboard();
        CloseClipboard();
    }
    const int needText[] = {IDC_SELECT_ALL, IDC_GOTO,      IDC_SPELL,
                            IDC_FIND,       IDC_FIND_NEXT, IDC_SORT_LINES};
    for (int id : needText)
        EXPECT_TRUE(Grayed(id)) << id;
    EXPECT_TRUE(Grayed(IDC_UNDO));
    EXPECT_TRUE(Grayed(IDC_REDO));
    EXPECT_TRUE(Grayed(IDC_CUT));
    EXPECT_TRUE(Grayed(IDC_COPY));
    EXPECT_TRUE(Grayed(IDC_DELETE));
    EXPECT_TRUE(Grayed(IDC_PASTE));
    EXPECT_TRUE(Grayed(IDC_SPELL_CLIPBOARD));
    EXPECT_TRUE(MenuState(IDC_PLAIN_TEXT) & MF_CHECKED);
    EXPECT_FALSE(MenuState(IDC_RICH_TEXT) & MF_CHECKED);
}

TEST_F(MainWindowTest, MenuStateFollowsSelectionUndoAndModes)
{
    Type("some text");
    for (int id : {IDC_SELECT_ALL, IDC_FIND, IDC_SORT_LINES})
        EXPECT_FALSE(Grayed(id)) << id;
    EXPECT_FALSE(Grayed(IDC_UNDO));
    EXPECT_TRUE(Grayed(IDC_CUT));

    Command(IDC_SELECT_ALL);
    EXPECT_FALSE(Grayed(IDC_CUT));
    EXPECT_FALSE(Grayed(IDC_COPY));
    EXPECT_FALSE(Grayed(IDC_DELETE));
    Command(IDC_COPY);
    EXPECT_FALSE(Grayed(IDC_PASTE));
    EXPECT_FALSE(Grayed(IDC_SPELL_CLIPBOARD));
    Command(IDC_DELETE);
    EXPECT_EQ(GetWindowTextLengthA(Editor()), 0);
    Command(IDC_UNDO);
    EXPECT_EQ(GetWindowTextLengthA(Editor()), 9);
    EXPECT_FALSE(Grayed(IDC_REDO));

    Command(IDC_RICH_TEXT);
    EXPECT_TRUE(MenuState(IDC_RICH_TEXT) & MF_CHECKED);
    EXPECT_FALSE(MenuState(IDC_PLAIN_TEXT) & MF_CHECKED);
    Command(IDC_NO_WRAP);
    EXPECT_TRUE(MenuState(IDC_NO_WRAP) & MF_CHECKED);
    EXPECT_FALSE(MenuState(IDC_WRAP_WINDOW) & MF_CHECKED);
    Command(IDC_WRAP_PAGE);
    EXPECT_EQ(EditorControl.lineWidth, 8640);
    EXPECT_TRUE(MenuState(IDC_WRAP_PAGE) & MF_CHECKED);
    EXPECT_FALSE(MenuState(IDC_NO_WRAP) & MF_CHECKED);
    Command(IDC_WRAP_WINDOW);
    EXPECT_TRUE(MenuState(IDC_WRAP_WINDOW) & MF_CHECKED);
    EXPECT_EQ(MenuState(IDC_WRAP_WINDOW) & MF_CHECKED, (UINT)MF_CHECKED);
}

TEST_F(MainWindowTest, OutputModeChecksFollowTheFlags)
{
    int saved = ModeFlags;
    ModeFlags = MODE_ACTIVE | MODE_OUTPUT | MODE_FIXED_FONT;
    HMENU menu = LoadMenuA(GetModuleHandleA(0), MAKEINTRESOURCEA(IDM_OUTPUT));
    SendMessageA(MainWindow, WM_INITMENU, (WPARAM)menu, 0);
    EXPECT_TRUE(GetMenuState(menu, IDC_OUTPUT, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(GetMenuState(menu, IDC_TITLE_OUTPUT, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(menu, IDC_FIXED_FONT, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(GetMenuState(menu, IDC_ALWAYS_ON_TOP, MF_BYCOMMAND) & MF_CHECKED);
    SendMessageA(MainWindow, WM_COMMAND, IDC_TITLE_OUTPUT, 0);
    SendMessageA(MainWindow, WM_COMMAND, IDC_OUTPUT, 0);
    EXPECT_EQ(ModeFlags, MODE_ACTIVE | MODE_TITLE_OUTPUT | MODE_FIXED_FONT);
    SendMessageA(MainWindow, WM_INITMENU, (WPARAM)menu, 0);
    EXPECT_TRUE(GetMenuState(menu, IDC_TITLE_OUTPUT, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(GetMenuState(menu, IDC_OUTPUT, MF_BYCOMMAND) & MF_CHECKED);
    DestroyMenu(menu);
    ModeFlags = saved;
}

TEST_F(MainWindowTest, TooltipsAndTrackingSize)
{
    NMTTDISPINFOA info;
    memset(&info, 0, sizeof info);
    info.hdr.hwndFrom = MainToolbar.window;
    info.hdr.idFrom = IDC_ALIGN_RIGHT;
    info.hdr.code = TTN_NEEDTEXTA;
    SendMessageA(MainWindow, WM_NOTIFY, IDC_ALIGN_RIGHT, (LPARAM)&info);
    ASSERT_TRUE(info.lpszText);
    EXPECT_STREQ(info.lpszText, "Align Right");

    MINMAXINFO limits;
    memset(&limits, 0, sizeof limits);
    EXPECT_EQ(SendMessageA(MainWindow, WM_GETMINMAXINFO, 0, (LPARAM)&limits), 0);
    EXPECT_EQ(limits.ptMaxTrackSize.x, GetSystemMetrics(SM_CXSCREEN) * 5 / 4);
    EXPECT_EQ(limits.ptMaxTrackSize.y, GetSystemMetrics(SM_CYSCREEN) * 5 / 4);
}

TEST_F(MainWindowTest, KeyboardMoveCentresAndSizeSnaps)
{
    ShowWindow(MainWindow, SW_RESTORE);
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    MoveWindow(MainWindow, area.left + 10, area.top + 10, 400, 300, TRUE);
    EXPECT_EQ(SendMessageA(MainWindow, WM_SYSCOMMAND, SC_SIZE, 0), 1);
    RECT w;
    GetWindowRect(MainWindow, &w);
    EXPECT_EQ(w.right - w.left, (area.right - area.left) * 50 / 100);
    EXPECT_EQ(w.bottom - w.top, (area.bottom - area.top) * 90 / 100);

    MoveWindow(MainWindow, area.left - 50, area.top + 10, 400, 300, TRUE);
    EXPECT_EQ(SendMessageA(MainWindow, WM_SYSCOMMAND, SC_MOVE, 0), 1);
    GetWindowRect(MainWindow, &w);
    EXPECT_EQ(w.left, area.left);
    EXPECT_EQ(w.right - w.left, (area.right - area.left) / 2);
}

namespace {

// A drop as the shell hands it over: DROPFILES and the paths, double-zero ended.
HDROP MakeDrop(const std::vector<std::string> &paths)
{
    std::string names;
    for (const std::string &path : paths)
        names += path + '\0';
    names += '\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size());
    DROPFILES *drop = (DROPFILES *)GlobalLock(memory);
    drop->pFiles = sizeof(DROPFILES);
    memcpy((char *)drop + sizeof(DROPFILES), names.data(), names.size());
    GlobalUnlock(memory);
    return (HDROP)memory;
}

void HoldControl(bool down)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

// Answers each popup menu of this thread with the keys a user would press.
struct PopupAnswer {
    static std::vector<WPARAM> keys;
    static int shown;
    static HWND last;

    static void Start(std::vector<WPARAM> pressing)
    {
        keys = pressing;
        shown = 0;
        last = 0;
        if (PopupTimer)
            KillTimer(0, PopupTimer);
        PopupTimer = SetTimer(0, 0, 30, Tick);
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        HWND menu = FindWindowA("#32768", 0);
        if (!menu || !IsWindowVisible(menu) || menu == last)
            return;
        last = menu;
        ++shown;
        HoldControl(false);  // the user lets go of Ctrl to choose
        for (WPARAM key : keys)
            PostMessageA(menu, WM_KEYDOWN, key, 0);
    }
};

std::vector<WPARAM> PopupAnswer::keys;
int PopupAnswer::shown = 0;
HWND PopupAnswer::last = 0;

std::string TempFile(const char *name, const char *text)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::string path = std::string(folder) + name;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0);
    DWORD written;
    WriteFile(file, text, (DWORD)strlen(text), &written, 0);
    CloseHandle(file);
    return path;
}

}  // namespace

TEST_F(MainWindowTest, DroppedFilesOpenOneAfterTheOther)
{
    std::string a = TempFile("drop a.txt", "first"), b = TempFile("drop b.txt", "second");
    SendMessageA(MainWindow, WM_DROPFILES, (WPARAM)MakeDrop({a, b}), 0);
    EXPECT_EQ(DropIndex, 0);
    EXPECT_EQ(WindowText(Editor()), "second");
    EXPECT_EQ(std::string(CurrentDocumentPath), b);
    EXPECT_EQ(SendMessageA(Editor(), EM_GETMODIFY, 0, 0), 0);
}

TEST_F(MainWindowTest, CtrlDropAppendsEveryFileNameAfterOneQuestion)
{
    std::string a = TempFile("ctrl a.txt", "A"), b = TempFile("ctrl b.txt", "B"),
                c = TempFile("ctrl c.txt", "C");
    SetCurrentDocument(MainWindow, a.c_str());
    Type("start\r");
    HoldControl(true);
    // Down four times: the fourth choice, "Append File Name to Existing Document".
    PopupAnswer::Start({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    SendMessageA(MainWindow, WM_DROPFILES, (WPARAM)MakeDrop({a, b, c}), 0);
    HoldControl(false);
    EXPECT_EQ(PopupAnswer::shown, 1);
    EXPECT_EQ(OpenChoice, 3);
    EXPECT_EQ(WindowText(Editor()), "start\r\n" + a + "\r\n" + b + "\r\n" + c + "\r\n");
    EXPECT_EQ(std::string(CurrentDocumentPath), a);
}

TEST_F(MainWindowTest, OpenAsFileNameKeepsTitleAndDismissingStopsTheDrop)
{
    std::string a = TempFile("name a.txt", "data of a"), b = TempFile("name b.txt", "data of b");
    SetCurrentDocument(MainWindow, b.c_str());
    std::string title = WindowText(MainWindow);
    HoldControl(true);
    PopupAnswer::Start({VK_DOWN, VK_DOWN, VK_RETURN});  // "Open As File Name Only"
    SendMessageA(MainWindow, WM_DROPFILES, (WPARAM)MakeDrop({a}), 0);
    EXPECT_EQ(PopupAnswer::shown, 1);
    EXPECT_EQ(WindowText(Editor()), a + "\r\n");
    EXPECT_EQ(WindowText(MainWindow), title);
    EXPECT_EQ(SendMessageA(Editor(), EM_GETMODIFY, 0, 0), 0);

    // Escape on the first file's question leaves the document and skips the rest.
    HoldControl(true);
    PopupAnswer::Start({VK_ESCAPE});
    SendMessageA(MainWindow, WM_DROPFILES, (WPARAM)MakeDrop({a, b}), 0);
    HoldControl(false);
    EXPECT_EQ(PopupAnswer::shown, 1);
    EXPECT_EQ(WindowText(Editor()), a + "\r\n");
    EXPECT_EQ(WindowText(MainWindow), title);
}

TEST_F(MainWindowTest, FileThatCannotBeReadLeavesDocumentAndName)
{
    std::string kept = TempFile("kept.txt", "kept");
    ASSERT_EQ(OpenDocument(MainWindow, kept.c_str()), 1);
    std::string title = WindowText(MainWindow);
    Type("changed ");
    std::string text = WindowText(Editor());
    ASSERT_EQ(text, "changed kept");

    // Another program holds the file and shares it with nobody.
    std::string locked = TempFile("locked.txt", "locked");
    HANDLE holder = CreateFileA(locked.c_str(), GENERIC_READ, 0, 0, OPEN_EXISTING, 0, 0);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    ModalAnswer::Expect(IDNO);
    EXPECT_EQ(OpenDocument(MainWindow, locked.c_str()), 0);
    ModalAnswer::Stop();
    CloseHandle(holder);
    EXPECT_EQ(ModalAnswer::shown, 0) << "nothing to ask about when nothing will be opened";
    EXPECT_EQ(WindowText(Editor()), text);
    EXPECT_EQ(WindowText(MainWindow), title);
    EXPECT_EQ(std::string(CurrentDocumentPath), kept);

    // Too large for this process: said so, and nothing changes either.
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::string huge = std::string(folder) + "huge document.txt";
    HANDLE file = CreateFileA(huge.c_str(), GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0);
    LARGE_INTEGER end;
    end.QuadPart = LARGEST_FILE + 1;
    SetFilePointerEx(file, end, 0, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
    ModalAnswer::Expect(IDOK);
    EXPECT_EQ(OpenDocument(MainWindow, huge.c_str()), 0);
    ModalAnswer::Stop();
    DeleteFileA(huge.c_str());
    EXPECT_EQ(ModalAnswer::text, "File is too large to open.");
    EXPECT_EQ(WindowText(Editor()), text);
    EXPECT_EQ(std::string(CurrentDocumentPath), kept);
    SendMessageA(Editor(), EM_SETMODIFY, FALSE, 0);
}

TEST_F(MainWindowTest, RecentEntryStaysWhenTheUserCancelsAndGoesWithItsFile)
{
    std::string first = TempFile("recent first.txt", "first"),
                second = TempFile("recent second.txt", "second");
    ASSERT_EQ(OpenDocument(MainWindow, first.c_str()), 1);
    ASSERT_EQ(OpenDocument(MainWindow, second.c_str()), 1);
    ASSERT_EQ(std::string(GetRecentFile(1)), first);
    Type("changed ");

    ModalAnswer::Expect(IDCANCEL);
    Command(IDC_RECENT_FIRST + 1);
    ModalAnswer::Stop();
    EXPECT_EQ(ModalAnswer::text, "Save Changes?");
    EXPECT_EQ(WindowText(Editor()), "changed second");
    EXPECT_EQ(std::string(GetRecentFile(1)), first);

    SendMessageA(Editor(), EM_SETMODIFY, FALSE, 0);
    DeleteFileA(first.c_str());
    Command(IDC_RECENT_FIRST + 1);
    EXPECT_EQ(std::string(GetRecentFile(0)), second);
    for (int i = 0; i < 4; ++i)
        EXPECT_NE(std::string(GetRecentFile(i)), first) << "entry " << i;
    EXPECT_EQ(WindowText(Editor()), "changed second");
}
