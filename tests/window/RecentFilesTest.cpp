// The recent file list against a real File menu and a real profile file.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>

#include "document/RecentFiles.h"

namespace {

const UINT Commands[4] = {40000, 40001, 40002, 40003};

class RecentFilesTest : public ::testing::Test {
protected:
    HWND owner = 0;
    HMENU menu = 0;
    std::string folder, ini;
    std::string pair;

    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        folder = std::string(temp) + "owrecent\\";
        CreateDirectoryA(folder.c_str(), 0);
        ini = folder + "recent.ini";
        DeleteFileA(ini.c_str());
        pair = ini + std::string(1, '\0') + "OrvelloWord" + std::string(1, '\0');
        owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED, 0, 0, 100, 100, 0, 0, 0, 0);
        menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, 40006, "&Open...");
        AppendMenuA(menu, MF_SEPARATOR, 0, 0);
        AppendMenuA(menu, MF_STRING | MF_GRAYED, 40000, "Recent File");
        AppendMenuA(menu, MF_SEPARATOR, 0, 0);
        AppendMenuA(menu, MF_STRING, 40005, "E&xit");
    }

    void TearDown() override
    {
        RecentFileList.owner = 0;
        DestroyMenu(menu);
        DestroyWindow(owner);
    }

    std::string Existing(const char *name)
    {
        std::string path = folder + name;
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0);
        CloseHandle(file);
        return path;
    }

    void Start(bool verify = true)
    {
        InitRecentFiles(owner, 4, Commands, pair.c_str(), verify, menu);
    }

    std::vector<std::string> Entries()
    {
        std::vector<std::string> entries;
        for (int i = 0; i < 4; ++i)
            entries.push_back(GetRecentFile(i));
        return entries;
    }

    // The menu as "id:text" lines between Open's separator and Exit's.
    std::vector<std::string> MenuItems()
    {
        std::vector<std::string> items;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[300] = "";
            GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
            UINT id = GetMenuItemID(menu, i);
            if (id >= 40000 && id <= 40003) {
                std::string item = std::to_string(id) + ":" + text;
                if (GetMenuState(menu, i, MF_BYPOSITION) & MF_GRAYED)
                    item += " (grayed)";
                items.push_back(item);
            }
        }
        return items;
    }

    std::string Stored(const char *key)
    {
        char value[300];
        GetPrivateProfileStringA("OrvelloWord", key, "<none>", value, sizeof value, ini.c_str());
        return value;
    }
};

}  // namespace

TEST_F(RecentFilesTest, EmptyListShowsOneGrayedItem)
{
    Start();
    EXPECT_EQ(MenuItems(), std::vector<std::string>({"40000:Recent File (grayed)"}));
    EXPECT_EQ(GetMenuItemCount(menu), 5);
    EXPECT_EQ(std::string(GetRecentFile(0)), "");
    EXPECT_EQ(std::string(GetRecentFile(4)), "");
    EXPECT_EQ(std::string(GetRecentFile(-1)), "");
}

TEST_F(RecentFilesTest, FifthFileDropsTheOldestAndItemsFollowTheList)
{
    Start();
    const char *names[] = {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"};
    std::vector<std::string> paths;
    for (const char *name : names) {
        paths.push_back(Existing(name));
        PushRecentFile(paths.back().c_str());
    }
    EXPECT_EQ(Entries(), std::vector<std::string>({paths[4], paths[3], paths[2], paths[1]}));
    std::string where = folder.substr(0, folder.size() - 1);
    EXPECT_EQ(MenuItems(), std::vector<std::string>({
                               "40000:&1 e.txt\t(" + where + ")",
                               "40001:&2 d.txt\t(" + where + ")",
                               "40002:&3 c.txt\t(" + where + ")",
                               "40003:&4 b.txt\t(" + where + ")",
                           }));
    // The items stand where "Recent File" stood, between the two separators.
    EXPECT_EQ(GetMenuItemID(menu, 2), 40000u);
    EXPECT_EQ(GetMenuItemID(menu, 5), 40003u);
    EXPECT_EQ(GetMenuItemCount(menu), 8);
}

TEST_F(RecentFilesTest, SamePathInOtherLetterCaseMovesUpWithoutDuplicate)
{
    Start();
    std::string a = Existing("a.txt"), b = Existing("b.txt");
    PushRecentFile(a.c_str());
    PushRecentFile(b.c_str());
    std::string shouted = a;
    CharUpperA(&shouted[0]);
    PushRecentFile(shouted.c_str());
    EXPECT_EQ(Entries(), std::vector<std::string>({shouted, b, "", ""}));
    EXPECT_EQ(MenuItems().size(), 2u);
}

TEST_F(RecentFilesTest, RemovingCompactsTheList)
{
    Start();
    std::string a = Existing("a.txt"), b = Existing("b.txt"), c = Existing("c.txt");
    PushRecentFile(a.c_str());
    PushRecentFile(b.c_str());
    PushRecentFile(c.c_str());
    RemoveRecentFile(b.c_str());
    EXPECT_EQ(Entries(), std::vector<std::string>({c, a, "", ""}));
    RemoveRecentFile(c.c_str());
    RemoveRecentFile(a.c_str());
    EXPECT_EQ(MenuItems(), std::vector<std::string>({"40000:Recent File (grayed)"}));
}

TEST_F(RecentFilesTest, KeysAreWrittenAtTheEndAndVanishedFilesDroppedAtStart)
{
    Start();
    std::string a = Existing("a.txt"), b = Existing("b.txt"), c = Existing("c.txt");
    PushRecentFile(a.c_str());
    PushRecentFile(b.c_str());
    PushRecentFile(c.c_str());
    SaveRecentFiles();
    EXPECT_EQ(Stored("MRU0"), c);
    EXPECT_EQ(Stored("MRU1"), b);
    EXPECT_EQ(Stored("MRU2"), a);
    EXPECT_EQ(Stored("MRU3"), "");
    // Not in use any more: nothing changes.
    PushRecentFile(a.c_str());
    EXPECT_EQ(std::string(GetRecentFile(0)), "");

    DeleteFileA(b.c_str());
    Start();
    EXPECT_EQ(Entries(), std::vector<std::string>({c, a, "", ""}));
    EXPECT_EQ(MenuItems().size(), 2u);

    // Without verifying, the entry of a missing file stays.
    DeleteFileA(a.c_str());
    InitRecentFiles(owner, 4, Commands, pair.c_str(), false, menu);
    EXPECT_EQ(Entries(), std::vector<std::string>({c, a, "", ""}));
}
