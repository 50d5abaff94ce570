#include "EditorWindow.h"

#include <string.h>

#include "editor/FormatDescriptor.h"

class DescriptorControlTest : public EditorWindowTest {
protected:
    void SetUp() override
    {
        EditorWindowTest::SetUp();
        EditorControl.SetTextMode(TEXT_RICH);
    }

    std::string Descriptor()
    {
        const char *d = EditorControl.GetFormatDescriptor();
        return d ? d : "<null>";
    }

    PARAFORMAT Paragraph()
    {
        PARAFORMAT para;
        memset(&para, 0, sizeof para);
        para.cbSize = sizeof para;
        SendMessageA(Editor(), EM_GETPARAFORMAT, 0, (LPARAM)&para);
        return para;
    }

    CHARFORMATA Characters()
    {
        CHARFORMATA chars;
        memset(&chars, 0, sizeof chars);
        chars.cbSize = sizeof chars;
        SendMessageA(Editor(), EM_GETCHARFORMAT, SCF_SELECTION, (LPARAM)&chars);
        return chars;
    }
};

TEST_F(DescriptorControlTest, PlainCourierParagraph)
{
    SetText("a plain paragraph");
    EditorControl.SetSelection(0, -1);
    ASSERT_EQ(EditorControl.ApplyFormatDescriptor(
                  "b=0;i=0;u=0;s=0;c=1;y=0;h=10;f=Courier New;a=l;n=0;o=0;l=0;r=0;"),
              1);
    // Wine's control also reports its tab stops: none set, hence the final t=;.
    EXPECT_EQ(Descriptor(),
              "b=0;i=0;u=0;s=0;c=1;y=0;h=10;f=Courier New;a=l;n=0;"
              "o=0.000000;l=0.000000;r=0.000000;t=;");
}

TEST_F(DescriptorControlTest, MixedBoldHasNoBoldItem)
{
    SetText("bold and not");
    EditorControl.SetSelection(0, 4);
    EditorControl.ApplyFormatDescriptor("b=1;");
    EXPECT_NE(Descriptor().find("b=1;"), std::string::npos);
    EditorControl.SetSelection(0, -1);
    std::string mixed = Descriptor();
    EXPECT_EQ(mixed.find("b="), std::string::npos) << mixed;
    EXPECT_NE(mixed.find("i=0;"), std::string::npos) << mixed;
}

TEST_F(DescriptorControlTest, SizesInPointsAndHalfPointsTruncate)
{
    SetText("sized");
    EditorControl.SetSelection(0, -1);
    EditorControl.ApplyFormatDescriptor("h=14;");
    EXPECT_EQ(Characters().yHeight, 280);
    EXPECT_NE(Descriptor().find("h=14;"), std::string::npos);

    CHARFORMATA half;
    memset(&half, 0, sizeof half);
    half.cbSize = sizeof half;
    half.dwMask = CFM_SIZE;
    half.yHeight = 210;
    SendMessageA(Editor(), EM_SETCHARFORMAT, SCF_SELECTION, (LPARAM)&half);
    EXPECT_NE(Descriptor().find("h=10;"), std::string::npos) << Descriptor();
}

TEST_F(DescriptorControlTest, AutomaticColourIsNotColourOne)
{
    SetText("coloured");
    EditorControl.SetSelection(0, -1);
    EditorControl.ApplyFormatDescriptor("c=255;");
    CHARFORMATA red = Characters();
    EXPECT_FALSE(red.dwEffects & CFE_AUTOCOLOR);
    EXPECT_EQ(red.crTextColor, 255u);
    EXPECT_NE(Descriptor().find("c=255;"), std::string::npos);

    EditorControl.ApplyFormatDescriptor("c=1;");
    EXPECT_TRUE(Characters().dwEffects & CFE_AUTOCOLOR);
    EXPECT_NE(Descriptor().find("c=1;"), std::string::npos);
}

TEST_F(DescriptorControlTest, TabStopsRoundTrip)
{
    SetText("a\tb\tc");
    EditorControl.SetSelection(0, 0);
    EditorControl.ApplyFormatDescriptor("t=0.5\",1\",1.5\";");
    PARAFORMAT para = Paragraph();
    ASSERT_EQ(para.cTabCount, 3);
    EXPECT_EQ(para.rgxTabs[0], 720);
    EXPECT_EQ(para.rgxTabs[1], 1440);
    EXPECT_EQ(para.rgxTabs[2], 2160);
    EXPECT_NE(Descriptor().find("t=0.5\",1\",1.5\";"), std::string::npos) << Descriptor();

    EditorControl.ApplyFormatDescriptor("t=1\",2.25\"");
    para = Paragraph();
    ASSERT_EQ(para.cTabCount, 2);
    EXPECT_EQ(para.rgxTabs[1], 3240);

    std::string many = "t=";
    for (int k = 1; k <= 33; ++k)
        many += std::to_string(k) + "\",";
    EditorControl.ApplyFormatDescriptor(many.c_str());
    EXPECT_EQ(Paragraph().cTabCount, 32);

    EditorControl.ApplyFormatDescriptor("t=;");
    EXPECT_EQ(Paragraph().cTabCount, 0);
}

TEST_F(DescriptorControlTest, IndentationAsTheDialogSendsIt)
{
    SetText("indented");
    EditorControl.SetSelection(0, 0);
    EditorControl.ApplyFormatDescriptor("l=1;o=0.5;r=0.25;");
    PARAFORMAT para = Paragraph();
    EXPECT_EQ(para.dxOffset, -719);
    EXPECT_EQ(para.dxStartIndent, 1440 + 719);
    EXPECT_EQ(para.dxRightIndent, 360);
    std::string d = Descriptor();
    EXPECT_NE(d.find("o=-0.499306;l=1.499306;r=0.250000;"), std::string::npos) << d;
}

TEST_F(DescriptorControlTest, AlignmentAndBullets)
{
    SetText("aligned");
    EditorControl.SetSelection(0, 0);
    EditorControl.ApplyFormatDescriptor("a=c;n=1;");
    EXPECT_EQ(Paragraph().wAlignment, PFA_CENTER);
    EXPECT_EQ(Paragraph().wNumbering, PFN_BULLET);
    EXPECT_NE(Descriptor().find("a=c;n=1;"), std::string::npos);
    EditorControl.ApplyFormatDescriptor("a=r;");
    EXPECT_NE(Descriptor().find("a=r;"), std::string::npos);
    EditorControl.ApplyFormatDescriptor("a=z;n=0;");
    EXPECT_EQ(Paragraph().wAlignment, PFA_LEFT);
    EXPECT_EQ(Paragraph().wNumbering, 0);
}

TEST_F(DescriptorControlTest, OnlyPresentItemsChange)
{
    SetText("keep");
    EditorControl.SetSelection(0, -1);
    EditorControl.ApplyFormatDescriptor("b=1;i=1;f=Arial;h=12;");
    EditorControl.ApplyFormatDescriptor("i=0;");
    CHARFORMATA chars = Characters();
    EXPECT_TRUE(chars.dwEffects & CFE_BOLD);
    EXPECT_FALSE(chars.dwEffects & CFE_ITALIC);
    EXPECT_STREQ(chars.szFaceName, "Arial");
    EXPECT_EQ(chars.yHeight, 240);
    EXPECT_EQ(EditorControl.ApplyFormatDescriptor(0), 0);
}
