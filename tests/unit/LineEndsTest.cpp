#include <gtest/gtest.h>

#include <string>

#include "document/FileFormats.h"
#include "document/LineEnds.h"

static std::u16string Wide(const std::string &s)
{
    return std::u16string(s.begin(), s.end());
}

TEST(LineEnds, CountsEachKindOnceAndTheEndOfTheText)
{
    struct Case {
        std::string text;
        size_t crlf, lf, cr;
        bool endsWithLineEnd;
    } cases[] = {
        {"", 0, 0, 0, false},
        {"no line end", 0, 0, 0, false},
        {"a\r\nb\r\n", 2, 0, 0, true},
        {"a\nb\nc", 0, 2, 0, false},
        {"a\rb\r", 0, 0, 2, true},
        {"\n\n\n", 0, 3, 0, true},
        {"a\r\r\nb", 1, 0, 1, false},     // CR, then CR LF
        {"a\n\rb", 0, 1, 1, false},       // LF CR is two line ends
        {"a\r\n\nb\r", 1, 1, 1, true},
        {"\r", 0, 0, 1, true},
        {std::string("a\0\nb", 4), 0, 1, 0, false},
    };
    for (const Case &c : cases) {
        for (int wide = 0; wide < 2; ++wide) {
            std::u16string w = Wide(c.text);
            LineEndCount count = wide ? CountLineEnds(w.data(), w.size())
                                      : CountLineEnds(c.text.data(), c.text.size());
            EXPECT_EQ(count.crlf, c.crlf) << c.text;
            EXPECT_EQ(count.lf, c.lf) << c.text;
            EXPECT_EQ(count.cr, c.cr) << c.text;
            EXPECT_EQ(count.endsWithLineEnd, c.endsWithLineEnd) << c.text;
        }
    }
}

TEST(LineEnds, MajorityChoosesTheStyleOfMostLinesAndCrLfForNone)
{
    struct Case {
        std::string text;
        LineEndStyle style;
        bool mixed;
    } cases[] = {
        {"", LINE_ENDS_CRLF, false},
        {"one line", LINE_ENDS_CRLF, false},
        {"a\r\nb", LINE_ENDS_CRLF, false},
        {"a\nb\n", LINE_ENDS_LF, false},
        {"a\rb\r", LINE_ENDS_CR, false},
        {"a\nb\nc\r\nd", LINE_ENDS_LF, true},
        {"a\rb\rc\nd", LINE_ENDS_CR, true},
        {"a\r\nb\r\nc\rd\ne", LINE_ENDS_CRLF, true},
        {"a\nb\r\n", LINE_ENDS_CRLF, true},  // a tie goes to CR LF
        {"a\nb\r", LINE_ENDS_LF, true},      // then to LF
    };
    for (const Case &c : cases) {
        LineEndCount count = CountLineEnds(c.text.data(), c.text.size());
        EXPECT_EQ(MajorityLineEnds(count), c.style) << c.text;
        EXPECT_EQ(HasMixedLineEnds(count), c.mixed) << c.text;
    }
}

TEST(LineEnds, RewritingPutsEveryLineEndInTheStyleAndKeepsTheRest)
{
    struct Case {
        std::string text;
        std::string crlf, lf, cr;
    } cases[] = {
        {"", "", "", ""},
        {"abc", "abc", "abc", "abc"},
        {"a\nb\n", "a\r\nb\r\n", "a\nb\n", "a\rb\r"},
        {"a\r\nb", "a\r\nb", "a\nb", "a\rb"},
        {"a\rb\r\nc\nd", "a\r\nb\r\nc\r\nd", "a\nb\nc\nd", "a\rb\rc\rd"},
        {"\r\r\n", "\r\n\r\n", "\n\n", "\r\r"},
        {"\n\r", "\r\n\r\n", "\n\n", "\r\r"},
        {"x\r", "x\r\n", "x\n", "x\r"},
        {std::string("\0\n\0", 3), std::string("\0\r\n\0", 4), std::string("\0\n\0", 3),
         std::string("\0\r\0", 3)},
        {"caf\xC3\xA9\n\t", "caf\xC3\xA9\r\n\t", "caf\xC3\xA9\n\t", "caf\xC3\xA9\r\t"},
    };
    for (const Case &c : cases) {
        const std::string *wanted[] = {&c.crlf, &c.lf, &c.cr};
        for (LineEndStyle style : {LINE_ENDS_CRLF, LINE_ENDS_LF, LINE_ENDS_CR}) {
            const std::string &want = *wanted[style];
            EXPECT_EQ(ConvertLineEnds(c.text.data(), c.text.size(), style), want) << c.text;
            std::u16string w = Wide(c.text);
            EXPECT_EQ(ConvertLineEnds(w.data(), w.size(), style), Wide(want)) << c.text;
            EXPECT_EQ(WriteLineEnds(c.text.data(), c.text.size(), style, (char *)0), want.size());
        }
    }
}

TEST(LineEnds, RewritingInPlaceWhereTheTextCannotGrow)
{
    const std::string texts[] = {"a\r\nb\r\n\r\nc", "\r\r\n\n\r", "x", ""};
    for (const std::string &text : texts) {
        for (LineEndStyle style : {LINE_ENDS_LF, LINE_ENDS_CR}) {
            std::string buffer = text;
            size_t n = WriteLineEnds(&buffer[0], buffer.size(), style, &buffer[0]);
            EXPECT_EQ(buffer.substr(0, n), ConvertLineEnds(text.data(), text.size(), style));
            std::u16string wide = Wide(text);
            size_t units = WriteLineEnds(&wide[0], wide.size(), style, &wide[0]);
            EXPECT_EQ(wide.substr(0, units), Wide(ConvertLineEnds(text.data(), text.size(), style)));
        }
    }
}

TEST(LineEnds, AFileSavedInItsOwnStyleComesBackByteForByte)
{
    // What loading and saving do: the editor holds CR for every line end, and saving
    // writes the style that loading found.
    const std::string files[] = {
        "one\ntwo\nthree\n", "one\ntwo", "one\rtwo\r", "one\r\ntwo\r\n", "one\r\ntwo",
        "\n", "", "no end",
    };
    for (const std::string &file : files) {
        LineEndStyle style = MajorityLineEnds(CountLineEnds(file.data(), file.size()));
        std::string held = ConvertLineEnds(file.data(), file.size(), LINE_ENDS_CR);
        EXPECT_EQ(ConvertLineEnds(held.data(), held.size(), style), file);
    }
}

TEST(LineEnds, StatusTextNamesTheSaveFormatAndTheLineEnds)
{
    struct Case {
        int format;
        bool mark;
        int style;
        bool mixed;
        const char *text;
    } cases[] = {
        {FORMAT_PLAIN, false, LINE_ENDS_CRLF, false, "ANSI | CR LF"},
        {FORMAT_UTF8, false, LINE_ENDS_LF, false, "UTF-8 | LF"},
        {FORMAT_UTF8, true, LINE_ENDS_CR, false, "UTF-8 with BOM | CR"},
        {FORMAT_UNICODE_LE, false, LINE_ENDS_CRLF, false, "UTF-16 LE | CR LF"},
        {FORMAT_UNICODE_BE, true, LINE_ENDS_LF, false, "UTF-16 BE | LF"},
        {FORMAT_MULTI_BYTE, false, LINE_ENDS_CRLF, false, "UTF-16 LE no BOM | CR LF"},
        {FORMAT_RICH, false, LINE_ENDS_LF, false, "Rich Text"},
        {FORMAT_RICH, false, LINE_ENDS_LF, true, "Rich Text"},
        {FORMAT_PLAIN, false, LINE_ENDS_LF, true, "ANSI | LF (was mixed)"},
        {FORMAT_PLAIN, false, 7, false, "ANSI | CR LF"},
        {9, false, LINE_ENDS_CRLF, false, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SaveFormatText(c.format, c.mark, c.style, c.mixed), c.text);
    EXPECT_STREQ(LineEndName(LINE_ENDS_CR), "CR");
    EXPECT_EQ(LineEndName(3), nullptr);
    EXPECT_TRUE(IsLineEndStyle(LINE_ENDS_LF));
    EXPECT_FALSE(IsLineEndStyle(-1));
}
