#include <gtest/gtest.h>
#include <string.h>
#include <string>

#include "format/ColorChoice.h"
#include "format/FormatText.h"

namespace {

FormatFields Fields(const char *descriptor)
{
    FormatFields f;
    FieldsFromFormatText(descriptor, &f);
    return f;
}

std::string Build(const FormatFields &f)
{
    char text[512];
    return BuildFormatText(f, text, sizeof text) < 0 ? "<too long>" : text;
}

}  // namespace

TEST(FormatText, ExampleResultByteForByte)
{
    FormatFields f = Fields("c=255;");
    f.bold = CHECK_ON;
    f.italic = CHECK_OFF;
    strcpy(f.size, "12");
    strcpy(f.face, "Arial");
    f.offset = OFFSET_SUPERSCRIPT;
    f.bullets = BULLETS_OFF;
    f.alignment = ALIGN_CENTER;
    strcpy(f.firstLine, "0.25\"");
    strcpy(f.left, "0.5\"");
    strcpy(f.tabs, "1\",2\"");
    EXPECT_EQ(Build(f), "b=1;i=0;h=12;f=Arial;y=6;c=255;n=0;a=c;o=0.25;l=0.5;t=1\",2\"");
    f.offset = OFFSET_SUBSCRIPT;
    strcpy(f.size, "11 pt");
    f.size[0] = '1';
    EXPECT_NE(Build(f).find("h=11;f=Arial;y=-5;"), std::string::npos);
}

TEST(FormatText, StartValuesFromTheDescriptor)
{
    struct { const char *descriptor; int bold, offset, enabled, align, bullets, color; } cases[] = {
        {"i=0;h=10;", CHECK_MIXED, OFFSET_MIXED, 1, ALIGN_MIXED, BULLETS_MIXED, -1},
        {"b=1;y=3;h=10;a=c;n=1;c=1;", CHECK_ON, OFFSET_SUPERSCRIPT, 1, ALIGN_CENTER, BULLETS_ON, 1},
        {"b=0;y=-3;h=10;a=r;n=0;c=255;", CHECK_OFF, OFFSET_SUBSCRIPT, 1, ALIGN_RIGHT, BULLETS_OFF, 255},
        {"y=0;h=8;a=x;", CHECK_MIXED, OFFSET_NONE, 1, ALIGN_LEFT, BULLETS_MIXED, -1},
        {"y=3;f=Arial;", CHECK_MIXED, OFFSET_MIXED, 0, ALIGN_MIXED, BULLETS_MIXED, -1},
    };
    for (const auto &c : cases) {
        FormatFields f = Fields(c.descriptor);
        EXPECT_EQ(f.bold, c.bold) << c.descriptor;
        EXPECT_EQ(f.offset, c.offset) << c.descriptor;
        EXPECT_EQ(f.offsetEnabled, c.enabled) << c.descriptor;
        EXPECT_EQ(f.alignment, c.align) << c.descriptor;
        EXPECT_EQ(f.bullets, c.bullets) << c.descriptor;
        EXPECT_EQ(f.color, c.color) << c.descriptor;
    }
    // Mixed bold stays out of the result; an untouched descriptor comes back whole.
    EXPECT_EQ(Build(Fields("i=0;u=1;s=0;c=1;h=10;f=Courier New;a=l;n=0;t=0.5\",1\";")),
              "i=0;u=1;s=0;h=10;f=Courier New;c=1;n=0;a=l;t=0.5\",1\"");
}

TEST(FormatText, IndentationsShownAndWrittenBack)
{
    FormatFields f = Fields("l=0.000000;o=0.250000;r=1.500000;");
    EXPECT_STREQ(f.left, "0.25\"");
    EXPECT_STREQ(f.firstLine, "-0.25\"");
    EXPECT_STREQ(f.right, "1.5\"");
    EXPECT_EQ(Build(f), "o=-0.25;l=0.25;r=1.5;");
    EXPECT_STREQ(Fields("o=0.000000;l=0.500000;r=2.000000;").firstLine, "0\"");
    EXPECT_STREQ(Fields("o=0.000000;l=0.500000;r=2.000000;").right, "2\"");
    EXPECT_STREQ(Fields("l=0.5;").left, "");  // both keys or neither
}

TEST(FormatText, TrimInches)
{
    const char *cases[][2] = {
        {"0.500\"", "0.5\""}, {"2.000\"", "2\""}, {"0.000\"", "0\""}, {"10\"", "10\""},
        {"100\"", "100\""},   {"-0.250\"", "-0.25\""}, {"1.25\"", "1.25\""}, {"10.0\"", "10\""},
    };
    for (const auto &c : cases) {
        char text[16];
        strcpy(text, c[0]);
        TrimInches(text);
        EXPECT_STREQ(text, c[1]) << c[0];
    }
}

TEST(FormatText, ValuesTheControlCannotTakeAreRefused)
{
    auto tabs = [](int count) {
        std::string text = "0.5\"";
        for (int k = 2; k <= count; ++k)
            text += "," + std::to_string(k / 2.0).substr(0, 4) + "\"";
        return text;
    };
    // The dialog reads at most FIELD_SIZE bytes of a 1,000-character text.
    struct { std::string text; FormatProblem problem; } cases[] = {
        {"0", PROBLEM_SIZE}, {"5000", PROBLEM_SIZE}, {"abc", PROBLEM_SIZE},
        {std::string(FIELD_SIZE - 1, '1'), PROBLEM_SIZE}, {"1638", FORMAT_OK}, {"1", FORMAT_OK},
    };
    for (const auto &c : cases) {
        FormatFields f = Fields("");
        strcpy(f.size, c.text.c_str());
        EXPECT_EQ(CheckFormatFields(f), c.problem) << c.text;
    }
    FormatFields f = Fields("");
    strcpy(f.left, "100\"");
    EXPECT_EQ(CheckFormatFields(f), PROBLEM_LEFT);
    strcpy(f.left, "nan");
    EXPECT_EQ(CheckFormatFields(f), PROBLEM_LEFT);
    strcpy(f.left, "-22\"");
    strcpy(f.firstLine, "0.00000000000000001\"");
    EXPECT_EQ(CheckFormatFields(f), PROBLEM_FIRST_LINE);
    f = Fields("");
    strcpy(f.tabs, tabs(32).c_str());
    EXPECT_EQ(CheckFormatFields(f), FORMAT_OK);
    strcpy(f.tabs, tabs(40).c_str());
    EXPECT_EQ(CheckFormatFields(f), PROBLEM_TABS);
    strcpy(f.tabs, "1\",-2\"");
    EXPECT_EQ(CheckFormatFields(f), PROBLEM_TABS);
}

TEST(FormatText, OverlongAndForeignTextIsCut)
{
    FormatFields f = Fields("");
    memset(f.face, 'F', FIELD_SIZE - 1);
    strcpy(f.tabs, "1\";h=99");
    strcpy(f.right, "1=2");
    CleanFormatFields(&f);
    EXPECT_EQ(Build(f), "f=" + std::string(31, 'F') + ";r=1;t=1\"");
    // The longest texts the fields take still fit the 512-byte format text.
    f = Fields("b=1;i=1;u=1;s=1;c=-2147483648;n=1;a=c;");
    strcpy(f.size, "-9999");
    memset(f.face, 'F', FACE_CHARS);
    f.offset = OFFSET_SUBSCRIPT;
    for (char *indent : {f.firstLine, f.left, f.right})
        memset(indent, '9', INDENT_CHARS);
    memset(f.tabs, '9', TABS_CHARS);
    EXPECT_NE(Build(f), "<too long>");
    char small[40];
    EXPECT_EQ(BuildFormatText(f, small, sizeof small), -1);
    EXPECT_STREQ(small, "");
}

TEST(ColorChoice, FirstMatchOnlyAndMenuAnswers)
{
    EXPECT_EQ(CheckedColorEntry(0), 1);   // Black, although Custom... also holds 0
    EXPECT_EQ(CheckedColorEntry(-1), -1);
    EXPECT_EQ(CheckedColorEntry(1), 0);
    EXPECT_EQ(CheckedColorEntry(0xFF00C0), 12);
    EXPECT_EQ(CheckedColorEntry(0x123456), -1);
    EXPECT_EQ(ColorOfChoice(0), -1);
    EXPECT_EQ(ColorOfChoice(5), 0x0000FF);
    EXPECT_EQ(ColorOfChoice(17), -1);
    EXPECT_EQ(SelectionColor(1, 1, 0x123456), 1);
    EXPECT_EQ(SelectionColor(1, 0, 0x123456), 0x123456);
    EXPECT_EQ(SelectionColor(0, 0, 0), -1);
    ColorTable[CUSTOM_ENTRY].colour = 0x123456;
    EXPECT_EQ(CheckedColorEntry(0x123456), CUSTOM_ENTRY);
    EXPECT_EQ(ColorOfChoice(16), 0x123456);
    ColorTable[CUSTOM_ENTRY].colour = 0;
}
