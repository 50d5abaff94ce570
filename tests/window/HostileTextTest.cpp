// Hostile RTF and long lines against a real control: pastes, mode switches and loads
// never hand the reader what the screen refuses; long lines load unwrapped.
#include <gtest/gtest.h>
#include <windows.h>
#include <richedit.h>
#include <string>

#include "EditorWindow.h"
#include "document/OpenDocument.h"
#include "editor/RtfScreen.h"
#include "tests/common/FileBytes.h"

namespace {

std::string Nested(int depth)
{
    return "{\\rtf1 " + std::string(depth, '{') + "x" + std::string(depth, '}') + "}";
}

void PutOnClipboard(const std::string &rtf, const char *text)
{
    ASSERT_TRUE(OpenClipboard(0));
    EmptyClipboard();
    const struct { UINT format; std::string bytes; } items[] = {
        {RegisterClipboardFormatA(CF_RTF), rtf}, {CF_TEXT, text}};
    for (const auto &item : items) {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, item.bytes.size() + 1);
        memcpy(GlobalLock(memory), item.bytes.c_str(), item.bytes.size() + 1);
        GlobalUnlock(memory);
        SetClipboardData(item.format, memory);
    }
    CloseClipboard();
}

class HostileTextTest : public EditorWindowTest {
protected:
    std::string Load(const char *name, const std::string &bytes)
    {
        char folder[MAX_PATH];
        GetTempPathA(sizeof folder, folder);
        std::string path = std::string(folder) + name;
        WriteBytes(path, bytes);
        EXPECT_EQ(LoadFile(Editor(), path.c_str(), false), 1);
        return Text(-1);
    }
};

}  // namespace

TEST_F(HostileTextTest, PastesOfRefusedRtfBringTheTextAlone)
{
    EditorControl.SetTextMode(TEXT_RICH);
    EditorControl.ScreenPastes();
    const struct { std::string rtf; const char *expected; } cases[] = {
        {Nested(20000), "plain words"},
        {"{\\rtf1 \\" + std::string(100000, 'a') + " x}", "plain words"},
        {"{\\rtf1 readable \\b bold}", "readable bold"},
    };
    for (const auto &c : cases) {
        SetText("");
        PutOnClipboard(c.rtf, "plain words");
        SendMessageA(Editor(), WM_PASTE, 0, 0);
        EXPECT_EQ(Text(TEXT_PLAIN), c.expected);
    }
    EmptyClipboardNow();
}

TEST_F(HostileTextTest, RichToRichSwitchCarriesRefusedRtfAsText)
{
    EditorControl.SetTextMode(TEXT_RICH);
    // More format changes in one paragraph than the screen passes, put in past it.
    std::string rtf = "{\\rtf1 ";
    for (int k = 0; k < 700; ++k)
        rtf += "\\b a\\b0 b";
    rtf += "}";
    SendMessageA(Editor(), WM_SETTEXT, 0, (LPARAM)rtf.c_str());
    std::string before = Text(TEXT_PLAIN);
    ASSERT_EQ(before.size(), 1400u);
    char *content = EditorControl.GetText(TEXT_RICH, LINE_END_CRLF);
    EXPECT_EQ(ScreenRtf(content, strlen(content)), RTF_TOO_SLOW);
    delete[] content;
    EXPECT_EQ(EditorControl.SetTextMode(TEXT_RICH), 1);
    EXPECT_EQ(Text(TEXT_PLAIN), before);
    EXPECT_EQ(EditorControl.GetTextMode(), TEXT_RICH);
}

TEST_F(HostileTextTest, RefusedRtfLoadsAsPlainTextAndLongLinesUnwrapped)
{
    std::string deep = Nested(40);
    EXPECT_EQ(Load("hostile deep.rtf", deep), deep);
    EXPECT_EQ(EditorControl.GetTextMode(), TEXT_PLAIN);
    EXPECT_FALSE(EditorControl.IsWrapSuspended());

    std::string line(LONGEST_WRAPPED_LINE + 1, 'x');
    EXPECT_EQ(Load("hostile line.txt", line), line);
    EXPECT_TRUE(EditorControl.IsWrapSuspended());
    EXPECT_EQ(EditorControl.GetWrapMode(), WRAP_WINDOW) << "the setting stays";

    EXPECT_EQ(Load("hostile lines.txt", std::string(LONGEST_WRAPPED_LINE, 'x') + "\r\nx"),
              std::string(LONGEST_WRAPPED_LINE, 'x') + "\r\nx");
    EXPECT_FALSE(EditorControl.IsWrapSuspended());

    // Appended, refused RTF comes after the document's text, as text.
    SetText("before ");
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::string path = std::string(folder) + "deep append.rtf";
    WriteBytes(path, deep);
    EXPECT_EQ(LoadFile(Editor(), path.c_str(), true, true), 1);
    EXPECT_EQ(Text(-1), "before " + deep);

    Load("hostile line.txt", line);
    EditorControl.SetWrapMode(WRAP_NONE, 0);
    EXPECT_FALSE(EditorControl.IsWrapSuspended()) << "a wrap command ends the hold";
    EXPECT_EQ(EditorControl.GetWrapMode(), WRAP_NONE);
}
