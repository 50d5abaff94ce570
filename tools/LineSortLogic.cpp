#include "tools/LineSortLogic.h"

#include <new>
#include <stdlib.h>
#include <string.h>

static int FoldCase(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

int CompareTextIgnoringCase(const char *a, const char *b)
{
    for (;; ++a, ++b) {
        int x = FoldCase((unsigned char)*a), y = FoldCase((unsigned char)*b);
        if (x != y || !x)
            return x - y;
    }
}

static const char *Line(const void *entry)
{
    return *(const char *const *)entry;
}

int CompareBytesAscending(const void *a, const void *b)
{
    // strcmp compares as unsigned char, and a prefix sorts first.
    return strcmp(Line(a), Line(b));
}

int CompareBytesDescending(const void *a, const void *b)
{
    return strcmp(Line(b), Line(a));
}

int CompareIgnoringCaseAscending(const void *a, const void *b)
{
    return CompareTextIgnoringCase(Line(a), Line(b));
}

int CompareIgnoringCaseDescending(const void *a, const void *b)
{
    return CompareTextIgnoringCase(Line(b), Line(a));
}

size_t SortLines(char *text, int reverse, int caseSensitive)
{
    size_t length = strlen(text);
    if (!length)
        return 0;
    // Every piece up to the end counts; only the empty piece after a final LF does
    // not, so no line of the text can be dropped.
    size_t count = 1;
    for (size_t i = 0; i < length; ++i)
        if (text[i] == '\n')
            ++count;
    if (text[length - 1] == '\n')
        --count;

    const char **lines = new (std::nothrow) const char *[count];
    char *sorted = new (std::nothrow) char[length + 2];
    if (!lines || !sorted) {
        delete[] lines;
        delete[] sorted;
        return 0;
    }
    size_t n = 0;
    for (char *start = text; n < count;) {
        lines[n++] = start;
        char *end = strchr(start, '\n');
        if (!end)
            break;
        *end = 0;
        start = end + 1;
    }

    int (*compare)(const void *, const void *);
    if (caseSensitive)
        compare = reverse ? CompareBytesDescending : CompareBytesAscending;
    else
        compare = reverse ? CompareIgnoringCaseDescending : CompareIgnoringCaseAscending;
    qsort(lines, count, sizeof *lines, compare);

    size_t used = 0;
    for (size_t i = 0; i < count; ++i) {
        size_t size = strlen(lines[i]);
        memcpy(sorted + used, lines[i], size);
        used += size;
        sorted[used++] = '\n';
    }
    sorted[used] = 0;
    // The text had one LF fewer when its last line had none: the buffer from GetText
    // has room for the extra byte (length + 2).
    memcpy(text, sorted, used + 1);
    delete[] sorted;
    delete[] lines;
    return used;
}
