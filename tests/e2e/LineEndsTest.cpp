// Line ends with the real program: files keep theirs through typing and saving in every
// text format, the Line Ends menu converts, and the status bar names format and style.
#include <gtest/gtest.h>

#include "Driver.h"
#include "tests/common/FileBytes.h"
#include <commdlg.h>
#include <richedit.h>
#include <string>

namespace {

const int SAVE = 40008, PLAIN_TEXT = 40038, RICH_TEXT = 40040;
const int LINE_ENDS_CRLF = 40100, LINE_ENDS_LF = 40101, LINE_ENDS_CR = 40102;

std::string Folder()
{
    return TempFolder("ow e2e line ends");
}

enum Encoding { ANSI, UTF8, UTF16_LE, UTF16_BE };

// The file bytes of a text (characters up to U+FFFF) in an encoding.
std::string Encode(const std::u16string &text, Encoding encoding)
{
    std::string bytes;
    if (encoding == UTF16_LE)
        bytes = "\xFF\xFE";
    if (encoding == UTF16_BE)
        bytes = "\xFE\xFF";
    for (char16_t c : text) {
        if (encoding == ANSI) {
            bytes += (char)c;
        } else if (encoding == UTF8) {
            if (c < 0x80) {
                bytes += (char)c;
            } else if (c < 0x800) {
                bytes += (char)(0xC0 | c >> 6);
                bytes += (char)(0x80 | (c & 0x3F));
            } else {
                bytes += (char)(0xE0 | c >> 12);
                bytes += (char)(0x80 | (c >> 6 & 0x3F));
                bytes += (char)(0x80 | (c & 0x3F));
            }
        } else {
            char low = (char)(c & 0xFF), high = (char)(c >> 8);
            bytes += encoding == UTF16_LE ? low : high;
            bytes += encoding == UTF16_LE ? high : low;
        }
    }
    return bytes;
}

class LineEndsTest : public ::testing::Test {
protected:
    std::string folder = Folder();
    RunningProgram program = {};
    HWND editor = 0, status = 0;

    void SetUp() override
    {
        ClearSection("win.ini", "OrvelloWord");
        program = StartProgram("", "OrvelloWord");
        ASSERT_TRUE(program.main);
        editor = FindChild(program.main, "RichEdit20A");
        status = FindChild(program.main, "msctls_statusbar32");
        ASSERT_TRUE(editor && status);
    }

    void TearDown() override
    {
        if (!program.process.hProcess)
            return;
        SendMessageA(Editor(), EM_SETMODIFY, FALSE, 0);
        CloseProgram(program);
        ClearSection("win.ini", "OrvelloWord");
    }

    // The editor may be replaced by a new control when a long document is emptied.
    HWND Editor()
    {
        editor = FindChild(program.main, "RichEdit20A");
        return editor;
    }

    // Opens a file through the Open dialog, answering Yes to the 16-bit question.
    bool Open(const std::string &path)
    {
        PostMessageA(program.main, WM_COMMAND, 40006, 0);
        HWND dialog = WaitForDialog("Open");
        HWND name = dialog ? FileNameField(dialog) : 0;
        if (!name)
            return false;
        SendMessageA(name, WM_SETTEXT, 0, (LPARAM)path.c_str());
        PressButton(dialog, IDOK);
        if (HWND question = WaitForMessageBox("OrvelloWord", "Multi-Byte", 1500))
            PressButton(question, IDYES);
        return WaitForWindowText(program.main, TitleFor(path)) == TitleFor(path);
    }

    // As the keyboard types at a position: Enter arrives as a key, the rest as characters.
    void TypeAt(int position, const char *text)
    {
        SendMessageA(Editor(), EM_SETSEL, position, position);
        for (; *text; ++text) {
            if (*text == '\r') {
                SendMessageA(editor, WM_KEYDOWN, VK_RETURN, 0);
                SendMessageA(editor, WM_KEYUP, VK_RETURN, 0xC0000000);
            } else {
                SendMessageA(editor, WM_CHAR, (unsigned char)*text, 0);
            }
        }
    }

    void Command(int id) { SendMessageA(program.main, WM_COMMAND, id, 0); }

    std::string Status() { return StatusPartText(status, 1); }

    bool Modified() { return SendMessageA(Editor(), EM_GETMODIFY, 0, 0) != 0; }
};

}  // namespace

TEST_F(LineEndsTest, TypedIntoAndSavedEveryLineEndStaysInEveryFormat)
{
    const struct { Encoding encoding; const char *name; } encodings[] = {
        {ANSI, "ANSI"}, {UTF8, "UTF-8"}, {UTF16_LE, "UTF-16 LE"}, {UTF16_BE, "UTF-16 BE"},
    };
    const struct { const char16_t *eol; const char *name; } styles[] = {
        {u"\r\n", "CR LF"}, {u"\n", "LF"}, {u"\r", "CR"},
    };
    for (const auto &e : encodings) {
        for (const auto &s : styles) {
            std::u16string eol = s.eol;
            // UTF-8 is recognised by its multi-byte characters; 8-bit text is in the
            // code page.
            std::u16string first = e.encoding == ANSI ? u"caf\u00e9 one" : u"caf\u00e9 \u20ac one";
            std::u16string file = first + eol + u"two" + eol + u"three" + eol;
            std::string path = folder + e.name + " " + s.name + ".txt";
            ASSERT_TRUE(WriteBytes(path, Encode(file, e.encoding)));
            ASSERT_TRUE(Open(path)) << path;
            EXPECT_EQ(Status(), std::string(e.name) + " | " + s.name) << path;

            // A character at the start, and a line broken by Enter in the middle.
            TypeAt(0, "X");
            int two = (int)first.size() + 2;  // "X", the first line, its paragraph end
            TypeAt(two + 2, "\r");
            EXPECT_TRUE(Modified());
            Command(SAVE);
            std::u16string saved = u"X" + first + eol + u"tw" + eol + u"o" + eol + u"three" + eol;
            EXPECT_TRUE(WaitForBytes(path, Encode(saved, e.encoding)))
                << path << ": " << ReadBytes(path);
            EXPECT_FALSE(Modified()) << path;
        }
    }
}

TEST_F(LineEndsTest, AFileWithoutAFinalLineEndGetsNone)
{
    const char *styles[] = {"\r\n", "\n", "\r"};
    for (const char *eol : styles) {
        std::string path = folder + "no final.txt";
        std::string file = std::string("a") + eol + "b" + eol + "c";
        ASSERT_TRUE(WriteBytes(path, file));
        ASSERT_TRUE(Open(path));
        TypeAt(0, "X");
        TypeAt(1 << 20, "d");  // at the very end, still without a line end
        Command(SAVE);
        EXPECT_TRUE(WaitForBytes(path, "X" + file + "d")) << ReadBytes(path);
    }
}

TEST_F(LineEndsTest, PastedLineEndsAreSavedInTheDocumentsStyle)
{
    std::string path = folder + "pasted.txt";
    ASSERT_TRUE(WriteBytes(path, "unix\nfile\n"));
    ASSERT_TRUE(Open(path));
    ASSERT_TRUE(SetClipboardText("p1\r\np2\rp3\r\r\n"));
    SendMessageA(Editor(), EM_SETSEL, 2, 2);
    Command(40014);  // Paste, into the first line
    EXPECT_TRUE(Modified());
    Command(SAVE);
    EXPECT_TRUE(WaitForBytes(path, "unp1\np2\np3\n\nix\nfile\n")) << ReadBytes(path);
    EXPECT_EQ(Status(), "ANSI | LF");
}

TEST_F(LineEndsTest, AMixedFileIsSavedInItsMajorityStyleAndTheStatusBarSaysSo)
{
    std::string path = folder + "mixed.txt";
    ASSERT_TRUE(WriteBytes(path, "a\nb\r\nc\nd\re\n"));
    ASSERT_TRUE(Open(path));
    EXPECT_EQ(Status(), "ANSI | LF (was mixed)");
    EXPECT_FALSE(Modified());
    Command(SAVE);
    EXPECT_TRUE(WaitForBytes(path, "a\nb\nc\nd\ne\n")) << ReadBytes(path);
    EXPECT_EQ(Status(), "ANSI | LF");
}

TEST_F(LineEndsTest, TheLineEndsMenuConvertsAndMarksTheDocumentModified)
{
    std::string path = folder + "convert.txt";
    ASSERT_TRUE(WriteBytes(path, "one\r\ntwo\r\n"));
    ASSERT_TRUE(Open(path));
    Command(LINE_ENDS_CRLF);
    EXPECT_FALSE(Modified()) << "the style it has already changes nothing";

    Command(LINE_ENDS_LF);
    EXPECT_TRUE(Modified());
    EXPECT_EQ(Status(), "ANSI | LF");
    Command(SAVE);
    EXPECT_TRUE(WaitForBytes(path, "one\ntwo\n")) << ReadBytes(path);

    Command(LINE_ENDS_CR);
    EXPECT_EQ(Status(), "ANSI | CR");
    Command(SAVE);
    EXPECT_TRUE(WaitForBytes(path, "one\rtwo\r")) << ReadBytes(path);
    // The next file brings its own style.
    std::string other = folder + "convert other.txt";
    ASSERT_TRUE(WriteBytes(other, "x\ny\n"));
    ASSERT_TRUE(Open(other));
    EXPECT_EQ(Status(), "ANSI | LF");
}

TEST_F(LineEndsTest, StatusBarFollowsNewDocumentsSaveAsAndTextModes)
{
    EXPECT_EQ(Status(), "ANSI | CR LF");
    TypeAt(0, "line\rnext");
    EXPECT_EQ(WindowText(status), "Ln 2, col 5") << "the line and column keep their own part";

    std::string path = folder + "status.txt";
    DeleteFileA(path.c_str());
    ASSERT_TRUE(SaveAsThroughDialog(program.main, path, 3));  // Unicode (little endian)
    EXPECT_TRUE(WaitForBytes(path, Encode(u"line\r\nnext", UTF16_LE)));
    EXPECT_EQ(Status(), "UTF-16 LE | CR LF");
    path = folder + "status utf8.txt";
    DeleteFileA(path.c_str());
    ASSERT_TRUE(SaveAsThroughDialog(program.main, path, 5));  // UTF-8
    EXPECT_EQ(Status(), "UTF-8 | CR LF");

    Command(RICH_TEXT);
    EXPECT_EQ(Status(), "Rich Text");
    Command(PLAIN_TEXT);
    EXPECT_EQ(Status(), "UTF-8 | CR LF");

    Command(LINE_ENDS_LF);
    EXPECT_EQ(Status(), "UTF-8 | LF");
    Command(SAVE);
    EXPECT_TRUE(WaitForBytes(path, "line\nnext")) << ReadBytes(path);
    Command(40015);  // New: the document was saved, so no question
    EXPECT_EQ(Status(), "UTF-8 | CR LF") << "a new document has CR LF and keeps the format";
}

