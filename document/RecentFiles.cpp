#include "document/RecentFiles.h"

#include <stdio.h>
#include <string.h>

#include "document/FileFormats.h"

RecentFiles RecentFileList;

static bool InUse()
{
    return RecentFileList.owner != 0;
}

static const char *PairFile()
{
    return RecentFileList.pair;
}

static const char *PairSection()
{
    return RecentFileList.pair + strlen(RecentFileList.pair) + 1;
}

static void KeyName(char *key, int index)
{
    snprintf(key, 8, "MRU%d", index);
}

static void CopyEntry(char *slot, const char *path)
{
    snprintf(slot, sizeof RecentFileList.entries[0], "%s", path);
}

void InitRecentFiles(HWND owner, int count, const UINT *commands, const char *pair,
                     bool verify, HMENU menu)
{
    SaveRecentFiles();
    RecentFiles &list = RecentFileList;
    list.owner = owner;
    list.menu = menu;
    list.count = count > 8 ? 8 : count;
    memset(list.commands, 0, sizeof list.commands);
    memcpy(list.commands, commands, list.count * sizeof commands[0]);
    memset(list.entries, 0, sizeof list.entries);
    memset(list.pair, 0, sizeof list.pair);

    if (pair) {
        size_t fileLength = strlen(pair);
        size_t sectionLength = strlen(pair + fileLength + 1);
        if (fileLength + sectionLength + 2 <= sizeof list.pair)
            memcpy(list.pair, pair, fileLength + sectionLength + 2);
        char key[8];
        for (int i = 0; i < list.count; ++i) {
            KeyName(key, i);
            GetPrivateProfileStringA(PairSection(), key, "", list.entries[i],
                                     sizeof list.entries[i], PairFile());
        }
    }
    RebuildRecentMenu();

    if (verify) {
        // A vanished drive must not bring up a system error box.
        UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
        for (int i = 0; i < list.count;) {
            if (list.entries[i][0] &&
                GetFileAttributesA(list.entries[i]) == INVALID_FILE_ATTRIBUTES) {
                char path[256];
                CopyEntry(path, list.entries[i]);
                RemoveRecentFile(path);
            } else {
                ++i;
            }
        }
        SetErrorMode(previous);
    }
}

void SaveRecentFiles()
{
    RecentFiles &list = RecentFileList;
    if (!InUse())
        return;
    if (list.pair[0]) {
        char key[8];
        for (int i = 0; i < list.count; ++i) {
            KeyName(key, i);
            WritePrivateProfileStringA(PairSection(), key, list.entries[i], PairFile());
        }
    }
    list.owner = 0;
}

void PushRecentFile(const char *path)
{
    RecentFiles &list = RecentFileList;
    if (!InUse() || !path || !path[0] || list.count < 1)
        return;
    char copy[256];
    CopyEntry(copy, path);
    int found = list.count - 1;
    for (int i = 0; i < list.count - 1; ++i) {
        if (lstrcmpiA(list.entries[i], copy) == 0) {
            found = i;
            break;
        }
    }
    for (int i = found; i > 0; --i)
        memcpy(list.entries[i], list.entries[i - 1], sizeof list.entries[i]);
    memcpy(list.entries[0], copy, sizeof copy);
    RebuildRecentMenu();
}

void RemoveRecentFile(const char *path)
{
    RecentFiles &list = RecentFileList;
    if (!InUse() || !path || !path[0])
        return;
    char copy[256];
    CopyEntry(copy, path);
    for (int i = 0; i < list.count; ++i) {
        if (lstrcmpiA(list.entries[i], copy) == 0) {
            list.entries[i][0] = 0;
            break;
        }
    }
    // Close the gaps, keeping the order.
    int to = 0;
    for (int from = 0; from < list.count; ++from) {
        if (!list.entries[from][0])
            continue;
        if (to != from)
            memcpy(list.entries[to], list.entries[from], sizeof list.entries[to]);
        ++to;
    }
    for (; to < list.count; ++to)
        list.entries[to][0] = 0;
    RebuildRecentMenu();
}

const char *GetRecentFile(int index)
{
    RecentFiles &list = RecentFileList;
    list.result[0] = 0;
    if (InUse() && index >= 0 && index < list.count)
        memcpy(list.result, list.entries[index], sizeof list.result);
    return list.result;
}

void RebuildRecentMenu()
{
    RecentFiles &list = RecentFileList;
    if (!InUse() || list.count < 1)
        return;
    HMENU menu = list.menu ? list.menu : GetSubMenu(GetMenu(list.owner), 0);
    if (!menu)
        return;
    UINT first = list.commands[0];
    UINT marker = first + 351;
    InsertMenuA(menu, first, MF_BYCOMMAND | MF_STRING, marker, "");
    for (int i = 0; i < list.count; ++i)
        while (DeleteMenu(menu, list.commands[i], MF_BYCOMMAND))
            ;
    for (int k = 0; k < list.count; ++k) {
        if (!list.entries[k][0])
            continue;
        std::string text = RecentMenuText(k + 1, list.entries[k]);
        InsertMenuA(menu, marker, MF_BYCOMMAND | MF_STRING, list.commands[k], text.c_str());
    }
    if (!list.entries[0][0])
        InsertMenuA(menu, marker, MF_BYCOMMAND | MF_STRING | MF_GRAYED, first, "Recent File");
    DeleteMenu(menu, marker, MF_BYCOMMAND);
}
