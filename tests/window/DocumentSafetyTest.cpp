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
