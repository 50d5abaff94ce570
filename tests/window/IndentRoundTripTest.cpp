// Paragraph and character formats through every way the program hands RTF on: the
// save's stream-out, a mode switch, a copy to the clipboard and rich Replace All. Wine's
// writer exchanges indent words; these compare formats, not only text.
#include <gtest/gtest.h>
#include <windows.h>
#include <richedit.h>
#include <string.h>

#include <string>
#include <vector>

#include "EditorWindow.h"
#include "editor/EditorControl.h"
#include "tools/ReplaceAll.h"

namespace {

// Paragraphs written \li720, \li1440\fi-360 and \ri720\fi360, then alignment, tabs
// and a bullet; runs of other faces, sizes, colours and effects.
const char *Indented =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}"
    "{\\f2\\fnil Orvello Missing Face;}}{\\colortbl;\\red200\\green0\\blue0;}"
    "\\pard\\li720 first cat paragraph\\par"
    "\\pard\\li1440\\fi-360 second {\\b cat} hanging\\par"
    "\\pard\\ri720\\fi360 third {\\f1\\fs28 cat} right\\par"
    "\\pard\\qc\\tx720\\tx2880 centred\\tab {\\cf1\\i red cat}\\par"
    "\\pard{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf0\\pnindent360{\\pntxtb\\'b7}}"
    "\\li360\\fi-360 bullet {\\f2 cat}\\par"
    "\\pard plain {\\ul\\strike cat} end}";

struct Paragraph {
    LONG start, offset, right;
    WORD alignment, numbering;
    std::vector<LONG> tabs;
    bool operator==(const Paragraph &o) const
    {
        return start == o.start && offset == o.offset && right == o.right &&
               alignment == o.alignment && numbering == o.numbering && tabs == o.tabs;
    }
};

std::string Describe(const std::vector<Paragraph> &paragraphs)
{
    std::string text;
    for (const Paragraph &p : paragraphs) {
        text += "[start " + std::to_string(p.start) + " offset " + std::to_string(p.offset) +
                " right " + std::to_string(p.right) + " align " + std::to_string(p.alignment) +
                " num " + std::to_string(p.numbering) + " tabs";
        for (LONG t : p.tabs)
            text += " " + std::to_string(t);
        text += "]";
    }
    return text;
}

std::wstring TextOf(HWND control)
{
    size_t units = 0;
    char16_t *text = GetUnicodeText(control, &units, false);
    std::wstring result(text ? (const wchar_t *)text : L"", units);
    delete[] text;
    return result;
}

// Every paragraph's format, in order.
std::vector<Paragraph> Paragraphs(HWND control)
{
    std::wstring text = TextOf(control);
    std::vector<Paragraph> result;
    for (size_t start = 0; start <= text.size();) {
        CHARRANGE at = {(LONG)start, (LONG)start};
        SendMessageA(control, EM_EXSETSEL, 0, (LPARAM)&at);
        PARAFORMAT para = {};
        para.cbSize = sizeof para;
        SendMessageA(control, EM_GETPARAFORMAT, 0, (LPARAM)&para);
        Paragraph p = {para.dxStartIndent, para.dxOffset, para.dxRightIndent, para.wAlignment,
                       para.wNumbering, {}};
        for (int k = 0; k < para.cTabCount; ++k)
            p.tabs.push_back(para.rgxTabs[k]);
        result.push_back(p);
        size_t end = text.find(L'\r', start);
        if (end == std::wstring::npos)
            break;
        start = end + 1;
    }
    return result;
}

// Every character's face, size, colour and effects, one line each; with family, also
// the pitch and family that choose a stand-in for a face the system lacks.
std::vector<std::string> Characters(HWND control, bool family = false)
{
    std::wstring text = TextOf(control);
    std::vector<std::string> result;
    for (size_t i = 0; i < text.size(); ++i) {
        CHARRANGE one = {(LONG)i, (LONG)i + 1};
        SendMessageA(control, EM_EXSETSEL, 0, (LPARAM)&one);
        CHARFORMAT2W format = {};
        format.cbSize = sizeof format;
        SendMessageW(control, EM_GETCHARFORMAT, SCF_SELECTION, (LPARAM)&format);
        char face[LF_FACESIZE * 2] = "";
        WideCharToMultiByte(CP_ACP, 0, format.szFaceName, -1, face, sizeof face, 0, 0);
        char line[160];
        snprintf(line, sizeof line, "%c %s %d %ld %lx %lx", (char)text[i], face,
                 family ? format.bPitchAndFamily : 0, (long)format.yHeight,
                 // The colour counts only where the automatic colour is off.
                 (unsigned long)(format.dwEffects & CFE_AUTOCOLOR ? 0 : format.crTextColor),
                 (unsigned long)(format.dwEffects &
                                 (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT |
                                  CFE_AUTOCOLOR)));
        result.push_back(line);
    }
    return result;
}

// The first character whose format differs, or "" when none does.
std::string FirstDifference(const std::vector<std::string> &now,
                            const std::vector<std::string> &expected)
{
    for (size_t i = 0; i < now.size() || i < expected.size(); ++i) {
        std::string a = i < now.size() ? now[i] : "<none>";
        std::string b = i < expected.size() ? expected[i] : "<none>";
        if (a != b)
            return "at " + std::to_string(i) + ": " + a + " instead of " + b;
    }
    return "";
}

class IndentRoundTripTest : public EditorWindowTest {
protected:
    std::vector<HWND> others;

    void TearDown() override
    {
        for (HWND other : others)
            DestroyWindow(other);
        EditorWindowTest::TearDown();
    }

    HWND Fresh()
    {
        HWND control = CreateWindowExA(0, "RichEdit20A", "", WS_POPUP | ES_MULTILINE, 0, 0, 600,
                                       400, 0, 0, 0, 0);
        SendMessageA(control, WM_SETFONT, (WPARAM)GetStockObject(ANSI_FIXED_FONT), 0);
        others.push_back(control);
        return control;
    }

    void LoadIndented()
    {
        EditorControl.SetTextMode(TEXT_RICH);
        ASSERT_TRUE(StreamInText(Editor(), Indented, strlen(Indented), SF_RTF));
        SendMessageA(Editor(), EM_EMPTYUNDOBUFFER, 0, 0);
        // What the file says, as the control holds it.
        std::vector<Paragraph> read = Paragraphs(Editor());
        ASSERT_GE(read.size(), 5u);
        EXPECT_EQ(read[0].start, 720);
        EXPECT_EQ(read[0].offset, 0);
        EXPECT_EQ(read[1].start, 1080);
        EXPECT_EQ(read[1].offset, 360);
        EXPECT_EQ(read[2].start, 360);
        EXPECT_EQ(read[2].offset, -360);
        EXPECT_EQ(read[2].right, 720);
    }
};

}  // namespace

TEST_F(IndentRoundTripTest, SavedRtfReadsBackWithTheSameFormats)
{
    LoadIndented();
    std::vector<Paragraph> before = Paragraphs(Editor());
    std::vector<std::string> characters = Characters(Editor());
    // What a save writes: the program's RTF of the document.
    char *saved = EditorControl.GetText(TEXT_RICH, LINE_END_CRLF);
    ASSERT_TRUE(saved);
    HWND reader = Fresh();
    CopyDefaultFormat(Editor(), reader);
    ASSERT_TRUE(StreamInText(reader, saved, strlen(saved), SF_RTF));
    EXPECT_EQ(Describe(Paragraphs(reader)), Describe(before)) << saved;
    EXPECT_EQ(FirstDifference(Characters(reader), characters), "");
    // Saved again from there, it says the same.
    char *again = StreamOutRtf(reader);
    ASSERT_TRUE(again);
    EXPECT_STREQ(again, saved);
    delete[] again;
    delete[] saved;
}

TEST_F(IndentRoundTripTest, ARichToRichModeSwitchKeepsTheFormats)
{
    LoadIndented();
    std::vector<Paragraph> before = Paragraphs(Editor());
    std::vector<std::string> characters = Characters(Editor());
    ASSERT_EQ(EditorControl.SetTextMode(TEXT_RICH), 1);
    EXPECT_EQ(Describe(Paragraphs(Editor())), Describe(before));
    EXPECT_EQ(FirstDifference(Characters(Editor()), characters), "");
}

TEST_F(IndentRoundTripTest, CopyAndCutHandTheSameFormatsToAPaste)
{
    EditorControl.ScreenPastes();
    const UINT messages[] = {WM_COPY, WM_CUT};
    for (UINT message : messages) {
        LoadIndented();
        std::vector<Paragraph> before = Paragraphs(Editor());
        std::vector<std::string> characters = Characters(Editor());
        EditorControl.SetSelection(0, -1);
        SendMessageA(Editor(), message, 0, 0);
        HWND target = Fresh();
        CopyDefaultFormat(Editor(), target);
        SendMessageA(target, WM_PASTE, 0, 0);
        std::vector<Paragraph> pasted = Paragraphs(target);
        // A paste of everything may end in one more, empty paragraph.
        if (pasted.size() == before.size() + 1)
            pasted.pop_back();
        EXPECT_EQ(Describe(pasted), Describe(before)) << message;
        std::vector<std::string> pastedCharacters = Characters(target);
        if (pastedCharacters.size() == characters.size() + 1)
            pastedCharacters.pop_back();
        EXPECT_EQ(FirstDifference(pastedCharacters, characters), "") << message;
        if (message == WM_CUT) {
            EXPECT_EQ(TextOf(Editor()), L"");
            SendMessageA(Editor(), EM_UNDO, 0, 0);  // one step
            EXPECT_EQ(Describe(Paragraphs(Editor())), Describe(before));
        }
    }
}

// Replace All changes the matched text and nothing else: every paragraph's format and
// every other character's format stay, with or without the quick path.
TEST_F(IndentRoundTripTest, RichReplaceAllChangesOnlyTheMatches)
{
    const struct { const char *find, *with; } cases[] = {{"cat", "dog"}, {"first", "1st"}};
    for (const auto &c : cases) {
        LoadIndented();
        std::vector<Paragraph> before = Paragraphs(Editor());
        std::vector<std::string> characters = Characters(Editor(), true);
        std::wstring text = TextOf(Editor());
        EditorControl.SetSelection(0, 0);
        int count = ReplaceAllMatches(Editor(), c.find, c.with, 0);
        EXPECT_GE(count, 1);
        EXPECT_EQ(Describe(Paragraphs(Editor())), Describe(before)) << c.find;
        // Each character outside the matches keeps its format; a replacement takes the
        // format of the first character it replaced.
        std::vector<std::string> now = Characters(Editor(), true);
        std::vector<std::string> expected;
        std::wstring find(c.find, c.find + strlen(c.find)), with(c.with, c.with + strlen(c.with));
        for (size_t i = 0; i < text.size();) {
            if (text.compare(i, find.size(), find) == 0) {
                for (size_t k = 0; k < with.size(); ++k)
                    expected.push_back((char)with[k] + characters[i].substr(1));
                i += find.size();
            } else {
                expected.push_back(characters[i++]);
            }
        }
        EXPECT_EQ(FirstDifference(now, expected), "") << c.find;
    }
}
