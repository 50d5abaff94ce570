// What the real program cannot be made to do from outside: appending by the Ctrl
// choice, and memory running out while saving.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdint.h>
#include <string>

#include "EditorWindow.h"
#include "ModalAnswer.h"
#include "tests/common/FileBytes.h"
#include "app/MainWindow.h"
#include "document/Document.h"
#include "document/FileFormats.h"
#include "document/FileView.h"
#include "document/LoadCost.h"
#include "document/OpenDocument.h"
#include "document/SaveDocument.h"

namespace {

class DocumentSafetyTest : public EditorWindowTest {
protected:
    std::string File(const char *name, const std::string &bytes)
    {
        char folder[MAX_PATH];
        GetTempPathA(sizeof folder, folder);
        std::string path = std::string(folder) + name;
        EXPECT_TRUE(WriteBytes(path, bytes));
        return path;
    }

    void SetUp() override
    {
        EditorWindowTest::SetUp();
        EditorControl.SetTextMode(TEXT_PLAIN);
    }

    void TearDown() override
    {
        ModalAnswer::Stop();
        EditorWindowTest::TearDown();
    }
};

}  // namespace

TEST_F(DocumentSafetyTest, AppendingToAnEmptyNamedDocumentLeavesItModified)
{
    std::string data = File("appended.txt", "appended data");
    lstrcpynA(CurrentDocumentPath, "C:\\named.txt", sizeof CurrentDocumentPath);
    // A later file of a drop keeps the first one's choice: "Append File Data".
    DropIndex = 1;
    OpenChoice = 2;
    EXPECT_EQ(OpenDocument(parent, data.c_str()), 1);
    DropIndex = 0;
    EXPECT_EQ(Text(TEXT_PLAIN), "appended data");
    EXPECT_NE(SendMessageA(Editor(), EM_GETMODIFY, 0, 0), 0) << "the change is offered for saving";
    EXPECT_EQ(std::string(CurrentDocumentPath), "C:\\named.txt");
    CurrentDocumentPath[0] = 0;
}

TEST_F(DocumentSafetyTest, RunningOutOfMemoryWhileSavingKeepsDocumentAndFile)
{
    const std::string old = "the old file\r\n", text(6000, 'x');
    std::string path = File("memory.txt", old);
    SetText(text.c_str());
    SendMessageA(Editor(), EM_SETMODIFY, TRUE, 0);
    // Where each format runs out: the text copy, the RTF stream, and the file bytes
    // (room for the UTF-16 copy of the text, not for those bytes and their mark).
    const struct { int format; size_t limit; } cases[] = {
        {FORMAT_PLAIN, 3000}, {FORMAT_RICH, 5000}, {FORMAT_UNICODE_LE, 2 * (text.size() + 1)}};
    for (const auto &c : cases) {
        DocumentFormat = c.format;
        TextBufferLimit = c.limit;
        ModalAnswer::Expect(IDOK);
        EXPECT_EQ(SaveDocument(parent, path.c_str()), 0) << "format " << c.format;
        TextBufferLimit = SIZE_MAX;
        EXPECT_EQ(ModalAnswer::text, "Failed to save file.");
        EXPECT_EQ(ReadBytes(path), old);
        EXPECT_EQ(Text(TEXT_PLAIN), text);
        EXPECT_NE(SendMessageA(Editor(), EM_GETMODIFY, 0, 0), 0);
    }
    DocumentFormat = FORMAT_PLAIN;
}

// A text that would cost the control more than the memory it may have never goes in
// whole: opened, it is shown as a read-only view of the file; appended, only its first
// whole lines go in, exactly as the file has them, and the user is told. One that fits
// comes in whole, keeps its name and saves back byte for byte.
TEST_F(DocumentSafetyTest, TextBeyondTheMemoryBudgetNeverGoesInWhole)
{
    std::u16string log, cyrillic;
    for (int i = 0; i < 3000; ++i) {
        std::string line = "2026-12-09 03:56:" + std::to_string(10 + i % 50) +
                           ".123 [worker-17] /srv/h.cpp:" + std::to_string(i) + "\r\n";
        log.append(line.begin(), line.end());
        cyrillic += u"\u0440\u0435\u043A\u0430 \U0001F600 " + std::u16string(1, u'0' + i % 10) +
                    u"\n";
    }
    auto utf8 = [](const std::u16string &text) {
        std::string bytes(text.size() * 4, '\0');
        bytes.resize(WideCharToMultiByte(CP_UTF8, 0, (const wchar_t *)text.data(),
                                         (int)text.size(), &bytes[0], (int)bytes.size(), 0, 0));
        return bytes;
    };
    auto utf16 = [](const std::u16string &text, bool bigEndian) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (char16_t unit : text) {
            char high = (char)(unit >> 8), low = (char)(unit & 0xFF);
            bytes += bigEndian ? std::string{high, low} : std::string{low, high};
        }
        return bytes;
    };
    enum Outcome { WHOLE, VIEW, FIRST_LINES };
    const struct {
        const char *name;
        std::u16string text;
        std::string bytes;
        double share;  // of the text's estimated cost the budget allows
        bool append;
        Outcome outcome;
    } cases[] = {
        {"8-bit log, CR LF, appended", log, utf8(log), 0.4, true, FIRST_LINES},
        {"UTF-8 with surrogate pairs, LF, appended", cyrillic, "\xEF\xBB\xBF" + utf8(cyrillic),
         0.3, true, FIRST_LINES},
        {"8-bit log, opened", log, utf8(log), 0.4, false, VIEW},
        {"UTF-8, opened", cyrillic, "\xEF\xBB\xBF" + utf8(cyrillic), 0.3, false, VIEW},
        {"UTF-16 LE, opened", cyrillic, utf16(cyrillic, false), 0.3, false, VIEW},
        {"UTF-16 BE, opened", cyrillic, utf16(cyrillic, true), 0.3, false, VIEW},
        {"8-bit log that fits", log, utf8(log), 1.5, false, WHOLE},
        {"UTF-8 that fits", cyrillic, "\xEF\xBB\xBF" + utf8(cyrillic), 1.5, false, WHOLE},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        CloseFileView();
        SetText("");
        CurrentDocumentPath[0] = 0;
        std::string path = File("budget.txt", c.bytes);
        TextCost cost = CountTextCost(c.text.data(), c.text.size());
        LoadMemoryLimit = EstimatedControlBytes(cost) * c.share;
        ModalAnswer::Expect(IDOK);
        // A later file of a drop keeps the first one's choice: "Append File Data".
        DropIndex = c.append ? 1 : 0;
        OpenChoice = c.append ? 2 : 0;
        int opened = OpenDocument(parent, path.c_str());
        DropIndex = 0;
        ModalAnswer::Stop();
        LoadMemoryLimit = MOST_CONTROL_BYTES;
        ASSERT_EQ(opened, 1);

        size_t units = 0;
        char16_t *held = GetUnicodeText(Editor(), &units);
        ASSERT_TRUE(held);
        std::u16string in(held, units);
        delete[] held;
        // The control's line ends read back as CR LF.
        std::u16string expected;
        for (char16_t ch : c.text)
            expected += ch == u'\n' && (expected.empty() || expected.back() != u'\r')
                            ? std::u16string(u"\r\n")
                            : std::u16string(1, ch);
        if (c.outcome == WHOLE) {
            EXPECT_EQ(ModalAnswer::shown, 0) << ModalAnswer::text;
            EXPECT_FALSE(IsFileViewOpen());
            EXPECT_TRUE(in == expected) << "the whole text";
            EXPECT_EQ(std::string(CurrentDocumentPath), path);
            ASSERT_EQ(SaveDocument(parent, path.c_str()), 1);
            EXPECT_EQ(ReadBytes(path), c.bytes);
            continue;
        }
        if (c.outcome == VIEW) {
            EXPECT_EQ(ModalAnswer::shown, 0) << ModalAnswer::text;
            EXPECT_TRUE(IsFileViewOpen());
            EXPECT_EQ(std::string(CurrentDocumentPath), path);
            EXPECT_FALSE(in.empty());
            EXPECT_TRUE(in == expected.substr(0, in.size())) << "the file's first lines";
            continue;
        }
        size_t lines = 0;
        for (char16_t ch : in)
            lines += ch == u'\n';
        EXPECT_EQ(ModalAnswer::text,
                  "File is too large for the memory the editor has left: only its first " +
                      std::to_string(lines) + " lines were appended.");
        EXPECT_GT(in.size(), expected.size() * c.share / 2);
        EXPECT_LT(in.size(), expected.size() * c.share * 1.1);
        ASSERT_GE(in.size(), 2u);
        EXPECT_EQ(in.substr(in.size() - 2), u"\r\n") << "whole lines";
        EXPECT_TRUE(in == expected.substr(0, in.size())) << "exactly the file's first lines";
    }
    CloseFileView();
    OpenChoice = 0;
    CurrentDocumentPath[0] = 0;
}

// While a long text goes in by pieces, keys typed change nothing; Esc stops the load,
// and what is in (exactly the file's first lines) stays as an untitled document, so that
// no save can cut the file down to it.
TEST_F(DocumentSafetyTest, EscStopsALoadWithItsFirstLinesUntitledAndKeysChangeNothing)
{
    std::string text, expected;
    for (int i = 0; i < 60000; ++i) {
        std::string line = "line " + std::to_string(i);
        text += line + (i % 2 ? "\r\n" : "\n");
        expected += line + "\r\n";
    }
    std::string path = File("escape.txt", text);
    const struct {
        const char *name;
        bool esc;
    } cases[] = {{"keys typed", false}, {"Esc", true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        // Emptied as the program does: Wine's control takes minutes to remove 60,000 lines.
        EditorControl.Empty();
        CurrentDocumentPath[0] = 0;
        // Typed before the load could take them: they wait in the queue.
        PostMessageA(Editor(), WM_KEYDOWN, 'Y', 0);
        PostMessageA(Editor(), WM_CHAR, 'x', 0);
        if (c.esc)
            PostMessageA(Editor(), WM_KEYDOWN, VK_ESCAPE, 0);
        ASSERT_EQ(OpenDocument(parent, path.c_str()), 1);
        MSG message;
        while (PeekMessageA(&message, 0, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        std::string in = Text(TEXT_PLAIN);
        EXPECT_EQ(in.find('x'), std::string::npos) << "a key typed during the load";
        EXPECT_EQ(SendMessageA(Editor(), EM_GETMODIFY, 0, 0), 0);
        if (!c.esc) {
            EXPECT_TRUE(in == expected) << in.size() << " of " << expected.size();
            EXPECT_EQ(std::string(CurrentDocumentPath), path);
            continue;
        }
        ASSERT_GT(in.size(), 2u);
        EXPECT_LT(in.size(), expected.size());
        EXPECT_EQ(in.substr(in.size() - 2), "\r\n") << "whole lines";
        EXPECT_TRUE(expected.compare(0, in.size(), in) == 0) << "exactly the file's first lines";
        EXPECT_EQ(CurrentDocumentPath[0], 0) << "untitled";
    }
    CurrentDocumentPath[0] = 0;
}
