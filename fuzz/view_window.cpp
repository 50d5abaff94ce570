// Fuzzes the view's arithmetic: line starts found in two blocks are those found whole,
// a window is whole lines holding the line asked for, a cut splits no UTF-8 sequence or
// CR LF, and a search by blocks, either way, finds what a plain search of the whole finds.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "document/ViewWindow.h"

static size_t ReadText(void *context, FileOffset offset, unsigned char *buffer, size_t n)
{
    const std::string &text = *(const std::string *)context;
    size_t got = offset < text.size() ? std::min(n, text.size() - (size_t)offset) : 0;
    memcpy(buffer, text.data() + offset, got);
    return got;
}

// The line starts of text in one block, checked to be those found in two split at split.
static std::vector<FileOffset> StartsInTwoWays(const unsigned char *text, size_t n, size_t split,
                                               ViewEncoding encoding)
{
    std::vector<FileOffset> whole(1, 0), parts(1, 0);
    LineStartScanner one(encoding), two(encoding);
    one.Add(text, n, 0, whole);
    one.Finish(whole);
    two.Add(text, split, 0, parts);
    two.Add(text + split, n - split, split, parts);
    two.Finish(parts);
    if (whole != parts)
        __builtin_trap();
    return whole;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    size_t split = data[0] % (size - 3);
    size_t needleLength = 1 + data[1] % 4;
    size_t window = 1 + data[2] * 4;
    const unsigned char *text = data + 3;
    size_t n = size - 3;

    std::vector<FileOffset> whole = StartsInTwoWays(text, n, split, VIEW_8BIT);
    for (size_t i = 1; i < whole.size(); ++i)
        if (whole[i] <= whole[i - 1] || whole[i] > n)
            __builtin_trap();

    FileOffset line = split % whole.size();
    LineStarts index(whole);
    if (index.size() != whole.size() || index[line] != whole[line] ||
        index.LineOf(whole[line]) != line)
        __builtin_trap();
    WindowSpan span = ChooseWindow(index, n, line, window);
    if (span.first > line || span.end <= line || span.end > whole.size() ||
        span.begin != whole[span.first] ||
        span.finish != (span.end < whole.size() ? whole[span.end] : n) ||
        (span.end - span.first > 1 && span.finish - span.begin > window))
        __builtin_trap();

    size_t cut = CutWindow(text, n, split, VIEW_UTF8);
    if (cut > n || (cut < n && cut > split) ||
        (cut > 0 && cut < n && text[cut - 1] == '\r' && text[cut] == '\n'))
        __builtin_trap();

    if (needleLength <= n) {
        std::string hay((const char *)text, n);
        FileSearch search = {hay.substr(0, needleLength), VIEW_8BIT, true, false, true};
        size_t from = split % (n + 1), block = 1 + data[2] % 64;
        size_t expected = hay.find(search.needle, from);
        if (SearchFile(search, from, n, block, ReadText, &hay, 0, 0) != (long long)expected)
            __builtin_trap();
        search.down = false;
        expected = from >= needleLength ? hay.rfind(search.needle, from - needleLength)
                                        : std::string::npos;
        if (SearchFile(search, from, n, block, ReadText, &hay, 0, 0) != (long long)expected)
            __builtin_trap();
        // UTF-16: the first match on a unit from the caret's unit on.
        search = {hay.substr(0, 2 * (needleLength / 2 + 1)), VIEW_UTF16BE, true, false, true};
        from -= from % 2;
        expected = std::string::npos;
        for (size_t at = hay.find(search.needle, from); at != std::string::npos;
             at = hay.find(search.needle, at + 1))
            if (at % 2 == 0) {
                expected = at;
                break;
            }
        if (search.needle.size() % 2 == 0 &&
            SearchFile(search, from, n, block, ReadText, &hay, 0, 0) != (long long)expected)
            __builtin_trap();
    }
    // UTF-16 line starts are the same however the blocks split the units.
    for (FileOffset start : StartsInTwoWays(text, n, split, VIEW_UTF16LE))
        if (start % 2 && start != n)
            __builtin_trap();
    return 0;
}
