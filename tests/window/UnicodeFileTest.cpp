// Files in any script open and save back byte for byte through the real control.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>

#include "EditorWindow.h"
#include "ModalAnswer.h"
#include "document/FileFormats.h"
#include "document/OpenDocument.h"
#include "document/SaveDocument.h"
#include "tools/LineSortDialog.h"
#include "tests/common/FileBytes.h"

namespace {

class UnicodeFileTest : public EditorWindowTest {
protected:
    std::string path;

    void SetUp() override
    {
        EditorWindowTest::SetUp();
        char folder[MAX_PATH];
        GetTempPathA(sizeof folder, folder);
        path = std::string(folder) + "owunicode.txt";
        DocumentFormat = FORMAT_PLAIN;
        Utf8ByteOrderMark = false;
    }

    void TearDown() override
    {
        ModalAnswer::Stop();
        DeleteFileA(path.c_str());
        EditorWindowTest::TearDown();
    }

    // Opens bytes (answering a 16-bit question with answer), saves in the format the
    // load chose, and returns the saved bytes.
    std::string RoundTrip(const std::string &bytes, int answer = IDYES)
    {
        EXPECT_TRUE(WriteBytes(path, bytes));
        ModalAnswer::Expect(answer);
        EXPECT_EQ(LoadFile(Editor(), path.c_str(), false), 1);
        ModalAnswer::Stop();
        DeleteFileA(path.c_str());
        EXPECT_EQ(WriteDocumentFile(path.c_str()), 1);
        return ReadBytes(path);
    }

    std::u16string Units()
    {
        size_t n = 0;
        char16_t *text = GetUnicodeText(Editor(), &n);
        std::u16string result(text ? text : u"", n);
        delete[] text;
        return result;
    }
};

// Latin, Greek, CJK and an emoji, over two lines.
const std::string Utf8Text = "caf\xC3\xA9 \xCE\xB1\xCE\xB2\r\n\xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80";
const std::u16string Utf8Units = u"caf\u00e9 \u03b1\u03b2\r\n\u4e2d\u6587 \U0001F600";

}  // namespace

TEST_F(UnicodeFileTest, Utf8FilesKeepEveryCharacterAndTheirMark)
{
    EXPECT_EQ(RoundTrip(Utf8Text), Utf8Text);
    EXPECT_EQ(DocumentFormat, FORMAT_UTF8);
    EXPECT_EQ(Units(), Utf8Units);
    std::string marked = "\xEF\xBB\xBF" + Utf8Text;
    EXPECT_EQ(RoundTrip(marked), marked);
    EXPECT_TRUE(Utf8ByteOrderMark);
    EXPECT_EQ(Units(), Utf8Units);
}

TEST_F(UnicodeFileTest, SixteenBitFilesKeepCharactersWithAZeroLowByteAndPairs)
{
    // "A", U+0100 (low byte 0), the euro sign and a surrogate pair.
    const std::string le("A\0\0\x01\xAC\x20\x3D\xD8\x00\xDE", 10);
    const std::string be("\0A\x01\0\x20\xAC\xD8\x3D\xDE\x00", 10);
    EXPECT_EQ(RoundTrip(le), le);
    EXPECT_EQ(DocumentFormat, FORMAT_MULTI_BYTE);
    EXPECT_EQ(Units(), u"A\u0100\u20ac\U0001F600");
    EXPECT_EQ(RoundTrip("\xFF\xFE" + le), "\xFF\xFE" + le);
    EXPECT_EQ(DocumentFormat, FORMAT_UNICODE_LE);
    EXPECT_EQ(RoundTrip("\xFE\xFF" + be), "\xFE\xFF" + be);
    EXPECT_EQ(DocumentFormat, FORMAT_UNICODE_BE);
    EXPECT_EQ(Units(), u"A\u0100\u20ac\U0001F600");
}

TEST_F(UnicodeFileTest, EightBitTextConvertsThroughTheCodePage)
{
    // Not UTF-8 (a lone E9) and plain ASCII: opened as 8-bit text, saved unchanged.
    EXPECT_EQ(RoundTrip("caf\xE9\r\n"), "caf\xE9\r\n");
    EXPECT_EQ(DocumentFormat, FORMAT_PLAIN);
    EXPECT_EQ(RoundTrip("just ascii\r\nline two"), "just ascii\r\nline two");
    EXPECT_EQ(DocumentFormat, FORMAT_PLAIN);

    // The code page's euro (0x80) saved as Unicode is U+20AC, not U+0080.
    SetText("\x80");
    DocumentFormat = FORMAT_UNICODE_LE;
    ASSERT_EQ(WriteDocumentFile(path.c_str()), 1);
    EXPECT_EQ(ReadBytes(path), std::string("\xFF\xFE\xAC\x20", 4));
}

TEST_F(UnicodeFileTest, PlainTextSaveAsksBeforeReplacingCharacters)
{
    ASSERT_EQ(RoundTrip(Utf8Text), Utf8Text);
    DocumentFormat = FORMAT_PLAIN;
    WriteBytes(path, "old");
    ModalAnswer::Expect(IDNO);
    EXPECT_EQ(SaveDocument(parent, path.c_str()), 0);
    EXPECT_EQ(ModalAnswer::shown, 1);
    EXPECT_NE(ModalAnswer::text.find("cannot hold"), std::string::npos);
    EXPECT_EQ(ReadBytes(path), "old");
    // Text the code page holds is saved without a question.
    SetText("caf\xE9");
    ModalAnswer::Expect(IDNO);
    EXPECT_EQ(SaveDocument(parent, path.c_str()), 1);
    EXPECT_EQ(ModalAnswer::shown, 0);
    EXPECT_EQ(ReadBytes(path), "caf\xE9");
}

TEST_F(UnicodeFileTest, SortingAUtf8FileKeepsItsCharacters)
{
    const std::string lines = "\xCE\xB2" "eta\r\nalpha \xE4\xB8\xAD\r\n\xF0\x9F\x98\x80 smile\r\nBravo \xE2\x82\xAC";
    ASSERT_EQ(RoundTrip(lines), lines);
    ASSERT_EQ(SortEditorLines(0, 0), 1);
    // Ignoring case, ASCII first, then by character: Greek beta, then the emoji.
    EXPECT_EQ(Units(), u"alpha \u4e2d\r\nBravo \u20ac\r\n\u03b2eta\r\n\U0001F600 smile\r\n");
    DeleteFileA(path.c_str());
    ASSERT_EQ(WriteDocumentFile(path.c_str()), 1);
    EXPECT_EQ(ReadBytes(path), "alpha \xE4\xB8\xAD\r\nBravo \xE2\x82\xAC\r\n\xCE\xB2" "eta\r\n\xF0\x9F\x98\x80 smile\r\n");
}
