#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "document/ViewWindow.h"

namespace {

// Line starts of text fed in blocks of block bytes.
std::vector<FileOffset> StartsOf(const std::string &text, size_t block,
                                 ViewEncoding encoding = VIEW_8BIT)
{
    std::vector<FileOffset> starts(1, 0);
    LineStartScanner scanner(encoding);
    for (size_t at = 0; at < text.size(); at += block) {
        size_t n = text.size() - at < block ? text.size() - at : block;
        scanner.Add((const unsigned char *)text.data() + at, n, at, starts);
    }
    scanner.Finish(starts);
    return starts;
}

// The bytes of UTF-16 text in either order.
std::string Utf16(const std::u16string &text, ViewEncoding encoding)
{
    std::string bytes;
    for (char16_t unit : text) {
        char high = (char)(unit >> 8), low = (char)(unit & 0xFF);
        bytes += encoding == VIEW_UTF16BE ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

}  // namespace

// Lines start after LF, after CR LF and after a CR alone, wherever the blocks split the
// text (a CR LF across two blocks is one line end).
TEST(ViewWindow, LineStartsAreTheSameForEveryBlockSize)
{
    struct Case {
        std::string text;
        std::vector<FileOffset> starts;
    } cases[] = {
        {"", {0}},
        {"abc", {0}},
        {"a\nb", {0, 2}},
        {"a\r\nb", {0, 3}},
        {"a\rb", {0, 2}},
        {"a\r\r\nb", {0, 2, 4}},      // CR, then CR LF
        {"a\n", {0, 2}},              // an empty last line after the end
        {"a\r", {0, 2}},
        {"\r\n\r\n", {0, 2, 4}},
        {"\n\r", {0, 1, 2}},
        {"x\xD0\xB4\r\n\xF0\x9F\x98\x80\n", {0, 5, 10}},  // UTF-8 sequences are bytes like others
    };
    for (const Case &c : cases)
        for (size_t block = 1; block <= c.text.size() + 1; ++block)
            EXPECT_EQ(StartsOf(c.text, block), c.starts) << c.text << " in blocks of " << block;

}

// The index gives back every start and the line of every offset, across its chunks and
// past 4 GB, in about two bytes a line.
TEST(ViewWindow, TheIndexHoldsEveryStartCompactly)
{
    std::vector<FileOffset> starts = {0};
    for (FileOffset k = 1; k < 2000; ++k)   // short lines, long ones, a chunk's worth
        starts.push_back(starts.back() + (k % 300 == 0 ? 70000 : k % 700 == 0 ? 5000000000ULL : 1 + k % 90));
    LineStarts index(starts);
    ASSERT_EQ(index.size(), starts.size());
    for (size_t line = 0; line < starts.size(); ++line) {
        ASSERT_EQ(index[line], starts[line]) << line;
        ASSERT_EQ(index.LineOf(starts[line]), line);
        FileOffset next = line + 1 < starts.size() ? starts[line + 1] : ~0ULL;
        ASSERT_EQ(index.LineOf(starts[line] + 1), starts[line] + 1 == next ? line + 1 : line);
    }
    EXPECT_EQ(index.LineOf(starts.back() + 99), starts.size() - 1);
    EXPECT_EQ(LineStarts({0, 2, 4}).LineOf(3), 1u);

    LineStarts many;
    for (FileOffset k = 0; k < 1000000; ++k)
        many.Add(k * 100);
    EXPECT_LT(many.Bytes(), 2500000u);
    EXPECT_EQ(many[999999], 99999900u);
    EXPECT_EQ(many.LineOf(50000050), 500000u);
}

// A window is whole lines, holds the line asked for, stays within its bytes unless that
// one line is longer, and reaches the file's end when it holds the last line.
TEST(ViewWindow, WindowsAreWholeLinesAroundTheLineAskedFor)
{
    std::string text;
    for (int i = 0; i < 500; ++i)
        text += std::string(i % 7 == 0 ? 40 : 10 + i % 13, 'a' + i % 26) +
                (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
    text += std::string(3000, 'z') + "\n" + "tail";
    LineStarts starts(StartsOf(text, 4096));
    FileOffset lines = starts.size();
    for (size_t bytes : {64, 300, 1000, 5000, 100000}) {
        for (FileOffset line = 0; line < lines; line += 7) {
            WindowSpan span = ChooseWindow(starts, text.size(), line, bytes);
            SCOPED_TRACE(testing::Message() << "line " << line << " window " << bytes);
            ASSERT_LE(span.first, line);
            ASSERT_GT(span.end, line);
            EXPECT_EQ(span.begin, starts[span.first]);
            EXPECT_EQ(span.finish, span.end < lines ? starts[span.end] : text.size());
            if (span.end - span.first > 1) {
                EXPECT_LE(span.finish - span.begin, bytes);
            }
            if (span.end == lines) {
                EXPECT_EQ(span.finish, text.size());
            }
        }
    }
    // A line longer than the window is the window alone, at the end of the file too.
    const struct {
        std::string text;
        FileOffset line;
        size_t bytes;
        FileOffset first, end;
    } cases[] = {
        {"ab\r\rlong last line", 2, 5, 2, 3},
        {"ab\nlong middle line\ncd\n", 1, 5, 1, 2},
        {"ab\ncd\nef\n", 1, 6, 1, 4},   // to the end of the file: it fits
        {"ab\ncd\nef\n", 3, 6, 1, 4},   // the empty line after the last line end
    };
    for (const auto &c : cases) {
        LineStarts few(StartsOf(c.text, 64));
        WindowSpan span = ChooseWindow(few, c.text.size(), c.line, c.bytes);
        EXPECT_EQ(span.first, c.first) << c.text;
        EXPECT_EQ(span.end, c.end) << c.text;
    }

    // The last line, and a line beyond the last, give the end of the file.
    WindowSpan last = ChooseWindow(starts, text.size(), lines + 10, 5000);
    EXPECT_EQ(last.end, lines);
    EXPECT_GT(last.end - last.first, 1u) << "earlier lines fill the window";
}

// A window cut short never splits a UTF-8 sequence, a UTF-16 unit or surrogate pair, or
// a CR LF.
TEST(ViewWindow, CutsSplitNoCharacter)
{
    struct Case {
        std::string text;
        size_t most;
        ViewEncoding encoding;
        size_t cut;
    } cases[] = {
        {"abcdef", 10, VIEW_UTF8, 6},
        {"abcdef", 4, VIEW_UTF8, 4},
        {"ab\xD0\xB4z", 3, VIEW_UTF8, 2},         // inside the two-byte sequence
        {"ab\xD0\xB4z", 4, VIEW_UTF8, 4},
        {"a\xF0\x9F\x98\x80z", 2, VIEW_UTF8, 1},  // inside the four-byte one
        {"a\xF0\x9F\x98\x80z", 4, VIEW_UTF8, 1},
        {"a\xF0\x9F\x98\x80z", 5, VIEW_UTF8, 5},
        {"ab\r\ncd", 3, VIEW_UTF8, 2},           // inside CR LF
        {"ab\xD0\xB4z", 3, VIEW_8BIT, 3},       // 8-bit: any byte
        {Utf16(u"a\U0001F600b", VIEW_UTF16LE), 3, VIEW_UTF16LE, 2},  // inside a unit
        {Utf16(u"a\U0001F600b", VIEW_UTF16LE), 4, VIEW_UTF16LE, 2},  // inside the pair
        {Utf16(u"a\U0001F600b", VIEW_UTF16BE), 5, VIEW_UTF16BE, 2},
        {Utf16(u"a\U0001F600b", VIEW_UTF16BE), 6, VIEW_UTF16BE, 6},
        {Utf16(u"a\r\nb", VIEW_UTF16LE), 4, VIEW_UTF16LE, 2},         // inside CR LF
        {Utf16(u"a\r\nb", VIEW_UTF16BE), 6, VIEW_UTF16BE, 6},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CutWindow((const unsigned char *)c.text.data(), c.text.size(), c.most,
                            c.encoding),
                  c.cut)
            << c.text << " / " << c.most;
}

size_t ReadText(void *context, FileOffset offset, unsigned char *buffer, size_t n)
{
    const std::string &text = *(const std::string *)context;
    size_t got = offset < text.size() ? std::min(n, text.size() - (size_t)offset) : 0;
    memcpy(buffer, text.data() + offset, got);
    return got;
}

// A match is found at its file offset however the blocks cut it: down from the caret,
// up to it, in either case unless the case must match, and as a whole word only where
// no word goes on at either edge.
TEST(ViewWindow, SearchFindsMatchesInEitherDirectionAcrossBlocks)
{
    std::string text = "one two Three\r\nfour TWO three\r\nfive twofold two_x";
    struct Case {
        std::string needle;
        bool matchCase, wholeWord, down;
        FileOffset from;
        long long found;
    } cases[] = {
        {"two", false, false, true, 0, 4},
        {"two", false, false, true, 5, 20},
        {"TWO", true, false, true, 0, 20},
        {"three", true, false, true, 0, 24},
        {"three", false, false, true, 0, 8},
        {"e\r\nfour", false, false, true, 0, 12},   // across a line end
        {"five", false, false, true, 0, 31},
        {"fivex", false, false, true, 0, -1},
        {"o", false, false, true, 49, -1},
        {"two", false, false, true, 21, 36},         // inside a word
        {"two", false, true, true, 21, -1},          // "twofold" and "two_x" are words
        {"two", false, true, true, 0, 4},
        {"two", false, false, false, 49, 44},        // up: the nearest before the caret
        {"two", false, true, false, 49, 20},
        {"two", false, false, false, 23, 20},        // ends at the caret
        {"two", false, false, false, 22, 4},         // would end after it
        {"one", false, true, false, 3, 0},           // at the file's start
        {"two_x", false, true, false, 49, 44},       // up to the file's end
        {"x", false, false, false, 2, -1},
    };
    for (const Case &c : cases) {
        FileSearch search = {c.needle, VIEW_8BIT, c.matchCase, c.wholeWord, c.down};
        for (size_t block = 1; block <= text.size(); ++block)
            EXPECT_EQ(SearchFile(search, c.from, text.size(), block, ReadText, &text, 0, 0),
                      c.found)
                << c.needle << (c.down ? " down from " : " up to ") << c.from << " blocks "
                << block;
    }
    // In UTF-16 matches start on a unit (the bytes of "two" also lie across units here)
    // and letters fold as units.
    for (ViewEncoding encoding : {VIEW_UTF16LE, VIEW_UTF16BE}) {
        std::string wide = Utf16(u"x \u3000\u7400\u7700\u6F00\u3000 Two two_ TWO", encoding);
        const struct {
            bool wholeWord, down;
            FileOffset from;
            long long found;
        } sixteen[] = {
            {false, true, 0, 16}, {true, true, 0, 16}, {false, true, 18, 24}, {true, true, 18, 34},
            {true, false, (FileOffset)wide.size(), 34}, {false, false, 22, 16},
        };
        for (const auto &c : sixteen) {
            FileSearch search = {Utf16(u"two", encoding), encoding, false, c.wholeWord, c.down};
            for (size_t block = 1; block <= wide.size(); ++block)
                EXPECT_EQ(SearchFile(search, c.from, wide.size(), block, ReadText, &wide, 0, 0),
                          c.found)
                    << encoding << (c.down ? " down from " : " up to ") << c.from << " blocks "
                    << block;
        }
    }
    // The search stops when it is told to, between blocks.
    FileSearch search = {"five", VIEW_8BIT, false, false, true};
    bool (*stop)(void *) = [](void *) { return false; };
    EXPECT_EQ(SearchFile(search, 0, text.size(), 4, ReadText, &text, stop, 0), -2);
}
