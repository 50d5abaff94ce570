// Paths of the well-known user and system folders ("AppData", "Desktop", ...).
#pragma once
#include <windows.h>

// The folder's path without a trailing backslash: the shell's answer, else the value
// of that name under the root key's per-user "Shell Folders" key (or, for a name with
// a backslash, the value the name's last part names under the key it leads to); empty
// when neither knows it. Written to destination (260 characters) when given, else to a
// buffer the next call overwrites. Null for a missing or empty name.
char *GetSpecialFolder(const char *name, char *destination, HKEY root);
