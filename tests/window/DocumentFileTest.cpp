// Loading and writing real files through the real control.
#include <gtest/gtest.h>
#include <windows.h>
#include <richedit.h>
#include <string>

#include "EditorWindow.h"
#include "tests/common/FileBytes.h"
#include "ModalAnswer.h"
#include "document/Document.h"
#include "document/FileFormats.h"
#include "document/OpenDocument.h"
#include "document/SaveDocument.h"
#include "editor/TextPieces.h"

namespace {

std::string TempFolder()
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::string path = std::string(folder) + "owdoc\\";
    CreateDirectoryA(path.c_str(), 0);
    return path;
}

int CountFiles(const std::string &folder)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
    int count = 0;
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ++count;
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return count;
}

class DocumentFileTest : public EditorWindowTest {
protected:
    std::string folder;

    void SetUp() override
    {
        EditorWindowTest::SetUp();
        folder = TempFolder();
        DocumentFormat = FORMAT_PLAIN;
        EditorControl.SetTextMode(TEXT_PLAIN);
    }

    void TearDown() override
    {
        ModalAnswer::Stop();
        EditorWindowTest::TearDown();
    }

    std::string File(const char *name, const std::string &bytes)
    {
        std::string path = folder + name;
        EXPECT_TRUE(WriteBytes(path, bytes)) << path;
        return path;
    }

    // Loads with the 16-bit question answered by answer (0: no question expected).
    int Load(const std::string &path, int answer = 0, bool append = false)
    {
        ModalAnswer::Expect(answer ? answer : IDOK);
        int result = LoadFile(Editor(), path.c_str(), append);
        ModalAnswer::Stop();
        return result;
    }
};

}  // namespace

TEST_F(DocumentFileTest, RtfHeaderOpensRichAndOnlyInLowerCase)
{
    std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\b bold\\b0  text\\par}";
    ASSERT_EQ(Load(File("rich.rtf", rtf)), 1);
    EXPECT_EQ(ModalAnswer::shown, 0);
    EXPECT_EQ(EditorControl.GetTextMode(), TEXT_RICH);
    EXPECT_EQ(DocumentFormat, FORMAT_RICH);
    EXPECT_EQ(Text(TEXT_PLAIN).substr(0, 9), "bold text");
    SendMessageA(Editor(), EM_SETSEL, 0, 2);
    EXPECT_NE(std::string(EditorControl.GetFormatDescriptor()).find("b=1"), std::string::npos);

    std::string upper = "{\\RTF1 not rich}";
    ASSERT_EQ(Load(File("upper.rtf", upper)), 1);
    EXPECT_EQ(EditorControl.GetTextMode(), TEXT_PLAIN);
    EXPECT_EQ(DocumentFormat, FORMAT_PLAIN);
    EXPECT_EQ(Text(TEXT_PLAIN), upper);
}

TEST_F(DocumentFileTest, SixteenBitQuestionDecidesHowBytesAreRead)
{
    std::string ab("A\0B\0", 4);
    ASSERT_EQ(Load(File("ab.txt", ab), IDYES), 1);
    EXPECT_EQ(ModalAnswer::shown, 1);
    EXPECT_EQ(ModalAnswer::text, "File appears to be in Multi-Byte (Unicode) format.\n\nOpen as such?");
    EXPECT_EQ(ModalAnswer::caption, "OrvelloWord");
    EXPECT_EQ(Text(TEXT_PLAIN), "AB");
    EXPECT_EQ(DocumentFormat, FORMAT_MULTI_BYTE);

    // No: the raw bytes, where the first zero ends the text.
    ASSERT_EQ(Load(File("ab.txt", ab), IDNO), 1);
    EXPECT_EQ(ModalAnswer::shown, 1);
    EXPECT_EQ(Text(TEXT_PLAIN), "A");
    EXPECT_EQ(DocumentFormat, FORMAT_PLAIN);
}

TEST_F(DocumentFileTest, ByteOrderMarksGiveTheirFormats)
{
    ASSERT_EQ(Load(File("le.txt", std::string("\xFF\xFEH\0i\0", 6)), IDYES), 1);
    EXPECT_EQ(Text(TEXT_PLAIN), "Hi");
    EXPECT_EQ(DocumentFormat, FORMAT_UNICODE_LE);
    ASSERT_EQ(Load(File("be.txt", std::string("\xFE\xFF\0H\0i", 6)), IDYES), 1);
    EXPECT_EQ(Text(TEXT_PLAIN), "Hi");
    EXPECT_EQ(DocumentFormat, FORMAT_UNICODE_BE);
}

TEST_F(DocumentFileTest, OneByteAndZeroBytesNeedNoQuestion)
{
    ASSERT_EQ(Load(File("one.txt", "A")), 1);
    EXPECT_EQ(ModalAnswer::shown, 0);
    EXPECT_EQ(Text(TEXT_PLAIN), "A");

    ASSERT_EQ(Load(File("zero.txt", std::string("ab\0cd", 5))), 1);
    EXPECT_EQ(ModalAnswer::shown, 0);
    EXPECT_EQ(Text(TEXT_PLAIN), "ab");

    ASSERT_EQ(Load(File("empty.txt", "")), 1);
    EXPECT_EQ(Text(TEXT_PLAIN), "");
}

TEST_F(DocumentFileTest, LinesAndCaretAfterLoading)
{
    ASSERT_EQ(Load(File("lines.txt", "one\r\ntwo\r\nthree")), 1);
    EXPECT_EQ(Text(TEXT_PLAIN), "one\r\ntwo\r\nthree");
    EXPECT_EQ(SendMessageA(Editor(), EM_GETLINECOUNT, 0, 0), 3);
    CHARRANGE caret = Selection();
    EXPECT_EQ(caret.cpMin, 0);
    EXPECT_EQ(caret.cpMax, 0);
}

TEST_F(DocumentFileTest, AppendingAddsAtTheEndAsOneUndo)
{
    SetText("first ");
    ASSERT_EQ(Load(File("more.txt", "second"), 0, true), 1);
    EXPECT_EQ(Text(TEXT_PLAIN), "first second");
    SendMessageA(Editor(), EM_UNDO, 0, 0);
    EXPECT_EQ(Text(TEXT_PLAIN), "first ");

    // Appending to an empty document is a normal load, detection included.
    SetText("");
    DocumentFormat = FORMAT_PLAIN;
    ASSERT_EQ(Load(File("rich2.rtf", "{\\rtf1 appended}"), 0, true), 1);
    EXPECT_EQ(EditorControl.GetTextMode(), TEXT_RICH);
    EXPECT_EQ(Text(TEXT_PLAIN).substr(0, 8), "appended");
}

TEST_F(DocumentFileTest, MissingOrTooLargeFileIsRefused)
{
    SetText("kept");
    EXPECT_EQ(Load(folder + "no such file.txt"), 0);
    EXPECT_EQ(Text(TEXT_PLAIN), "kept");

    // A sparse file larger than the limit is never read into memory.
    std::string huge = folder + "huge.bin";
    HANDLE file = CreateFileA(huge.c_str(), GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = LARGEST_FILE + 1;
    SetFilePointerEx(file, end, 0, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
    EXPECT_EQ(Load(huge), 0);
    EXPECT_EQ(Text(TEXT_PLAIN), "kept");
    DeleteFileA(huge.c_str());
}

TEST_F(DocumentFileTest, WritesEachLayoutByteForByte)
{
    SetText("\xE9");
    std::string path = folder + "e9.txt";
    const struct { int format; std::string bytes; } cases[] = {
        {FORMAT_PLAIN, "\xE9"},
        {FORMAT_MULTI_BYTE, std::string("\xE9\0", 2)},
        {FORMAT_UNICODE_LE, std::string("\xFF\xFE\xE9\0", 4)},
        {FORMAT_UNICODE_BE, std::string("\xFE\xFF\0\xE9", 4)},
    };
    for (const auto &c : cases) {
        DocumentFormat = c.format;
        EXPECT_EQ(WriteDocumentFile(path.c_str()), 1);
        EXPECT_EQ(ReadBytes(path), c.bytes) << "format " << c.format;
    }

    SetText("");
    DocumentFormat = FORMAT_UNICODE_LE;
    EXPECT_EQ(WriteDocumentFile(path.c_str()), 1);
    EXPECT_EQ(ReadBytes(path), "\xFF\xFE");

    SetText("line one\r\nline two");
    DocumentFormat = FORMAT_PLAIN;
    EXPECT_EQ(WriteDocumentFile(path.c_str()), 1);
    EXPECT_EQ(ReadBytes(path), "line one\r\nline two");

    DocumentFormat = FORMAT_RICH;
    EXPECT_EQ(WriteDocumentFile(path.c_str()), 1);
    std::string rtf = ReadBytes(path);
    EXPECT_EQ(rtf.substr(0, 5), "{\\rtf");
    EXPECT_NE(rtf.find("line two"), std::string::npos);
}

TEST_F(DocumentFileTest, SavedFilesOpenAgainAsTheSameText)
{
    const char *text = "caf\xE9 au lait\r\n{\\rtf is only text here}\r\nend";
    for (int format = FORMAT_RICH; format <= FORMAT_UNICODE_BE; ++format) {
        EditorControl.SetTextMode(TEXT_PLAIN);
        SetText("");
        StreamInText(Editor(), text, strlen(text), SF_TEXT);
        DocumentFormat = format;
        std::string path = folder + "round.txt";
        ASSERT_EQ(WriteDocumentFile(path.c_str()), 1);
        SetText("");
        ASSERT_EQ(Load(path, format > FORMAT_PLAIN ? IDYES : 0), 1);
        EXPECT_EQ(DocumentFormat, format);
        EXPECT_EQ(Text(TEXT_PLAIN).substr(0, strlen(text)), text) << "format " << format;
    }
}

TEST_F(DocumentFileTest, ProtectedFilesAreSavedOnlyAfterTheQuestionAndKeepTheirAttributes)
{
    const struct { DWORD attributes; const char *named; } cases[] = {
        {FILE_ATTRIBUTE_READONLY, "READ-ONLY "},
        {FILE_ATTRIBUTE_HIDDEN, "HIDDEN "},
        {FILE_ATTRIBUTE_SYSTEM, "SYSTEM "},
        {FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM,
         "READ-ONLY HIDDEN SYSTEM "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.named);
        // A file of its own each time: the last one saved is the document's, whose
        // rewrite by File() would be a change by another program.
        std::string path = File(("locked " + std::to_string(&c - cases) + ".txt").c_str(), "old");
        ASSERT_TRUE(SetFileAttributesA(path.c_str(), c.attributes));
        ASSERT_EQ(GetFileAttributesA(path.c_str()) & c.attributes, c.attributes);
        SetText("new");

        ModalAnswer::Expect(IDNO);
        EXPECT_EQ(SaveDocument(parent, path.c_str()), 0);
        EXPECT_EQ(ModalAnswer::shown, 1);
        EXPECT_EQ(ModalAnswer::text, std::string("This is a ") + c.named +
                                         "file.\n\nIgnore this restriction and continue "
                                         "saving to " + path + "?");
        EXPECT_EQ(ReadBytes(path), "old");

        ModalAnswer::Expect(IDYES);
        EXPECT_EQ(SaveDocument(parent, path.c_str()), 1);
        EXPECT_EQ(ModalAnswer::shown, 1);
        EXPECT_EQ(ReadBytes(path), "new");
        EXPECT_EQ(GetFileAttributesA(path.c_str()) & c.attributes, c.attributes);
        EXPECT_EQ(SendMessageA(Editor(), EM_GETMODIFY, 0, 0), 0);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
}

TEST_F(DocumentFileTest, FailedSaveKeepsTheOldFileAndLeavesNoTemporaryFiles)
{
    std::string sub = folder + "failing\\";
    CreateDirectoryA(sub.c_str(), 0);
    std::string path = sub + "busy.txt";
    WriteBytes(path, "precious");
    int before = CountFiles(sub);
    SetText("replacement");
    SendMessageA(Editor(), EM_SETMODIFY, TRUE, 0);

    // Another program holds the file open and lets nobody else write or delete it.
    HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, 0, OPEN_EXISTING, 0, 0);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    ModalAnswer::Expect(IDOK);
    EXPECT_EQ(SaveDocument(parent, path.c_str()), 0);
    EXPECT_EQ(ModalAnswer::text, "Failed to save file.");
    CloseHandle(holder);
    EXPECT_EQ(ReadBytes(path), "precious");
    EXPECT_EQ(CountFiles(sub), before);
    EXPECT_NE(SendMessageA(Editor(), EM_GETMODIFY, 0, 0), 0);

    // A folder that does not exist: a plain failure, not the attribute question.
    ModalAnswer::Expect(IDOK);
    EXPECT_EQ(SaveDocument(parent, (folder + "nowhere\\x.txt").c_str()), 0);
    EXPECT_EQ(ModalAnswer::text, "Failed to save file.");

    ASSERT_EQ(SaveDocument(parent, path.c_str()), 1);
    EXPECT_EQ(ReadBytes(path), "replacement");
    EXPECT_EQ(CountFiles(sub), before);
}

TEST_F(DocumentFileTest, LineEndsAtChunkBordersStayOneLineEnd)
{
    // Each CR sits at the last byte of a 4 KB block, its LF at the first of the next.
    std::string text;
    for (int block = 1; block <= 4; ++block) {
        text.append(block * 4096 - 1 - text.size(), (char)('a' + block));
        text += "\r\n";
    }
    text += "end";
    EditorControl.SetWrapMode(WRAP_NONE, 0);  // count lines, not screen rows
    ASSERT_EQ(Load(File("borders.txt", text)), 1);
    EXPECT_EQ(SendMessageA(Editor(), EM_GETLINECOUNT, 0, 0), 5);
    EXPECT_EQ(Text(TEXT_PLAIN), text);
}

TEST_F(DocumentFileTest, LongTextsGoInByPiecesExactlyAsTheyAre)
{
    // More lines than one piece holds, some beginning with a brace or like RTF.
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += i % 1000 == 999 ? "{\\rtf1 not read as RTF}\r\n"
                : i % 3 == 1  ? "{brace " + std::to_string(i) + "}\r\n"
                              : "line " + std::to_string(i) + "\r\n";
    text += "end";
    ASSERT_LT(PieceEnd(text.data(), text.size(), 0), text.size());
    auto wide = [](const std::string &utf8) {
        std::u16string result(utf8.size(), u'\0');
        result.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(),
                                          (wchar_t *)&result[0], (int)result.size()));
        return result;
    };
    auto unicodeText = [&]() {
        size_t units = 0;
        char16_t *read = GetUnicodeText(Editor(), &units);
        std::u16string result(read ? read : u"", units);
        delete[] read;
        return result;
    };
    // 8-bit text, then UTF-8 (which goes to the control as UTF-16).
    for (const std::string &bytes : {text, "\xEF\xBB\xBF" + text + " caf\xC3\xA9"}) {
        bool marked = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
        std::u16string expected = wide(marked ? bytes.substr(3) : bytes);
        ASSERT_EQ(Load(File("long.txt", bytes)), 1);
        EXPECT_TRUE(unicodeText() == expected);
        EXPECT_FALSE(SendMessageA(Editor(), EM_GETMODIFY, 0, 0));
        EXPECT_EQ(Selection().cpMax, 0);
        EXPECT_EQ(SendMessageA(Editor(), EM_CANUNDO, 0, 0), 0);
        // Undo works again after the load.
        SendMessageA(Editor(), EM_REPLACESEL, TRUE, (LPARAM) "typed");
        SendMessageA(Editor(), EM_UNDO, 0, 0);
        EXPECT_TRUE(unicodeText() == expected);
    }

    // Appended by pieces: all of it after the text before, and undone to it. Each piece
    // is an undo step here; the program's own control takes it back in one (its text
    // before is kept). Fewer, longer lines: Wine's control removes many lines slowly.
    std::string paragraph, paragraphs;
    for (int word = 0; word < 60; ++word)
        paragraph += "word ";
    for (int i = 0; i < 1000; ++i)
        paragraphs += (i % 2 ? "{" : "") + paragraph + "\r\n";
    ASSERT_LT(PieceEnd(paragraphs.data(), paragraphs.size(), 0), paragraphs.size());
    EditorControl.Empty();  // a new control: Wine empties 20,000 lines slowly
    for (bool screened : {false, true}) {
        if (screened)
            EditorControl.ScreenPastes();
        SetText("first\r\n");
        SendMessageA(Editor(), EM_SETMODIFY, FALSE, 0);
        ASSERT_EQ(Load(File("more.txt", paragraphs), 0, true), 1);
        EXPECT_TRUE(Text(TEXT_PLAIN) == "first\r\n" + paragraphs) << screened;
        EXPECT_TRUE(SendMessageA(Editor(), EM_GETMODIFY, 0, 0));
        int undos = 0;
        while (SendMessageA(Editor(), EM_CANUNDO, 0, 0) && undos < 200) {
            SendMessageA(Editor(), EM_UNDO, 0, 0);
            ++undos;
        }
        EXPECT_EQ(Text(TEXT_PLAIN), "first\r\n") << screened;
        EXPECT_EQ(undos > 1, !screened) << undos;
    }
}
