#include <gtest/gtest.h>

#include <string>

#include "editor/TextPieces.h"

TEST(TextPieces, PiecesEndAfterWholeLineEndsAndNeverBeforeABrace)
{
    struct Case {
        std::string text;
        size_t from, piece, lines, end;
    } cases[] = {
        {"ab\ncd\nef\n", 0, 4, 100, 3},           // the last line end within reach
        {"ab\ncd\nef\n", 3, 4, 100, 6},
        {"ab\r\ncd", 0, 3, 100, 4},               // CR LF stays whole: the next end beyond
        {"a\r\r\nb", 0, 2, 100, 4},               // so does CR CR LF
        {"ab\rcd\ref", 0, 4, 100, 3},             // a CR alone ends a line
        {"ab\n{\\rtf1\ncd", 0, 4, 100, 10},       // no piece begins like RTF
        {"abcdef", 0, 2, 100, 6},                 // no line end: one piece
        {"ab\ncd", 3, 10, 100, 5},                // the rest fits
        {"ab\ncd", 5, 10, 100, 5},                // nothing left
        {"a\nb\nc\nd\n", 0, 100, 2, 4},           // short lines: at most `lines` of them
        {"a\r\nb\rc\nd", 0, 100, 2, 5},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PieceEnd(c.text.data(), c.text.size(), c.from, c.piece, c.lines), c.end)
            << c.text << " from " << c.from;

    std::u16string wide = u"\U0001F600\r\n\U0001F600\r\n{x";
    EXPECT_EQ(PieceEnd(wide.data(), wide.size(), 0, 3, 100), 4u);
    EXPECT_EQ(PieceEnd(wide.data(), wide.size(), 4, 3, 100), wide.size());
}

TEST(TextPieces, PiecesOfALongTextJoinToItExactly)
{
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += i % 7 == 0 ? "{brace line}\r\n" : i % 5 == 0 ? "mac line\r" : "some words\n";
    std::string joined;
    size_t pieces = 0;
    for (size_t from = 0; from < text.size(); ++pieces) {
        size_t end = PieceEnd(text.data(), text.size(), from, 4096, 300);
        ASSERT_GT(end, from);
        ASSERT_LE(end - from, 4096u);
        if (from > 0) {
            EXPECT_NE(text[from], '{');
            EXPECT_FALSE(text[from - 1] == '\r' && text[from] == '\n');
        }
        joined += text.substr(from, end - from);
        from = end;
    }
    EXPECT_EQ(joined, text);
    EXPECT_GE(pieces, 20000u / 300);
}
