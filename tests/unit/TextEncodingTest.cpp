#include <gtest/gtest.h>

#include <string>

#include "document/FileFormats.h"
#include "document/TextEncoding.h"

static const unsigned char *Bytes(const std::string &s) { return (const unsigned char *)s.data(); }

TEST(TextEncoding, Utf8IsRecognisedOnlyWhenWellFormedAndNotAscii)
{
    struct Case {
        std::string bytes;
        bool utf8;
    } cases[] = {
        {"", false},
        {"plain ascii\r\n", false},
        {"caf\xC3\xA9", true},
        {"\xE2\x82\xAC 5", true},             // euro sign
        {"\xF0\x9F\x98\x80", true},           // emoji, four bytes
        {"\xEF\xBB\xBFhi", true},             // byte-order mark alone is multi-byte
        {"caf\xE9", false},                   // 8-bit text: a lone lead byte
        {"\xC0\xAF", false},                  // overlong slash
        {"\xE0\x80\xAF", false},              // overlong, three bytes
        {"\xED\xA0\x80", false},              // a surrogate
        {"\xF4\x90\x80\x80", false},          // past U+10FFFF
        {"\xC3", false},                      // cut short
        {"\x80", false},                      // continuation without lead
        {std::string("a\0\xC3\xA9", 4), true} // zero bytes are characters too
    };
    for (const Case &c : cases)
        EXPECT_EQ(LooksUtf8(Bytes(c.bytes), c.bytes.size()), c.utf8) << c.bytes;
}

TEST(TextEncoding, Utf8RoundTripsEveryPlane)
{
    const std::u16string texts[] = {
        u"", u"caf\u00e9", u"\u03b1\u03b2\u03b3 \u4e2d\u6587", u"\U0001F600 and \U00010000",
        u"\u0100\u20ac\r\n\uffff", std::u16string(u"a\0b", 3),
    };
    for (const std::u16string &text : texts) {
        for (bool mark : {false, true}) {
            std::string bytes = EncodeUtf8(text.data(), text.size(), mark);
            EXPECT_EQ(HasUtf8ByteOrderMark(Bytes(bytes), bytes.size()), mark);
            EXPECT_EQ(DecodeUtf8(Bytes(bytes), bytes.size()), text);
        }
    }
    EXPECT_EQ(EncodeUtf8(u"\u20ac", 1, false), "\xE2\x82\xAC");
    EXPECT_EQ(EncodeUtf8(u"\U0001F600", 2, false), "\xF0\x9F\x98\x80");
    // A lone surrogate cannot be written as UTF-8; broken input decodes as U+FFFD.
    EXPECT_EQ(EncodeUtf8(u"\xD800x", 2, false), "\xEF\xBF\xBDx");
    EXPECT_EQ(DecodeUtf8(Bytes("a\xE9z"), 3), u"a\uFFFDz");
}

TEST(TextEncoding, SixteenBitLayoutsInBothDirections)
{
    const std::u16string text = u"H\u0100\u20ac\U0001F600";
    struct Case {
        int format;
        std::string bytes;
    } cases[] = {
        {FORMAT_MULTI_BYTE, std::string("H\0\0\x01\xAC\x20\x3D\xD8\x00\xDE", 10)},
        {FORMAT_UNICODE_LE, std::string("\xFF\xFEH\0\0\x01\xAC\x20\x3D\xD8\x00\xDE", 12)},
        {FORMAT_UNICODE_BE, std::string("\xFE\xFF\0H\x01\0\x20\xAC\xD8\x3D\xDE\x00", 12)},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(EncodeSixteenBit(c.format, text.data(), text.size()), c.bytes) << c.format;
        EXPECT_EQ(DecodeSixteenBit(c.format, Bytes(c.bytes), c.bytes.size()), text) << c.format;
        // An odd trailing byte is not half a character.
        std::string odd = c.bytes + "x";
        EXPECT_EQ(DecodeSixteenBit(c.format, Bytes(odd), odd.size()), text) << c.format;
    }
    EXPECT_EQ(DecodeSixteenBit(FORMAT_UNICODE_LE, Bytes("\xFF"), 1), u"");
}
