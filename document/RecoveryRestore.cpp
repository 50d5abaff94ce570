// At start: what ended programs left in the recovery folder, offered and restored.
#include "document/Recovery.h"

#include <richedit.h>
#include <stdio.h>
#include <string.h>
#include <algorithm>
#include <string>
#include <vector>

#include "app/App.h"
#include "app/DocumentStatus.h"
#include "document/Document.h"
#include "document/OpenDocument.h"
#include "document/RecoveryFormat.h"
#include "editor/EditorControl.h"
#include "editor/RtfScreen.h"
#include "editor/TextPieces.h"
#include "print/PageSettings.h"

static const char RESTORE_SWITCH[] = "/restore ";

// A snapshot no running program owns, checked and found good.
struct Orphan {
    std::string name;     // file name in the recovery folder
    SnapshotRecord record;
};

static std::string InFolder(const std::string &name)
{
    return std::string(RecoveryFolder()) + "\\" + name;
}

static std::string OwnOwner()
{
    const char *own = strrchr(SnapshotPath(), '\\');
    return OwnerOfSnapshotName(own ? own + 1 : "");
}

// Whether a running program holds the owner's lock. A lock that can be deleted was
// left by a program that ended; anything but a clean answer counts as held, so that a
// living program's document is never offered.
static bool OwnedByRunningProgram(const std::string &owner)
{
    std::string lock = InFolder(owner + ".lock");
    if (GetFileAttributesA(lock.c_str()) == INVALID_FILE_ATTRIBUTES)
        return false;
    if (DeleteFileA(lock.c_str()))
        return false;
    DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

static bool ReadWhole(const std::string &path, std::string *bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, 0, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart <= 2 * LARGEST_FILE;
    if (ok) {
        bytes->assign((size_t)size.QuadPart, '\0');
        size_t done = 0;
        while (ok && done < bytes->size()) {
            DWORD piece = (DWORD)std::min<size_t>(bytes->size() - done, 1u << 24), got = 0;
            ok = ReadFile(file, &(*bytes)[done], piece, &got, 0) && got > 0;
            done += got;
        }
    }
    CloseHandle(file);
    return ok;
}

// Renames a snapshot that failed its check out of the way (never deleting it) and says
// so, naming it.
static void SetAside(HWND owner, const std::string &name)
{
    std::string from = InFolder(name), to;
    for (int n = 1; n < 1000; ++n) {
        char suffix[16];
        snprintf(suffix, sizeof suffix, n == 1 ? ".damaged" : ".damaged%d", n);
        to = from + suffix;
        if (GetFileAttributesA(to.c_str()) == INVALID_FILE_ATTRIBUTES)
            break;
    }
    bool moved = MoveFileA(from.c_str(), to.c_str()) != 0;
    char message[1200];
    snprintf(message, sizeof message,
             "Unsaved changes kept in %s are damaged and cannot be restored.\n\n%s",
             from.c_str(),
             moved ? ("The file is kept as " + to + " for a look by hand.").c_str()
                   : "The file is left where it is.");
    MessageBoxA(owner, message, AppName, MB_OK | MB_ICONEXCLAMATION);
}

// Reads and checks one snapshot; false (after setting it aside) when it fails.
static bool CheckSnapshot(HWND owner, const std::string &name, SnapshotRecord *record,
                          std::string *bytes, size_t *offset, size_t *length)
{
    std::string own;
    if (!bytes)
        bytes = &own;
    size_t start = 0, count = 0;
    if (!ReadWhole(InFolder(name), bytes) ||
        ParseSnapshot(bytes->data(), bytes->size(), record, &start, &count) != SNAPSHOT_GOOD) {
        SetAside(owner, name);
        return false;
    }
    if (offset)
        *offset = start;
    if (length)
        *length = count;
    return true;
}

// Every good snapshot that no running program owns, the newest first; damaged ones are
// set aside on the way.
static std::vector<Orphan> FindOrphans(HWND owner)
{
    std::vector<Orphan> found;
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(InFolder("*.snapshot").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(data.cFileName);
        } while (FindNextFileA(search, &data));
        FindClose(search);
    }
    std::string self = OwnOwner();
    for (const std::string &name : names) {
        std::string ownerName = OwnerOfSnapshotName(name);
        if (ownerName.empty() || ownerName == self || OwnedByRunningProgram(ownerName))
            continue;
        // A write the ended program did not finish is of no use.
        DeleteFileA(InFolder(ownerName + ".tmp").c_str());
        Orphan orphan;
        orphan.name = name;
        if (CheckSnapshot(owner, name, &orphan.record, 0, 0, 0))
            found.push_back(orphan);
    }
    std::sort(found.begin(), found.end(), [](const Orphan &a, const Orphan &b) {
        return a.record.takenAt > b.record.takenAt;
    });
    return found;
}

// Puts the snapshot's document into the editor; false when it did not all go in.
static bool LoadContent(const SnapshotRecord &record, const char *content, size_t length)
{
    HWND editor = EditorControl.Empty();
    if (!editor)
        return false;
    EditorControl.SetTextMode(record.rich ? TEXT_RICH : TEXT_PLAIN);
    EditorControl.SetWrapMode(record.wrap, PrintableWidth());
    bool whole;
    if (record.rich) {
        size_t longest = 0;
        double squares = 0;
        ScreenRtf(content, length, &longest, &squares);
        if (longest > LONGEST_WRAPPED_LINE || squares > MOST_WRAPPED_RTF_SQUARES)
            EditorControl.SuspendWrap();
        SendMessageA(editor, EM_EXLIMITTEXT, 0, length + 32768);
        whole = StreamInOwnRtf(editor, content, length);
    } else {
        SendMessageA(editor, WM_SETFONT, (WPARAM)DocumentFont, 0);
        std::u16string text(length / 2, u'\0');
        if (length)
            memcpy(&text[0], content, length);
        if (LongestLine(text.data(), text.size()) > LONGEST_WRAPPED_LINE ||
            SquaredLineLengths(text.data(), text.size()) > MOST_WRAPPED_SQUARES)
            EditorControl.SuspendWrap();
        SendMessageA(editor, EM_EXLIMITTEXT, 0, text.size() + 32768);
        whole = StreamInUnicode(editor, text.data(), text.size());
    }
    if (!whole)
        EditorControl.Empty();
    return whole;
}

// Gives the restored document its name back, unless its file changed after the
// snapshot: then it stays untitled, so a save cannot replace the newer file.
static void RestoreName(HWND main, const SnapshotRecord &record)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    bool exists = !record.path.empty() &&
                  GetFileAttributesExA(record.path.c_str(), GetFileExInfoStandard, &data);
    long long size = exists ? (long long)data.nFileSizeHigh << 32 | data.nFileSizeLow : -1;
    uint64_t time = exists ? (uint64_t)data.ftLastWriteTime.dwHighDateTime << 32 |
                                 data.ftLastWriteTime.dwLowDateTime
                           : 0;
    if (FileChangedSince(record, exists, size, time)) {
        SetCurrentDocument(main, 0);
        char message[900];
        snprintf(message, sizeof message,
                 "%s has changed since these unsaved changes were made.\n\nThey are restored "
                 "as an untitled document, so that saving cannot replace the newer file.",
                 record.path.c_str());
        MessageBoxA(main, message, AppName, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    SetCurrentDocument(main, record.path.empty() ? 0 : record.path.c_str());
    RestoreDocumentFile(record.fileSize, record.fileTime);
}

// Restores the named snapshot into this window. It first becomes this program's own
// snapshot (one rename, so no other start can take it meanwhile, and a crash now leaves
// it to be offered again); when it cannot be loaded it gets its name back. 1 when restored.
static int RestoreHere(HWND main, const std::string &name)
{
    std::string from = InFolder(name), own = SnapshotPath();
    if (!MoveFileA(from.c_str(), own.c_str()))
        return 0;
    const char *slash = strrchr(SnapshotPath(), '\\');
    std::string ownName = slash ? slash + 1 : SnapshotPath();
    SnapshotRecord record;
    std::string bytes;
    size_t offset = 0, length = 0;
    if (!CheckSnapshot(main, ownName, &record, &bytes, &offset, &length))
        return 0;
    if (!LoadContent(record, bytes.data() + offset, length)) {
        MoveFileA(own.c_str(), from.c_str());
        char message[600];
        snprintf(message, sizeof message,
                 "The unsaved changes in %s could not be restored. The file is kept.",
                 from.c_str());
        MessageBoxA(main, message, AppName, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    bytes.clear();
    DocumentFormat = record.format;
    Utf8ByteOrderMark = record.utf8Mark;
    DocumentLineEnds = (LineEndStyle)record.lineEnds;
    DocumentLineEndsMixed = record.mixedLineEnds;
    RestoreName(main, record);
    HWND editor = EditorControl.control;
    SendMessageA(editor, EM_SETMODIFY, TRUE, 0);
    CHARRANGE caret = {record.caretStart, record.caretEnd};
    SendMessageA(editor, EM_EXSETSEL, 0, (LPARAM)&caret);
    SendMessageA(editor, EM_SCROLLCARET, 0, 0);
    InvalidateRect(main, 0, TRUE);
    ShowDocumentStatus();
    // The snapshot now says what this program holds (its name, if it changed).
    TakeSnapshot();
    return 1;
}

// Hands a snapshot on to a new OrvelloWord process: renamed as this program's until the
// new one takes it, so that no other start offers it meanwhile.
static void RestoreElsewhere(const std::string &name, int number)
{
    char handed[64];
    snprintf(handed, sizeof handed, "%s.%d.snapshot", OwnOwner().c_str(), number);
    if (!MoveFileA(InFolder(name).c_str(), InFolder(handed).c_str()))
        return;
    StartAnotherWindow((std::string(RESTORE_SWITCH) + handed).c_str());
}

int StartRecovery(HWND main, const char *commandLine)
{
    if (!BeginSnapshots(main))
        return 0;
    const size_t switchLength = sizeof RESTORE_SWITCH - 1;
    if (strncmp(commandLine, RESTORE_SWITCH, switchLength) == 0) {
        // Another OrvelloWord handed this window one of several snapshots.
        // (The handing program still holds it under its own name.)
        std::string name = commandLine + switchLength;
        name.erase(std::remove(name.begin(), name.end(), '"'), name.end());
        if (OwnerOfSnapshotName(name).empty())
            return 0;
        return RestoreHere(main, name);
    }
    std::vector<Orphan> orphans = FindOrphans(main);
    if (orphans.empty())
        return 0;
    int answer = MessageBoxA(main,
                             "Some changes were not saved when OrvelloWord last closed. "
                             "Restore them?\n\nNo discards them; Cancel keeps them for the "
                             "next start.",
                             AppName, MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDNO) {
        for (const Orphan &orphan : orphans)
            DeleteFileA(InFolder(orphan.name).c_str());
        return 0;
    }
    if (answer != IDYES)
        return 0;
    for (size_t i = 1; i < orphans.size(); ++i)
        RestoreElsewhere(orphans[i].name, (int)i);
    return RestoreHere(main, orphans[0].name);
}
