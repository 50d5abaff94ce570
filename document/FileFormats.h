// The byte layouts of the five document formats and the small text rules around
// them; no windows involved, so they can be checked on their own.
#pragma once
#include <stddef.h>
#include <string>

// DocumentFormat values: the save dialog's list index minus one.
enum DocumentFormatValue {
    FORMAT_RICH = -1,
    FORMAT_PLAIN = 0,
    FORMAT_MULTI_BYTE = 1,
    FORMAT_UNICODE_LE = 2,
    FORMAT_UNICODE_BE = 3,
    FORMAT_UTF8 = 4,
};

// The file bytes for a document text of n bytes: rich and plain as they stand, the
// 16-bit formats one unit per byte (same unsigned value), the Unicode ones after
// their byte-order mark.
std::string EncodeDocument(int format, const char *text, size_t n);

// Whether data looks like one of the 16-bit layouts (FORMAT_MULTI_BYTE, _UNICODE_LE
// or _UNICODE_BE); never for a file of one byte or less.
bool LooksSixteenBit(int format, const unsigned char *data, size_t count);
// Keeps the low bytes of the 16-bit units in place and terminates them; returns the
// number of bytes kept.
size_t NarrowSixteenBit(int format, unsigned char *data, size_t count);

// Appends ".wri" (rich) or ".txt" to a path that has no dot anywhere; false when
// it would not fit in size bytes.
bool AddDefaultExtension(char *path, size_t size, bool rich);

// The File menu text of recent entry number (from 1): "&1 a.txt\t(C:\docs)".
std::string RecentMenuText(int number, const char *path);
