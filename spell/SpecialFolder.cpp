#include "spell/SpecialFolder.h"

#include "spell/FolderText.h"

#include <stdio.h>
#include <string.h>

typedef HRESULT(WINAPI *FolderPathFunction)(HWND, int, HANDLE, DWORD, LPSTR);

struct FolderName {
    const char *name;
    int identifier;  // the shell's CSIDL number
};

static const FolderName FolderNames[] = {
    {"Desktop", 16},          {"Programs", 2},         {"Personal", 5},
    {"Favorites", 6},         {"Startup", 7},          {"Recent", 8},
    {"SendTo", 9},            {"Start Menu", 11},      {"Fonts", 20},
    {"AppData", 26},          {"CD Burning", 59},      {"Cookies", 33},
    {"Cache", 32},            {"Common Start Menu", 22}, {"Common Programs", 23},
    {"Common Startup", 24},   {"Common Desktop", 25},
};

static char ShellAnswer[260];
static char RegistryAnswer[260];

static int FolderIdentifier(const char *name)
{
    for (const FolderName &folder : FolderNames)
        if (lstrcmpiA(folder.name, name) == 0)
            return folder.identifier;
    return -1;
}

// SHGetFolderPathA is looked up at run time, once: older shells lack it.
static FolderPathFunction ShellFolderPath()
{
    static FolderPathFunction function = []() -> FolderPathFunction {
        HMODULE shell = LoadLibraryA("Shell32.dll");
        return shell ? (FolderPathFunction)(void *)GetProcAddress(shell, "SHGetFolderPathA") : 0;
    }();
    return function;
}

static char *Answer(char *found, char *destination)
{
    if (!destination)
        return found;
    lstrcpynA(destination, found, 260);
    return destination;
}

char *GetSpecialFolder(const char *name, char *destination, HKEY root)
{
    if (!name || !name[0])
        return 0;
    if (FolderPathFunction folderPath = ShellFolderPath()) {
        ShellAnswer[0] = 0;
        folderPath(0, FolderIdentifier(name), 0, 0, ShellAnswer);
        if (ShellAnswer[0])
            return Answer(ShellAnswer, destination);
    }

    RegistryAnswer[0] = 0;
    char keyPath[260];
    int written = strchr(name, '\\')
                      ? snprintf(keyPath, sizeof keyPath, "%s", name)
                      : snprintf(keyPath, sizeof keyPath,
                                 "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                                 "Shell Folders\\%s",
                                 name);
    // A name too long for the key path has no folder.
    if (written < 0 || written >= (int)sizeof keyPath)
        return Answer(RegistryAnswer, destination);
    char *split = strrchr(keyPath, '\\');
    *split = 0;
    const char *valueName = split + 1;
    HKEY key;
    if (RegOpenKeyExA(root, keyPath, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        DWORD size = sizeof RegistryAnswer;
        DWORD type = 0;
        // A value stored without its terminating zero ends at the size read: the bytes
        // after it are an earlier answer's.
        if (RegQueryValueExA(key, valueName, 0, &type, (BYTE *)RegistryAnswer, &size) !=
                ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ))
            RegistryAnswer[0] = 0;
        else
            EndRegistryString(RegistryAnswer, sizeof RegistryAnswer, size);
        RegCloseKey(key);
    }
    return Answer(RegistryAnswer, destination);
}
