#include <gtest/gtest.h>
#include <string.h>

#include "editor/FormatDescriptor.h"

namespace {

struct Formats {
    CHARFORMATA chars;
    PARAFORMAT para;
    Formats()
    {
        memset(&chars, 0, sizeof chars);
        memset(&para, 0, sizeof para);
        chars.cbSize = sizeof chars;
        para.cbSize = sizeof para;
    }
    std::string Build() const
    {
        char text[DESCRIPTOR_SIZE];
        BuildFormatDescriptor(chars, para, text, sizeof text);
        return text;
    }
    static Formats Parse(const char *text)
    {
        Formats f;
        ParseFormatDescriptor(text, &f.chars, &f.para);
        return f;
    }
};

Formats PlainCourier()
{
    Formats f;
    f.chars.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_COLOR |
                     CFM_OFFSET | CFM_SIZE | CFM_FACE;
    f.chars.dwEffects = CFE_AUTOCOLOR;
    f.chars.yHeight = 200;
    strcpy(f.chars.szFaceName, "Courier New");
    f.para.dwMask = PFM_ALIGNMENT | PFM_NUMBERING | PFM_OFFSET | PFM_STARTINDENT | PFM_RIGHTINDENT;
    f.para.wAlignment = PFA_LEFT;
    return f;
}

}  // namespace

TEST(FormatDescriptorBuild, PlainParagraphInTableOrder)
{
    EXPECT_EQ(PlainCourier().Build(),
              "b=0;i=0;u=0;s=0;c=1;y=0;h=10;f=Courier New;a=l;n=0;"
              "o=0.000000;l=0.000000;r=0.000000;");
}

TEST(FormatDescriptorBuild, MaskDecidesWhichItemsAppear)
{
    Formats f = PlainCourier();
    f.chars.dwMask &= ~CFM_BOLD;  // mixed bold
    f.chars.dwEffects |= CFE_BOLD;
    f.para.dwMask = 0;
    std::string text = f.Build();
    EXPECT_EQ(text.find("b="), std::string::npos);
    EXPECT_EQ(text.find("a="), std::string::npos);
    EXPECT_NE(text.find("i=0;"), std::string::npos);

    Formats none;
    EXPECT_EQ(none.Build(), "");
}

TEST(FormatDescriptorBuild, UnitsAndValues)
{
    struct { LONG height, offset; COLORREF color; DWORD effects; const char *expected; } cases[] = {
        {210, 0, 0, CFE_BOLD, "b=1;c=0;y=0;h=10;"},           // 10.5 points truncate
        {240, 60, 0xFF, 0, "b=0;c=255;y=3;h=12;"},            // superscript, red
        {199, -70, 0x123456, CFE_AUTOCOLOR, "b=0;c=1;y=-3;h=9;"},  // automatic wins
    };
    for (const auto &c : cases) {
        Formats f;
        f.chars.dwMask = CFM_BOLD | CFM_COLOR | CFM_OFFSET | CFM_SIZE;
        f.chars.dwEffects = c.effects;
        f.chars.yHeight = c.height;
        f.chars.yOffset = c.offset;
        f.chars.crTextColor = c.color;
        EXPECT_EQ(f.Build(), c.expected);
    }
}

TEST(FormatDescriptorBuild, ParagraphItems)
{
    Formats f;
    f.para.dwMask = PFM_ALIGNMENT | PFM_NUMBERING | PFM_OFFSET | PFM_STARTINDENT | PFM_RIGHTINDENT;
    f.para.wAlignment = PFA_CENTER;
    f.para.wNumbering = PFN_BULLET;
    f.para.dxOffset = -720;
    f.para.dxStartIndent = 1440 + 720;
    f.para.dxRightIndent = 360;
    EXPECT_EQ(f.Build(), "a=c;n=1;o=-0.500000;l=1.500000;r=0.250000;");
    f.para.wAlignment = PFA_RIGHT;
    f.para.dwMask = PFM_ALIGNMENT;
    EXPECT_EQ(f.Build(), "a=r;");
    f.para.wAlignment = 4;  // justify has no letter: shown as left
    EXPECT_EQ(f.Build(), "a=l;");
}

TEST(FormatDescriptorBuild, TabStopsInInchesWithMarks)
{
    Formats f;
    f.para.dwMask = PFM_TABSTOPS;
    f.para.cTabCount = 3;
    f.para.rgxTabs[0] = 720;
    f.para.rgxTabs[1] = 1440;
    f.para.rgxTabs[2] = 2160;
    EXPECT_EQ(f.Build(), "t=0.5\",1\",1.5\";");
    f.para.cTabCount = 1;
    f.para.rgxTabs[0] = 100;  // 0.069444 inch
    EXPECT_EQ(f.Build(), "t=0.069444\";");
    f.para.cTabCount = 0;
    EXPECT_EQ(f.Build(), "t=;");
}

TEST(FormatDescriptorBuild, NeverWritesPastTheBuffer)
{
    Formats f = PlainCourier();
    char small[12];
    memset(small, 'x', sizeof small);
    int n = BuildFormatDescriptor(f.chars, f.para, small, sizeof small);
    EXPECT_EQ(n, (int)strlen(small));
    EXPECT_LT(n, (int)sizeof small);
    EXPECT_STREQ(small, "b=0;i=0;u=0");
}

TEST(FormatDescriptorParse, CharacterItems)
{
    Formats f = Formats::Parse("b=1;i=0;u=5;s=1;h=14;y=-2;f=Times New Roman;");
    EXPECT_EQ(f.chars.dwMask, (DWORD)(CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT |
                                      CFM_SIZE | CFM_OFFSET | CFM_FACE));
    EXPECT_EQ(f.chars.dwEffects, (DWORD)(CFE_BOLD | CFE_UNDERLINE | CFE_STRIKEOUT));
    EXPECT_EQ(f.chars.yHeight, 280);
    EXPECT_EQ(f.chars.yOffset, -40);
    EXPECT_STREQ(f.chars.szFaceName, "Times New Roman");
    EXPECT_EQ(f.para.dwMask, 0u);
}

TEST(FormatDescriptorParse, ColourOneIsAutomatic)
{
    Formats automatic = Formats::Parse("c=1;");
    EXPECT_EQ(automatic.chars.dwMask, (DWORD)CFM_COLOR);
    EXPECT_TRUE(automatic.chars.dwEffects & CFE_AUTOCOLOR);

    Formats red = Formats::Parse("c=255;");
    EXPECT_FALSE(red.chars.dwEffects & CFE_AUTOCOLOR);
    EXPECT_EQ(red.chars.crTextColor, 255u);
    Formats black = Formats::Parse("c=0;");
    EXPECT_FALSE(black.chars.dwEffects & CFE_AUTOCOLOR);
    EXPECT_EQ(black.chars.crTextColor, 0u);
}

TEST(FormatDescriptorParse, FirstOccurrenceWinsAndAbsentKeysStayOff)
{
    Formats f = Formats::Parse("b=1;b=0;");
    EXPECT_TRUE(f.chars.dwEffects & CFE_BOLD);
    EXPECT_EQ(Formats::Parse("").chars.dwMask, 0u);
    EXPECT_EQ(Formats::Parse("x=1;").para.dwMask, 0u);
}

TEST(FormatDescriptorParse, LongFaceNameIsCut)
{
    Formats f = Formats::Parse("f=ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghij;h=10;");
    EXPECT_EQ(strlen(f.chars.szFaceName), (size_t)LF_FACESIZE - 1);
    EXPECT_EQ(f.chars.yHeight, 200);
}

TEST(FormatDescriptorParse, Alignment)
{
    struct { const char *text; WORD expected; } cases[] = {
        {"a=c;", PFA_CENTER}, {"a=r;", PFA_RIGHT}, {"a=l;", PFA_LEFT},
        {"a=x;", PFA_LEFT},   {"a=;", PFA_LEFT},   {"a=C;", PFA_LEFT},
    };
    for (const auto &c : cases) {
        Formats f = Formats::Parse(c.text);
        EXPECT_EQ(f.para.dwMask, (DWORD)PFM_ALIGNMENT) << c.text;
        EXPECT_EQ(f.para.wAlignment, c.expected) << c.text;
    }
}

TEST(FormatDescriptorParse, Bullets)
{
    EXPECT_EQ(Formats::Parse("n=1;").para.wNumbering, PFN_BULLET);
    EXPECT_EQ(Formats::Parse("n=7;").para.wNumbering, PFN_BULLET);
    Formats off = Formats::Parse("n=0;");
    EXPECT_EQ(off.para.dwMask, (DWORD)PFM_NUMBERING);
    EXPECT_EQ(off.para.wNumbering, 0);
}

TEST(FormatDescriptorParse, IndentationTakesLeftAndFirstLine)
{
    Formats f = Formats::Parse("o=0.5;l=1;r=0.25;");
    EXPECT_EQ(f.para.dxOffset, -719);
    EXPECT_EQ(f.para.dxStartIndent, 1440 + 719);
    EXPECT_EQ(f.para.dxRightIndent, 360);

    Formats hanging = Formats::Parse("l=1;o=-0.5;");
    EXPECT_EQ(hanging.para.dxOffset, 720);
    EXPECT_EQ(hanging.para.dxStartIndent, 720);

    Formats zero = Formats::Parse("l=0.000000;o=0.000000;");
    EXPECT_EQ(zero.para.dxOffset, 0);
    EXPECT_EQ(zero.para.dxStartIndent, 0);
}

TEST(FormatDescriptorParse, TabStops)
{
    Formats two = Formats::Parse("t=1\",2.25\"");
    EXPECT_EQ(two.para.dwMask, (DWORD)PFM_TABSTOPS);
    ASSERT_EQ(two.para.cTabCount, 2);
    EXPECT_EQ(two.para.rgxTabs[0], 1440);
    EXPECT_EQ(two.para.rgxTabs[1], 3240);

    Formats cleared = Formats::Parse("t=;");
    EXPECT_EQ(cleared.para.dwMask, (DWORD)PFM_TABSTOPS);
    EXPECT_EQ(cleared.para.cTabCount, 0);

    std::string many = "t=";
    for (int k = 1; k <= 33; ++k)
        many += std::to_string(k * 0.25) + (k < 33 ? "," : ";");
    Formats capped = Formats::Parse(many.c_str());
    ASSERT_EQ(capped.para.cTabCount, 32);
    EXPECT_EQ(capped.para.rgxTabs[31], 32 * 360);

    // Commas of later items are not tab stops.
    Formats one = Formats::Parse("t=1\";f=A,B;");
    EXPECT_EQ(one.para.cTabCount, 1);
}

TEST(FormatDescriptorParse, BuiltTextReadsBack)
{
    Formats original = PlainCourier();
    original.chars.dwEffects = CFE_BOLD | CFE_ITALIC;
    original.chars.crTextColor = 0x00FF00;
    original.para.wAlignment = PFA_RIGHT;
    original.para.dwMask |= PFM_TABSTOPS;
    original.para.cTabCount = 2;
    original.para.rgxTabs[0] = 720;
    original.para.rgxTabs[1] = 3240;
    std::string text = original.Build();
    Formats back = Formats::Parse(text.c_str());
    EXPECT_EQ(back.chars.dwMask, original.chars.dwMask);
    EXPECT_EQ(back.chars.dwEffects, original.chars.dwEffects);
    EXPECT_EQ(back.chars.crTextColor, original.chars.crTextColor);
    EXPECT_STREQ(back.chars.szFaceName, "Courier New");
    EXPECT_EQ(back.para.wAlignment, PFA_RIGHT);
    EXPECT_EQ(back.para.cTabCount, 2);
    EXPECT_EQ(back.para.rgxTabs[1], 3240);
}

TEST(FormatDescriptorItem, ValueUpToSemicolon)
{
    char value[8];
    EXPECT_TRUE(GetDescriptorItem("b=1;h=12;f=Arial;", 'h', value, sizeof value));
    EXPECT_STREQ(value, "12");
    EXPECT_TRUE(GetDescriptorItem("h=12;f=Courier New;", 'f', value, sizeof value));
    EXPECT_STREQ(value, "Courier");  // cut to the buffer
    EXPECT_FALSE(GetDescriptorItem("b=1;", 'h', value, sizeof value));
    EXPECT_STREQ(value, "");
}
