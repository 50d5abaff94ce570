// The line model and comparisons of Line Sort (no Win32 here).
#pragma once
#include <stddef.h>

// qsort comparisons over an array of line pointers (const char **).
int CompareBytesAscending(const void *a, const void *b);
int CompareBytesDescending(const void *a, const void *b);
// ASCII capitals folded to small letters, then unsigned bytes, as _stricmp.
int CompareIgnoringCaseAscending(const void *a, const void *b);
int CompareIgnoringCaseDescending(const void *a, const void *b);
// The same order as CompareIgnoringCaseAscending, over two strings.
int CompareTextIgnoringCase(const char *a, const char *b);

// Sorts the lines of text (cut at every LF, each keeping its CR) in place. Every line
// comes out followed by LF, the last one included; a final LF adds no empty line.
// Checked caseSensitive sorts by byte order, clear ignores case; reverse descends.
// The buffer must hold strlen(text) + 2 bytes (one LF more and the terminator).
// Returns the length of the sorted text, 0 when memory ran out (text unchanged then).
size_t SortLines(char *text, int reverse, int caseSensitive);
