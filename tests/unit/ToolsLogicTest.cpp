// Escape translation, line sort and the dialog state text: pure logic.
#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "tools/DialogStateText.h"
#include "tools/FindEscapes.h"
#include "tools/LineSortLogic.h"

namespace {

std::string Escaped(const char *typed)
{
    char buffer[256];
    strcpy(buffer, typed);
    TranslateEscapes(buffer);
    return buffer;
}

std::string Sorted(const char *text, int reverse, int caseSensitive)
{
    std::string buffer(text);
    buffer.resize(buffer.size() + 2, '\0');
    size_t length = SortLines(&buffer[0], reverse, caseSensitive);
    EXPECT_EQ(length, strlen(buffer.c_str()));
    return buffer.c_str();
}

}  // namespace

TEST(FindEscapes, ThreePassesAndNothingElse)
{
    const struct { const char *typed, *expected; } cases[] = {
        {"a\\nb", "a\rb"},
        {"a\\rb", "a\rb"},
        {"\\t\\t", "\t\t"},
        {"\\\\t", "\\\t"},          // a doubled backslash protects nothing
        {"\\\\\\n", "\\\\\r"},
        {"\\T\\N\\R", "\\T\\N\\R"}, // capitals are no escapes
        {"\\x\\", "\\x\\"},
        {"", ""},
        {"plain", "plain"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Escaped(c.typed), c.expected) << c.typed;
}

TEST(LineSort, OrdersOfThePart)
{
    const struct { const char *text; int reverse, caseSensitive; const char *expected; } cases[] = {
        // b c a without a final line end: a keeps no CR, the text now ends with LF
        {"b\r\nc\r\na", 0, 1, "a\nb\r\nc\r\n"},
        {"b\r\nc\r\na\r\n", 0, 1, "a\r\nb\r\nc\r\n"},       // one final line end, no empty line
        {"apple\r\nZebra\r\n", 0, 1, "Zebra\r\napple\r\n"}, // byte order: capitals first
        {"Zebra\r\napple\r\n", 0, 0, "apple\r\nZebra\r\n"}, // ignoring case
        {"apple\r\nZebra\r\n", 1, 1, "apple\r\nZebra\r\n"},
        {"Zebra\r\napple\r\n", 1, 0, "Zebra\r\napple\r\n"},
        {"b\r\n\r\na\r\n", 0, 1, "\r\na\r\nb\r\n"},         // an empty line is a lone CR
        {"a\r\na", 0, 1, "a\na\r\n"},                       // no CR sorts first
        {"c\r\na\r\nb\r\n", 1, 0, "c\r\nb\r\na\r\n"},
        {"x", 0, 0, "x\n"},
        {"\xe9\r\nz\r\n", 0, 1, "z\r\n\xe9\r\n"},           // unsigned bytes
    };
    for (const auto &c : cases)
        EXPECT_EQ(Sorted(c.text, c.reverse, c.caseSensitive), c.expected) << c.text;
    EXPECT_EQ(Sorted("", 0, 0), "");
}

TEST(LineSort, IgnoringCaseFoldsAsciiCapitalsOnly)
{
    EXPECT_EQ(CompareTextIgnoringCase("ABC", "abc"), 0);
    EXPECT_LT(CompareTextIgnoringCase("a", "B"), 0);
    EXPECT_LT(CompareTextIgnoringCase("ab", "abc"), 0);
    EXPECT_LT(CompareTextIgnoringCase("[", "A"), 0);   // folded to small letters: 0x5B < 0x61
    EXPECT_NE(CompareTextIgnoringCase("\xc9", "\xe9"), 0);
}

TEST(DialogStateText, LineSortDialogByteForByte)
{
    char state[STATE_TEXT_SIZE];
    size_t used = StartStateText(state, sizeof state, 1);
    const struct { int id, value; const char *text; } controls[] = {
        {1, 0, "OK"}, {2, 0, "Cancel"}, {1032, 1, "Reverse Order"}, {1033, 0, "Case Sensitive"}};
    for (const auto &c : controls)
        ASSERT_TRUE(AppendStateLine(state, sizeof state, &used, c.id, c.value, c.text));
    EXPECT_EQ(std::string(state),
              "1\n1=0:OK\xff\n2=0:Cancel\xff\n1032=1:Reverse Order\xff\n1033=0:Case Sensitive\xff\n");
    EXPECT_EQ(used, strlen(state));
    const struct { int id, value; } reads[] = {{1032, 1}, {1033, 0}, {2, 0}, {99, -1}};
    for (const auto &r : reads)
        EXPECT_EQ(GetStateValue(state, r.id), r.value) << r.id;
    // The command line has no LF before it: "1=" is found only as the OK line.
    EXPECT_EQ(GetStateValue("1032\n1=0:OK\xff\n", 1032), -1);
    EXPECT_EQ(GetStateValue(0, 1), -1);
}

TEST(DialogStateText, LinesThatDoNotFitAreLeftOutWhole)
{
    char state[24];
    size_t used = StartStateText(state, sizeof state, 1);
    EXPECT_TRUE(AppendStateLine(state, sizeof state, &used, 5, 0, "abc"));
    EXPECT_FALSE(AppendStateLine(state, sizeof state, &used, 6, 0, "far too long a text"));
    EXPECT_EQ(std::string(state), "1\n5=0:abc\xff\n");
}

TEST(DialogStateText, InitTextWalk)
{
    const char *text = "\n1032=#1\n7=\"hello there\n8=?x\n0=#5\n9=#1\ntitle=Sorted\n";
    const char *cursor = text;
    InitLine line;
    ASSERT_TRUE(NextInitLine(&cursor, text, &line));
    EXPECT_EQ(line.id, 1032);
    EXPECT_EQ(line.kind, '#');
    EXPECT_EQ(line.number, 1);
    ASSERT_TRUE(NextInitLine(&cursor, text, &line));
    EXPECT_EQ(line.kind, '"');
    EXPECT_EQ(std::string(line.text, line.textLength), "hello there");
    ASSERT_TRUE(NextInitLine(&cursor, text, &line));
    EXPECT_EQ(line.kind, 0);            // passed over
    EXPECT_FALSE(NextInitLine(&cursor, text, &line));  // id 0 ends the walk
    EXPECT_STREQ(InitTitle(text), "Sorted\n");
    EXPECT_EQ(InitIcon("\nicon=77\n"), 77);

    const struct { const char *text; bool walks; } ends[] = {
        {"title=Only\n", false},   // a title-only text has no control line...
        {"5 no equals\n", false},
        {"5=#1", false},           // no LF after it
        {"5=#1\n", true},
    };
    for (const auto &e : ends) {
        cursor = e.text;
        EXPECT_EQ(NextInitLine(&cursor, e.text, &line), e.walks) << e.text;
    }
    EXPECT_EQ(InitTitle("title=Only\n"), nullptr);  // ...and its title is not applied
}
