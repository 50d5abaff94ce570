#include <gtest/gtest.h>
#include <string.h>
#include <string>

#include "document/FileFormats.h"

namespace {

std::string Bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
        s += (char)v;
    return s;
}

std::string Encode(int format, const std::string &text)
{
    return EncodeDocument(format, text.data(), text.size());
}

std::string Extended(const char *path, bool rich)
{
    char buffer[260];
    strcpy(buffer, path);
    EXPECT_TRUE(AddDefaultExtension(buffer, sizeof buffer, rich));
    return buffer;
}

std::string Narrowed(int format, std::string data)
{
    data.push_back(0);
    size_t kept = NarrowSixteenBit(format, (unsigned char *)&data[0], data.size() - 1);
    EXPECT_EQ(data[kept], 0);
    return std::string(data.c_str());
}

bool Looks(int format, const std::string &data)
{
    return LooksSixteenBit(format, (const unsigned char *)data.data(), data.size());
}

}  // namespace

TEST(FileLayout, EachFormatWritesItsBytes)
{
    const std::string e9 = Bytes({0xE9});
    EXPECT_EQ(Encode(FORMAT_PLAIN, e9), e9);
    EXPECT_EQ(Encode(FORMAT_RICH, "{\\rtf1 x}"), "{\\rtf1 x}");
    EXPECT_EQ(Encode(FORMAT_MULTI_BYTE, e9), Bytes({0xE9, 0x00}));
    EXPECT_EQ(Encode(FORMAT_UNICODE_LE, e9), Bytes({0xFF, 0xFE, 0xE9, 0x00}));
    EXPECT_EQ(Encode(FORMAT_UNICODE_BE, e9), Bytes({0xFE, 0xFF, 0x00, 0xE9}));
    EXPECT_EQ(Encode(FORMAT_UNICODE_BE, "a\r\n"),
              Bytes({0xFE, 0xFF, 0, 'a', 0, '\r', 0, '\n'}));
}

TEST(FileLayout, EmptyDocumentKeepsOnlyTheByteOrderMark)
{
    EXPECT_EQ(Encode(FORMAT_UNICODE_LE, ""), Bytes({0xFF, 0xFE}));
    EXPECT_EQ(Encode(FORMAT_UNICODE_BE, ""), Bytes({0xFE, 0xFF}));
    EXPECT_EQ(Encode(FORMAT_MULTI_BYTE, ""), "");
    EXPECT_EQ(Encode(FORMAT_PLAIN, ""), "");
}

TEST(FileLayout, WritingThenReadingGivesTheTextBack)
{
    std::string text;
    for (int c = 1; c < 256; ++c)
        text += (char)c;
    EXPECT_EQ(Narrowed(FORMAT_MULTI_BYTE, Encode(FORMAT_MULTI_BYTE, text)), text);
    EXPECT_EQ(Narrowed(FORMAT_UNICODE_LE, Encode(FORMAT_UNICODE_LE, text)), text);
    EXPECT_EQ(Narrowed(FORMAT_UNICODE_BE, Encode(FORMAT_UNICODE_BE, text)), text);
}

TEST(SixteenBitText, DetectionNeedsTwoBytesAndTheRightStart)
{
    EXPECT_TRUE(Looks(FORMAT_MULTI_BYTE, Bytes({'A', 0, 'B', 0})));
    EXPECT_FALSE(Looks(FORMAT_MULTI_BYTE, Bytes({'A', 'B'})));
    EXPECT_FALSE(Looks(FORMAT_MULTI_BYTE, Bytes({'\t', 0})));  // not printable
    EXPECT_FALSE(Looks(FORMAT_MULTI_BYTE, Bytes({'A'})));
    EXPECT_TRUE(Looks(FORMAT_UNICODE_LE, Bytes({0xFF, 0xFE})));
    EXPECT_FALSE(Looks(FORMAT_UNICODE_LE, Bytes({0xFE, 0xFF})));
    EXPECT_TRUE(Looks(FORMAT_UNICODE_BE, Bytes({0xFE, 0xFF, 0, 'H'})));
    EXPECT_FALSE(Looks(FORMAT_UNICODE_BE, Bytes({0xFE})));
}

TEST(SixteenBitText, NarrowingKeepsTheLowBytes)
{
    EXPECT_EQ(Narrowed(FORMAT_MULTI_BYTE, Bytes({'A', 0, 'B', 0})), "AB");
    EXPECT_EQ(Narrowed(FORMAT_MULTI_BYTE, Bytes({'A', 0, 'B'})), "A");  // odd count truncates
    EXPECT_EQ(Narrowed(FORMAT_UNICODE_LE, Bytes({0xFF, 0xFE, 'H', 0, 'i', 0})), "Hi");
    EXPECT_EQ(Narrowed(FORMAT_UNICODE_BE, Bytes({0xFE, 0xFF, 0, 'H', 0, 'i'})), "Hi");
    // High bytes go without conversion: U+0141 keeps its low byte 0x41.
    EXPECT_EQ(Narrowed(FORMAT_UNICODE_LE, Bytes({0xFF, 0xFE, 0x41, 0x01})), "A");
    EXPECT_EQ(Narrowed(FORMAT_UNICODE_LE, Bytes({0xFF, 0xFE})), "");
}

TEST(SaveName, MissingExtensionFollowsTheFormat)
{
    EXPECT_EQ(Extended("C:\\docs\\notes", true), "C:\\docs\\notes.wri");
    EXPECT_EQ(Extended("C:\\docs\\notes", false), "C:\\docs\\notes.txt");
    EXPECT_EQ(Extended("C:\\docs\\notes.md", false), "C:\\docs\\notes.md");
    // Any dot counts, also one in a folder name.
    EXPECT_EQ(Extended("C:\\my.docs\\notes", false), "C:\\my.docs\\notes");

    char full[8] = "abcdefg";
    EXPECT_FALSE(AddDefaultExtension(full, sizeof full, false));
    EXPECT_STREQ(full, "abcdefg");
}

TEST(RecentMenu, ItemShowsNumberNameAndFolder)
{
    EXPECT_EQ(RecentMenuText(1, "C:\\docs\\a.txt"), "&1 a.txt\t(C:\\docs)");
    EXPECT_EQ(RecentMenuText(4, "C:\\a.txt"), "&4 a.txt\t(C:)");
    EXPECT_EQ(RecentMenuText(2, "a.txt"), "&2 a.txt\t()");
    EXPECT_EQ(RecentMenuText(3, "\\\\server\\share\\x\\report.log"),
              "&3 report.log\t(\\\\server\\share\\x)");
}
