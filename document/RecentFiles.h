// The four most recently opened or saved files, shown in the File menu and kept in
// the settings file as MRU0 ... MRU3.
#pragma once
#include <windows.h>

struct RecentFiles {
    HWND owner;              // null while the list is not in use
    HMENU menu;              // null: the owner's first submenu (File)
    int count;               // at most 8
    UINT commands[8];        // one command identifier per entry
    char entries[8][256];    // most recent first; empty slots only at the end
    char result[256];        // what GetRecentFile returns
    char pair[2 * 260];      // copy of the settings pair: path, zero, section, zero
};

extern RecentFiles RecentFileList;

void InitRecentFiles(HWND owner, int count, const UINT *commands, const char *pair,
                     bool verify, HMENU menu);
void SaveRecentFiles();
void PushRecentFile(const char *path);
void RemoveRecentFile(const char *path);
const char *GetRecentFile(int index);
void RebuildRecentMenu();
