#include <gtest/gtest.h>
#include <string.h>
#include <string>

#include "app/App.h"
#include "app/Settings.h"
#include "app/Toolbar.h"

namespace {

std::string TempIni(const char *name)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::string path = std::string(folder) + name;
    DeleteFileA(path.c_str());
    return path;
}

std::string ReadKey(const std::string &file, const char *key)
{
    char value[256];
    GetPrivateProfileStringA("Test", key, "<none>", value, sizeof value, file.c_str());
    return value;
}

// Sets the file's write time far into the past, so a later write shows.
void AgeFile(const std::string &file)
{
    HANDLE h = CreateFileA(file.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           0, OPEN_EXISTING, 0, 0);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    FILETIME old = {0, 0x01A00000};
    SetFileTime(h, 0, 0, &old);
    CloseHandle(h);
}

DWORD WriteTimeHigh(const std::string &file)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return data.ftLastWriteTime.dwHighDateTime;
}

}  // namespace

TEST(WindowStateText, FractionsOfTheScreen)
{
    WindowStateValues v = ParseWindowState("0.25,0.05,0.75,0.95,1,1,1", 1920, 1080);
    EXPECT_EQ(v.normal.left, 480);
    EXPECT_EQ(v.normal.top, 54);
    EXPECT_EQ(v.normal.right, 1440);
    EXPECT_EQ(v.normal.bottom, 1026);
    EXPECT_EQ(v.show, 1);
    EXPECT_EQ(v.toolbar, 1);
    EXPECT_EQ(v.status, 1);

    v = ParseWindowState("0.80,0.00,1.00,0.50,1,-1,0", 1280, 1024);
    EXPECT_EQ(v.normal.left, 1024);
    EXPECT_EQ(v.normal.right, 1280);
    EXPECT_EQ(v.normal.bottom, 512);
    EXPECT_EQ(v.toolbar, -1);
    EXPECT_EQ(v.status, 0);
}

TEST(WindowStateText, PixelsWithoutADecimalPoint)
{
    WindowStateValues v = ParseWindowState("100,50,900,700,3,0,1", 1920, 1080);
    EXPECT_EQ(v.normal.left, 100);
    EXPECT_EQ(v.normal.top, 50);
    EXPECT_EQ(v.normal.right, 900);
    EXPECT_EQ(v.normal.bottom, 700);
    EXPECT_EQ(v.show, 3);
    EXPECT_EQ(v.toolbar, 0);
    EXPECT_EQ(v.status, 1);
}

TEST(WindowStateText, UnparsableFieldsStayZero)
{
    const char *texts[] = {"", "garbage", "0.5,0.5", "1,2,x,4,5,6,7"};
    for (const char *text : texts) {
        WindowStateValues v = ParseWindowState(text, 1000, 1000);
        EXPECT_EQ(v.status, 0) << text;
        EXPECT_EQ(v.normal.bottom, 0) << text;
    }
    WindowStateValues half = ParseWindowState("0.5,0.5", 1000, 800);
    EXPECT_EQ(half.normal.left, 500);
    EXPECT_EQ(half.normal.top, 400);
    EXPECT_EQ(half.normal.right, 0);
}

TEST(WindowStateText, WrittenAsFractionsAndReadBack)
{
    WindowStateValues v = {{480, 54, 1440, 1026}, 1, 1, 0};
    char text[128];
    FormatWindowState(v, 1920, 1080, text, sizeof text);
    EXPECT_STREQ(text, "0.2500,0.0500,0.7500,0.9500,1,1,0");

    WindowStateValues odd = {{7, 3, 1283, 1021}, 3, 0, 1};
    FormatWindowState(odd, 1280, 1024, text, sizeof text);
    WindowStateValues back = ParseWindowState(text, 1280, 1024);
    EXPECT_EQ(back.normal.left, 7);
    EXPECT_EQ(back.normal.top, 3);
    EXPECT_EQ(back.normal.right, 1283);
    EXPECT_EQ(back.normal.bottom, 1021);
    EXPECT_EQ(back.show, 3);
}

TEST(ProfileWriters, SameValueIsWrittenOnce)
{
    std::string file = TempIni("orvello-writers.ini");
    ASSERT_TRUE(WriteProfileIntIfChanged(file.c_str(), "Test", "Wrap", 112));
    EXPECT_EQ(ReadKey(file, "Wrap"), "112");
    AgeFile(file);
    DWORD aged = WriteTimeHigh(file);

    EXPECT_TRUE(WriteProfileIntIfChanged(file.c_str(), "Test", "Wrap", 112));
    EXPECT_EQ(WriteTimeHigh(file), aged) << "an unchanged value was written again";

    EXPECT_TRUE(WriteProfileIntIfChanged(file.c_str(), "Test", "Wrap", 119));
    EXPECT_NE(WriteTimeHigh(file), aged);
    EXPECT_EQ(ReadKey(file, "Wrap"), "119");
    DeleteFileA(file.c_str());
}

TEST(ProfileWriters, LongerStoredValueIsRewritten)
{
    std::string file = TempIni("orvello-writers2.ini");
    const char *value = "/spell check system clipboard text";
    WritePrivateProfileStringA("Test", "ARG0", "/spell check system clipboard text, old", file.c_str());
    EXPECT_TRUE(WriteProfileTextIfChanged(file.c_str(), "Test", "ARG0", value));
    EXPECT_EQ(ReadKey(file, "ARG0"), value);

    // Letter case counts as a change.
    EXPECT_TRUE(WriteProfileTextIfChanged(file.c_str(), "Test", "ARG0", "/SPELL"));
    EXPECT_EQ(ReadKey(file, "ARG0"), "/SPELL");
    DeleteFileA(file.c_str());
}

TEST(SettingsFileChoice, ToolFolderSelectsTheToolsIni)
{
    WriteProfileStringA("Folders", "OrvelloTools", "C:\\windows");
    const char *editor = ChooseSettingsFile(0);
    const char *output = ChooseSettingsFile(1);
    WriteProfileStringA("Folders", "OrvelloTools", 0);
    EXPECT_STREQ(PairPath(editor), ".\\OrvelloTools.ini");
    EXPECT_STREQ(PairSection(editor), "OrvelloWord");
    EXPECT_STREQ(PairPath(output), ".\\OrvelloTools.ini");
    EXPECT_STREQ(PairSection(output), "OXR");

    editor = ChooseSettingsFile(0);
    output = ChooseSettingsFile(1);
    EXPECT_STREQ(PairPath(editor), "win.ini");
    EXPECT_STREQ(PairSection(editor), "OrvelloWord");
    EXPECT_STREQ(PairPath(output), "win.ini");
    EXPECT_STREQ(PairSection(output), "OXR");
}

TEST(WorkingFolder, ReducesCommandLinesToTheirFolder)
{
    struct { const char *text; const char *folder; } cases[] = {
        {"C:\\Tools\\OrvelloWord.exe notes.txt", "C:\\Tools"},
        {"\"C:\\Program Files\\Orvello\\OrvelloWord.exe\" /oxr", "C:\\Program Files\\Orvello"},
        {"\"C:\\Tools\\OrvelloWord.exe\"", "C:\\Tools"},
        {"C:\\Tools\\OrvelloWord.exe", "C:\\Tools"},
        {"OrvelloWord.exe /oxr", "OrvelloWord"},
        {"C:\\a.exe b\\c", "C:"},
    };
    for (const auto &c : cases) {
        char folder[260];
        ReduceToFolder(c.text, folder, sizeof folder);
        EXPECT_STREQ(folder, c.folder) << c.text;
    }
    char tiny[6];
    ReduceToFolder("C:\\Tools\\x.exe", tiny, sizeof tiny);
    EXPECT_STREQ(tiny, "C:");  // "C:\To" cut at its backslash
}

TEST(WorkingFolder, FollowsTheFolderKeyOrTheProgramPath)
{
    char before[260], now[260];
    GetCurrentDirectoryA(sizeof before, before);

    char windows[260];
    GetWindowsDirectoryA(windows, sizeof windows);
    WriteProfileStringA("Folders", "OrvelloTestTools", windows);
    char previous[260] = "";
    SetWorkingFolder("<OrvelloTestTools>", previous);
    WriteProfileStringA("Folders", "OrvelloTestTools", 0);
    EXPECT_STREQ(previous, before);
    GetCurrentDirectoryA(sizeof now, now);
    EXPECT_STREQ(now, windows);

    std::string system = std::string(windows) + "\\system32";
    SetWorkingFolder((system + "\\notepad.exe readme.txt").c_str(), 0);
    GetCurrentDirectoryA(sizeof now, now);
    EXPECT_STRCASEEQ(now, system.c_str());

    SetWorkingFolder(("\"" + std::string(windows) + "\\notepad.exe\" /x").c_str(), 0);
    GetCurrentDirectoryA(sizeof now, now);
    EXPECT_STRCASEEQ(now, windows);

    // An unset key falls back to the program's own folder.
    SetWorkingFolder("<OrvelloNoSuchKey>", 0);
    GetCurrentDirectoryA(sizeof now, now);
    char program[260];
    GetModuleFileNameA(0, program, sizeof program);
    *strrchr(program, '\\') = 0;
    EXPECT_STRCASEEQ(now, program);
    SetCurrentDirectoryA(before);
}

TEST(StartUpValues, SizeListSteps)
{
    int values[64];
    int n = SizeListValues(8, 14, 1, 80, 2, 160, 20, values, 64);
    ASSERT_EQ(n, 44);
    EXPECT_EQ(values[0], 8);
    EXPECT_EQ(values[6], 14);
    EXPECT_EQ(values[7], 16);
    EXPECT_EQ(values[39], 80);
    EXPECT_EQ(values[40], 100);
    EXPECT_EQ(values[43], 160);
    EXPECT_EQ(SizeListValues(8, 14, 1, 80, 2, 160, 20, values, 10), 10);
    EXPECT_EQ(SizeListValues(5, 6, 0, 80, 2, 160, 20, values, 64), 0);
}

TEST(StartUpValues, FontDescriptionText)
{
    LOGFONTA font;
    ParseFontDescription("fixed; font=courier new", &font);
    EXPECT_STREQ(font.lfFaceName, "courier new");
    EXPECT_EQ(font.lfWeight, 400);
    EXPECT_EQ(font.lfHeight, -14);
    EXPECT_EQ(font.lfPitchAndFamily, FIXED_PITCH);
    EXPECT_EQ(font.lfItalic, 0);

    ParseFontDescription("bold italic underline strike; font=Arial", &font);
    EXPECT_STREQ(font.lfFaceName, "Arial");
    EXPECT_EQ(font.lfWeight, 700);
    EXPECT_EQ(font.lfItalic, 1);
    EXPECT_EQ(font.lfUnderline, 1);
    EXPECT_EQ(font.lfStrikeOut, 1);
    EXPECT_EQ(font.lfPitchAndFamily, VARIABLE_PITCH);

    ParseFontDescription("thin", &font);
    EXPECT_EQ(font.lfWeight, 100);
    EXPECT_STREQ(font.lfFaceName, "");
}
