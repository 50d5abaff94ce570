// The spell checker's folder texts: a registry answer ended at its size, and the folder
// the word list goes in.
#include <gtest/gtest.h>

#include <string.h>
#include <string>

#include "spell/FolderText.h"

TEST(FolderText, RegistryAnswerEndsAtTheSizeRead)
{
    struct Case {
        const char *before;  // the buffer as an earlier answer left it
        const char *stored;  // bytes the registry wrote, maybe without a zero
        size_t size;         // what it said it wrote
        const char *expected;
    };
    const Case cases[] = {
        {"C:\\Users\\someone\\Application Data", "C:\\short", 8, "C:\\short"},
        {"C:\\Users\\someone\\Application Data", "C:\\short", 9, "C:\\short"},  // with its zero
        {"D:\\old", "", 0, ""},
        {"D:\\old", "E:", 2, "E:"},
        {"", "C:\\a", 4, "C:\\a"},
    };
    for (const Case &c : cases) {
        char buffer[64];
        memset(buffer, 'x', sizeof buffer);
        memcpy(buffer, c.before, strlen(c.before) + 1);
        memcpy(buffer, c.stored, c.size);  // the registry writes size bytes, nothing more
        EXPECT_EQ(EndRegistryString(buffer, sizeof buffer, c.size), strlen(c.expected)) << c.stored;
        EXPECT_STREQ(buffer, c.expected) << c.stored;
    }
    // A size that fills or passes the buffer keeps what fits, terminated.
    char full[8];
    memcpy(full, "ABCDEFGH", 8);
    EXPECT_EQ(EndRegistryString(full, sizeof full, 8), 7u);
    EXPECT_STREQ(full, "ABCDEFG");
    EXPECT_EQ(EndRegistryString(full, sizeof full, 500), 7u);
    EXPECT_EQ(EndRegistryString(full, 0, 3), 0u);
}

TEST(FolderText, FullFolderPaths)
{
    const struct { const char *folder; bool full; } cases[] = {
        {"C:\\Users\\a\\AppData\\Roaming", true}, {"c:\\", true}, {"Z:/tmp", true},
        {"\\\\server\\share", true}, {"", false}, {"\\", false}, {"\\OrvelloWord", false},
        {"C:", false}, {"C:relative", false}, {"relative\\path", false}, {"\\\\", false},
        {"\\\\\\x", false}, {"1:\\x", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(IsFullFolderPath(c.folder), c.full) << c.folder;
    EXPECT_FALSE(IsFullFolderPath(nullptr));
}

TEST(FolderText, WordListFolderIsAppDataElseTheProgramsOwn)
{
    const struct {
        const char *appData, *program;
        bool found;
        const char *folder;
    } cases[] = {
        {"C:\\Users\\a\\AppData\\Roaming", "C:\\Apps\\OrvelloWord.exe", true,
         "C:\\Users\\a\\AppData\\Roaming"},
        {"C:\\Data\\", "C:\\Apps\\OrvelloWord.exe", true, "C:\\Data"},
        // No application-data folder: never "\OrvelloWord" at the drive's root.
        {"", "C:\\Apps\\OrvelloWord.exe", true, "C:\\Apps"},
        {"relative", "D:\\x\\y\\OrvelloWord.exe", true, "D:\\x\\y"},
        {"", "C:\\OrvelloWord.exe", true, "C:"},
        {"", "\\\\server\\tools\\OrvelloWord.exe", true, "\\\\server\\tools"},
        // Neither: the list cannot be kept.
        {"", "", false, ""},
        {"", "OrvelloWord.exe", false, ""},
        {nullptr, nullptr, false, ""},
    };
    for (const auto &c : cases) {
        char out[260] = "stale";
        EXPECT_EQ(WordListBaseFolder(c.appData, c.program, out, sizeof out), c.found)
            << (c.appData ? c.appData : "(null)");
        EXPECT_STREQ(out, c.folder);
    }
    char small[8] = "stale";
    EXPECT_FALSE(WordListBaseFolder("C:\\Long\\Folder", "", small, sizeof small));
    EXPECT_STREQ(small, "");
}
