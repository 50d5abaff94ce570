// Indent words of the RTF the control writes: the probe's verdict and the mending.
#include <gtest/gtest.h>

#include <string>

#include "editor/RtfIndents.h"

namespace {

std::string Mend(const std::string &rtf)
{
    return MendExchangedIndents(rtf.data(), rtf.size());
}

const char *Head = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\viewkind4\\uc1";

}  // namespace

TEST(RtfIndents, TheProbeTellsAnExchangingWriterFromACorrectOne)
{
    const std::string head = Head;
    const struct { std::string rtf; bool exchanges; long long left, first; bool found; } cases[] = {
        // Wine 8: offset as \li, start as \fi.
        {head + "\\pard\\li360\\fi720\\f0\\fs20 x\\par\r\n}", true, 360, 720, true},
        // Windows: left indent 1080, first line -360.
        {head + "\\pard\\fi-360\\li1080\\f0\\fs20 x\\par\r\n}", false, 1080, -360, true},
        {head + "\\pard\\li1080\\fi-360 x\\par}", false, 1080, -360, true},
        // Words the probe did not ask for, or none: no exchange assumed.
        {head + "\\pard\\f0 x\\par}", false, 0, 0, true},
        {head + "\\pard\\li720\\fi360 x\\par}", false, 720, 360, true},
        {head + "\\li360\\fi720 x\\par}", false, 0, 0, false},
        {"", false, 0, 0, false},
        // Only the first paragraph counts, and only words at its own level.
        {head + "\\pard{\\pntext\\li1 1.\\tab}\\li360\\fi720 x\\par\\pard\\li5 y\\par}", true, 360,
         720, true},
        {head + "\\pard x\\par\\pard\\li360\\fi720 y\\par}", false, 0, 0, true},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(WriterExchangesIndents(c.rtf.data(), c.rtf.size()), c.exchanges) << c.rtf;
        long long left = -1, first = -1;
        EXPECT_EQ(FirstParagraphIndents(c.rtf.data(), c.rtf.size(), &left, &first), c.found) << c.rtf;
        EXPECT_EQ(left, c.left) << c.rtf;
        EXPECT_EQ(first, c.first) << c.rtf;
    }
}

TEST(RtfIndents, MendingWritesEachParagraphsIndentsAsRtfMeansThem)
{
    const struct { const char *written, *mended; } cases[] = {
        // A file written \li720, \li1440\fi-360 and \ri720\fi360, as Wine's writer gives
        // it back: start 720; start 1080 offset 360; start 360 offset -360.
        {"\\pard\\fi720 a\\par\\pard\\li360\\fi1080 b\\par\\pard\\li-360\\fi360\\ri720 c\\par",
         "\\pard\\li720 a\\par\\pard\\li1440\\fi-360 b\\par\\pard\\fi360 \\ri720 c\\par"},
        {"\\pard\\li360\\fi720 x\\par", "\\pard\\li1080\\fi-360 x\\par"},
        // A paragraph without indent words, and words outside any \pard, stay.
        {"\\pard\\qc x\\par", "\\pard\\qc x\\par"},
        {"\\li360\\fi720 x\\par", "\\li360\\fi720 x\\par"},
        {"{\\pard\\li100 a}\\li200 b\\par", "{\\pard\\li100\\fi-100 a}\\li200 b\\par"},
        // Nested groups keep their words; the paragraph's own are mended.
        {"\\pard{\\pntext\\f0 1.\\tab}{\\*\\pn\\pnlvlbody\\pnindent0{\\pntxta.}}\\li360\\fi720 x",
         "\\pard{\\pntext\\f0 1.\\tab}{\\*\\pn\\pnlvlbody\\pnindent0{\\pntxta.}}\\li1080\\fi-360 x"},
        // The last word of each kind holds; every old word goes.
        {"\\pard\\li100\\fi50\\li300 x\\par", "\\pard\\li350\\fi-300 x\\par"},
        // Words removed between others never let two words run together.
        {"\\pard\\qc\\li5\\fi-5x\\par", "\\pard\\qc\\fi-5 x\\par"},
        {"\\pard\\qc\\li0\\fi0x\\par", "\\pard\\qc x\\par"},
        {"\\pard\\qc\\li0 \\fi0 \\ri3 x", "\\pard\\qc \\ri3 x"},
        {"\\pard\\qc \\li0\\fi0 x", "\\pard\\qc x"},
        // Paragraph ends: \par, \pard, a cell or a row; later words belong to none.
        {"\\pard\\intbl\\li10 a\\cell\\li20 b\\row", "\\pard\\intbl\\li10\\fi-10 a\\cell\\li20 b\\row"},
        {"\\pard\\li10 a\\pard\\li20 b", "\\pard\\li10\\fi-10 a\\pard\\li20\\fi-20 b"},
        // Escapes are text, not words.
        {"\\pard\\'5cli5 \\\\li5 x", "\\pard\\'5cli5 \\\\li5 x"},
        // Words that only look alike.
        {"\\pard\\lin5\\fin6\\lix x", "\\pard\\lin5\\fin6\\lix x"},
        // Numbers past 32 bits are pinned.
        {"\\pard\\li2147483647\\fi2147483647 x", "\\pard\\li2147483647\\fi-2147483647 x"},
        {"\\pard\\li99999999999999999999999 x", "\\pard\\li2147483647\\fi-2147483647 x"},
        // Cut-off input.
        {"\\pard\\li", "\\pard "},
        {"\\pard\\li-", "\\pard -"},
        {"\\pard\\", "\\pard\\"},
        {"\\pard\\'", "\\pard\\'"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Mend(c.written), c.mended) << c.written;
}

TEST(RtfIndents, MendingStopsAtAZeroByteAndKeepsTextWithoutParagraphs)
{
    std::string zero("\\pard\\li1 a\0\\pard\\li2 b", 23);
    EXPECT_EQ(Mend(zero), "\\pard\\li1\\fi-1 a");
    std::string plain = std::string(Head) + "no paragraphs here\\par \\li5 }";
    EXPECT_EQ(Mend(plain), plain);
    EXPECT_EQ(Mend(""), "");
}
