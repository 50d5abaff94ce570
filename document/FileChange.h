// What another program did to the document's file, judged from what the program
// remembers of it: the decisions behind FileWatch.cpp. No windows involved, so every
// rule is checked on its own (and fuzzed).
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <string>

// What an attribute query tells of a file: enough to notice a change without reading it.
struct FileIdentity {
    bool exists;
    uint64_t size;
    uint64_t writeTime;  // FILETIME as one number
};

bool SameIdentity(const FileIdentity &a, const FileIdentity &b);

enum FileChange {
    FILE_UNCHANGED,
    FILE_GROWN,      // longer than it was: followed when its old bytes are still there
    FILE_REWRITTEN,  // any other change, a file back after it was gone included
    FILE_DELETED,    // gone (or out of reach) at two checks in a row
};

// What the program remembers of the document's file between checks.
struct WatchState {
    FileIdentity known;
    int failures;  // checks in a row that found no file
};

// A check's verdict. found is false when the query failed or found no file; a file
// is taken for deleted only at the second such check in a row, since other programs
// often save by deleting and renaming. A file already known to be gone is not
// reported again. Updates the count of failures only: the caller remembers the new
// identity once it has acted on the change.
FileChange JudgeCheck(WatchState &state, bool found, const FileIdentity &now);

// How many bytes of the file's end are remembered to recognise pure growth.
const size_t TAIL_BYTES = 256;

// Whether a file that grew may be followed without a question: a plain-text document
// without unsaved changes whose remembered tail is known and still in place.
bool MayFollowGrowth(bool plainText, bool modified, bool tailKnown, bool tailUnchanged);

// Whether bytes (the file from its old size less the tail's length) begin with the
// remembered tail.
bool TailUnchanged(const std::string &tail, const unsigned char *bytes, size_t n);

// Whether an 8-bit byte begins a two-byte character of the system's code page; null
// for a code page of single bytes.
typedef bool (*LeadByteTest)(unsigned char byte);

// The part of bytes (the file's undecoded end and then what it gained, in the
// document's DocumentFormat) that goes into the document now, [*start, return):
// whole characters only, and not a last CR whose LF may yet come; *start skips an LF
// whose CR ended the text already shown (afterCr). The rest waits for more bytes.
size_t FollowablePart(int format, const unsigned char *bytes, size_t n, bool afterCr,
                      LeadByteTest isLead, size_t *start);

// Whether the shown text ends with a CR that came from the file's own bytes: the
// remembered tail ends with one and no bytes wait undecoded.
bool TailEndsWithCr(int format, const std::string &tail, size_t pending);

// For a document just read from or written to a file of size bytes ending in tail:
// how many bytes at the end it does not show (the odd byte of 16-bit text), or -1 when
// the end is a character cut in two that the document shows otherwise, so following
// the file from there could not be exact.
int UnshownBytes(int format, const std::string &tail, uint64_t size);

// Whether bytes that a file gained can go into the document as they are: no zero
// character (a document cannot hold one), and no UTF-8 after 8-bit text (opening the
// file would now read it as UTF-8).
bool FollowableBytes(int format, const unsigned char *bytes, size_t n);
