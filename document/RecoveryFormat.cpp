#include "document/RecoveryFormat.h"

#include <stdio.h>
#include <string.h>

static const char MAGIC[] = "OrvelloWord snapshot 1\r\n";
// A header is a few short lines and one path: anything longer is not a header.
static const size_t LONGEST_HEADER = 4096;

uint32_t Crc32(const void *bytes, size_t size, uint32_t crc)
{
    static uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        ready = true;
    }
    const unsigned char *p = (const unsigned char *)bytes;
    crc = ~crc;
    for (size_t i = 0; i < size; ++i)
        crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

static void AddLine(std::string &header, const char *key, const std::string &value)
{
    header += key;
    header += '=';
    header += value;
    header += "\r\n";
}

static std::string Number(long long value)
{
    char text[32];
    snprintf(text, sizeof text, "%lld", value);
    return text;
}

static std::string Unsigned(uint64_t value)
{
    char text[32];
    snprintf(text, sizeof text, "%llu", (unsigned long long)value);
    return text;
}

std::string BuildSnapshotHeader(const SnapshotRecord &record, const void *content,
                                size_t length)
{
    std::string header = MAGIC;
    // A path never holds line ends; one that did would end its line early.
    std::string path = record.path;
    for (char &c : path)
        if (c == '\r' || c == '\n')
            c = '?';
    AddLine(header, "path", path);
    AddLine(header, "format", Number(record.format));
    AddLine(header, "mark", Number(record.utf8Mark ? 1 : 0));
    AddLine(header, "lineends", Number(record.lineEnds));
    AddLine(header, "mixedends", Number(record.mixedLineEnds ? 1 : 0));
    AddLine(header, "filesize", Number(record.fileSize));
    AddLine(header, "filetime", Unsigned(record.fileTime));
    AddLine(header, "caret", Number(record.caretStart) + "," + Number(record.caretEnd));
    AddLine(header, "wrap", Number(record.wrap));
    AddLine(header, "content", record.rich ? "rtf" : "utf16le");
    AddLine(header, "taken", Unsigned(record.takenAt));
    AddLine(header, "length", Unsigned(length));
    uint32_t crc = Crc32(header.data(), header.size());
    crc = Crc32(content, length, crc);
    char line[32];
    snprintf(line, sizeof line, "crc32=%08X\r\n\r\n", (unsigned)crc);
    return header + line;
}

// Strict decimal, optionally negative, within [low, high].
static bool ParseNumber(const std::string &text, long long low, long long high, long long *value)
{
    size_t i = 0;
    bool negative = !text.empty() && text[0] == '-';
    if (negative)
        ++i;
    if (i >= text.size() || text.size() - i > 19)
        return false;
    unsigned long long n = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        n = n * 10 + (unsigned)(text[i] - '0');
    }
    if (n > 9000000000000000000ULL)
        return false;
    long long v = negative ? -(long long)n : (long long)n;
    if (v < low || v > high)
        return false;
    *value = v;
    return true;
}

static bool ParseUnsigned(const std::string &text, uint64_t *value)
{
    if (text.empty() || text.size() > 20)
        return false;
    uint64_t n = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        uint64_t next = n * 10 + (unsigned)(c - '0');
        if (next / 10 != n)
            return false;
        n = next;
    }
    *value = n;
    return true;
}

static bool ParseHex32(const std::string &text, uint32_t *value)
{
    if (text.size() != 8)
        return false;
    uint32_t n = 0;
    for (char c : text) {
        int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (digit < 0)
            return false;
        n = n << 4 | (uint32_t)digit;
    }
    *value = n;
    return true;
}

// One field into the record; false for a value that does not parse.
static bool ParseField(const std::string &key, const std::string &value, SnapshotRecord *r,
                       uint64_t *length, int *seen)
{
    long long n = 0;
    const long long most = 0x7FFFFFFFLL;
    if (key == "path") {
        r->path = value;
    } else if (key == "format") {
        if (!ParseNumber(value, -1, 4, &n))
            return false;
        r->format = (int)n;
    } else if (key == "mark") {
        if (!ParseNumber(value, 0, 1, &n))
            return false;
        r->utf8Mark = n != 0;
    } else if (key == "lineends") {
        if (!ParseNumber(value, 0, 2, &n))
            return false;
        r->lineEnds = (int)n;
    } else if (key == "mixedends") {
        if (!ParseNumber(value, 0, 1, &n))
            return false;
        r->mixedLineEnds = n != 0;
    } else if (key == "filesize") {
        if (!ParseNumber(value, -1, 0x7FFFFFFFFFFFFFFFLL, &n))
            return false;
        r->fileSize = n;
    } else if (key == "filetime") {
        return ParseUnsigned(value, &r->fileTime);
    } else if (key == "caret") {
        size_t comma = value.find(',');
        long long end = 0;
        if (comma == std::string::npos || !ParseNumber(value.substr(0, comma), -1, most, &n) ||
            !ParseNumber(value.substr(comma + 1), -1, most, &end))
            return false;
        r->caretStart = (long)n;
        r->caretEnd = (long)end;
    } else if (key == "wrap") {
        if (!ParseNumber(value, 0, 255, &n))
            return false;
        r->wrap = (int)n;
    } else if (key == "content") {
        if (value != "rtf" && value != "utf16le")
            return false;
        r->rich = value == "rtf";
        *seen |= 1;
    } else if (key == "taken") {
        return ParseUnsigned(value, &r->takenAt);
    } else if (key == "length") {
        if (!ParseUnsigned(value, length))
            return false;
        *seen |= 2;
    }
    // Fields a later version adds are passed over.
    return true;
}

SnapshotCheck ParseSnapshot(const char *bytes, size_t size, SnapshotRecord *record,
                            size_t *contentOffset, size_t *contentLength)
{
    const size_t magic = sizeof MAGIC - 1;
    if (size < magic || memcmp(bytes, MAGIC, magic) != 0)
        return SNAPSHOT_NOT_SNAPSHOT;
    SnapshotRecord r;
    uint64_t length = 0;
    uint32_t crc = 0;
    int seen = 0;
    size_t at = magic, checked = 0;
    bool ended = false;
    while (!ended) {
        if (at >= size || at > LONGEST_HEADER)
            return at >= size ? SNAPSHOT_TRUNCATED : SNAPSHOT_DAMAGED;
        const char *end = (const char *)memchr(bytes + at, '\n', size - at);
        if (!end)
            return size - at > LONGEST_HEADER ? SNAPSHOT_DAMAGED : SNAPSHOT_TRUNCATED;
        size_t next = end - bytes + 1;
        if (next - at < 2 || end[-1] != '\r')
            return SNAPSHOT_DAMAGED;
        std::string line(bytes + at, next - at - 2);
        size_t equals = line.find('=');
        if (equals == std::string::npos)
            return SNAPSHOT_DAMAGED;
        std::string key = line.substr(0, equals), value = line.substr(equals + 1);
        if (key == "crc32") {
            if (!ParseHex32(value, &crc))
                return SNAPSHOT_DAMAGED;
            checked = at;
            ended = true;
        } else if (!ParseField(key, value, &r, &length, &seen)) {
            return SNAPSHOT_DAMAGED;
        }
        at = next;
    }
    // The checksum line ends the header, and an empty line follows it.
    if (size - at < 2)
        return SNAPSHOT_TRUNCATED;
    if (bytes[at] != '\r' || bytes[at + 1] != '\n' || seen != 3)
        return SNAPSHOT_DAMAGED;
    at += 2;
    if (size - at < length)
        return SNAPSHOT_TRUNCATED;
    if (size - at > length)
        return SNAPSHOT_DAMAGED;
    uint32_t actual = Crc32(bytes, checked);
    actual = Crc32(bytes + at, (size_t)length, actual);
    if (actual != crc)
        return SNAPSHOT_DAMAGED;
    // UTF-16 text comes in whole units.
    if (!r.rich && length % 2)
        return SNAPSHOT_DAMAGED;
    *record = r;
    *contentOffset = at;
    *contentLength = (size_t)length;
    return SNAPSHOT_GOOD;
}

std::string SnapshotOwnerName(uint32_t processId, uint64_t startTime)
{
    char name[48];
    snprintf(name, sizeof name, "%08X-%016llX", (unsigned)processId,
             (unsigned long long)startTime);
    return name;
}

std::string OwnerOfSnapshotName(const std::string &fileName)
{
    static const char SUFFIX[] = ".snapshot";
    const size_t suffix = sizeof SUFFIX - 1, owner = 8 + 1 + 16;
    if (fileName.size() < owner + suffix)
        return "";
    size_t end = fileName.size() - suffix;
    for (size_t i = 0; i < suffix; ++i) {
        char c = fileName[end + i];
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
        if (c != SUFFIX[i])
            return "";
    }
    for (size_t i = 0; i < owner; ++i) {
        char c = fileName[i];
        bool hex = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
        if (i == 8 ? c != '-' : !hex)
            return "";
    }
    // A snapshot handed on to another window: "<owner>.<number>.snapshot".
    if (end != owner) {
        size_t digits = end - owner - 1;
        if (fileName[owner] != '.' || digits < 1 || digits > 4)
            return "";
        for (size_t i = owner + 1; i < end; ++i)
            if (fileName[i] < '0' || fileName[i] > '9')
                return "";
    }
    return fileName.substr(0, owner);
}

bool FileChangedSince(const SnapshotRecord &record, bool exists, long long size,
                      uint64_t lastWrite)
{
    if (record.path.empty() || !exists)
        return false;
    // A file that was not there when the document got its name is new.
    if (record.fileSize < 0)
        return true;
    return size != record.fileSize || lastWrite != record.fileTime;
}
