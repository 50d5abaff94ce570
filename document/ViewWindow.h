// The arithmetic of the read-only view of a big file: where its lines start (64-bit
// offsets, found a block at a time), which lines a window of the file holds, where a
// window may be cut, and a search over the file a block at a time. No windows
// involved: this also builds natively for fuzzing. For 8-bit and UTF-8 text, whose line
// ends are the bytes CR and LF (no trail byte of a double-byte code page is either), and
// for UTF-16 in either byte order, whose line ends are the units CR and LF.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

typedef unsigned long long FileOffset;

// How a viewed file holds its characters.
enum ViewEncoding { VIEW_8BIT, VIEW_UTF8, VIEW_UTF16LE, VIEW_UTF16BE };

// Bytes of one code unit: 2 for UTF-16, else 1.
inline unsigned UnitBytes(ViewEncoding encoding)
{
    return encoding == VIEW_UTF16LE || encoding == VIEW_UTF16BE ? 2 : 1;
}
// The code unit at text (UnitBytes of it).
inline unsigned UnitAt(const unsigned char *text, ViewEncoding encoding)
{
    if (encoding == VIEW_UTF16LE)
        return text[0] | (unsigned)text[1] << 8;
    if (encoding == VIEW_UTF16BE)
        return (unsigned)text[0] << 8 | text[1];
    return text[0];
}

// The line starts of a file (each after the one before) in about two bytes a line: in
// chunks of up to 256 lines, each with its first start and its lines' lengths in 16 bits
// (a longer line begins a chunk of its own). Held in small pieces, so an index of tens of
// millions of lines needs no large block of the address space.
class LineStarts {
public:
    LineStarts() = default;
    LineStarts(std::initializer_list<FileOffset> starts);
    explicit LineStarts(const std::vector<FileOffset> &starts);

    void Add(FileOffset start);
    FileOffset size() const { return count; }
    bool empty() const { return count == 0; }
    void clear();
    FileOffset operator[](FileOffset line) const;
    // The line that holds offset: the last start at or before it (0 when none is).
    FileOffset LineOf(FileOffset offset) const;
    // Bytes the index holds.
    size_t Bytes() const;

private:
    static const unsigned CHUNK_LINES = 256;
    struct Chunk {
        FileOffset base;       // the first line's start
        FileOffset firstLine;
        unsigned count;
        uint16_t lengths[CHUNK_LINES - 1];  // from each start to the next
    };
    std::vector<std::unique_ptr<Chunk>> chunks;
    FileOffset count = 0;
    FileOffset last = 0;
    // The chunk that holds line.
    const Chunk &ChunkOf(FileOffset line) const;
};

// Finds the line starts of a file read a block at a time: 0, and every offset just after
// an LF or after a CR that no LF follows (CR LF is one line end, CR CR LF two), the
// end of the file included when the text ends with a line end, as the control then
// shows an empty last line.
class LineStartScanner {
public:
    explicit LineStartScanner(ViewEncoding encoding = VIEW_8BIT) : encoding(encoding) {}
    // Adds the starts within bytes[0, n), which lie at offset in the file (blocks come
    // in order, without gaps).
    void Add(const unsigned char *bytes, size_t n, FileOffset offset,
             std::vector<FileOffset> &starts);
    // After the last block: a CR at the very end of the file ends its line.
    void Finish(std::vector<FileOffset> &starts);

private:
    ViewEncoding encoding;
    bool pendingCr = false;  // the last unit so far was a CR
    FileOffset afterCr = 0;
    int half = -1;           // a unit's first byte at the end of the last block
    void Unit(unsigned unit, FileOffset after, std::vector<FileOffset> &starts);
};


// The lines a window holds: [first, end) of starts, and their bytes [begin, finish).
struct WindowSpan {
    FileOffset first, end;
    FileOffset begin, finish;
};

// A window of about bytes bytes of whole lines with line about a third of the way in
// (the first lines of the file at the top, the last at the bottom). size is the file's;
// starts must cover every line up to the window's end (all of them, for the last). A
// line longer than the window is the window alone (CutWindow shortens it).
WindowSpan ChooseWindow(const LineStarts &starts, FileOffset size, FileOffset line,
                        size_t bytes);

// Where a window of text[0, n) that must stay under most bytes ends: n when it fits,
// else most moved back to a unit's start, over UTF-8 continuation bytes, out of a
// surrogate pair and out of a CR LF, so that no character is split.
size_t CutWindow(const unsigned char *text, size_t n, size_t most, ViewEncoding encoding);

// What Find looks for in a file: needle as the file holds its bytes.
struct FileSearch {
    std::string needle;
    ViewEncoding encoding;  // 16-bit: matches start on a unit, letters fold by units
    bool matchCase;  // else ASCII letters match in either case
    bool wholeWord;  // a match neither starts nor ends inside a word
    bool down;       // the first match from `from` on, else the last that ends by `from`
};

// Reads up to n bytes of the file at offset into buffer; how many came.
typedef size_t (*ReadFileBytes)(void *context, FileOffset offset, unsigned char *buffer,
                                size_t n);

// Searches a file of size bytes a block of about block bytes at a time (each read
// overlaps the next, so a match that straddles two blocks is found); going is asked
// after each block and stops the search when false. The match's file offset; -1 when
// there is none, -2 when stopped.
long long SearchFile(const FileSearch &search, FileOffset from, FileOffset size, size_t block,
                     ReadFileBytes read, void *context, bool (*going)(void *), void *goingContext);
