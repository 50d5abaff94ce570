// Where settings live and how they are written: profile files, the working folder,
// write-only-when-changed helpers and the window placement text.
#pragma once
#include <windows.h>
#include <stddef.h>

#include "app/Layout.h"
#include "app/WindowStateText.h"

// A settings pair: the file path, its terminating zero, then the section name.
extern const char *SettingsFile;
// The section alone ("OrvelloWord", or "OXR" in the output window).
extern const char *SettingsSection;

// The pair to use: ".\OrvelloTools.ini" when win.ini [Folders] OrvelloTools is set,
// else "win.ini"; section OXR for the output window.
const char *ChooseSettingsFile(int outputWindow);
inline const char *PairPath(const char *pair) { return pair; }
const char *PairSection(const char *pair);

// Sets the current folder from a folder reference ("<Key>" names a win.ini
// [Folders] key; null means the command line); saves the old one into previous.
void SetWorkingFolder(const char *reference, char *previous);
// Reduces a command line or path to its folder: quotes, ".exe " and the last
// backslash cut away.
void ReduceToFolder(const char *text, char *out, size_t size);

int WriteProfileTextIfChanged(const char *file, const char *section, const char *key,
                              const char *value);
int WriteProfileIntIfChanged(const char *file, const char *section, const char *key,
                             int value);

// Applies the placement; returns toolbar flag * 256 + status flag (16 bits).
int RestoreWindowState(const LayoutRecord &layout, const char *pair, const char *defaultText,
                       int show);
void SaveWindowState(const LayoutRecord &layout, const char *pair);
