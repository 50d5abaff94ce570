#include "document/FileWatch.h"

#include <stdio.h>
#include <string.h>
#include <new>
#include <string>

#include "app/App.h"
#include "document/Document.h"
#include "document/FileChange.h"
#include "document/FileFormats.h"
#include "document/LongLines.h"
#include "document/OpenDocument.h"
#include "document/TextEncoding.h"
#include "editor/EditorControl.h"

// The watched file; empty while the document has no file.
static char WatchedPath[260] = "";
static WatchState Watch = {};
// The last bytes of the file up to Watch.known.size, when known: growth is followed
// only while they are still in place.
static std::string Tail;
static bool TailKnown = false;
// Bytes at the file's end (within Tail) that the document does not show yet: half a
// character, or a CR whose LF may follow.
static size_t Pending = 0;
// Answers to queries started before the document's file was last read or written
// describe an older state: they are dropped.
static unsigned Generation = 0;
static bool Querying = false;
// A question or a follow is under way: checks wait.
static bool Busy = false;

// The thread that waits for changes in the watched file's folder stops when this is set.
static HANDLE StopFolderWatch = 0;
static bool CheckSoon = false;

// What the program last read or wrote, for WatchDocumentFile.
static struct {
    char path[260];
    FileIdentity identity;
    std::string tail;
    bool valid;
} Noted;

struct CheckAnswer {
    HWND window;
    char path[260];
    unsigned generation;
    bool found;
    FileIdentity identity;
};

static uint64_t Join(DWORD high, DWORD low)
{
    return ((uint64_t)high << 32) | low;
}

// The file's identity by attribute query; false when there is no file (or no answer).
static bool QueryIdentity(const char *path, FileIdentity *identity)
{
    memset(identity, 0, sizeof *identity);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    identity->exists = true;
    identity->size = Join(data.nFileSizeHigh, data.nFileSizeLow);
    identity->writeTime = Join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
    return true;
}

static std::string LastBytes(const char *bytes, size_t count)
{
    size_t n = count < TAIL_BYTES ? count : TAIL_BYTES;
    return std::string(bytes + count - n, n);
}

static void Note(const char *path, const FileIdentity &identity, const char *bytes, size_t count)
{
    lstrcpynA(Noted.path, path, sizeof Noted.path);
    Noted.identity = identity;
    Noted.tail = LastBytes(bytes, count);
    Noted.valid = true;
}

void NoteFileRead(HANDLE file, const char *path, const char *bytes, size_t count)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info)) {
        Noted.valid = false;
        return;
    }
    // What was read is what the document holds: bytes a writer added meanwhile are
    // growth still to come.
    FileIdentity identity = {true, count,
                             Join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime)};
    Note(path, identity, bytes, count);
}

void NoteFileWritten(const char *path, const char *bytes, size_t count)
{
    FileIdentity identity;
    if (!QueryIdentity(path, &identity)) {
        Noted.valid = false;
        return;
    }
    Note(path, identity, bytes, count);
}

struct FolderWatch {
    HWND window;
    char folder[260];
    HANDLE stop;
};

// Posts WM_FOLDER_CHANGED for each change the system reports in the folder, until told
// to stop. Where it reports none (or the folder is out of reach) the timer still checks.
static DWORD WINAPI WatchFolder(void *data)
{
    FolderWatch watch = *(FolderWatch *)data;
    delete (FolderWatch *)data;
    const DWORD changes = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE |
                          FILE_NOTIFY_CHANGE_LAST_WRITE;
    HANDLE change = FindFirstChangeNotificationA(watch.folder, FALSE, changes);
    if (change != INVALID_HANDLE_VALUE) {
        HANDLE both[2] = {watch.stop, change};
        while (WaitForMultipleObjects(2, both, FALSE, INFINITE) == WAIT_OBJECT_0 + 1 &&
               PostMessageA(watch.window, WM_FOLDER_CHANGED, 0, 0) &&
               FindNextChangeNotification(change)) {
        }
        FindCloseChangeNotification(change);
    }
    CloseHandle(watch.stop);
    return 0;
}

static void StopWatchingFolder()
{
    if (StopFolderWatch) {
        SetEvent(StopFolderWatch);
        CloseHandle(StopFolderWatch);
        StopFolderWatch = 0;
    }
}

static void StartWatchingFolder(HWND window, const char *path)
{
    FolderWatch *watch = new (std::nothrow) FolderWatch;
    if (!watch)
        return;
    watch->window = window;
    lstrcpynA(watch->folder, path, sizeof watch->folder);
    char *slash = strrchr(watch->folder, '\\');
    // A root keeps its backslash: "C:\\" is a folder, "C:" is not.
    if (slash)
        slash[slash == watch->folder + 2 && watch->folder[1] == ':' ? 1 : 0] = 0;
    else
        lstrcpynA(watch->folder, ".", sizeof watch->folder);
    HANDLE stop = CreateEventA(0, TRUE, FALSE, 0);
    HANDLE process = GetCurrentProcess();
    HANDLE thread = 0;
    if (stop && DuplicateHandle(process, stop, process, &watch->stop, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
        thread = CreateThread(0, 0, WatchFolder, watch, 0, 0);
        if (!thread)
            CloseHandle(watch->stop);
    }
    if (!thread) {
        delete watch;
        if (stop)
            CloseHandle(stop);
        return;
    }
    CloseHandle(thread);
    StopFolderWatch = stop;
}

void WatchDocumentFile(HWND window, const char *path)
{
    bool samePath = path && lstrcmpiA(path, WatchedPath) == 0 && StopFolderWatch;
    if (!samePath)
        StopWatchingFolder();
    ++Generation;
    Watch.failures = 0;
    Pending = 0;
    TailKnown = false;
    Tail.clear();
    if (!path || !path[0] || OutputWindowMode()) {
        WatchedPath[0] = 0;
        KillTimer(window, FILE_CHECK_TIMER);
        return;
    }
    lstrcpynA(WatchedPath, path, sizeof WatchedPath);
    if (Noted.valid && lstrcmpiA(Noted.path, path) == 0) {
        Watch.known = Noted.identity;
        Tail = Noted.tail;
        int unshown = UnshownBytes(DocumentFormat, Tail, Watch.known.size);
        TailKnown = unshown >= 0;
        Pending = unshown > 0 ? unshown : 0;
    } else {
        QueryIdentity(path, &Watch.known);
    }
    Noted.valid = false;
    SetTimer(window, FILE_CHECK_TIMER, FILE_CHECK_PERIOD, 0);
    if (!samePath)
        StartWatchingFolder(window, path);
}

// A modal dialog, a message box or a menu of the program is open.
static BOOL CALLBACK FindDialog(HWND window, LPARAM found)
{
    char name[16];
    if (window != ModelessDialog && IsWindowVisible(window) &&
        GetClassNameA(window, name, sizeof name) && strcmp(name, "#32770") == 0) {
        *(bool *)found = true;
        return FALSE;
    }
    return TRUE;
}

static bool ModalOpen(HWND window)
{
    if (!IsWindowEnabled(window))
        return true;
    GUITHREADINFO info;
    memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    const DWORD modes = GUI_INMENUMODE | GUI_INMOVESIZE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE;
    if (GetGUIThreadInfo(GetCurrentThreadId(), &info) && (info.flags & modes))
        return true;
    bool found = false;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, (LPARAM)&found);
    return found;
}

// Questions wait for every dialog; following a log waits only for modal ones.
static bool AnyDialogOpen(HWND window)
{
    return ModelessDialog || ModalOpen(window);
}

static DWORD WINAPI QueryOnItsOwn(void *data)
{
    CheckAnswer *answer = (CheckAnswer *)data;
    answer->found = QueryIdentity(answer->path, &answer->identity);
    if (!PostMessageA(answer->window, WM_FILE_CHECKED, 0, (LPARAM)answer))
        delete answer;
    return 0;
}

void CheckDocumentFile(HWND window)
{
    // A query that has not come back (a share out of reach) is not joined by others.
    if (!WatchedPath[0] || Querying || Busy || ModalOpen(window))
        return;
    CheckAnswer *answer = new (std::nothrow) CheckAnswer;
    if (!answer)
        return;
    memset(answer, 0, sizeof *answer);
    answer->window = window;
    lstrcpynA(answer->path, WatchedPath, sizeof answer->path);
    answer->generation = Generation;
    HANDLE thread = CreateThread(0, 0, QueryOnItsOwn, answer, 0, 0);
    if (!thread) {
        delete answer;
        return;
    }
    CloseHandle(thread);
    Querying = true;
}

bool OnFileCheckTimer(HWND window, WPARAM timer)
{
    if (timer == FILE_SOON_TIMER) {
        KillTimer(window, FILE_SOON_TIMER);
        CheckSoon = false;
    } else if (timer != FILE_CHECK_TIMER) {
        return false;
    }
    CheckDocumentFile(window);
    return true;
}

void OnFolderChanged(HWND window)
{
    // A folder that keeps changing is still checked at most once a delay.
    if (!WatchedPath[0] || CheckSoon)
        return;
    CheckSoon = SetTimer(window, FILE_SOON_TIMER, FILE_SOON_DELAY, 0) != 0;
}

static const char *FileName(const char *path)
{
    const char *slash = strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

static bool Modified()
{
    return SendMessageA(EditorControl.control, EM_GETMODIFY, 0, 0) != 0;
}

static void ReportDeleted(HWND window)
{
    Busy = true;
    memset(&Watch.known, 0, sizeof Watch.known);
    TailKnown = false;
    Pending = 0;
    // Closing then offers to save it, and saving writes it again.
    SendMessageA(EditorControl.control, EM_SETMODIFY, TRUE, 0);
    char message[400];
    snprintf(message, sizeof message, "%s no longer exists.", FileName(WatchedPath));
    MessageBoxA(window, message, AppName, MB_OK | MB_ICONEXCLAMATION);
    Busy = false;
}

// The file's bytes [from, to) in a new buffer (free with delete[]), or null when they
// could not all be read.
static char *ReadRange(const char *path, uint64_t from, uint64_t to)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    size_t wanted = (size_t)(to - from), total = 0;
    char *bytes = NewTextBuffer(wanted + 1);
    LARGE_INTEGER start;
    start.QuadPart = (LONGLONG)from;
    bool ok = bytes && SetFilePointerEx(file, start, 0, FILE_BEGIN);
    while (ok && total < wanted) {
        DWORD read = 0;
        ok = ReadFile(file, bytes + total, (DWORD)(wanted - total), &read, 0) && read > 0;
        total += read;
    }
    CloseHandle(file);
    if (ok && total == wanted)
        return bytes;
    delete[] bytes;
    return 0;
}

static bool IsLeadByte(unsigned char byte)
{
    return IsDBCSLeadByte(byte) != FALSE;
}

// The added bytes as the document's characters, in its format.
static std::u16string Decode(int format, const unsigned char *bytes, size_t n)
{
    std::u16string text;
    if (format == FORMAT_UTF8)
        return DecodeUtf8(bytes, n);
    if (format == FORMAT_PLAIN) {
        int units = n ? MultiByteToWideChar(CP_ACP, 0, (const char *)bytes, (int)n, 0, 0) : 0;
        text.resize(units);
        if (units)
            MultiByteToWideChar(CP_ACP, 0, (const char *)bytes, (int)n, (wchar_t *)&text[0], units);
        return text;
    }
    text.resize(n / 2);
    for (size_t i = 0; i + 1 < n; i += 2)
        text[i / 2] = format == FORMAT_UNICODE_BE ? (char16_t)((bytes[i] << 8) | bytes[i + 1])
                                                  : (char16_t)(bytes[i] | (bytes[i + 1] << 8));
    return text;
}

enum FollowResult { FOLLOWED, FOLLOW_LATER, ASK_INSTEAD };

// At most this much of what a file gained goes in at one check; the rest follows at the
// next, which comes at once.
const uint64_t FOLLOW_PIECE = 4 * 1024 * 1024;

// Puts what the file gained into the document, as a log viewer does.
static FollowResult FollowGrowth(HWND window, const FileIdentity &now)
{
    HWND control = EditorControl.control;
    bool plain = EditorControl.GetTextMode() == TEXT_PLAIN && DocumentFormat >= FORMAT_PLAIN;
    if (!MayFollowGrowth(plain, Modified(), TailKnown, true) || now.size > (uint64_t)LARGEST_FILE)
        return ASK_INSTEAD;
    uint64_t from = Watch.known.size - Tail.size();
    uint64_t to = now.size - Watch.known.size > FOLLOW_PIECE ? Watch.known.size + FOLLOW_PIECE : now.size;
    char *read = ReadRange(WatchedPath, from, to);
    if (!read)
        return FOLLOW_LATER;  // held by its writer, or out of memory: the next check tries
    size_t count = (size_t)(to - from);
    const unsigned char *data = (const unsigned char *)read;
    FollowResult result = ASK_INSTEAD;
    if (TailUnchanged(Tail, data, count)) {
        size_t shown = Tail.size() - Pending;
        const unsigned char *fresh = data + shown;
        size_t n = count - shown, start = 0;
        size_t end = FollowablePart(DocumentFormat, fresh, n,
                                    TailEndsWithCr(DocumentFormat, Tail, Pending), IsLeadByte, &start);
        bool followable = FollowableBytes(DocumentFormat, fresh + start, end - start);
        std::u16string text;
        if (followable)
            text = Decode(DocumentFormat, fresh + start, end - start);
        // Lines too long to show quickly: opening the file asks about breaking them.
        if (followable && !HasLinesTooLong(text.data(), text.size())) {
            if (!text.empty()) {
                Busy = true;
                AppendFollowed(control, text.data(), text.size());
                Busy = false;
            }
            Watch.known = now;
            Watch.known.size = to;
            Tail = LastBytes(read, count);
            Pending = n - end;
            result = FOLLOWED;
        }
    }
    delete[] read;
    if (result == FOLLOWED && to < now.size)
        OnFolderChanged(window);
    return result;
}

// Remembers a change asked about: the document no longer shows the file, so any later
// change is asked about too, growth included.
static void Forget(const FileIdentity &now)
{
    ++Generation;
    Watch.known = now;
    Watch.failures = 0;
    TailKnown = false;
    Pending = 0;
}

static void Reload(HWND window, bool modified)
{
    char path[260];
    lstrcpynA(path, WatchedPath, sizeof path);
    ViewPlace place = EditorControl.GetViewPlace();
    // The question has covered the changes: no second one.
    SendMessageA(EditorControl.control, EM_SETMODIFY, FALSE, 0);
    if (ReloadDocument(window, path)) {
        EditorControl.SetViewPlace(place);
        return;
    }
    // Nothing was read: the document stays as it was, changes included.
    if (lstrcmpiA(CurrentDocumentPath, path) == 0)
        SendMessageA(EditorControl.control, EM_SETMODIFY, modified, 0);
}

static void AskReload(HWND window, const FileIdentity &now)
{
    Busy = true;
    bool modified = Modified();
    char message[600];
    snprintf(message, sizeof message, "%s has been changed by another program. Reload it?%s",
             FileName(WatchedPath),
             modified ? "\n\nReloading it loses the changes you have made here." : "");
    int answer = MessageBoxA(window, message, AppName, MB_YESNO | MB_ICONQUESTION);
    Forget(now);
    if (answer == IDYES)
        Reload(window, modified);
    Busy = false;
}

void FinishFileCheck(HWND window, LPARAM data)
{
    CheckAnswer answer = *(CheckAnswer *)data;
    delete (CheckAnswer *)data;
    Querying = false;
    if (answer.generation != Generation || !WatchedPath[0] || Busy || ModalOpen(window) ||
        !EditorControl.control)
        return;
    WatchState judged = Watch;
    FileChange change = JudgeCheck(judged, answer.found, answer.identity);
    if (change == FILE_GROWN) {
        FollowResult followed = FollowGrowth(window, answer.identity);
        if (followed != ASK_INSTEAD) {
            Watch.failures = 0;
            return;
        }
        change = FILE_REWRITTEN;
    }
    // The questions wait until no dialog is open; the next check asks.
    if (change != FILE_UNCHANGED && AnyDialogOpen(window))
        return;
    Watch.failures = judged.failures;
    if (change == FILE_DELETED)
        ReportDeleted(window);
    else if (change == FILE_REWRITTEN)
        AskReload(window, answer.identity);
}

int ConfirmSaveOver(HWND owner, const char *path)
{
    if (!WatchedPath[0] || lstrcmpiA(path, WatchedPath) != 0)
        return 1;
    // A file gone meanwhile is simply written again.
    FileIdentity now;
    if (!QueryIdentity(path, &now) || SameIdentity(Watch.known, now))
        return 1;
    Busy = true;
    char message[600];
    snprintf(message, sizeof message,
             "%s has been changed by another program since it was opened. Save over it?",
             FileName(path));
    int answer = MessageBoxA(owner, message, AppName, MB_YESNO | MB_ICONEXCLAMATION);
    // Asked once: a No is not followed by the question to reload for the same change.
    if (answer != IDYES)
        Forget(now);
    Busy = false;
    return answer == IDYES;
}
