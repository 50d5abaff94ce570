#include "spell/FolderText.h"

#include <string.h>

size_t EndRegistryString(char *buffer, size_t capacity, size_t size)
{
    if (!capacity)
        return 0;
    size_t end = size < capacity ? size : capacity - 1;
    buffer[end] = 0;
    return strlen(buffer);
}

static bool IsLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsFullFolderPath(const char *folder)
{
    if (!folder)
        return false;
    if (IsLetter(folder[0]) && folder[1] == ':' && (folder[2] == '\\' || folder[2] == '/'))
        return true;
    // A share needs a server name after the two backslashes.
    return folder[0] == '\\' && folder[1] == '\\' && folder[2] && folder[2] != '\\';
}

bool WordListBaseFolder(const char *appData, const char *programPath, char *out, size_t size)
{
    if (!size)
        return false;
    out[0] = 0;
    const char *base = 0;
    size_t length = 0;
    if (IsFullFolderPath(appData)) {
        base = appData;
        length = strlen(appData);
    } else if (IsFullFolderPath(programPath)) {
        const char *slash = strrchr(programPath, '\\');
        const char *other = strrchr(programPath, '/');
        if (other && (!slash || other > slash))
            slash = other;
        base = programPath;
        length = (size_t)(slash - programPath);
    }
    // "C:\" keeps its backslash out: the caller adds one.
    while (base && length > 0 && (base[length - 1] == '\\' || base[length - 1] == '/'))
        --length;
    if (!base || !length || length >= size)
        return false;
    memcpy(out, base, length);
    out[length] = 0;
    return true;
}
