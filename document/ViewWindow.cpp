// Line starts, windows and searches over a big file, for the read-only view.
#include "document/ViewWindow.h"

#include <algorithm>

void LineStartScanner::Unit(unsigned unit, FileOffset after, std::vector<FileOffset> &starts)
{
    if (pendingCr) {
        pendingCr = false;
        if (unit == '\n') {
            starts.push_back(after);
            return;
        }
        starts.push_back(afterCr);
    }
    if (unit == '\n') {
        starts.push_back(after);
    } else if (unit == '\r') {
        pendingCr = true;
        afterCr = after;
    }
}

void LineStartScanner::Add(const unsigned char *bytes, size_t n, FileOffset offset,
                           std::vector<FileOffset> &starts)
{
    if (UnitBytes(encoding) == 1) {
        for (size_t i = 0; i < n; ++i)
            if (pendingCr || bytes[i] == '\n' || bytes[i] == '\r')
                Unit(bytes[i], offset + i + 1, starts);
        return;
    }
    size_t i = 0;
    if (half >= 0 && n > 0) {
        unsigned char pair[2] = {(unsigned char)half, bytes[0]};
        Unit(UnitAt(pair, encoding), offset + 1, starts);
        half = -1;
        i = 1;
    }
    for (; i + 1 < n; i += 2)
        Unit(UnitAt(bytes + i, encoding), offset + i + 2, starts);
    if (i < n)
        half = bytes[i];
}

void LineStartScanner::Finish(std::vector<FileOffset> &starts)
{
    if (pendingCr)
        starts.push_back(afterCr);
    pendingCr = false;
}

LineStarts::LineStarts(std::initializer_list<FileOffset> starts)
    : LineStarts(std::vector<FileOffset>(starts))
{
}

LineStarts::LineStarts(const std::vector<FileOffset> &starts)
{
    for (FileOffset start : starts)
        Add(start);
}

void LineStarts::Add(FileOffset start)
{
    Chunk *chunk = chunks.empty() ? 0 : chunks.back().get();
    FileOffset length = start - last;
    if (!chunk || chunk->count == CHUNK_LINES || length > 0xFFFF) {
        chunks.emplace_back(new Chunk);
        chunk = chunks.back().get();
        chunk->base = start;
        chunk->firstLine = count;
        chunk->count = 1;
    } else {
        chunk->lengths[chunk->count - 1] = (uint16_t)length;
        ++chunk->count;
    }
    last = start;
    ++count;
}

void LineStarts::clear()
{
    chunks.clear();
    chunks.shrink_to_fit();
    count = last = 0;
}

const LineStarts::Chunk &LineStarts::ChunkOf(FileOffset line) const
{
    size_t low = 0, high = chunks.size();
    while (high - low > 1) {
        size_t middle = low + (high - low) / 2;
        if (chunks[middle]->firstLine <= line)
            low = middle;
        else
            high = middle;
    }
    return *chunks[low];
}

FileOffset LineStarts::operator[](FileOffset line) const
{
    const Chunk &chunk = ChunkOf(line);
    FileOffset start = chunk.base;
    for (FileOffset k = 0; k < line - chunk.firstLine && k + 1 < chunk.count; ++k)
        start += chunk.lengths[k];
    return start;
}

FileOffset LineStarts::LineOf(FileOffset offset) const
{
    if (chunks.empty() || offset < chunks[0]->base)
        return 0;
    size_t low = 0, high = chunks.size();
    while (high - low > 1) {
        size_t middle = low + (high - low) / 2;
        if (chunks[middle]->base <= offset)
            low = middle;
        else
            high = middle;
    }
    const Chunk &chunk = *chunks[low];
    FileOffset start = chunk.base;
    unsigned k = 0;
    while (k + 1 < chunk.count && start + chunk.lengths[k] <= offset)
        start += chunk.lengths[k++];
    return chunk.firstLine + k;
}

size_t LineStarts::Bytes() const
{
    return chunks.size() * (sizeof(Chunk) + sizeof(chunks[0])) + sizeof *this;
}

WindowSpan ChooseWindow(const LineStarts &starts, FileOffset size, FileOffset line, size_t bytes)
{
    WindowSpan span = {0, 0, 0, size};
    if (starts.empty())
        return span;
    FileOffset lines = starts.size();
    if (line >= lines)
        line = lines - 1;
    FileOffset at = starts[line];
    // A third of the window before the line, the rest after it: from the first line that
    // starts at or after `from`.
    FileOffset from = at > bytes / 3 ? at - bytes / 3 : 0;
    span.first = starts.LineOf(from);
    if (starts[span.first] < from)
        ++span.first;
    if (span.first > line)
        span.first = line;
    FileOffset until = starts[span.first] + bytes;
    if (until >= size) {
        span.end = lines;
    } else {
        // The last line start within reach ends the window; the line asked for stays in.
        FileOffset within = starts.LineOf(until);
        span.end = within > line ? within : line + 1;
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

size_t CutWindow(const unsigned char *text, size_t n, size_t most, ViewEncoding encoding)
{
    if (n <= most)
        return n;
    if (UnitBytes(encoding) == 2) {
        size_t at = most & ~(size_t)1;
        if (at >= 2) {
            unsigned before = UnitAt(text + at - 2, encoding);
            if ((before >= 0xD800 && before < 0xDC00) ||
                (before == '\r' && at + 1 < n && UnitAt(text + at, encoding) == '\n'))
                at -= 2;
        }
        return at;
    }
    size_t at = most;
    if (encoding == VIEW_UTF8)
        while (at > 0 && (text[at] & 0xC0) == 0x80)
            --at;
    if (at > 0 && text[at - 1] == '\r' && text[at] == '\n')
        --at;
    return at;
}

// ASCII capitals as small letters, a unit at a time (in 16-bit text only units that are
// ASCII letters, not bytes that look like them).
static void Fold(std::string &text, ViewEncoding encoding)
{
    unsigned u = UnitBytes(encoding);
    size_t low = encoding == VIEW_UTF16BE ? 1 : 0;
    for (size_t i = 0; i + u <= text.size(); i += u) {
        unsigned unit = UnitAt((const unsigned char *)text.data() + i, encoding);
        if (unit >= 'A' && unit <= 'Z')
            text[i + low] = (char)(unit - 'A' + 'a');
    }
}

// Letters, digits and the underscore of ASCII, and every character beyond it (8-bit
// letters, UTF-8 sequences, other scripts), make words.
static bool InWord(unsigned unit)
{
    return (unit >= '0' && unit <= '9') || (unit >= 'A' && unit <= 'Z') ||
           (unit >= 'a' && unit <= 'z') || unit == '_' || unit >= 0x80;
}

long long SearchFile(const FileSearch &search, FileOffset from, FileOffset size, size_t block,
                     ReadFileBytes read, void *context, bool (*going)(void *), void *goingContext)
{
    const unsigned u = UnitBytes(search.encoding);
    std::string needle = search.needle;
    size_t m = needle.size();
    if (m == 0 || m % u || m > size || block == 0)
        return -1;
    if (!search.matchCase)
        Fold(needle, search.encoding);
    // Whole units only: the caret on a unit, blocks of whole units.
    from -= from % u;
    block += (u - block % u) % u;
    // Matches start in [first, last]: down from `from`, up ending by it.
    FileOffset first = search.down ? from : 0;
    FileOffset last = search.down ? size - m : (from >= m ? from - m : 0);
    last -= last % u;
    if (first > last || (!search.down && from < m))
        return -1;
    std::string hay;
    FileOffset blocks = (last - first) / block + 1;
    for (FileOffset k = 0; k < blocks; ++k) {
        // Starts [low, high] of this block, nearest `from` first.
        FileOffset low = search.down ? first + k * block
                                     : (last >= (k + 1) * block - u ? last - ((k + 1) * block - u) : 0);
        FileOffset high = search.down ? low + block - u : last - k * block;
        if (high > last)
            high = last;
        // The bytes read: a unit before the first start and one after the last match's
        // end, for the word test.
        FileOffset begin = low >= u ? low - u : 0;
        FileOffset end = high + m + u < size ? high + m + u : size;
        hay.resize((size_t)(end - begin));
        size_t got = read(context, begin, (unsigned char *)&hay[0], hay.size());
        if (got < hay.size())
            return -1;
        std::string folded = hay;
        if (!search.matchCase)
            Fold(folded, search.encoding);
        const unsigned char *bytes = (const unsigned char *)hay.data();
        size_t lowAt = (size_t)(low - begin), highAt = (size_t)(high - begin);
        size_t at = search.down ? folded.find(needle, lowAt) : folded.rfind(needle, highAt);
        while (at != std::string::npos && at >= lowAt && at <= highAt) {
            FileOffset offset = begin + at;
            bool whole = !search.wholeWord ||
                         ((offset == 0 || !InWord(UnitAt(bytes + at - u, search.encoding)) ||
                           !InWord(UnitAt(bytes + at, search.encoding))) &&
                          (offset + m + u > size || !InWord(UnitAt(bytes + at + m, search.encoding)) ||
                           !InWord(UnitAt(bytes + at + m - u, search.encoding))));
            if (offset % u == 0 && whole)
                return (long long)offset;
            if (search.down)
                at = folded.find(needle, at + 1);
            else
                at = at == 0 ? std::string::npos : folded.rfind(needle, at - 1);
        }
        if (going && !going(goingContext))
            return -2;
    }
    return -1;
}
