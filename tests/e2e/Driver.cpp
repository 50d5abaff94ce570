#include "Driver.h"

#include <string.h>

RunningProgram StartProgram(const char *arguments, const char *windowClass)
{
    RunningProgram program;
    memset(&program, 0, sizeof program);
    char path[MAX_PATH];
    GetModuleFileNameA(0, path, sizeof path);
    strcpy(strrchr(path, '\\') + 1, "OrvelloWord.exe");
    std::string commandLine = std::string("\"") + path + "\" " + arguments;
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    std::string buffer = commandLine;
    if (!CreateProcessA(path, &buffer[0], 0, 0, FALSE, 0, 0, 0, &startup, &program.process))
        return program;
    WaitForInputIdle(program.process.hProcess, 10000);
    for (int k = 0; k < 300 && !program.main; ++k) {
        HWND found = 0;
        while ((found = FindWindowExA(0, found, windowClass, 0))) {
            DWORD owner = 0;
            GetWindowThreadProcessId(found, &owner);
            if (owner == program.process.dwProcessId && IsWindowVisible(found)) {
                program.main = found;
                break;
            }
        }
        if (!program.main)
            Sleep(50);
    }
    Pause(200);
    return program;
}

bool WaitForExit(RunningProgram &program, DWORD milliseconds)
{
    if (!program.process.hProcess)
        return false;
    bool ended = WaitForSingleObject(program.process.hProcess, milliseconds) == WAIT_OBJECT_0;
    if (!ended)
        TerminateProcess(program.process.hProcess, 1);
    CloseHandle(program.process.hProcess);
    CloseHandle(program.process.hThread);
    program.process.hProcess = 0;
    return ended;
}

bool CloseProgram(RunningProgram &program)
{
    PostMessageA(program.main, WM_CLOSE, 0, 0);
    return WaitForExit(program);
}

namespace {
struct ChildSearch {
    const char *className;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM data)
{
    ChildSearch *search = (ChildSearch *)data;
    char name[64];
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND FindChild(HWND parent, const char *className)
{
    ChildSearch search = {className, 0};
    EnumChildWindows(parent, MatchChild, (LPARAM)&search);
    return search.found;
}

HWND WaitForDialog(const char *title, DWORD milliseconds)
{
    for (DWORD waited = 0; waited < milliseconds; waited += 50) {
        HWND dialog = FindWindowA("#32770", title);
        if (dialog && IsWindowVisible(dialog))
            return dialog;
        Sleep(50);
    }
    return 0;
}

bool WaitForGone(HWND window, DWORD milliseconds)
{
    for (DWORD waited = 0; IsWindow(window); waited += 50) {
        if (waited >= milliseconds)
            return false;
        Sleep(50);
    }
    return true;
}

void PressButton(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    if (button)
        PostMessageA(button, BM_CLICK, 0, 0);
}

std::string WindowText(HWND window)
{
    // WM_GETTEXT is carried across processes; GetWindowTextA would only give captions.
    char text[512] = "";
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 5000,
                        &result);
    return text;
}

std::vector<COLORREF> ScreenPixels(HWND window, int step)
{
    RECT area;
    GetClientRect(window, &area);
    MapWindowPoints(window, 0, (POINT *)&area, 2);
    std::vector<COLORREF> pixels;
    HDC screen = GetDC(0);
    for (int y = area.top; y < area.bottom; y += step)
        for (int x = area.left; x < area.right; x += step)
            pixels.push_back(GetPixel(screen, x, y));
    ReleaseDC(0, screen);
    return pixels;
}

std::string ProfileText(const char *file, const char *section, const char *key)
{
    char value[512];
    GetPrivateProfileStringA(section, key, "<absent>", value, sizeof value, file);
    return value;
}

void ClearSection(const char *file, const char *section)
{
    WritePrivateProfileStringA(section, 0, 0, file);
}

void Pause(DWORD milliseconds)
{
    Sleep(milliseconds);
}

std::string MessageText(HWND box)
{
    return WindowText(GetDlgItem(box, 0xFFFF));
}

HWND WaitForMessageBox(const char *caption, const char *text, DWORD milliseconds)
{
    for (DWORD waited = 0; waited < milliseconds; waited += 50) {
        HWND box = 0;
        while ((box = FindWindowExA(0, box, "#32770", caption)))
            if (IsWindowVisible(box) && MessageText(box).find(text) != std::string::npos)
                return box;
        Sleep(50);
    }
    return 0;
}

bool SetClipboardText(const char *text)
{
    if (!OpenClipboard(0))
        return false;
    EmptyClipboard();
    bool done = true;
    if (text) {
        size_t size = strlen(text) + 1;
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
        memcpy(GlobalLock(memory), text, size);
        GlobalUnlock(memory);
        done = SetClipboardData(CF_TEXT, memory) != 0;
    }
    CloseClipboard();
    return done;
}

std::string ClipboardText()
{
    std::string text = "<none>";
    if (!OpenClipboard(0))
        return "<no clipboard>";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        text = (const char *)GlobalLock(data);
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

bool WaitForText(HWND window, const std::string &want, DWORD milliseconds)
{
    for (DWORD waited = 0; waited < milliseconds; waited += 50) {
        if (WindowText(window) == want)
            return true;
        Sleep(50);
    }
    return false;
}
