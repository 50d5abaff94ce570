// What Windows reads from the programs before they run (manifest, version, icons, header
// flags), and the program drawn at 200 % when the screen is set to 192 DPI.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <string.h>
#include <algorithm>
#include <string>
#include <vector>

#include "Driver.h"
#include "Version.h"
#include "res/resource.h"

namespace {

std::string Beside(const char *name)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(0, path, sizeof path);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1) + name;
}

// A program's resource as bytes; empty when it has none.
std::string ResourceBytes(const char *program, LPCSTR type, LPCSTR name)
{
    HMODULE module = LoadLibraryExA(Beside(program).c_str(), 0, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return "";
    std::string bytes;
    HRSRC found = FindResourceA(module, name, type);
    HGLOBAL loaded = found ? LoadResource(module, found) : 0;
    if (loaded)
        bytes.assign((const char *)LockResource(loaded), SizeofResource(module, found));
    FreeLibrary(module);
    return bytes;
}

bool Has(const std::string &text, const char *part) { return text.find(part) != std::string::npos; }

// Whether Windows' own parser takes the program's manifest as an activation context.
bool ManifestParses(const char *program)
{
    std::string path = Beside(program);
    ACTCTXA context;
    memset(&context, 0, sizeof context);
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = path.c_str();
    context.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
    HANDLE handle = CreateActCtxA(&context);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    ReleaseActCtx(handle);
    return true;
}

std::string VersionString(const std::vector<char> &info, const char *name)
{
    char query[96];
    snprintf(query, sizeof query, "\\StringFileInfo\\040904B0\\%s", name);
    char *value = 0;
    UINT length = 0;
    if (!VerQueryValueA(info.data(), query, (void **)&value, &length) || !value)
        return "<absent>";
    return value;
}

std::vector<char> VersionInfo(const char *program)
{
    std::string path = Beside(program);
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    std::vector<char> info(size);
    if (!size || !GetFileVersionInfoA(path.c_str(), 0, size, info.data()))
        info.clear();
    return info;
}

// The header flags of the program's file (IMAGE_FILE_...).
WORD FileCharacteristics(const char *program)
{
    std::string bytes;
    HANDLE file = CreateFileA(Beside(program).c_str(), GENERIC_READ, FILE_SHARE_READ, 0,
                              OPEN_EXISTING, 0, 0);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    char head[4096];
    DWORD read = 0;
    ReadFile(file, head, sizeof head, &read, 0);
    CloseHandle(file);
    if (read < sizeof(IMAGE_DOS_HEADER))
        return 0;
    LONG at = ((const IMAGE_DOS_HEADER *)head)->e_lfanew;
    if (at < 0 || at + 4 + sizeof(IMAGE_FILE_HEADER) > read)
        return 0;
    return ((const IMAGE_FILE_HEADER *)(head + at + 4))->Characteristics;
}

// A setting of the current user's desktop put back as it was when the scope ends.
class LogPixelsSetting {
public:
    explicit LogPixelsSetting(DWORD dpi)
    {
        RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, 0, 0, KEY_ALL_ACCESS, 0,
                        &key, 0);
        DWORD size = sizeof saved;
        had = RegQueryValueExA(key, "LogPixels", 0, 0, (BYTE *)&saved, &size) == ERROR_SUCCESS;
        RegSetValueExA(key, "LogPixels", 0, REG_DWORD, (const BYTE *)&dpi, sizeof dpi);
    }
    ~LogPixelsSetting()
    {
        if (had)
            RegSetValueExA(key, "LogPixels", 0, REG_DWORD, (const BYTE *)&saved, sizeof saved);
        else
            RegDeleteValueA(key, "LogPixels");
        RegCloseKey(key);
    }

private:
    HKEY key = 0;
    DWORD saved = 0;
    bool had = false;
};

struct ProgramSizes {
    int buttonWidth, buttonHeight, toolbarHeight, sizeComboWidth, statusHeight;
};

// Starts the editor with the screen at dpi and measures its bars.
ProgramSizes MeasureAt(DWORD dpi)
{
    ProgramSizes sizes = {0, 0, 0, 0, 0};
    LogPixelsSetting setting(dpi);
    ClearSection("win.ini", "OrvelloWord");
    RunningProgram program = StartProgram("", "OrvelloWord");
    if (!program.main)
        return sizes;
    HWND toolbar = FindChild(program.main, TOOLBARCLASSNAMEA);
    LRESULT button = toolbar ? SendMessageA(toolbar, TB_GETBUTTONSIZE, 0, 0) : 0;
    sizes.buttonWidth = LOWORD(button);
    sizes.buttonHeight = HIWORD(button);
    RECT r;
    if (toolbar && GetWindowRect(toolbar, &r))
        sizes.toolbarHeight = r.bottom - r.top;
    HWND combo = toolbar ? FindChild(toolbar, "ComboBox") : 0;
    if (combo && GetWindowRect(combo, &r))
        sizes.sizeComboWidth = r.right - r.left;
    HWND status = FindChild(program.main, STATUSCLASSNAMEA);
    if (status && GetWindowRect(status, &r))
        sizes.statusHeight = r.bottom - r.top;
    CloseProgram(program);
    ClearSection("win.ini", "OrvelloWord");
    return sizes;
}

}  // namespace

TEST(ShipResources, ManifestsAskForWhatTheProgramsNeed)
{
    std::string manifest = ResourceBytes("OrvelloWord.exe", RT_MANIFEST,
                                         CREATEPROCESS_MANIFEST_RESOURCE_ID);
    ASSERT_FALSE(manifest.empty());
    EXPECT_TRUE(ManifestParses("OrvelloWord.exe"));
    EXPECT_TRUE(Has(manifest, "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""));
    EXPECT_TRUE(Has(manifest, ">PerMonitorV2, PerMonitor</dpiAwareness>"));
    EXPECT_TRUE(Has(manifest, ">true/pm</dpiAware>"));
    EXPECT_TRUE(Has(manifest, "level=\"asInvoker\""));
    EXPECT_TRUE(Has(manifest, "version=\"" ORVELLO_VERSION_TEXT ".0\""));
    static const char *const systems[] = {
        "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
        "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
    };
    for (const char *id : systems)
        EXPECT_TRUE(Has(manifest, id)) << id;

    std::string sender = ResourceBytes("tracesend.exe", RT_MANIFEST,
                                       CREATEPROCESS_MANIFEST_RESOURCE_ID);
    ASSERT_FALSE(sender.empty());
    EXPECT_TRUE(ManifestParses("tracesend.exe"));
    EXPECT_TRUE(Has(sender, "level=\"asInvoker\""));
    for (const char *id : systems)
        EXPECT_TRUE(Has(sender, id)) << id;
}

TEST(ShipResources, VersionInformationComesFromTheBuildsVersion)
{
    for (const char *program : {"OrvelloWord.exe", "tracesend.exe"}) {
        std::vector<char> info = VersionInfo(program);
        ASSERT_FALSE(info.empty()) << program;
        VS_FIXEDFILEINFO *fixed = 0;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(info.data(), "\\", (void **)&fixed, &length)) << program;
        EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
        EXPECT_EQ(fixed->dwFileVersionMS, (DWORD)MAKELONG(ORVELLO_VERSION_MINOR, ORVELLO_VERSION_MAJOR));
        EXPECT_EQ(fixed->dwFileVersionLS, (DWORD)MAKELONG(0, ORVELLO_VERSION_PATCH));
        EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
        EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
        EXPECT_EQ(VersionString(info, "FileVersion"), ORVELLO_VERSION_TEXT);
        EXPECT_EQ(VersionString(info, "ProductVersion"), ORVELLO_VERSION_TEXT);
        EXPECT_EQ(VersionString(info, "ProductName"), "OrvelloWord");
        EXPECT_EQ(VersionString(info, "CompanyName"), "Orvello Software");
        EXPECT_EQ(VersionString(info, "OriginalFilename"), program);
        EXPECT_NE(VersionString(info, "FileDescription").find("OrvelloWord"), std::string::npos);
        EXPECT_EQ(VersionString(info, "LegalCopyright"),
                  "Copyright (C) " ORVELLO_COPYRIGHT_YEAR " Orvello Software");
    }
}

TEST(ShipResources, IconsComeInEverySizeWindowsAsksFor)
{
    for (int id : {IDI_EDITOR, IDI_OUTPUT}) {
        std::string group = ResourceBytes("OrvelloWord.exe", RT_GROUP_ICON, MAKEINTRESOURCEA(id));
        ASSERT_GE(group.size(), 6u) << id;
        const BYTE *bytes = (const BYTE *)group.data();
        int count = bytes[4] | bytes[5] << 8;
        ASSERT_EQ(group.size(), 6u + 14u * count) << id;
        std::vector<int> sides;
        for (int k = 0; k < count; ++k)
            sides.push_back(bytes[6 + 14 * k] ? bytes[6 + 14 * k] : 256);
        for (int side : {16, 20, 24, 32, 48, 256})
            EXPECT_NE(std::find(sides.begin(), sides.end(), side), sides.end())
                << "icon " << id << " at " << side;
        // Windows picks the right one by itself: LoadImage at 48 gets a 48-pixel image.
        HICON icon = (HICON)LoadImageA(LoadLibraryExA(Beside("OrvelloWord.exe").c_str(), 0,
                                                      LOAD_LIBRARY_AS_DATAFILE),
                                       MAKEINTRESOURCEA(id), IMAGE_ICON, 48, 48, 0);
        ASSERT_TRUE(icon);
        ICONINFO parts;
        ASSERT_TRUE(GetIconInfo(icon, &parts));
        BITMAP mask;
        GetObjectA(parts.hbmMask, sizeof mask, &mask);
        EXPECT_EQ(mask.bmWidth, 48);
        DeleteObject(parts.hbmMask);
        DeleteObject(parts.hbmColor);
        DestroyIcon(icon);
    }
}

TEST(ShipResources, ProgramsMayUseMoreThanTwoGigabytes)
{
    EXPECT_TRUE(FileCharacteristics("OrvelloWord.exe") & IMAGE_FILE_LARGE_ADDRESS_AWARE);
    EXPECT_TRUE(FileCharacteristics("tracesend.exe") & IMAGE_FILE_LARGE_ADDRESS_AWARE);
}

TEST(HighDpi, At192DpiTheBarsAreTwiceTheirSize)
{
    ProgramSizes normal = MeasureAt(96);
    ProgramSizes large = MeasureAt(192);
    ASSERT_GT(normal.buttonWidth, 0);
    EXPECT_NEAR(large.buttonWidth, 2 * normal.buttonWidth, 2);
    EXPECT_NEAR(large.buttonHeight, 2 * normal.buttonHeight, 2);
    // The bar grows by its buttons (its own edges stay a few pixels).
    EXPECT_GE(large.toolbarHeight - normal.toolbarHeight, large.buttonHeight - normal.buttonHeight);
    EXPECT_NEAR(large.sizeComboWidth, 2 * normal.sizeComboWidth, 2);
    // The status bar follows its font: clearly taller, if not exactly twice.
    EXPECT_GT(large.statusHeight, normal.statusHeight * 3 / 2);
}
