#include "document/FileView.h"
#include "app/App.h"

#include <commctrl.h>
#include <richedit.h>
#include <stdio.h>
#include <string.h>
#include <string>

#include "app/DocumentStatus.h"
#include "app/Dpi.h"
#include "app/Layout.h"
#include "app/MainWindow.h"
#include "app/OutputWindow.h"
#include "app/Settings.h"
#include "app/Toolbar.h"
#include "document/Document.h"
#include "document/OpenDocument.h"
#include "document/RecentFiles.h"
#include "editor/EditorControl.h"
#include "print/PageSettings.h"
#include "res/resource.h"

static HFONT MakeProfileFont(int pitch, const char *face, int stock)
{
    if (FontMode < 0)
        return (HFONT)GetStockObject(stock);
    HDC screen = GetDC(0);
    int height = -MulDiv(FontMode, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(0, screen);
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, pitch, face);
}

void ParseFontDescription(const char *description, LOGFONTA *font)
{
    memset(font, 0, sizeof *font);
    font->lfHeight = -14;
    font->lfWeight = strstr(description, "bold") ? 700 : strstr(description, "thin") ? 100 : 400;
    font->lfItalic = strstr(description, "italic") ? 1 : 0;
    font->lfUnderline = strstr(description, "underline") ? 1 : 0;
    font->lfStrikeOut = strstr(description, "strike") ? 1 : 0;
    font->lfCharSet = DEFAULT_CHARSET;
    font->lfPitchAndFamily = strstr(description, "fixed") ? FIXED_PITCH : VARIABLE_PITCH;
    if (const char *face = strstr(description, "font="))
        snprintf(font->lfFaceName, sizeof font->lfFaceName, "%s", face + 5);
}

static HFONT MakeDocumentFont(const char *description)
{
    LOGFONTA font;
    ParseFontDescription(description, &font);
    // Its pixel height is meant at 96 DPI: on a larger scale the text keeps its size.
    font.lfHeight = ScaleToDpi(font.lfHeight, SystemDpi());
    return CreateFontIndirectA(&font);
}

// Created before WinMain, in this order.
int FontMode = GetProfileIntA("OrvelloSoftware", "FontMode", -1);
HFONT ProportionalFont = MakeProfileFont(VARIABLE_PITCH, "Arial", ANSI_VAR_FONT);
HFONT FixedFont = MakeProfileFont(FIXED_PITCH, "Courier New", ANSI_FIXED_FONT);
HFONT GuiFont = (HFONT)GetStockObject(DEFAULT_GUI_FONT);

// Destroys the windows that outlive the message loop when the process ends.
static struct ExitCleanUp {
    ~ExitCleanUp()
    {
        SaveRecentFiles();
        if (StatusBar && IsWindow(StatusBar))
            DestroyWindow(StatusBar);
        if (EditorControl.control && IsWindow(EditorControl.control))
            DestroyWindow(EditorControl.control);
    }
} ExitCleanUpAtEnd;

static int CommonControlsReady = (InitCommonControls(), 1);
HFONT DocumentFont = MakeDocumentFont("fixed; font=courier new");

const char *AppName = "OrvelloWord";
int ModeFlags = 0;
const char *FileFilter =
    "Text Files (*.wri; *.rtf; *.txt; *.ini; *.log; *.csv)\0*.wri;*.rtf;*.txt;*.ini;*.log;*.csv\0"
    "All Files (*.*)\0*.*\0";
static const char OutputFileFilter[] = "Text Files (*.txt)\0*.txt\0All Files (*.*)\0*.*\0";
HWND MainWindow = 0;
HACCEL Accelerators = 0;
HWND ModelessDialog = 0;
void (*OnSelectionChanged)() = FollowSelection;

static void CreateToolbarCombos()
{
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN;
    SizeCombo = CreateWindowExA(0, "ComboBox", "", style, 320, 2, 48, 600, MainToolbar.window,
                                0, 0, 0);
    AddToolbarControl(&MainToolbar, SizeCombo, 0);
    FillSizeList(SizeCombo, 8, 14, 1, 80, 2, 160, 20);
    SendMessageA(SizeCombo, CB_SETCURSEL, 1, 0);

    FontCombo = CreateWindowExA(0, "ComboBox", "", style | CBS_SORT, 380, 2, 180, 600,
                                MainToolbar.window, 0, 0, 0);
    AddToolbarControl(&MainToolbar, FontCombo, 0);
    // Their places and font at the window's scale (at 100 % the ones above).
    PlaceToolbarCombos(MainWindowDpi);
    HDC screen = GetDC(0);
    EnumFontsA(screen, 0, (FONTENUMPROCA)AddFontName, (LPARAM)FontCombo);
    ReleaseDC(0, screen);
    SendMessageA(FontCombo, CB_SETCURSEL, 0, 0);
}

HWND StartMainWindow(HINSTANCE instance, const char *commandLine)
{
    SetWorkingFolder("<OrvelloTools>", 0);

    bool output = strstr(commandLine, "/oxr") != 0;
    if (output) {
        AppName = "OXR";
        SettingsFile = ChooseSettingsFile(1);
        SettingsSection = "OXR";
        FileFilter = OutputFileFilter;
        ModeFlags = GetPrivateProfileIntA("OXR", "Mode", 1, PairPath(SettingsFile)) | 3;
        ReadOutputSettings();
    }

    WNDCLASSA windowClass;
    memset(&windowClass, 0, sizeof windowClass);
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(output ? IDI_OUTPUT : IDI_EDITOR));
    windowClass.hbrBackground = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
    windowClass.lpszClassName = AppName;
    if (!RegisterClassA(&windowClass))
        return 0;

    HMENU menu = LoadMenuA(instance, MAKEINTRESOURCEA(output ? IDM_OUTPUT : IDM_EDITOR));
    MainWindow = CreateWindowExA(output ? 0 : WS_EX_ACCEPTFILES, AppName, AppName,
                                 WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, 0, menu, instance, 0);
    if (!MainWindow)
        return 0;
    MainLayout.main = MainWindow;
    MainWindowDpi = WindowDpi(MainWindow);

    if (!output) {
        static const UINT recentCommands[4] = {IDC_RECENT_FIRST, IDC_RECENT_FIRST + 1,
                                               IDC_RECENT_FIRST + 2, IDC_RECENT_FIRST + 3};
        InitRecentFiles(MainWindow, 4, recentCommands, SettingsFile, true, 0);
    }

    int bars = RestoreWindowState(MainLayout, SettingsFile,
                                  output ? "0.80,0.00,1.00,0.50,1,1,1"
                                         : "0.25,0.05,0.75,0.95,1,1,1",
                                  -1);

    MainToolbar.window = CreateMainToolbar(MainWindow, instance);
    MainLayout.toolbar = MainToolbar.window;

    StatusBar = CreateStatusWindowA(WS_CHILD, "", MainWindow, 0);
    MainLayout.status = StatusBar;
    if (StatusBar)
        SendMessageA(StatusBar, WM_SETFONT, (WPARAM)BarFont(MainWindowDpi), FALSE);
    SetStatusParts(StatusBar, 1);
    if (StatusBar)
        ShowWindow(StatusBar, SW_HIDE);

    CreateToolbarCombos();

    LoadLibraryA("riched32.dll");
    // In the editor ES_DISABLENOSCROLL keeps the scroll bars in place: in Wine's control
    // every scroll bar that comes or goes re-wraps the whole document, which made opening
    // a 4 MB file take minutes instead of seconds. The output window never loads files.
    DWORD editorStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL |
                        ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL |
                        ES_WANTRETURN;
    if (!output)
        editorStyle |= ES_SELECTIONBAR | ES_DISABLENOSCROLL;
    HWND editor = CreateWindowExA(0, "RichEdit20A", "", editorStyle, 0, 0, 0, 0, MainWindow, 0,
                                  instance, 0);
    if (!editor)
        return 0;
    EditorControl.control = editor;
    EditorControl.ScreenPastes();
    MainLayout.editor = editor;
    OnEditorReplaced = [](HWND, HWND fresh) {
        MainLayout.editor = fresh;
        ApplyEditorZoom(fresh);
    };

    if (output && (ModeFlags & MODE_ALWAYS_ON_TOP))
        SetWindowPos(MainWindow, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SendMessageA(editor, EM_SETEVENTMASK, 0, ENM_SELCHANGE);
    // The editor's small left margin is its selection bar's: the output window's text
    // keeps the same distance from the border (ES_SELECTIONBAR would maximise it).
    if (output)
        SendMessageA(editor, EM_SETOPTIONS, ECOOP_OR, ECO_SELECTIONBAR);
    ShowWindow(MainWindow, SW_SHOW);
    UpdateWindow(MainWindow);
    SendMessageA(editor, EM_SETBKGNDCOLOR, 0, 0xFFFFFF);

    EditorControl.SetTextMode(TEXT_PLAIN);
    if (output) {
        HFONT font = ModeFlags & MODE_FIXED_FONT ? FixedFont : ProportionalFont;
        SendMessageA(editor, WM_SETFONT, (WPARAM)font, 0);
    } else {
        SendMessageA(editor, WM_SETFONT, (WPARAM)DocumentFont, 0);
        SetWindowTextA(SizeCombo, "10");
        SetWindowTextA(FontCombo, "Courier New");
    }

    int wrap = GetPrivateProfileIntA(AppName, "Wrap", output ? WRAP_WINDOW : WRAP_PAGE,
                                     PairPath(SettingsFile));
    EditorControl.SetWrapMode(wrap, PrintableWidth());
    SendMessageA(editor, EM_SETMODIFY, FALSE, 0);

    if (!output) {
        if (bars & 0xFF)
            SendMessageA(MainWindow, WM_COMMAND, IDC_STATUSBAR, 0);
        if (bars & 0xFF00)
            SendMessageA(MainWindow, WM_COMMAND, IDC_TOOLBAR, 0);
    }

    RECT rect;
    ComputeEditorRect(MainLayout, &rect, 0);
    MoveWindow(editor, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);

    SetCurrentDocument(MainWindow, 0);
    ShowDocumentStatus();

    SetFocus(editor);
    Accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDA_MAIN));

    if (strstr(commandLine, "/spell"))
        PostMessageA(MainWindow, WM_COMMAND, IDC_SPELL_CLIPBOARD, 0x65786974);
    return MainWindow;
}

void OpenCommandLineFile(HWND main, const char *commandLine, bool inAnotherWindow)
{
    // A path on the command line, in quotes or not; nothing after it is parsed.
    if (!commandLine[0] || commandLine[0] == '/')
        return;
    if (inAnotherWindow) {
        StartAnotherWindow(commandLine);
        return;
    }
    char path[260];
    lstrcpynA(path, commandLine[0] == '"' ? commandLine + 1 : commandLine, sizeof path);
    size_t length = strlen(path);
    if (commandLine[0] == '"' && length > 0)
        path[length - 1] = 0;
    OpenDocument(main, path);
    if (EditorControl.control)
        SetFocus(EditorControl.control);
}

int StartAnotherWindow(const char *arguments)
{
    char program[MAX_PATH];
    DWORD n = GetModuleFileNameA(0, program, sizeof program);
    if (n == 0 || n >= sizeof program)
        return 0;
    std::string commandLine = std::string("\"") + program + "\" " + arguments;
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(program, &commandLine[0], 0, 0, FALSE, 0, 0, 0, &startup, &process))
        return 0;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 1;
}

int RunMessageLoop()
{
    MSG message;
    while (GetMessageA(&message, 0, 0, 0) > 0) {
        if (ModelessDialog && IsDialogMessageA(ModelessDialog, &message))
            continue;
        if (FileViewKey(message))
            continue;
        if (TranslateAcceleratorA(MainWindow, Accelerators, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return (int)message.wParam;
}
