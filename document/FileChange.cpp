#include "document/FileChange.h"

#include <string.h>

#include "document/FileFormats.h"
#include "document/TextEncoding.h"

bool SameIdentity(const FileIdentity &a, const FileIdentity &b)
{
    if (a.exists != b.exists)
        return false;
    return !a.exists || (a.size == b.size && a.writeTime == b.writeTime);
}

FileChange JudgeCheck(WatchState &state, bool found, const FileIdentity &now)
{
    if (!found || !now.exists) {
        if (state.failures < 2)
            ++state.failures;
        if (state.failures < 2 || !state.known.exists)
            return FILE_UNCHANGED;
        return FILE_DELETED;
    }
    state.failures = 0;
    if (!state.known.exists)
        return FILE_REWRITTEN;
    if (SameIdentity(state.known, now))
        return FILE_UNCHANGED;
    return now.size > state.known.size ? FILE_GROWN : FILE_REWRITTEN;
}

bool MayFollowGrowth(bool plainText, bool modified, bool tailKnown, bool tailUnchanged)
{
    return plainText && !modified && tailKnown && tailUnchanged;
}

bool TailUnchanged(const std::string &tail, const unsigned char *bytes, size_t n)
{
    return n >= tail.size() && memcmp(tail.data(), bytes, tail.size()) == 0;
}

static bool SixteenBit(int format)
{
    return format == FORMAT_MULTI_BYTE || format == FORMAT_UNICODE_LE ||
           format == FORMAT_UNICODE_BE;
}

// The 16-bit unit at bytes[i, i + 2) in the format's byte order.
static unsigned Unit(int format, const unsigned char *bytes, size_t i)
{
    return format == FORMAT_UNICODE_BE ? (bytes[i] << 8) | bytes[i + 1]
                                       : bytes[i] | (bytes[i + 1] << 8);
}

// The length of bytes without a UTF-8 sequence that is cut off at the end.
static size_t WholeUtf8(const unsigned char *bytes, size_t n)
{
    // A sequence is at most four bytes: look back for its lead byte.
    for (size_t back = 1; back <= 4 && back <= n; ++back) {
        unsigned char byte = bytes[n - back];
        if ((byte & 0xC0) == 0x80)
            continue;  // a continuation byte: its lead is further back
        size_t wanted = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return wanted > back ? n - back : n;
    }
    return n;
}

// The length of 8-bit bytes without a lead byte whose second byte has not come.
static size_t WholeDoubleBytes(const unsigned char *bytes, size_t n, LeadByteTest isLead)
{
    if (!isLead)
        return n;
    size_t i = 0;
    while (i < n)
        i += isLead(bytes[i]) ? 2 : 1;
    return i > n ? n - 1 : n;
}

size_t FollowablePart(int format, const unsigned char *bytes, size_t n, bool afterCr,
                      LeadByteTest isLead, size_t *start)
{
    *start = 0;
    size_t end;
    size_t unit = SixteenBit(format) ? 2 : 1;
    if (unit == 2) {
        end = n & ~(size_t)1;
        // A high surrogate waits for its low half.
        if (end >= 2 && (Unit(format, bytes, end - 2) & 0xFC00) == 0xD800)
            end -= 2;
    } else if (format == FORMAT_UTF8) {
        end = WholeUtf8(bytes, n);
    } else {
        end = WholeDoubleBytes(bytes, n, isLead);
    }
    if (afterCr && end >= unit &&
        (unit == 2 ? Unit(format, bytes, 0) : bytes[0]) == '\n')
        *start = unit;
    // A CR at the end may be the first half of a CR LF still being written.
    if (end >= *start + unit && (unit == 2 ? Unit(format, bytes, end - 2) : bytes[end - 1]) == '\r')
        end -= unit;
    return end;
}

bool TailEndsWithCr(int format, const std::string &tail, size_t pending)
{
    if (pending != 0 || tail.empty())
        return false;
    const unsigned char *bytes = (const unsigned char *)tail.data();
    size_t n = tail.size();
    if (SixteenBit(format))
        return n >= 2 && n % 2 == 0 && Unit(format, bytes, n - 2) == '\r';
    return bytes[n - 1] == '\r';
}

bool FollowableBytes(int format, const unsigned char *bytes, size_t n)
{
    if (SixteenBit(format)) {
        for (size_t i = 0; i + 1 < n; i += 2)
            if (Unit(format, bytes, i) == 0)
                return false;
        return true;
    }
    if (memchr(bytes, 0, n))
        return false;
    return format != FORMAT_PLAIN || !LooksUtf8(bytes, WholeUtf8(bytes, n));
}

int UnshownBytes(int format, const std::string &tail, uint64_t size)
{
    const unsigned char *bytes = (const unsigned char *)tail.data();
    size_t n = tail.size();
    if (format == FORMAT_UTF8)
        return WholeUtf8(bytes, n) == n ? 0 : -1;
    if (!SixteenBit(format))
        return 0;
    // Units start at even offsets of the file; the tail starts at size - n.
    int odd = (int)(size % 2);
    size_t end = n - odd;
    size_t first = (size - n) % 2 ? 1 : 0;
    if (end >= first + 2 && (Unit(format, bytes, end - 2) & 0xFC00) == 0xD800)
        return -1;
    return odd;
}
