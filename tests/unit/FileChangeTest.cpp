// The decisions about a document's file changed by another program: what a check
// means, when growth is followed, and which of the gained bytes go in now.
#include <gtest/gtest.h>

#include <string>

#include "document/FileChange.h"
#include "document/FileFormats.h"

namespace {

const FileIdentity GONE = {false, 0, 0};

FileIdentity File(uint64_t size, uint64_t time)
{
    return FileIdentity{true, size, time};
}

TEST(FileChange, ACheckComparesSizeAndTime)
{
    struct Case {
        FileIdentity known, now;
        FileChange expected;
    } cases[] = {
        {File(10, 5), File(10, 5), FILE_UNCHANGED},
        {File(10, 5), File(10, 6), FILE_REWRITTEN},   // same size, written again
        {File(10, 5), File(11, 6), FILE_GROWN},
        {File(10, 5), File(11, 5), FILE_GROWN},       // a time that did not move
        {File(10, 5), File(9, 6), FILE_REWRITTEN},    // shorter
        {File(10, 5), File(0, 6), FILE_REWRITTEN},    // emptied
        {File(0, 5), File(3, 6), FILE_GROWN},         // an empty file filling
        {GONE, File(10, 5), FILE_REWRITTEN},          // back after it was gone
    };
    for (const Case &c : cases) {
        WatchState state = {c.known, 0};
        EXPECT_EQ(JudgeCheck(state, true, c.now), c.expected)
            << c.known.size << "/" << c.known.writeTime << " -> " << c.now.size << "/" << c.now.writeTime;
        EXPECT_EQ(state.failures, 0);
    }
}

TEST(FileChange, AFileIsDeletedOnlyAtTheSecondFailedCheckInARow)
{
    // Each row: whether each check in turn found the file, and the verdicts expected.
    struct Case {
        const char *found;  // 'y' found unchanged, 'n' not found
        const char *verdicts;  // 'u' unchanged, 'd' deleted
    } cases[] = {
        {"n", "u"},
        {"nn", "ud"},
        {"nyn", "uuu"},     // a save by delete and rename: never deleted
        {"nynyn", "uuuuu"},
        {"ynn", "uud"},
        {"nnn", "udd"},     // until the caller remembers the file as gone
    };
    for (const Case &c : cases) {
        WatchState state = {File(10, 5), 0};
        std::string verdicts;
        for (const char *f = c.found; *f; ++f) {
            FileChange change = JudgeCheck(state, *f == 'y', *f == 'y' ? File(10, 5) : GONE);
            verdicts += change == FILE_UNCHANGED ? 'u' : change == FILE_DELETED ? 'd' : '?';
        }
        EXPECT_EQ(verdicts, c.verdicts) << c.found;
    }
}

TEST(FileChange, AFileKnownToBeGoneIsNotReportedAgain)
{
    WatchState state = {GONE, 0};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(JudgeCheck(state, false, GONE), FILE_UNCHANGED);
    // A query that found something that is no file counts as not found.
    state = {File(1, 1), 1};
    EXPECT_EQ(JudgeCheck(state, true, GONE), FILE_DELETED);
}

TEST(FileChange, OnlyAPlainUnchangedDocumentWithItsTailInPlaceFollows)
{
    struct Case {
        bool plain, modified, tailKnown, tailUnchanged, follows;
    } cases[] = {
        {true, false, true, true, true},
        {false, false, true, true, false},  // rich text
        {true, true, true, true, false},    // unsaved changes
        {true, false, false, true, false},  // the document no longer shows the file
        {true, false, true, false, false},  // the old end was rewritten
    };
    for (const Case &c : cases)
        EXPECT_EQ(MayFollowGrowth(c.plain, c.modified, c.tailKnown, c.tailUnchanged), c.follows);
}

TEST(FileChange, TheTailMustBeginTheBytesReadFromTheOldEnd)
{
    struct Case {
        std::string tail, read;
        bool unchanged;
    } cases[] = {
        {"end\r\n", "end\r\nmore", true},
        {"end\r\n", "end\r\n", true},
        {"end\r\n", "END\r\nmore", false},
        {"end\r\n", "end", false},  // shorter than the tail: not the old file
        {"", "anything", true},     // an empty file
    };
    for (const Case &c : cases)
        EXPECT_EQ(TailUnchanged(c.tail, (const unsigned char *)c.read.data(), c.read.size()),
                  c.unchanged)
            << c.tail << " / " << c.read;
}

bool LeadByteOf932(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

TEST(FileChange, OnlyWholeCharactersAndNoFinalCrGoInNow)
{
    struct Case {
        int format;
        std::string bytes;
        bool afterCr;
        bool doubleBytes;
        size_t start, end;
    } cases[] = {
        {FORMAT_PLAIN, "line\r\n", false, false, 0, 6},
        {FORMAT_PLAIN, "line\r", false, false, 0, 4},        // its LF may come
        {FORMAT_PLAIN, "\nline", true, false, 1, 5},         // the CR is shown already
        {FORMAT_PLAIN, "\nline", false, false, 0, 5},
        {FORMAT_PLAIN, "\n", true, false, 1, 1},
        {FORMAT_PLAIN, "\r", true, false, 0, 0},
        {FORMAT_PLAIN, "", true, false, 0, 0},
        {FORMAT_PLAIN, "ab\x82", false, true, 0, 2},         // lead byte without its trail
        {FORMAT_PLAIN, "ab\x82\xA0", false, true, 0, 4},
        {FORMAT_PLAIN, "ab\x82", false, false, 0, 3},        // single-byte code page
        {FORMAT_UTF8, "caf\xC3\xA9", false, false, 0, 5},
        {FORMAT_UTF8, "caf\xC3", false, false, 0, 3},        // half of é
        {FORMAT_UTF8, "\xE2\x82", false, false, 0, 0},       // two of €'s three bytes
        {FORMAT_UTF8, "x\xF0\x9F\x98", false, false, 0, 1},
        {FORMAT_UTF8, "x\xF0\x9F\x98\x80", false, false, 0, 5},
        {FORMAT_UTF8, "x\r\xC3", false, false, 0, 1},        // CR, then half a character
        {FORMAT_UNICODE_LE, std::string("a\0b\0", 4), false, false, 0, 4},
        {FORMAT_UNICODE_LE, std::string("a\0b", 3), false, false, 0, 2},   // odd byte
        {FORMAT_UNICODE_LE, std::string("a\0\r\0", 4), false, false, 0, 2},
        {FORMAT_UNICODE_LE, std::string("\n\0a\0", 4), true, false, 2, 4},
        {FORMAT_UNICODE_LE, std::string("a\0\x3D\xD8", 4), false, false, 0, 2},  // high surrogate
        {FORMAT_UNICODE_BE, std::string("\0a\0\r", 4), false, false, 0, 2},
        {FORMAT_UNICODE_BE, std::string("\0\n\0a", 4), true, false, 2, 4},
        {FORMAT_UNICODE_BE, std::string("\0\r", 2), false, false, 0, 0},
        {FORMAT_MULTI_BYTE, std::string("\r\0\n\0", 4), false, false, 0, 4},
    };
    for (const Case &c : cases) {
        size_t start = 99;
        size_t end = FollowablePart(c.format, (const unsigned char *)c.bytes.data(), c.bytes.size(),
                                    c.afterCr, c.doubleBytes ? LeadByteOf932 : 0, &start);
        EXPECT_EQ(start, c.start) << c.format << " " << testing::PrintToString(c.bytes);
        EXPECT_EQ(end, c.end) << c.format << " " << testing::PrintToString(c.bytes);
    }
}

TEST(FileChange, ACrThatEndsTheShownTextIsSeenInTheTail)
{
    struct Case {
        int format;
        std::string tail;
        size_t pending;
        bool endsWithCr;
    } cases[] = {
        {FORMAT_PLAIN, "abc\r", 0, true},
        {FORMAT_PLAIN, "abc\r\n", 0, false},
        {FORMAT_PLAIN, "abc\r", 1, false},  // that CR waits undecoded itself
        {FORMAT_PLAIN, "", 0, false},
        {FORMAT_UTF8, "\r", 0, true},
        {FORMAT_UNICODE_LE, std::string("a\0\r\0", 4), 0, true},
        {FORMAT_UNICODE_LE, std::string("\r", 1), 0, false},
        {FORMAT_UNICODE_BE, std::string("\0a\0\r", 4), 0, true},
        {FORMAT_UNICODE_BE, std::string("\r\0", 2), 0, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TailEndsWithCr(c.format, c.tail, c.pending), c.endsWithCr)
            << c.format << " " << testing::PrintToString(c.tail);
}

TEST(FileChange, GainedBytesWithAZeroOrNewlyUtf8AreAskedAbout)
{
    struct Case {
        int format;
        std::string bytes;
        bool followable;
    } cases[] = {
        {FORMAT_PLAIN, "plain words\r\n", true},
        {FORMAT_PLAIN, "caf\xE9\r\n", true},          // code page text
        {FORMAT_PLAIN, "caf\xC3\xA9\r\n", false},     // UTF-8: opening would read it so
        {FORMAT_PLAIN, "caf\xC3", true},              // not UTF-8 yet
        {FORMAT_PLAIN, std::string("a\0b", 3), false},
        {FORMAT_UTF8, "caf\xC3\xA9", true},
        {FORMAT_UTF8, std::string("a\0", 2), false},
        {FORMAT_UNICODE_LE, std::string("a\0\0\x01", 4), true},   // U+0100
        {FORMAT_UNICODE_LE, std::string("a\0\0\0", 4), false},
        {FORMAT_UNICODE_BE, std::string("\0a\x01\0", 4), true},
        {FORMAT_UNICODE_BE, std::string("\0\0\0a", 4), false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FollowableBytes(c.format, (const unsigned char *)c.bytes.data(), c.bytes.size()),
                  c.followable)
            << c.format << " " << testing::PrintToString(c.bytes);
}

TEST(FileChange, AnEndCutInTwoWhenReadIsSeen)
{
    struct Case {
        int format;
        std::string tail;
        uint64_t size;
        int unshown;
    } cases[] = {
        {FORMAT_PLAIN, "abc", 3, 0},
        {FORMAT_UTF8, "caf\xC3\xA9", 5, 0},
        {FORMAT_UTF8, "caf\xC3", 4, -1},               // shown as a replacement character
        {FORMAT_UNICODE_LE, std::string("\xFF\xFE" "a\0", 4), 4, 0},
        {FORMAT_UNICODE_LE, std::string("\xFF\xFE" "a\0b", 5), 5, 1},   // the odd byte waits
        {FORMAT_UNICODE_LE, std::string("\xFF\xFE\x3D\xD8", 4), 4, -1},
        {FORMAT_UNICODE_LE, std::string("\xFE" "a\0", 3), 1000, 0},     // tail from an odd offset
        {FORMAT_UNICODE_LE, std::string("\xFE\x3D\xD8", 3), 1000, -1},
        {FORMAT_UNICODE_BE, std::string("\xFE\xFF\xD8\x3D" "x", 5), 5, -1},
        {FORMAT_MULTI_BYTE, std::string("a\0b\0", 4), 4, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(UnshownBytes(c.format, c.tail, c.size), c.unshown)
            << c.format << " " << testing::PrintToString(c.tail);
}

}  // namespace
