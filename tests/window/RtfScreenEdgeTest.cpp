// The RTF screen's limits against the real control: RTF at each accepted edge opens as
// rich text, and one step past it comes in as the file's own bytes in plain text.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>

#include "EditorWindow.h"
#include "document/OpenDocument.h"
#include "editor/RtfScreen.h"
#include "tests/common/FileBytes.h"

namespace {

// Groups open at once, the document's own included.
std::string Depth(int depth)
{
    return "{\\rtf1 " + std::string(depth - 1, '{') + "x" + std::string(depth - 1, '}') + "}";
}

std::string Word(int letters)
{
    return "{\\rtf1 \\" + std::string(letters, 'q') + " x}";
}

std::string Parameter(int digits)
{
    return "{\\rtf1 \\qq" + std::string(digits, '7') + " x}";
}

std::string FontName(int letters)
{
    return "{\\rtf1{\\fonttbl{\\f0 " + std::string(letters, 'N') + ";}}x}";
}

// Empty groups, each a unit of the reader's work, beside the document's own group.
std::string Work(long groups)
{
    std::string text = "{\\rtf1 ";
    for (long k = 1; k < groups; ++k)
        text += "{}";
    return text + "x}";
}

class RtfScreenEdgeTest : public EditorWindowTest {};

}  // namespace

TEST_F(RtfScreenEdgeTest, EachLimitOpensAtItsEdgeAndRefusesOneStepPast)
{
    const struct { const char *what; std::string edge, past; RtfScreenResult refusal; } cases[] = {
        {"depth", Depth(RTF_MAX_DEPTH), Depth(RTF_MAX_DEPTH + 1), RTF_TOO_DEEP},
        {"control word", Word(RTF_MAX_WORD), Word(RTF_MAX_WORD + 1), RTF_LONG_CONTROL_WORD},
        {"parameter", Parameter(RTF_MAX_DIGITS), Parameter(RTF_MAX_DIGITS + 1),
         RTF_LONG_PARAMETER},
        {"font name", FontName(RTF_MAX_NAME), FontName(RTF_MAX_NAME + 1), RTF_LONG_NAME},
        {"work", Work(RTF_MAX_WORK), Work(RTF_MAX_WORK + 1), RTF_TOO_SLOW},
    };
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::string path = std::string(folder) + "screen edge.rtf";
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(ScreenRtf(c.edge.data(), c.edge.size()), RTF_READABLE);
        ASSERT_EQ(ScreenRtf(c.past.data(), c.past.size()), c.refusal);

        WriteBytes(path, c.edge);
        ASSERT_EQ(LoadFile(Editor(), path.c_str(), false), 1);
        EXPECT_EQ(EditorControl.GetTextMode(), TEXT_RICH);
        EXPECT_EQ(Text(TEXT_PLAIN), "x") << "the control read the RTF";

        WriteBytes(path, c.past);
        ASSERT_EQ(LoadFile(Editor(), path.c_str(), false), 1);
        EXPECT_EQ(EditorControl.GetTextMode(), TEXT_PLAIN);
        EXPECT_EQ(Text(-1), c.past) << "refused RTF comes in as its own bytes";
    }
    DeleteFileA(path.c_str());
}
