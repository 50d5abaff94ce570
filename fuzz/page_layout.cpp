// Line breaking and page arithmetic for printing, on any text and measures: every line
// takes at least one character and ends at most at a line end, lines that have room
// fit, tab stops move right, and the preview's image search ends.
#include <stddef.h>
#include <stdint.h>
#include <string.h>
#include <vector>

#include "print/PageLayout.h"

struct Bytes {
    const uint8_t *data;
    size_t size;
    int Take(int bits)
    {
        int value = 0;
        for (int b = 0; b < bits; b += 8) {
            value |= (size ? *data : 0) << b;
            if (size) {
                ++data;
                --size;
            }
        }
        return value;
    }
};

static bool EndsLine(wchar_t c)
{
    return c == L'\r' || c == L'\n' || c == 0x0B;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Bytes in = {data, size};
    int startX = in.Take(16) % 4000;
    int right = startX + in.Take(16) % 20000;
    int tabCount = in.Take(8) % 8;
    int tabs[8];
    for (int i = 0; i < tabCount; ++i)
        tabs[i] = (i ? tabs[i - 1] : 0) + in.Take(16) % 3000;
    std::vector<wchar_t> text;
    std::vector<int> advance;
    static const wchar_t kinds[] = {L'a', L'b', L' ', L'\t', L'\r', L'\n', 0x0B, 0x4E2D};
    while (in.size >= 2) {
        int byte = in.Take(8);
        text.push_back(kinds[byte & 7]);
        advance.push_back((byte >> 3) * 40 + in.Take(8));
    }
    int count = (int)text.size();
    for (int at = 0; at < count;) {
        LineFit fit = FitLine(&text[at], &advance[at], count - at, startX, right, tabs, tabCount);
        if (fit.length < 1 || fit.length > count - at)
            __builtin_trap();
        for (int k = 0; k < fit.length - 1; ++k)
            if (EndsLine(text[at + k]))
                __builtin_trap();
        // A line of more than one visible character stays inside the line's width.
        int visibleCharacters = 0;
        for (int k = 0; k < fit.length; ++k)
            visibleCharacters += !EndsLine(text[at + k]) && text[at + k] != L' ';
        if (visibleCharacters > 1 && fit.width > right - startX &&
            wmemchr(&text[at], L'\t', fit.length) == 0)
            __builtin_trap();
        at += fit.length;
    }

    int x = in.Take(16) - 32768;
    if (NextTabStop(x, tabs, tabCount) <= x)
        __builtin_trap();
    int rangeEnd = in.Take(16) - 1000;
    int end = TrimmedRangeEnd(text.data(), count, rangeEnd);
    if (end < 0 || end > count || (end > 0 && rangeEnd < 0 && EndsLine(text[end - 1]) &&
                                   text[end - 1] != 0x0B))
        __builtin_trap();

    int imageWidth = -1, imageHeight = -1;
    FitPageImages(in.Take(16) % 5000 - 100, in.Take(16) % 5000 - 100, in.Take(16), in.Take(16),
                  in.Take(8), &imageWidth, &imageHeight);
    if (imageWidth < 0 || imageHeight < 0)
        __builtin_trap();
    return 0;
}
