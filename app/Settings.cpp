#include "app/Settings.h"

#include <stdio.h>
#include <string.h>

static const char EditorToolsPair[] = ".\\OrvelloTools.ini\0OrvelloWord";
static const char EditorSystemPair[] = "win.ini\0OrvelloWord";
static const char OutputToolsPair[] = ".\\OrvelloTools.ini\0OXR";
static const char OutputSystemPair[] = "win.ini\0OXR";

const char *SettingsFile = ChooseSettingsFile(0);
const char *SettingsSection = "OrvelloWord";

const char *ChooseSettingsFile(int outputWindow)
{
    char folder[260];
    GetProfileStringA("Folders", "OrvelloTools", "", folder, sizeof folder);
    if (folder[0])
        return outputWindow ? OutputToolsPair : EditorToolsPair;
    return outputWindow ? OutputSystemPair : EditorSystemPair;
}

const char *PairSection(const char *pair)
{
    return pair + strlen(pair) + 1;
}

void ReduceToFolder(const char *text, char *out, size_t size)
{
    if (!size)
        return;
    const char *start = text;
    size_t n = strlen(text);
    if (*text == '"') {
        start = text + 1;
        const char *close = strchr(start, '"');
        n = close ? (size_t)(close - start) : strlen(start);
    }
    if (n >= size)
        n = size - 1;
    memcpy(out, start, n);
    out[n] = 0;
    if (char *exe = strstr(out, ".exe "))
        *exe = 0;
    if (char *slash = strrchr(out, '\\'))
        *slash = 0;
}

void SetWorkingFolder(const char *reference, char *previous)
{
    if (previous)
        GetCurrentDirectoryA(260, previous);
    const char *text = reference ? reference : GetCommandLineA();
    char value[260];
    if (*text == '<') {
        char key[260];
        size_t n = strlen(text + 1);
        if (n > 0)
            --n;  // the closing '>'
        if (n > sizeof key - 1)
            n = sizeof key - 1;
        memcpy(key, text + 1, n);
        key[n] = 0;
        GetProfileStringA("Folders", key, "", value, sizeof value);
        text = value[0] ? value : GetCommandLineA();
    }
    if (SetCurrentDirectoryA(text))
        return;
    char folder[260];
    ReduceToFolder(text, folder, sizeof folder);
    SetCurrentDirectoryA(folder);
}

int WriteProfileTextIfChanged(const char *file, const char *section, const char *key,
                              const char *value)
{
    // One byte more than the value, so a longer stored text never compares equal.
    size_t size = strlen(value) + 2;
    char *stored = new char[size];
    GetPrivateProfileStringA(section, key, "", stored, (DWORD)size, file);
    stored[size - 1] = 0;
    int result = strcmp(stored, value) == 0 ? 1
                 : WritePrivateProfileStringA(section, key, value, file) ? 1 : 0;
    delete[] stored;
    return result;
}

int WriteProfileIntIfChanged(const char *file, const char *section, const char *key, int value)
{
    char text[64];
    snprintf(text, sizeof text, "%d", value);
    return WriteProfileTextIfChanged(file, section, key, text);
}

// Shows or hides a bar by its flag; a negative flag toggles. Returns the flag applied.
static int ApplyBarFlag(HWND bar, int flag)
{
    if (!bar)
        return flag;
    if (flag < 0)
        flag = IsWindowVisible(bar) ? 0 : 1;
    ShowWindow(bar, flag ? SW_SHOWNORMAL : SW_HIDE);
    return flag;
}

int RestoreWindowState(const LayoutRecord &layout, const char *pair, const char *defaultText,
                       int show)
{
    WINDOWPLACEMENT placement;
    memset(&placement, 0, sizeof placement);
    placement.length = sizeof placement;
    char text[64];
    if (pair)
        GetPrivateProfileStringA(PairSection(pair), "WindowState", defaultText, text,
                                 sizeof text, PairPath(pair));
    else
        snprintf(text, sizeof text, "%s", defaultText);
    WindowStateValues values =
        ParseWindowState(text, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    placement.rcNormalPosition.left = values.normal.left;
    placement.rcNormalPosition.top = values.normal.top;
    placement.rcNormalPosition.right = values.normal.right;
    placement.rcNormalPosition.bottom = values.normal.bottom;
    placement.showCmd = show >= 0 ? show : values.show;
    SetWindowPlacement(layout.main, &placement);
    int toolbar = ApplyBarFlag(layout.toolbar, values.toolbar);
    int status = ApplyBarFlag(layout.status, values.status);
    return (WORD)(toolbar * 256 + (status & 255));
}

void SaveWindowState(const LayoutRecord &layout, const char *pair)
{
    if (!pair)
        return;
    WINDOWPLACEMENT placement;
    memset(&placement, 0, sizeof placement);
    placement.length = sizeof placement;
    GetWindowPlacement(layout.main, &placement);
    WindowStateValues values;
    const RECT &normal = placement.rcNormalPosition;
    values.normal = {(int)normal.left, (int)normal.top, (int)normal.right, (int)normal.bottom};
    values.show = placement.showCmd;
    values.toolbar = layout.toolbar && IsWindowVisible(layout.toolbar) ? 1 : 0;
    values.status = 0;
    if (layout.status && IsWindowVisible(layout.status)) {
        RECT r;
        GetWindowRect(layout.status, &r);
        values.status = r.bottom > r.top ? 1 : 0;
    }
    char text[128];
    FormatWindowState(values, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                      text, sizeof text);
    WritePrivateProfileStringA(PairSection(pair), "WindowState", text, PairPath(pair));
}
