// The snapshot file that keeps an unsaved document for recovery after a crash: a short
// text header (what brings the document back as it was), then the document itself.
// Pure logic, no Win32: the header's build and parse, the checksum, the file names.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <string>

// What a snapshot holds besides the document's own bytes.
struct SnapshotRecord {
    std::string path;          // the document's file, empty when untitled
    int format = 0;            // DocumentFormat: -1 rich, 0 plain ... 4 UTF-8
    bool utf8Mark = false;     // a UTF-8 document is saved with its byte-order mark
    int lineEnds = 0;          // the document's line-end style (LineEndStyle: 0 CR LF)
    bool mixedLineEnds = false; // its file had more than one style
    long long fileSize = -1;   // the file's size when opened or last saved; -1 none
    uint64_t fileTime = 0;     // its last-write time then (FILETIME ticks); 0 none
    long caretStart = 0;       // the selection, in character positions
    long caretEnd = 0;
    int wrap = 0;              // WrapMode
    bool rich = false;         // content is RTF; else UTF-16 little-endian text
    uint64_t takenAt = 0;      // when the snapshot was taken (FILETIME ticks, UTC)
};

// CRC-32 (the zlib polynomial) of size bytes, continuing from crc (0 to start).
uint32_t Crc32(const void *bytes, size_t size, uint32_t crc = 0);

// The header for content of length bytes: every field, the length, and a checksum over
// the header before it and the content. The file is this header followed by the content.
std::string BuildSnapshotHeader(const SnapshotRecord &record, const void *content,
                                size_t length);

enum SnapshotCheck {
    SNAPSHOT_GOOD,
    SNAPSHOT_NOT_SNAPSHOT,  // no snapshot header at all
    SNAPSHOT_TRUNCATED,     // fewer bytes than the header announces
    SNAPSHOT_DAMAGED,       // a bad field, extra bytes or a wrong checksum
};

// Checks a whole snapshot file's bytes; when good, fills record and tells where the
// content starts (*contentOffset) and how long it is (*contentLength).
SnapshotCheck ParseSnapshot(const char *bytes, size_t size, SnapshotRecord *record,
                            size_t *contentOffset, size_t *contentLength);

// File names in the recovery folder: "<owner>.snapshot" and the owner's "<owner>.lock",
// where owner is "<process id>-<start time>" in hexadecimal; a snapshot that the owner
// hands on to a new window is "<owner>.<number>.snapshot" until that window takes it.
std::string SnapshotOwnerName(uint32_t processId, uint64_t startTime);
// The owner part of a snapshot's file name, or empty when the name is not a snapshot's.
std::string OwnerOfSnapshotName(const std::string &fileName);

// Whether the file on disk is no longer the one the document was opened from or saved
// to: its size or last-write time differ. A file that is gone has not changed (saving
// makes it again); a document with no file never has.
bool FileChangedSince(const SnapshotRecord &record, bool exists, long long size,
                      uint64_t lastWrite);
