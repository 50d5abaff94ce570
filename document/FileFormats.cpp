#include "document/FileFormats.h"

#include <ctype.h>
#include <string.h>

std::string EncodeDocument(int format, const char *text, size_t n)
{
    if (format < FORMAT_MULTI_BYTE || format > FORMAT_UNICODE_BE)
        return std::string(text, n);
    std::string bytes;
    bytes.reserve(2 * n + 2);
    if (format == FORMAT_UNICODE_LE)
        bytes.append("\xFF\xFE", 2);
    else if (format == FORMAT_UNICODE_BE)
        bytes.append("\xFE\xFF", 2);
    bool bigEndian = format == FORMAT_UNICODE_BE;
    for (size_t i = 0; i < n; ++i) {
        char unit[2] = {text[i], 0};
        if (bigEndian) {
            unit[0] = 0;
            unit[1] = text[i];
        }
        bytes.append(unit, 2);
    }
    return bytes;
}

bool LooksSixteenBit(int format, const unsigned char *data, size_t count)
{
    if (count <= 1)
        return false;
    switch (format) {
    case FORMAT_MULTI_BYTE: return data[1] == 0 && isprint(data[0]);
    case FORMAT_UNICODE_LE: return data[0] == 0xFF && data[1] == 0xFE;
    case FORMAT_UNICODE_BE: return data[0] == 0xFE && data[1] == 0xFF;
    }
    return false;
}

size_t NarrowSixteenBit(int format, unsigned char *data, size_t count)
{
    size_t kept, first;
    if (format == FORMAT_MULTI_BYTE) {
        kept = count / 2;
        first = 0;
    } else {
        kept = count >= 2 ? (count - 2) / 2 : 0;
        first = format == FORMAT_UNICODE_LE ? 2 : 3;
    }
    for (size_t i = 0; i < kept; ++i)
        data[i] = data[first + 2 * i];
    data[kept] = 0;
    return kept;
}

bool AddDefaultExtension(char *path, size_t size, bool rich)
{
    if (strchr(path, '.'))
        return true;
    size_t length = strlen(path);
    if (length + 5 > size)
        return false;
    memcpy(path + length, rich ? ".wri" : ".txt", 5);
    return true;
}

std::string RecentMenuText(int number, const char *path)
{
    const char *name = strrchr(path, '\\');
    name = name ? name + 1 : path;
    std::string text = "&" + std::to_string(number) + " " + name + "\t(";
    size_t folderStart = text.size();
    text += path;
    size_t cut = text.rfind('\\');
    if (cut == std::string::npos || cut < folderStart)
        cut = folderStart;
    text.resize(cut);
    return text + ")";
}
