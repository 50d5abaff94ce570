#include "document/FileView.h"
#include "app/MainWindow.h"

#include <commctrl.h>
#include <richedit.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>

#include "app/App.h"
#include "app/Commands.h"
#include "app/DocumentStatus.h"
#include "app/Dpi.h"
#include "app/Layout.h"
#include "app/OutputLog.h"
#include "app/OutputWindow.h"
#include "app/Settings.h"
#include "app/Toolbar.h"
#include "document/Document.h"
#include "document/FileWatch.h"
#include "document/OpenDocument.h"
#include "document/Recovery.h"
#include "editor/EditorControl.h"
#include "editor/FileLines.h"
#include "editor/FormatDescriptor.h"
#include "format/ColorMenu.h"
#include "res/resource.h"

static const UINT AUTO_HIDE_TIMER = 1;
// Counting the file's lines reads the text before the caret (about 30 ms a megabyte
// under Wine): far into a wrapped text, the status line waits until typing pauses.
static const UINT STATUS_LINE_TIMER = 2;
static const UINT STATUS_LINE_DELAY = 150;
static const int COUNT_AT_ONCE = 200000;

static bool KeyDown(int key)
{
    return GetKeyState(key) < 0;
}

int ComputeSnapRect(const RECT &w, const RECT &a, int widthPercent, int heightPercent,
                    RECT *result)
{
    *result = w;
    if (w.right < a.left || w.left > a.right || w.bottom < a.top || w.top > a.bottom)
        return 0;
    int width = a.right - a.left, height = a.bottom - a.top;
    RECT r = w;
    if (w.left < a.left || w.right > a.right) {
        if (w.left < a.left) {
            r.left = a.left;
            r.right = a.left + width / 2;
        } else {
            r.left = a.right - width / 2;
            r.right = a.right;
        }
        if (w.top < a.top) {
            r.top = a.top;
            r.bottom = a.top + height / 2;
        } else if (w.bottom > a.bottom) {
            r.top = a.bottom - height / 2;
            r.bottom = a.bottom;
        } else {
            r.top = a.top;
            r.bottom = a.bottom;
        }
    } else if (w.top < a.top || w.bottom > a.bottom) {
        r.left = a.left;
        r.right = a.right;
        if (w.top < a.top) {
            r.top = a.top;
            r.bottom = a.top + height / 2;
        } else {
            r.top = a.bottom - height / 2;
            r.bottom = a.bottom;
        }
    } else if (widthPercent != SNAP_NO_PERCENT || heightPercent != SNAP_NO_PERCENT) {
        int newWidth = w.right - w.left, newHeight = w.bottom - w.top;
        if (widthPercent >= 1 && widthPercent <= 100)
            newWidth = width * widthPercent / 100;
        if (heightPercent >= 1 && heightPercent <= 100)
            newHeight = height * heightPercent / 100;
        r.left = a.left + (width - newWidth) / 2;
        r.top = a.top + (height - newHeight) / 2;
        r.right = r.left + newWidth;
        r.bottom = r.top + newHeight;
    }
    *result = r;
    return !EqualRect(&r, &w);
}

void SnapToWorkArea(HWND window, int widthPercent, int heightPercent, BOOL repaint)
{
    RECT w, a, r;
    GetWindowRect(window, &w);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &a, 0);
    if (ComputeSnapRect(w, a, widthPercent, heightPercent, &r))
        MoveWindow(window, r.left, r.top, r.right - r.left, r.bottom - r.top, repaint);
}

void AutoHideFrame(HWND window, HWND editor)
{
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    if (!IsZoomed(window) || area.top != 0)
        return;
    RECT frame, edit;
    POINT cursor;
    GetWindowRect(window, &frame);
    GetWindowRect(editor, &edit);
    GetCursorPos(&cursor);
    bool moved = false;
    if (frame.top < -16 && cursor.y == 0) {
        MoveWindow(window, area.left, area.top, area.right - area.left, area.bottom - area.top,
                   TRUE);
        moved = true;
    } else if (frame.top > -16 && PtInRect(&edit, cursor)) {
        // Push frame, menu and bars off-screen so the editor alone fills the work area.
        int left = frame.left - edit.left, top = frame.top - edit.top;
        int width = (frame.right - frame.left) - (edit.right - edit.left) + area.right;
        int height = (frame.bottom - frame.top) - (edit.bottom - edit.top) + area.bottom;
        MoveWindow(window, left, top, width, height, TRUE);
        moved = true;
    }
    if (moved) {
        InvalidateRect(editor, 0, TRUE);
        UpdateWindow(editor);
    }
}

POINT MaximumTrackSize(int screenWidth, int screenHeight)
{
    POINT size = {screenWidth * 5 / 4, screenHeight * 5 / 4};
    return size;
}

static void EnableCommand(HMENU menu, int id, bool enabled)
{
    EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

static void CheckCommand(HMENU menu, int id, bool checked)
{
    CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

static void SetRadioMark(HMENU menu, int id, bool checked)
{
    MENUITEMINFOA item;
    memset(&item, 0, sizeof item);
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_STATE;
    if (!GetMenuItemInfoA(menu, id, FALSE, &item))
        return;
    item.fType |= MFT_RADIOCHECK;
    item.fState = (item.fState & ~MFS_CHECKED) | (checked ? MFS_CHECKED : 0);
    SetMenuItemInfoA(menu, id, FALSE, &item);
}

void UpdateMenuState(HMENU menu)
{
    const char *state = EditorControl.GetEditState();
    HWND editor = EditorControl.control;
    bool empty = !editor || GetWindowTextLengthA(editor) == 0;
    CHARRANGE selection = {0, 0};
    if (editor)
        SendMessageA(editor, EM_EXGETSEL, 0, (LPARAM)&selection);

    // What a view greys (below) comes back with the next document.
    for (int id = IDC_RECENT_LAST + 1; id <= IDC_LINE_ENDS_CR; ++id)
        if (!FileViewAllowsCommand(id))
            EnableCommand(menu, id, true);
    EnableCommand(menu, IDC_SPELL_CLIPBOARD, strchr(state, 'p'));
    EnableCommand(menu, IDC_PASTE, strchr(state, 'p'));
    EnableCommand(menu, IDC_UNDO, strchr(state, 'u'));
    EnableCommand(menu, IDC_REDO, strchr(state, 'r'));
    EnableCommand(menu, IDC_CUT, strchr(state, 'c'));
    EnableCommand(menu, IDC_COPY, strchr(state, 'c'));
    EnableCommand(menu, IDC_DELETE, selection.cpMax != selection.cpMin);
    static const int needText[] = {IDC_SELECT_ALL, IDC_GOTO,      IDC_SPELL,
                                   IDC_FIND,       IDC_FIND_NEXT, IDC_SORT_LINES, IDC_CLEAR_OUTPUT};
    for (int id : needText)
        EnableCommand(menu, id, !empty);

    if (OutputWindowMode()) {
        CheckCommand(menu, IDC_OUTPUT, ModeFlags & MODE_OUTPUT);
        CheckCommand(menu, IDC_TITLE_OUTPUT, ModeFlags & MODE_TITLE_OUTPUT);
        CheckCommand(menu, IDC_FIXED_FONT, ModeFlags & MODE_FIXED_FONT);
        CheckCommand(menu, IDC_ALWAYS_ON_TOP, ModeFlags & MODE_ALWAYS_ON_TOP);
        CheckCommand(menu, IDC_LOG_TO_FILE, OutputLogPath()[0] != 0);
    }
    CheckCommand(menu, IDC_TOOLBAR, MainLayout.toolbar && IsWindowVisible(MainLayout.toolbar));
    CheckCommand(menu, IDC_STATUSBAR, MainLayout.status && IsWindowVisible(MainLayout.status));

    int textMode = EditorControl.GetTextMode();
    SetRadioMark(menu, IDC_PLAIN_TEXT, textMode == TEXT_PLAIN);
    SetRadioMark(menu, IDC_RICH_TEXT, textMode == TEXT_RICH);
    int wrap = EditorControl.GetWrapMode();
    SetRadioMark(menu, IDC_NO_WRAP, wrap == WRAP_NONE);
    SetRadioMark(menu, IDC_WRAP_WINDOW, wrap == WRAP_WINDOW);
    SetRadioMark(menu, IDC_WRAP_PAGE, wrap == WRAP_PAGE);
    SetRadioMark(menu, IDC_LINE_ENDS_CRLF, DocumentLineEnds == LINE_ENDS_CRLF);
    SetRadioMark(menu, IDC_LINE_ENDS_LF, DocumentLineEnds == LINE_ENDS_LF);
    SetRadioMark(menu, IDC_LINE_ENDS_CR, DocumentLineEnds == LINE_ENDS_CR);
    // A view offers nothing that would change, format or print its text.
    if (IsFileViewOpen()) {
        for (int id = IDC_RECENT_LAST + 1; id <= IDC_LINE_ENDS_CR; ++id)
            if (!FileViewAllowsCommand(id))
                EnableCommand(menu, id, false);
    }
}

// Sets a combo's text only when it differs, so the caret and undo stay put. A text
// its list holds is shown as the list spells it: the control reports a face name as
// it was asked for ("courier new"), the list as the font calls itself.
static void SetComboText(HWND combo, const char *text)
{
    char listed[64] = "";
    int item = text[0] ? (int)SendMessageA(combo, CB_FINDSTRINGEXACT, -1, (LPARAM)text) : CB_ERR;
    if (item != CB_ERR && SendMessageA(combo, CB_GETLBTEXTLEN, item, 0) < (LRESULT)sizeof listed) {
        SendMessageA(combo, CB_GETLBTEXT, item, (LPARAM)listed);
        text = listed;
    }
    char current[64];
    GetWindowTextA(combo, current, sizeof current);
    if (strcmp(current, text) != 0)
        SetWindowTextA(combo, text);
    // Without the focus the box shows no selection highlight.
    HWND focus = GetFocus();
    if (focus != combo && !IsChild(combo, focus))
        SendMessageA(combo, CB_SETEDITSEL, 0, MAKELPARAM(-1, 0));
}

// "Ln %d, col %d" of the selection's start in the status bar.
static void ShowLineAndColumn()
{
    HWND editor = EditorControl.control;
    if (!editor || !StatusBar)
        return;
    CHARRANGE selection;
    SendMessageA(editor, EM_EXGETSEL, 0, (LPARAM)&selection);
    if (IsFileViewOpen()) {
        // The line and column in the whole file, which the control holds a window of.
        FileOffset line = 0, column = 0;
        FileViewPlace(selection.cpMin, &line, &column);
        char text[128];
        snprintf(text, sizeof text, "Ln %llu, col %llu    Read-only view", line + 1, column + 1);
        SendMessageA(StatusBar, SB_SETTEXTA, 0, (LPARAM)text);
        return;
    }
    int line, column;
    // Wrapped, the control's lines are display lines; the user means the file's lines.
    if (EditorWrapsLines()) {
        FileLinePlace place;
        if (!OutputWindowLineOf(editor, selection.cpMin, &place))
            place = FileLineOf(editor, selection.cpMin);
        line = place.line;
        column = place.column;
    } else {
        line = (int)SendMessageA(editor, EM_EXLINEFROMCHAR, 0, selection.cpMin);
        column = selection.cpMin - (int)SendMessageA(editor, EM_LINEINDEX, line, 0);
    }
    char text[128];
    // Text opened unwrapped because of its long lines says so; the output window says
    // when its earliest lines were dropped.
    snprintf(text, sizeof text, "Ln %d, col %d%s%s", line + 1, column + 1,
             EditorControl.IsWrapSuspended() ? "    Long lines, not wrapped" : "",
             OutputWindowNote());
    SendMessageA(StatusBar, SB_SETTEXTA, 0, (LPARAM)text);
}

void FollowSelection()
{
    HWND editor = EditorControl.control;
    if (!editor || GetWindowTextLengthA(editor) == 0)
        return;
    FileViewFollowCaret();
    CHARRANGE selection;
    SendMessageA(editor, EM_EXGETSEL, 0, (LPARAM)&selection);
    if (EditorWrapsLines() && selection.cpMin > COUNT_AT_ONCE)
        SetTimer(MainWindow, STATUS_LINE_TIMER, STATUS_LINE_DELAY, 0);
    else
        ShowLineAndColumn();

    const char *descriptor = EditorControl.GetFormatDescriptor();
    if (!descriptor)
        return;
    static const struct { int id; const char *item; } buttons[] = {
        {IDC_BOLD, "b=1"},       {IDC_ITALIC, "i=1"}, {IDC_UNDERLINE, "u=1"},
        {IDC_ALIGN_LEFT, "a=l"}, {IDC_CENTER, "a=c"}, {IDC_ALIGN_RIGHT, "a=r"},
        {IDC_BULLETS, "n=1"},
    };
    for (const auto &button : buttons)
        SetToolbarButtonChecked(MainToolbar.window, button.id, strstr(descriptor, button.item) != 0);

    char value[64];
    GetDescriptorItem(descriptor, 'h', value, sizeof value);
    SetComboText(SizeCombo, value);
    GetDescriptorItem(descriptor, 'f', value, sizeof value);
    SetComboText(FontCombo, value);
}

static LRESULT OnNotify(WPARAM wParam, LPARAM lParam)
{
    FollowSelection();
    if (EditorControl.control)
        SendMessageA(EditorControl.control, EM_STOPGROUPTYPING, 0, 0);
    NMHDR *header = (NMHDR *)lParam;
    if (header && header->code == TTN_NEEDTEXTA) {
        const char *tip = ToolbarTipFor(LOWORD(wParam));
        if (!tip)
            tip = ToolbarTipFor((int)header->idFrom);
        if (tip)
            ((NMTTDISPINFOA *)lParam)->lpszText = (char *)tip;
    }
    return 0;
}

static void OnSize(HWND window, WPARAM kind)
{
    if (kind == SIZE_MAXIMIZED) {
        if (KeyDown(VK_CONTROL) && KeyDown(VK_SHIFT) && KeyDown(VK_MENU))
            SetTimer(window, AUTO_HIDE_TIMER, 200, 0);
    } else {
        KillTimer(window, AUTO_HIDE_TIMER);
        if (kind == SIZE_MINIMIZED)
            return;
    }
    RECT rect;
    LayoutMainWindow(MainLayout, &rect);
}

// The close steps; false when the user keeps the document (and the window).
static bool OnClose(HWND window)
{
    if (!NewDocument(window))
        return false;
    EndRecovery();
    SetWorkingFolder("<OrvelloTools>", 0);
    const char *file = PairPath(SettingsFile);
    if (OutputWindowMode()) {
        CloseOutputLog();
        WriteProfileIntIfChanged(file, SettingsSection, "Mode", ModeFlags);
        WriteProfileIntIfChanged(file, SettingsSection, "Wrap", EditorControl.GetWrapMode());
        ShowWindow(window, SW_RESTORE);
    } else {
        char app[260];
        GetProfileStringA("OXR", "App", "", app, sizeof app);
        if (!app[0]) {
            char folder[260];
            GetCurrentDirectoryA(sizeof folder, folder);
            snprintf(app, sizeof app, "%s\\OrvelloWord.exe /oxr", folder);
            WriteProfileStringA("OXR", "App", app);
        }
        WriteProfileIntIfChanged(file, SettingsSection, "Wrap", EditorControl.GetWrapMode());
        WriteProfileTextIfChanged(file, SettingsSection, "ARG0",
                                  "/spell check system clipboard text");
    }
    SaveWindowState(MainLayout, SettingsFile);
    return true;
}

// The session really ends: the question was answered at WM_QUERYENDSESSION, so the
// close steps run without asking again.
static void OnEndSession(HWND window)
{
    if (EditorControl.control)
        SendMessageA(EditorControl.control, EM_SETMODIFY, FALSE, 0);
    OnClose(window);
    DestroyWindow(window);
}

static void OnDropFiles(HWND window, HDROP drop)
{
    DropIndex = 0;
    SetForegroundWindow(window);
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, 0, 0);
    for (UINT i = 0; i < count; ++i) {
        char path[260];
        if (!DragQueryFileA(drop, i, path, sizeof path))
            continue;
        DropIndex = (int)i;
        OpenDocument(window, path);
        // The first file's popup was dismissed: the rest of the drop goes too.
        if (OpenChoice < 0)
            break;
    }
    DragFinish(drop);
    DropIndex = 0;
}

// Commands may change the format a save writes (the text mode among others): the
// status bar follows.
static LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    // The editor's change reports time the snapshots of unsaved work.
    if (HIWORD(wParam) == EN_CHANGE && (HWND)lParam == EditorControl.control) {
        NoteDocumentChanged();
        return 0;
    }
    LRESULT result = DispatchCommand(window, wParam, lParam);
    ShowDocumentStatus();
    return result;
}

// The keyboard's Move and Size snap instead; a title-bar drag carries another code.
static bool OnSysCommand(HWND window, WPARAM command)
{
    if (command == SC_MOVE)
        SnapToWorkArea(window, 0, 0, TRUE);
    else if (command == SC_SIZE)
        SnapToWorkArea(window, 50, 90, TRUE);
    else
        return false;
    return true;
}

// What another thread may not make the program do while a text goes in by pieces (or a
// view searches its file).
static bool WaitsForLoad(UINT message)
{
    return message == WM_COMMAND || message == WM_SYSCOMMAND || message == WM_CLOSE ||
           message == WM_DROPFILES || message == WM_QUERYENDSESSION;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if ((IsLoadingInPieces() || IsFileViewBusy()) && InSendMessage() && WaitsForLoad(message))
        return 0;
    switch (message) {
    case WM_DESTROY:
        if (OutputWindowMode())
            CloseOutputLog();
        PostQuitMessage(0);
        break;
    case WM_SIZE:
        OnSize(window, wParam);
        break;
    case WM_SETFOCUS:
        if (EditorControl.control)
            SetFocus(EditorControl.control);
        return 0;
    case WM_CLOSE:
        // The close steps see every line the output window has answered.
        HandOverTraceLines();
        if (!OnClose(window))
            return 0;
        break;
    case WM_QUERYENDSESSION:
        // Only the question: the log-off may still be cancelled. The question sees every
        // line the output window has answered.
        HandOverTraceLines();
        return ConfirmSessionEnd(window);
    case WM_ENDSESSION:
        if (wParam) {
            HandOverTraceLines();
            OnEndSession(window);
        }
        return 0;
    case WM_GETMINMAXINFO:
        ((MINMAXINFO *)lParam)->ptMaxTrackSize =
            MaximumTrackSize(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        ((MINMAXINFO *)lParam)->ptMinTrackSize = MinimumWindowSize(MainLayout);
        return 0;
    case WM_NOTIFY:
        return OnNotify(wParam, lParam);
    case WM_COMMAND:
        return OnCommand(window, wParam, lParam);
    case WM_SYSCOMMAND:
        if (OnSysCommand(window, wParam))
            return 1;
        break;
    case WM_TIMER:
        if (wParam == STATUS_LINE_TIMER) {
            KillTimer(window, STATUS_LINE_TIMER);
            ShowLineAndColumn();
            return 0;
        }
        if (OnFileViewTimer(wParam))
            return 0;
        if (!OnFileCheckTimer(window, wParam))
            AutoHideFrame(window, EditorControl.control);
        break;
    case WM_VSCROLL:
        if (OnFileViewScroll((HWND)lParam, wParam))
            return 0;
        break;
    case WM_ACTIVATEAPP:
        if (wParam)
            CheckDocumentFile(window);
        break;
    case WM_FILE_CHECKED:
        FinishFileCheck(window, lParam);
        return 0;
    case WM_FOLDER_CHANGED:
        OnFolderChanged(window);
        return 0;
    case WM_INITMENU:
        UpdateMenuState((HMENU)wParam);
        break;
    case WM_DROPFILES:
        OnDropFiles(window, (HDROP)wParam);
        return 0;
    case WM_MEASUREITEM:
        return MeasureColorItem(window, (MEASUREITEMSTRUCT *)lParam);
    case WM_DRAWITEM:
        return DrawColorItem((const DRAWITEMSTRUCT *)lParam);
    case WM_COPYDATA:
        return ReceiveTraceLine(window, (const COPYDATASTRUCT *)lParam);
    case WM_DPICHANGED:
        return OnDpiChanged(window, wParam, lParam);
    case WM_EXITSIZEMOVE:
        if (KeyDown(VK_CONTROL) || KeyDown(VK_MENU))
            SnapToWorkArea(window, SNAP_NO_PERCENT, SNAP_NO_PERCENT, TRUE);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
