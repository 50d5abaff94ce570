// The arithmetic of the read-only view of a big file: where its lines start (64-bit
// offsets, found a block at a time), which lines a window of the file holds, where a
// window may be cut, and a search over the file a block at a time. No windows
// involved: this also builds natively for fuzzing. For 8-bit and UTF-8 text, whose line
// ends are the bytes CR and LF (no trail byte of a double-byte code page is either).
#pragma once
#include <stddef.h>
#include <string>
#include <vector>

typedef unsigned long long FileOffset;

// Finds the line starts of a file read a block at a time: 0, and every offset just after
// an LF or after a CR that no LF follows (CR LF is one line end, CR CR LF two), the
// end of the file included when the text ends with a line end, as the control then
// shows an empty last line.
class LineStartScanner {
public:
    // Adds the starts within bytes[0, n), which lie at offset in the file (blocks come
    // in order, without gaps).
    void Add(const unsigned char *bytes, size_t n, FileOffset offset,
             std::vector<FileOffset> &starts);
    // After the last block: a CR at the very end of the file ends its line.
    void Finish(std::vector<FileOffset> &starts);

private:
    bool pendingCr = false;  // the last byte so far was a CR
    FileOffset afterCr = 0;
};

// The line (from 0) that holds offset: the last start at or before it.
FileOffset LineOfOffset(const std::vector<FileOffset> &starts, FileOffset offset);

// The lines a window holds: [first, end) of starts, and their bytes [begin, finish).
struct WindowSpan {
    FileOffset first, end;
    FileOffset begin, finish;
};

// A window of about bytes bytes of whole lines with line about a third of the way in
// (the first lines of the file at the top, the last at the bottom). size is the file's;
// starts must cover every line up to the window's end (all of them, for the last). A
// line longer than the window is the window alone (CutWindow shortens it).
WindowSpan ChooseWindow(const std::vector<FileOffset> &starts, FileOffset size, FileOffset line,
                        size_t bytes);

// Where a window of text[0, n) that must stay under most bytes ends: n when it fits,
// else most moved back over UTF-8 continuation bytes (utf8) and out of a CR LF, so that
// no character is split.
size_t CutWindow(const unsigned char *text, size_t n, size_t most, bool utf8);

// Searches a file a block at a time for needle (bytes as the file holds them; ASCII
// letters alike in either case unless matchCase): a match that straddles two blocks is
// found too.
class BlockSearch {
public:
    BlockSearch(const std::string &needle, bool matchCase);
    // The file offset of the first match that lies within what was added so far (this
    // block, at offset, and the end of the blocks before), or -1.
    long long Add(const unsigned char *bytes, size_t n, FileOffset offset);

private:
    std::string needle;
    bool matchCase;
    std::string carry;        // the last needle.size() - 1 bytes before this block
    FileOffset carryOffset = 0;
};
