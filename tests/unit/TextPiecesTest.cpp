#include <gtest/gtest.h>

#include <string>

#include "editor/TextPieces.h"

TEST(TextPieces, PiecesEndAfterWholeLineEndsAndNeverBeforeABrace)
{
    struct Case {
        std::string text;
        size_t from, piece, lines, end;
        double squares;
    } cases[] = {
        {"ab\ncd\nef\n", 0, 4, 100, 3, 1e9},    // the last line end within reach
        {"ab\ncd\nef\n", 3, 4, 100, 6, 1e9},
        {"ab\r\ncd", 0, 3, 100, 4, 1e9},        // CR LF stays whole: the next end beyond
        {"a\r\r\nb", 0, 2, 100, 4, 1e9},        // so does CR CR LF
        {"a\r\r\r\nb", 0, 3, 100, 2, 1e9},     // but a CR before it ends a line
        {"\r\r\r\r\r\r", 0, 100, 2, 2, 1e9},   // CRs alone (old Macintosh text) split
        {"\r\r\r\r\r\r", 2, 3, 100, 5, 1e9},
        {"ab\rcd\r\r\ref", 0, 100, 3, 7, 1e9},
        {"ab\rcd\ref", 0, 4, 100, 3, 1e9},      // a CR alone ends a line
        {"ab\n{\\rtf1\ncd", 0, 4, 100, 10, 1e9}, // no piece begins like RTF
        {"abcdef", 0, 2, 100, 6, 1e9},          // no line end: one piece
        {"ab\ncd", 3, 10, 100, 5, 1e9},         // the rest fits
        {"ab\ncd", 5, 10, 100, 5, 1e9},         // nothing left
        {"a\nb\nc\nd\n", 0, 100, 2, 4, 1e9},    // short lines: at most `lines` of them
        {"a\r\nb\rc\nd", 0, 100, 2, 5, 1e9},
        {"aaaa\nbb\ncc\n", 0, 100, 100, 8, 20}, // squared lengths 16 + 4 reach 20
        {"aaaa\nbb\ncc\n", 0, 100, 100, 5, 16},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PieceEnd(c.text.data(), c.text.size(), c.from, c.piece, c.lines, c.squares),
                  c.end)
            << c.text << " from " << c.from;

    std::u16string wide = u"\U0001F600\r\n\U0001F600\r\n{x";
    EXPECT_EQ(PieceEnd(wide.data(), wide.size(), 0, 3, 100), 4u);
    EXPECT_EQ(PieceEnd(wide.data(), wide.size(), 4, 3, 100), wide.size());

    std::string lines = "abc\r\nde\rf\n\nghij";
    EXPECT_EQ(SquaredLineLengths(lines.data(), lines.size()), 9 + 4 + 1 + 0 + 16);
    EXPECT_EQ(SquaredLineLengths(u"", 0), 0);
}
