// Line ends with a real control: what a load puts in, what a save writes back, the
// Line Ends menu's marks and modified flag, and plain-text pastes.
#include <gtest/gtest.h>

#include "EditorWindow.h"
#include "ModalAnswer.h"
#include "app/MainWindow.h"
#include "document/Document.h"
#include "document/FileFormats.h"
#include "document/OpenDocument.h"
#include "document/SaveDocument.h"
#include "res/resource.h"
#include "tests/common/FileBytes.h"

namespace {

class LineEndsWindowTest : public EditorWindowTest {
protected:
    std::string path;

    void SetUp() override
    {
        EditorWindowTest::SetUp();
        char folder[MAX_PATH];
        GetTempPathA(sizeof folder, folder);
        path = std::string(folder) + "ow line ends window.txt";
    }

    void TearDown() override
    {
        DeleteFileA(path.c_str());
        DocumentLineEnds = LINE_ENDS_CRLF;
        DocumentLineEndsMixed = false;
        DocumentFormat = FORMAT_PLAIN;
        EditorWindowTest::TearDown();
    }

    void Load(const std::string &bytes)
    {
        ASSERT_TRUE(WriteBytes(path, bytes));
        ASSERT_EQ(LoadFile(Editor(), path.c_str(), false), 1);
    }

    std::string Saved()
    {
        DeleteFileA(path.c_str());
        EXPECT_EQ(WriteDocumentFile(path.c_str()), 1);
        return ReadBytes(path);
    }

    bool Modified() { return SendMessageA(Editor(), EM_GETMODIFY, 0, 0) != 0; }

    static void PutTextOnClipboard(const char *text)
    {
        ASSERT_TRUE(OpenClipboard(0));
        EmptyClipboard();
        size_t size = strlen(text) + 1;
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
        memcpy(GlobalLock(memory), text, size);
        GlobalUnlock(memory);
        SetClipboardData(CF_TEXT, memory);
        CloseClipboard();
    }
};

}  // namespace

TEST_F(LineEndsWindowTest, LoadingNotesTheStyleAndSavingWritesItBack)
{
    const struct {
        std::string file;
        std::string shown;  // the control's text, with CR LF for every line end
        LineEndStyle style;
        bool mixed;
        std::string saved;
    } cases[] = {
        {"", "", LINE_ENDS_CRLF, false, ""},
        {"x\n\ny\n", "x\r\n\r\ny\r\n", LINE_ENDS_LF, false, "x\n\ny\n"},
        {"x\ry", "x\r\ny", LINE_ENDS_CR, false, "x\ry"},
        {"{not rtf\nline", "{not rtf\r\nline", LINE_ENDS_LF, false, "{not rtf\nline"},
        // The control alone reads CR CR LF as a space.
        {"a\r\r\nb", "a\r\n\r\nb", LINE_ENDS_CRLF, true, "a\r\n\r\nb"},
        {"a\nb\nc\r\n", "a\r\nb\r\nc\r\n", LINE_ENDS_LF, true, "a\nb\nc\n"},
    };
    for (const auto &c : cases) {
        Load(c.file);
        EXPECT_EQ(Text(TEXT_PLAIN), c.shown) << c.file;
        EXPECT_EQ(DocumentLineEnds, c.style) << c.file;
        EXPECT_EQ(DocumentLineEndsMixed, c.mixed) << c.file;
        EXPECT_EQ(Saved(), c.saved) << c.file;
    }
}

TEST_F(LineEndsWindowTest, SixteenBitAndUtf8FilesKeepTheirStyleToo)
{
    const struct { std::string file; int format; } cases[] = {
        {std::string("\xFF\xFE" "a\0\n\0b\0\n\0", 10), FORMAT_UNICODE_LE},
        {std::string("\xFE\xFF" "\0a\0\r\0b", 8), FORMAT_UNICODE_BE},
        {"caf\xC3\xA9\ntwo\n", FORMAT_UTF8},
        {"\xEF\xBB\xBF" "a\rb\r", FORMAT_UTF8},
    };
    for (const auto &c : cases) {
        ModalAnswer::Expect(IDYES);  // the 16-bit question
        Load(c.file);
        ModalAnswer::Stop();
        EXPECT_EQ(DocumentFormat, c.format);
        EXPECT_EQ(Saved(), c.file);
    }
    // The next file saved as UTF-8 gets no mark it never had.
    Load("plain\r\n");
    DocumentFormat = FORMAT_UTF8;
    EXPECT_EQ(Saved(), "plain\r\n");
}

TEST_F(LineEndsWindowTest, ConversionMarksTheDocumentModifiedOnlyWhenTheFileWouldChange)
{
    Load("one\ntwo\n");
    ASSERT_FALSE(Modified());
    ConvertDocumentLineEnds(LINE_ENDS_LF);
    EXPECT_FALSE(Modified()) << "the style it has";
    ConvertDocumentLineEnds(LINE_ENDS_CR);
    EXPECT_TRUE(Modified());
    EXPECT_EQ(Saved(), "one\rtwo\r");

    Load("a\nb\r\nc\n");
    ASSERT_TRUE(DocumentLineEndsMixed);
    ConvertDocumentLineEnds(LINE_ENDS_LF);
    EXPECT_TRUE(Modified()) << "a mixed file changes even in its own majority style";
    EXPECT_FALSE(DocumentLineEndsMixed);

    Load("");
    ConvertDocumentLineEnds(LINE_ENDS_CR);
    EXPECT_FALSE(Modified()) << "an empty document has no line ends to change";
    EXPECT_EQ(DocumentLineEnds, LINE_ENDS_CR);
}

TEST_F(LineEndsWindowTest, MenuMarksTheDocumentsStyle)
{
    HMENU menu = LoadMenuA(GetModuleHandleA(0), MAKEINTRESOURCEA(IDM_EDITOR));
    ASSERT_TRUE(menu);
    const int ids[] = {IDC_LINE_ENDS_CRLF, IDC_LINE_ENDS_LF, IDC_LINE_ENDS_CR};
    for (LineEndStyle style : {LINE_ENDS_LF, LINE_ENDS_CR, LINE_ENDS_CRLF}) {
        DocumentLineEnds = style;
        UpdateMenuState(menu);
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ((GetMenuState(menu, ids[k], MF_BYCOMMAND) & MF_CHECKED) != 0, k == style)
                << style << " " << ids[k];
    }
    DestroyMenu(menu);
}

TEST_F(LineEndsWindowTest, PlainTextPasteGoesInAtTheSelectionAsOneUndoStep)
{
    EditorControl.SetTextMode(TEXT_PLAIN);
    SetText("abcdef");
    SendMessageA(Editor(), EM_SETMODIFY, FALSE, 0);
    SendMessageA(Editor(), EM_SETSEL, 2, 4);
    PutTextOnClipboard("X\r\nY\r\r\nZ");
    EditorControl.Paste();
    EXPECT_EQ(Text(TEXT_PLAIN), "abX\r\nY\r\n\r\nZef");
    EXPECT_TRUE(Modified());
    SendMessageA(Editor(), EM_UNDO, 0, 0);
    EXPECT_EQ(Text(TEXT_PLAIN), "abcdef");
    EmptyClipboardNow();
}
