// Start the real program, close it, and read back what it wrote.
#include <gtest/gtest.h>

#include "Driver.h"
#include <string.h>
#include <richedit.h>

namespace {

void ForgetSettings()
{
    ClearSection("win.ini", "OrvelloWord");
    ClearSection("win.ini", "OXR");
    WritePrivateProfileStringA("Folders", "OrvelloTools", 0, "win.ini");
}

struct Fractions {
    double v[4];
    int show, toolbar, status;
};

Fractions ReadWindowState(const char *section)
{
    Fractions f = {{-1, -1, -1, -1}, -1, -1, -1};
    std::string text = ProfileText("win.ini", section, "WindowState");
    sscanf(text.c_str(), "%lf,%lf,%lf,%lf,%d,%d,%d", &f.v[0], &f.v[1], &f.v[2], &f.v[3], &f.show,
           &f.toolbar, &f.status);
    return f;
}

class StartCloseTest : public ::testing::Test {
protected:
    void SetUp() override { ForgetSettings(); }
    void TearDown() override { ForgetSettings(); }
};

}  // namespace

TEST_F(StartCloseTest, EditorWritesItsSettingsAtCloseAndRestoresThem)
{
    RunningProgram first = StartProgram("", "OrvelloWord");
    ASSERT_TRUE(first.main) << "no OrvelloWord window";
    EXPECT_EQ(WindowText(first.main), "OrvelloWord");
    HWND toolbar = FindChild(first.main, "ToolbarWindow32");
    HWND status = FindChild(first.main, "msctls_statusbar32");
    HWND editor = FindChild(first.main, "RichEdit20A");
    ASSERT_TRUE(toolbar && status && editor);
    EXPECT_TRUE(IsWindowVisible(toolbar));
    EXPECT_TRUE(IsWindowVisible(status));
    EXPECT_TRUE(GetWindowLongA(editor, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(WindowText(FindChild(toolbar, "ComboBox")), "10");

    // The user moves the window and hides the toolbar.
    int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    SetWindowPos(first.main, 0, 100, 80, 640, 480, SWP_NOZORDER);
    SendMessageA(first.main, WM_COMMAND, 40010, 0);
    EXPECT_FALSE(IsWindowVisible(toolbar));
    ASSERT_TRUE(CloseProgram(first)) << "an unmodified document must close without asking";

    Fractions saved = ReadWindowState("OrvelloWord");
    EXPECT_NEAR(saved.v[0] * screenW, 100, 1);
    EXPECT_NEAR(saved.v[1] * screenH, 80, 1);
    EXPECT_NEAR(saved.v[2] * screenW, 740, 1);
    EXPECT_NEAR(saved.v[3] * screenH, 560, 1);
    EXPECT_EQ(saved.show, SW_SHOWNORMAL);
    EXPECT_EQ(saved.toolbar, 0);
    EXPECT_EQ(saved.status, 1);
    EXPECT_EQ(ProfileText("win.ini", "OrvelloWord", "Wrap"), "112");
    EXPECT_EQ(ProfileText("win.ini", "OrvelloWord", "ARG0"), "/spell check system clipboard text");
    std::string app = ProfileText("win.ini", "OXR", "App");
    char program[MAX_PATH];
    GetModuleFileNameA(0, program, sizeof program);
    *strrchr(program, '\\') = 0;
    EXPECT_STRCASEEQ(app.c_str(), (std::string(program) + "\\OrvelloWord.exe /oxr").c_str());

    // A second start restores the placement and the bars.
    RunningProgram second = StartProgram("", "OrvelloWord");
    ASSERT_TRUE(second.main);
    RECT r;
    GetWindowRect(second.main, &r);
    EXPECT_NEAR(r.left, 100, 1);
    EXPECT_NEAR(r.top, 80, 1);
    EXPECT_NEAR(r.right - r.left, 640, 2);
    EXPECT_NEAR(r.bottom - r.top, 480, 2);
    EXPECT_FALSE(IsWindowVisible(FindChild(second.main, "ToolbarWindow32")));
    EXPECT_TRUE(IsWindowVisible(FindChild(second.main, "msctls_statusbar32")));
    SendMessageA(second.main, WM_COMMAND, 40036, 0);  // No Wrap
    ASSERT_TRUE(CloseProgram(second));
    EXPECT_EQ(ProfileText("win.ini", "OrvelloWord", "Wrap"), "0");
}

TEST_F(StartCloseTest, PixelWindowStateAndAnExistingAppKey)
{
    WritePrivateProfileStringA("OrvelloWord", "WindowState", "50,60,650,560,1,0,0", "win.ini");
    WritePrivateProfileStringA("OXR", "App", "C:\\elsewhere\\oxr.exe", "win.ini");
    RunningProgram program = StartProgram("", "OrvelloWord");
    ASSERT_TRUE(program.main);
    RECT r;
    GetWindowRect(program.main, &r);
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.top, 60);
    EXPECT_EQ(r.right, 650);
    EXPECT_FALSE(IsWindowVisible(FindChild(program.main, "ToolbarWindow32")));
    EXPECT_FALSE(IsWindowVisible(FindChild(program.main, "msctls_statusbar32")));
    ASSERT_TRUE(CloseProgram(program));
    EXPECT_EQ(ProfileText("win.ini", "OXR", "App"), "C:\\elsewhere\\oxr.exe");
    Fractions saved = ReadWindowState("OrvelloWord");
    EXPECT_EQ(saved.toolbar, 0);
    EXPECT_EQ(saved.status, 0);
}

TEST_F(StartCloseTest, TypedTextIsNotLostWithoutAnAnswer)
{
    RunningProgram program = StartProgram("", "OrvelloWord");
    ASSERT_TRUE(program.main);
    HWND editor = FindChild(program.main, "RichEdit20A");
    for (const char *c = "typed"; *c; ++c)
        SendMessageA(editor, WM_CHAR, *c, 0);
    EXPECT_EQ(WindowText(editor), "typed");

    // Cancel keeps the window and the text.
    PostMessageA(program.main, WM_CLOSE, 0, 0);
    HWND question = WaitForDialog("OrvelloWord");
    ASSERT_TRUE(question) << "no Save Changes? question";
    EXPECT_TRUE(FindWindowExA(question, 0, "Static", "Save Changes?"));
    PressButton(question, IDCANCEL);
    EXPECT_TRUE(StillRunsAfter(question, program));
    EXPECT_EQ(WindowText(editor), "typed");
    EXPECT_EQ(ProfileText("win.ini", "OrvelloWord", "WindowState"), "<absent>");

    // No discards the text and closes.
    PostMessageA(program.main, WM_CLOSE, 0, 0);
    question = WaitForDialog("OrvelloWord");
    ASSERT_TRUE(question);
    PressButton(question, IDNO);
    EXPECT_TRUE(WaitForExit(program));
    EXPECT_NE(ProfileText("win.ini", "OrvelloWord", "WindowState"), "<absent>");
}

TEST_F(StartCloseTest, OutputWindowPersonality)
{
    RunningProgram program = StartProgram("/oxr", "OXR");
    ASSERT_TRUE(program.main) << "no OXR window";
    EXPECT_EQ(WindowText(program.main), "OXR");
    EXPECT_FALSE(GetWindowLongA(program.main, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    HWND editor = FindChild(program.main, "RichEdit20A");
    ASSERT_TRUE(editor);
    EXPECT_EQ(SendMessageA(editor, EM_GETTEXTMODE, 0, 0) & 3, TM_PLAINTEXT);
    EXPECT_FALSE(IsWindowVisible(FindChild(program.main, "ToolbarWindow32")));
    EXPECT_FALSE(IsWindowVisible(FindChild(program.main, "msctls_statusbar32")));
    EXPECT_FALSE(GetWindowLongA(program.main, GWL_EXSTYLE) & WS_EX_TOPMOST);

    // Typed text in the log window never asks to be saved.
    for (const char *c = "log"; *c; ++c)
        SendMessageA(editor, WM_CHAR, *c, 0);
    // The text keeps the editor's small left margin (its selection bar's) from the border.
    short logLeft = (short)LOWORD(SendMessageA(editor, EM_POSFROMCHAR, 0, 0));

    ASSERT_TRUE(CloseProgram(program));
    EXPECT_EQ(ProfileText("win.ini", "OXR", "Wrap"), "119");
    EXPECT_EQ(ProfileText("win.ini", "OXR", "Mode"), "3");
    EXPECT_NE(ProfileText("win.ini", "OXR", "WindowState"), "<absent>");
    EXPECT_EQ(ProfileText("win.ini", "OXR", "App"), "<absent>");
    EXPECT_EQ(ProfileText("win.ini", "OrvelloWord", "WindowState"), "<absent>");

    // The editor's margin, measured last: closing the editor writes its own settings.
    RunningProgram plain = StartProgram("", "OrvelloWord");
    ASSERT_TRUE(plain.main);
    HWND document = FindChild(plain.main, "RichEdit20A");
    SendMessageA(document, WM_CHAR, 'd', 0);
    EXPECT_EQ(logLeft, (short)LOWORD(SendMessageA(document, EM_POSFROMCHAR, 0, 0)));
    SendMessageA(document, EM_SETMODIFY, FALSE, 0);
    EXPECT_TRUE(CloseProgram(plain));
}

TEST_F(StartCloseTest, StoredModeGainsTheForcedBits)
{
    WritePrivateProfileStringA("OXR", "Mode", "16", "win.ini");
    RunningProgram program = StartProgram("/oxr", "OXR");
    ASSERT_TRUE(program.main);
    EXPECT_TRUE(GetWindowLongA(program.main, GWL_EXSTYLE) & WS_EX_TOPMOST);
    ASSERT_TRUE(CloseProgram(program));
    EXPECT_EQ(ProfileText("win.ini", "OXR", "Mode"), "19");
}

TEST_F(StartCloseTest, ToolFolderKeySendsSettingsToTheToolsIni)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::string tools = std::string(folder) + "OrvelloToolsTest";
    CreateDirectoryA(tools.c_str(), 0);
    std::string ini = tools + "\\OrvelloTools.ini";
    DeleteFileA(ini.c_str());
    WritePrivateProfileStringA("Folders", "OrvelloTools", tools.c_str(), "win.ini");

    RunningProgram program = StartProgram("", "OrvelloWord");
    ASSERT_TRUE(program.main);
    ASSERT_TRUE(CloseProgram(program));
    EXPECT_EQ(ProfileText(ini.c_str(), "OrvelloWord", "Wrap"), "112");
    EXPECT_NE(ProfileText(ini.c_str(), "OrvelloWord", "WindowState"), "<absent>");
    EXPECT_EQ(ProfileText("win.ini", "OrvelloWord", "WindowState"), "<absent>");
    std::string app = ProfileText("win.ini", "OXR", "App");
    EXPECT_EQ(app, tools + "\\OrvelloWord.exe /oxr");
    DeleteFileA(ini.c_str());
    RemoveDirectoryA(tools.c_str());
}
