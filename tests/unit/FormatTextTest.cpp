#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <tuple>

#include "format/ColorChoice.h"
#include "format/FormatText.h"

static FormatFields Fields(const char *descriptor)
{
    FormatFields f;
    FieldsFromFormatText(descriptor, &f);
    return f;
}

static std::string Build(const FormatFields &f)
{
    char text[512];
    return BuildFormatText(f, text, sizeof text) < 0 ? "<too long>" : text;
}

TEST(FormatText, ExampleResultAndMixedValuesLeftOut)
{
    FormatFields f = Fields("c=255;");
    f.bold = CHECK_ON, f.italic = CHECK_OFF, f.offset = OFFSET_SUPERSCRIPT;
    f.bullets = BULLETS_OFF, f.alignment = ALIGN_CENTER;
    strcpy(f.size, "12"), strcpy(f.face, "Arial"), strcpy(f.firstLine, "0.25\"");
    strcpy(f.left, "0.5\""), strcpy(f.tabs, "1\",2\"");
    EXPECT_EQ(Build(f), "b=1;i=0;h=12;f=Arial;y=6;c=255;n=0;a=c;o=0.25;l=0.5;t=1\",2\"");
    // No b (mixed bold) and no y stay out; the tab stops come last without ';'.
    EXPECT_EQ(Build(Fields("i=0;u=1;s=0;c=1;h=10;f=Courier New;a=l;n=0;t=0.5\",1\";")),
              "i=0;u=1;s=0;h=10;f=Courier New;c=1;n=0;a=l;t=0.5\",1\"");
}

TEST(FormatText, StartValuesFromTheDescriptor)
{
    struct { const char *text; int bold, offset, enabled, align, bullets, color; } cases[] = {
        {"b=1;y=3;h=10;a=c;n=1;c=1;", CHECK_ON, OFFSET_SUPERSCRIPT, 1, ALIGN_CENTER, BULLETS_ON, 1},
        {"b=0;y=-3;h=10;a=r;n=0;c=255;", CHECK_OFF, OFFSET_SUBSCRIPT, 1, ALIGN_RIGHT, BULLETS_OFF, 255},
        {"y=0;h=8;a=x;", CHECK_MIXED, OFFSET_NONE, 1, ALIGN_LEFT, BULLETS_MIXED, -1},
        {"y=3;f=Arial;", CHECK_MIXED, OFFSET_MIXED, 0, ALIGN_MIXED, BULLETS_MIXED, -1},  // no h
    };
    for (const auto &c : cases) {
        FormatFields f = Fields(c.text);
        EXPECT_EQ(std::make_tuple(f.bold, f.offset, f.offsetEnabled, f.alignment, f.bullets, f.color),
                  std::make_tuple(c.bold, c.offset, c.enabled, c.align, c.bullets, c.color))
            << c.text;
    }
}

TEST(FormatText, IndentationsShownTrimmedAndWrittenBack)
{
    FormatFields f = Fields("l=0.000000;o=0.250000;r=1.500000;");
    EXPECT_EQ(std::string(f.left) + f.firstLine + f.right, "0.25\"-0.25\"1.5\"");
    EXPECT_EQ(Build(f), "o=-0.25;l=0.25;r=1.5;");
    f = Fields("o=0.000000;l=0.500000;r=2.000000;");
    EXPECT_EQ(std::string(f.left) + f.firstLine + f.right, "0.5\"0\"2\"");
    EXPECT_STREQ(Fields("l=0.5;").left, "");  // both keys or neither
    const char *trims[][2] = {{"0.500\"", "0.5\""}, {"2.000\"", "2\""}, {"0.000\"", "0\""},
                              {"10\"", "10\""},     {"100\"", "100\""}, {"10.0\"", "10\""}};
    for (const auto &t : trims) {
        char text[16];
        strcpy(text, t[0]);
        TrimInches(text);
        EXPECT_STREQ(text, t[1]) << t[0];
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
    // The dialog reads at most FIELD_SIZE - 1 characters of a 1,000-character text.
    struct { char (FormatFields::*field)[FIELD_SIZE]; std::string text; FormatProblem problem; } cases[] = {
        {&FormatFields::size, "0", PROBLEM_SIZE},    {&FormatFields::size, "5000", PROBLEM_SIZE},
        {&FormatFields::size, "abc", PROBLEM_SIZE},  {&FormatFields::size, "1638", FORMAT_OK},
        {&FormatFields::size, std::string(FIELD_SIZE - 1, '1'), PROBLEM_SIZE},
        {&FormatFields::left, "100\"", PROBLEM_LEFT}, {&FormatFields::left, "nan", PROBLEM_LEFT},
        {&FormatFields::right, "-22\"", FORMAT_OK},   {&FormatFields::right, "x", FORMAT_OK},
        {&FormatFields::firstLine, "0.00000000000000001", PROBLEM_FIRST_LINE},
        {&FormatFields::tabs, tabs(32), FORMAT_OK},   {&FormatFields::tabs, tabs(40), PROBLEM_TABS},
        {&FormatFields::tabs, tabs(33), PROBLEM_TABS},
        {&FormatFields::tabs, "1\",-2\"", PROBLEM_TABS},
    };
    for (const auto &c : cases) {
        FormatFields f = Fields("");
        strcpy(f.*c.field, c.text.c_str());
        EXPECT_EQ(CheckFormatFields(f), c.problem) << c.text;
    }
}

TEST(FormatText, OverlongAndForeignTextIsCutAndTheResultAlwaysFits)
{
    FormatFields f = Fields("");
    memset(f.face, 'F', FIELD_SIZE - 1);
    strcpy(f.tabs, "1\";h=99"), strcpy(f.right, "1=2");
    CleanFormatFields(&f);
    EXPECT_EQ(Build(f), "f=" + std::string(31, 'F') + ";r=1;t=1\"");
    f = Fields("b=1;i=1;u=1;s=1;c=-2147483648;n=1;a=c;");
    strcpy(f.size, "-9999"), memset(f.face, 'F', FACE_CHARS), f.offset = OFFSET_SUBSCRIPT;
    for (char *text : {f.firstLine, f.left, f.right})
        memset(text, '9', INDENT_CHARS);
    memset(f.tabs, '9', TABS_CHARS);
    EXPECT_NE(Build(f), "<too long>");
    char small[40];
    EXPECT_EQ(BuildFormatText(f, small, sizeof small), -1);
    EXPECT_STREQ(small, "");
}

TEST(ColorChoice, MenuAnswersAndSelectionColour)
{
    // Which entry is checked is tested on the real menu (window tests).
    EXPECT_EQ(ColorOfChoice(0), -1);
    EXPECT_EQ(ColorOfChoice(5), 0x0000FF);
    EXPECT_EQ(ColorOfChoice(17), -1);
    EXPECT_EQ(SelectionColor(1, 1, 0x123456), 1);
    EXPECT_EQ(SelectionColor(1, 0, 0x123456), 0x123456);
    EXPECT_EQ(SelectionColor(0, 0, 0), -1);
}

// OK applies what the user changed and nothing else.
TEST(FormatText, OnlyChangedFieldsAreCheckedAndWritten)
{
    // Read from a file: a right indentation over 22", a size under 1 point and 40 tabs.
    std::string tabs = "0.5\"";
    for (int k = 2; k <= 40; ++k)
        tabs += "," + std::to_string(k) + "\"";
    const std::string file = "b=0;i=1;u=0;s=0;c=1;y=0;h=0;f=MS Sans Serif;a=l;n=0;o=0.000000;"
                             "l=0.500000;r=23.000000;t=" + tabs + ";";
    const struct {
        std::string descriptor;
        void (*change)(FormatFields &);
        std::string result;
    } cases[] = {
        {file, [](FormatFields &) {}, ""},
        {"b=1;h=10;f=Arial;y=0;", [](FormatFields &) {}, ""},
        {"", [](FormatFields &) {}, ""},
        {file, [](FormatFields &f) { f.bold = CHECK_ON; }, "b=1;"},
        {file, [](FormatFields &f) { f.italic = CHECK_MIXED; }, ""},
        // The face read back in another case is the same face.
        {file, [](FormatFields &f) { strcpy(f.face, "ms sans serif"); }, ""},
        {file, [](FormatFields &f) { strcpy(f.face, "Arial"); }, "f=Arial;"},
        {file, [](FormatFields &f) { strcpy(f.size, "12"); }, "h=12;"},
        // An offset chosen alone is half the size shown, which stays as it is.
        {"h=20;y=0;", [](FormatFields &f) { f.offset = OFFSET_SUPERSCRIPT; }, "y=10;"},
        {"h=20;y=0;", [](FormatFields &f) { f.offset = OFFSET_SUBSCRIPT; strcpy(f.size, "12"); },
         "h=12;y=-6;"},
        {file, [](FormatFields &f) { f.color = 255; }, "c=255;"},
        {file, [](FormatFields &f) { f.bullets = BULLETS_ON; f.alignment = ALIGN_RIGHT; },
         "n=1;a=r;"},
        // The two left-hand indentations go together.
        {file, [](FormatFields &f) { strcpy(f.firstLine, "0.25\""); }, "o=0.25;l=0.5;"},
        {file, [](FormatFields &f) { strcpy(f.left, "1\""); }, "o=0;l=1;"},
        {file, [](FormatFields &f) { strcpy(f.right, "1\""); }, "r=1;"},
        {file, [](FormatFields &f) { strcpy(f.tabs, "1\""); }, "t=1\""},
    };
    for (const auto &c : cases) {
        FormatFields shown = Fields(c.descriptor.c_str());
        CleanFormatFields(&shown);
        FormatFields now = shown;
        c.change(now);
        KeepChangedFields(shown, &now);
        EXPECT_EQ(CheckFormatFields(now), FORMAT_OK) << c.descriptor << " -> " << c.result;
        EXPECT_EQ(Build(now), c.result) << c.descriptor;
    }
    // A value the user did change is still checked.
    FormatFields shown = Fields(file.c_str());
    CleanFormatFields(&shown);
    FormatFields now = shown;
    strcpy(now.right, "30\"");
    KeepChangedFields(shown, &now);
    EXPECT_EQ(CheckFormatFields(now), PROBLEM_RIGHT);
    now = shown;
    strcpy(now.size, "0.5");
    KeepChangedFields(shown, &now);
    EXPECT_EQ(CheckFormatFields(now), PROBLEM_SIZE);
}
