// Folder texts of the spell checker: the registry's answer made a string, and the
// folder the word list goes in. No windows here.
#pragma once
#include <stddef.h>

// Ends a string read from the registry at the size the registry gave (the stored
// bytes need not end in a zero, and bytes after them are another answer's). capacity
// is the buffer's size; a size of 0 or past the buffer keeps what fits. Returns the
// string's length.
size_t EndRegistryString(char *buffer, size_t capacity, size_t size);

// Whether a folder text names a folder on its own: a drive ("C:\...") or a share
// ("\\server\..."). An empty or relative answer would put files wherever the working
// folder (or the drive's root) happens to be.
bool IsFullFolderPath(const char *folder);

// The folder the OrvelloWord folder of the word list goes in: the application-data
// folder when it is a full path, else the folder of the program (programPath is the
// program file's full path). Written to out (size bytes); false, out empty, when
// neither gives a full path or the result would not fit.
bool WordListBaseFolder(const char *appData, const char *programPath, char *out, size_t size);
