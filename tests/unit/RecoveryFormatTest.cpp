#include <gtest/gtest.h>

#include <string>

#include "document/RecoveryFormat.h"

namespace {

std::string Build(const SnapshotRecord &record, const std::string &content)
{
    return BuildSnapshotHeader(record, content.data(), content.size()) + content;
}

SnapshotCheck Parse(const std::string &bytes, SnapshotRecord *record = 0,
                    std::string *content = 0)
{
    SnapshotRecord r;
    size_t offset = 0, length = 0;
    SnapshotCheck check = ParseSnapshot(bytes.data(), bytes.size(), &r, &offset, &length);
    if (check == SNAPSHOT_GOOD && record)
        *record = r;
    if (check == SNAPSHOT_GOOD && content)
        *content = bytes.substr(offset, length);
    return check;
}

SnapshotRecord Record(const std::string &path, int format, bool rich)
{
    SnapshotRecord r;
    r.path = path;
    r.format = format;
    r.rich = rich;
    return r;
}

TEST(RecoveryFormat, Crc32MatchesTheStandardCheckValueAndContinues)
{
    EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Crc32("", 0), 0u);
    EXPECT_EQ(Crc32("a", 1), 0xE8B7BE43u);
    EXPECT_EQ(Crc32("6789", 4, Crc32("12345", 5)), 0xCBF43926u);
}

TEST(RecoveryFormat, EveryFieldAndTheContentComeBackAsWritten)
{
    SnapshotRecord full = Record("C:\\docs\\a file.txt", 4, false);
    full.utf8Mark = true;
    full.lineEnds = 2;
    full.mixedLineEnds = true;
    full.fileSize = 1234567890123LL;
    full.fileTime = 0xFFFFFFFFFFFFFFFFULL;
    full.caretStart = 7;
    full.caretEnd = 2147483647;
    full.wrap = 'p';
    full.takenAt = 133456789012345678ULL;
    struct Case {
        SnapshotRecord record;
        std::string content;
    } cases[] = {
        {Record("", 0, false), ""},
        {Record("", 0, false), std::string("t\0e\0x\0t\0", 8)},
        {Record("C:\\x.rtf", -1, true), "{\\rtf1 plain {\\b bold}\\par}"},
        {Record("\\\\server\\share\\\xE9t\xE9.txt", 1, false), std::string(4, '\0')},
        {Record("C:\\=odd=name.txt", 3, false), std::string("\r\0\n\0", 4)},
        {full, std::string(100000, 'x')},
    };
    for (const Case &c : cases) {
        SnapshotRecord back;
        std::string content;
        ASSERT_EQ(Parse(Build(c.record, c.content), &back, &content), SNAPSHOT_GOOD)
            << c.record.path;
        EXPECT_EQ(back.path, c.record.path);
        EXPECT_EQ(back.format, c.record.format);
        EXPECT_EQ(back.utf8Mark, c.record.utf8Mark);
        EXPECT_EQ(back.lineEnds, c.record.lineEnds);
        EXPECT_EQ(back.mixedLineEnds, c.record.mixedLineEnds);
        EXPECT_EQ(back.fileSize, c.record.fileSize);
        EXPECT_EQ(back.fileTime, c.record.fileTime);
        EXPECT_EQ(back.caretStart, c.record.caretStart);
        EXPECT_EQ(back.caretEnd, c.record.caretEnd);
        EXPECT_EQ(back.wrap, c.record.wrap);
        EXPECT_EQ(back.rich, c.record.rich);
        EXPECT_EQ(back.takenAt, c.record.takenAt);
        EXPECT_EQ(content, c.content);
    }
}

TEST(RecoveryFormat, AnyCutShortSnapshotIsRecognisedAsTruncated)
{
    std::string whole = Build(Record("C:\\a.txt", 0, false), std::string("a\0b\0c\0", 6));
    const size_t magic = 24;  // "OrvelloWord snapshot 1\r\n"
    for (size_t size = 0; size < whole.size(); ++size)
        EXPECT_EQ(Parse(whole.substr(0, size)), size < magic ? SNAPSHOT_NOT_SNAPSHOT
                                                             : SNAPSHOT_TRUNCATED)
            << size;
}

TEST(RecoveryFormat, NoChangedByteAnywherePassesTheCheck)
{
    std::string whole = Build(Record("C:\\b.rtf", -1, true), "{\\rtf1 some {\\b text}\\par}");
    for (size_t at = 0; at < whole.size(); ++at) {
        for (int bit : {0x01, 0x20, 0x80}) {
            std::string damaged = whole;
            damaged[at] = (char)(damaged[at] ^ bit);
            EXPECT_NE(Parse(damaged), SNAPSHOT_GOOD) << at << " " << bit;
        }
    }
}

TEST(RecoveryFormat, MalformedHeadersAreDamagedNotGood)
{
    std::string good = Build(Record("", 0, false), std::string("x\0", 2));
    auto replaced = [&](const std::string &from, const std::string &to) {
        std::string text = good;
        size_t at = text.find(from);
        return at == std::string::npos ? std::string("missing ") + from
                                       : text.replace(at, from.size(), to);
    };
    struct Case {
        std::string bytes;
        SnapshotCheck check;
    } cases[] = {
        {good + "extra", SNAPSHOT_DAMAGED},
        {"not a snapshot at all", SNAPSHOT_NOT_SNAPSHOT},
        {"", SNAPSHOT_NOT_SNAPSHOT},
        {replaced("format=0", "format=9"), SNAPSHOT_DAMAGED},
        {replaced("format=0", "format=x"), SNAPSHOT_DAMAGED},
        {replaced("content=utf16le", "content=html"), SNAPSHOT_DAMAGED},
        {replaced("content=utf16le\r\n", ""), SNAPSHOT_DAMAGED},
        {replaced("caret=0,0", "caret=0"), SNAPSHOT_DAMAGED},
        {replaced("filetime=0", "filetime=99999999999999999999"), SNAPSHOT_DAMAGED},
        {replaced("mark=0\r\n", "mark=0\n"), SNAPSHOT_DAMAGED},
        {replaced("mark=0\r\n", "no equals sign\r\n"), SNAPSHOT_DAMAGED},
        {replaced("lineends=0", "lineends=3"), SNAPSHOT_DAMAGED},
        {replaced("mixedends=0", "mixedends=2"), SNAPSHOT_DAMAGED},
        {"OrvelloWord snapshot 1\r\n" + std::string(5000, 'a'), SNAPSHOT_DAMAGED},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Parse(c.bytes), c.check) << c.bytes.substr(0, 60);
}

TEST(RecoveryFormat, TextOfAnOddNumberOfBytesIsDamaged)
{
    EXPECT_EQ(Parse(Build(Record("", 0, false), "abc")), SNAPSHOT_DAMAGED);
    EXPECT_EQ(Parse(Build(Record("", -1, true), "abc")), SNAPSHOT_GOOD);
}

TEST(RecoveryFormat, LineEndsInAPathCannotEndItsLine)
{
    SnapshotRecord back;
    ASSERT_EQ(Parse(Build(Record("C:\\a\r\nformat=3", 0, false), ""), &back), SNAPSHOT_GOOD);
    EXPECT_EQ(back.path, "C:\\a??format=3");
    EXPECT_EQ(back.format, 0);
}

TEST(RecoveryFormat, OwnerNamesComeBackOnlyFromSnapshotNames)
{
    EXPECT_EQ(SnapshotOwnerName(0xBEEF, 0x01D9ABCDEF012345ULL), "0000BEEF-01D9ABCDEF012345");
    struct Case {
        std::string name, owner;
    } cases[] = {
        {"0000BEEF-01D9ABCDEF012345.snapshot", "0000BEEF-01D9ABCDEF012345"},
        {"0000beef-01d9abcdef012345.SNAPSHOT", "0000beef-01d9abcdef012345"},
        {"0000BEEF-01D9ABCDEF012345.lock", ""},
        {"0000BEEF-01D9ABCDEF012345.tmp", ""},
        {"0000BEEF-01D9ABCDEF012345.snapshot.damaged", ""},
        {"0000BEEF-01D9ABCDEF012345.1.snapshot", "0000BEEF-01D9ABCDEF012345"},
        {"0000BEEF-01D9ABCDEF012345.1234.snapshot", "0000BEEF-01D9ABCDEF012345"},
        {"0000BEEF-01D9ABCDEF012345.12345.snapshot", ""},
        {"0000BEEF-01D9ABCDEF012345..snapshot", ""},
        {"0000BEEF-01D9ABCDEF012345.x.snapshot", ""},
        {"0000BEEF-01D9ABCDEF012345-1.snapshot", ""},
        {"0000BEEF_01D9ABCDEF012345.snapshot", ""},
        {"0000BEEG-01D9ABCDEF012345.snapshot", ""},
        {"BEEF-01D9ABCDEF012345.snapshot", ""},
        {".snapshot", ""},
        {"", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(OwnerOfSnapshotName(c.name), c.owner) << c.name;
}

TEST(RecoveryFormat, AFileHasChangedWhenItsSizeOrTimeDiffer)
{
    SnapshotRecord named = Record("C:\\a.txt", 0, false);
    named.fileSize = 10;
    named.fileTime = 500;
    SnapshotRecord fresh = Record("C:\\new.txt", 0, false);  // named, no file then
    struct Case {
        const SnapshotRecord &record;
        bool exists;
        long long size;
        uint64_t time;
        bool changed;
    } cases[] = {
        {named, true, 10, 500, false},
        {named, true, 11, 500, true},
        {named, true, 10, 501, true},
        {named, false, -1, 0, false},        // gone: saving makes it again
        {fresh, true, 10, 500, true},        // made by someone else since
        {fresh, false, -1, 0, false},
        {Record("", 0, false), true, 1, 1, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FileChangedSince(c.record, c.exists, c.size, c.time), c.changed)
            << c.record.path << " " << c.size << " " << c.time;
}

}  // namespace
