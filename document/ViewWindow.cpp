// Line starts, windows and searches over a big file, for the read-only view.
#include "document/ViewWindow.h"

#include <algorithm>

void LineStartScanner::Add(const unsigned char *bytes, size_t n, FileOffset offset,
                           std::vector<FileOffset> &starts)
{
    for (size_t i = 0; i < n; ++i) {
        unsigned char b = bytes[i];
        if (pendingCr) {
            pendingCr = false;
            if (b == '\n') {
                starts.push_back(offset + i + 1);
                continue;
            }
            starts.push_back(afterCr);
        }
        if (b == '\n') {
            starts.push_back(offset + i + 1);
        } else if (b == '\r') {
            pendingCr = true;
            afterCr = offset + i + 1;
        }
    }
}

void LineStartScanner::Finish(std::vector<FileOffset> &starts)
{
    if (pendingCr)
        starts.push_back(afterCr);
    pendingCr = false;
}

FileOffset LineOfOffset(const std::vector<FileOffset> &starts, FileOffset offset)
{
    if (starts.empty())
        return 0;
    auto after = std::upper_bound(starts.begin(), starts.end(), offset);
    return after == starts.begin() ? 0 : (FileOffset)(after - starts.begin()) - 1;
}

WindowSpan ChooseWindow(const std::vector<FileOffset> &starts, FileOffset size, FileOffset line,
                        size_t bytes)
{
    WindowSpan span = {0, 0, 0, size};
    if (starts.empty())
        return span;
    FileOffset lines = starts.size();
    if (line >= lines)
        line = lines - 1;
    FileOffset at = starts[line];
    // A third of the window before the line, the rest after it.
    FileOffset from = at > bytes / 3 ? at - bytes / 3 : 0;
    span.first = (FileOffset)(std::lower_bound(starts.begin(), starts.begin() + line + 1, from) -
                              starts.begin());
    FileOffset until = starts[span.first] + bytes;
    if (until >= size) {
        span.end = lines;
    } else {
        // The last line start within reach ends the window; the line asked for stays in.
        FileOffset beyond = (FileOffset)(std::upper_bound(starts.begin() + line + 1,
                                                          starts.end(), until) -
                                         starts.begin());
        span.end = beyond - 1 > line ? beyond - 1 : line + 1;
    }
    // A long line asked for leaves less room before it; with room left before the
    // window's end (near the end of the file), more.
    FileOffset finish = span.end < lines ? starts[span.end] : size;
    while (span.first < line && finish - starts[span.first] > bytes)
        ++span.first;
    while (span.first > 0 && finish - starts[span.first - 1] <= bytes)
        --span.first;
    span.begin = starts[span.first];
    span.finish = finish;
    return span;
}

size_t CutWindow(const unsigned char *text, size_t n, size_t most, bool utf8)
{
    if (n <= most)
        return n;
    size_t at = most;
    if (utf8)
        while (at > 0 && (text[at] & 0xC0) == 0x80)
            --at;
    if (at > 0 && text[at - 1] == '\r' && text[at] == '\n')
        --at;
    return at;
}

static unsigned char Folded(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? (unsigned char)(c - 'A' + 'a') : c;
}

BlockSearch::BlockSearch(const std::string &needle, bool matchCase)
    : needle(needle), matchCase(matchCase)
{
    if (!matchCase)
        for (char &c : this->needle)
            c = (char)Folded((unsigned char)c);
}

long long BlockSearch::Add(const unsigned char *bytes, size_t n, FileOffset offset)
{
    size_t m = needle.size();
    if (m == 0)
        return -1;
    std::string hay = carry;
    FileOffset hayOffset = carry.empty() ? offset : carryOffset;
    hay.append((const char *)bytes, n);
    if (!matchCase)
        for (char &c : hay)
            c = (char)Folded((unsigned char)c);
    size_t found = hay.find(needle);
    if (found != std::string::npos)
        return (long long)(hayOffset + found);
    size_t keep = std::min(hay.size(), m - 1);
    carry = hay.substr(hay.size() - keep);
    carryOffset = hayOffset + (hay.size() - keep);
    // The carried bytes are folded already; folding twice changes nothing.
    return -1;
}
