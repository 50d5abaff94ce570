#include "document/Recovery.h"

#include <richedit.h>
#include <shlobj.h>
#include <stdio.h>
#include <string.h>
#include <new>
#include <string>

#include "document/Document.h"
#include "document/OpenDocument.h"
#include "document/RecoveryFormat.h"
#include "document/SaveDocument.h"
#include "editor/EditorControl.h"

static const UINT_PTR RECOVERY_TIMER = 0x5245;
static const DWORD PAUSE_MS = 2000;      // a snapshot once typing has paused this long
static const DWORD LONGEST_MS = 30000;   // and at least this often while it goes on
static const DWORD RETRY_MS = 500;       // while a save or a load holds snapshots off

static HWND Main = 0;
static char RecoveryDir[MAX_PATH] = "";
static char OwnSnapshot[MAX_PATH] = "";
static char OwnTemporary[MAX_PATH] = "";
static std::string Owner;
static HANDLE Lock = INVALID_HANDLE_VALUE;
static DWORD DirtySince = 0;   // tick of the first change not in a snapshot; 0 none
static int Holds = 0;

// The file the document came from, as it was when opened or last saved.
static long long FileSize = -1;
static uint64_t FileTime = 0;

// One snapshot on its way to disk: its header and the document's bytes.
struct SnapshotJob {
    SnapshotRecord record;
    char *rtf = 0;             // RTF, or
    char16_t *text = 0;        // UTF-16 text
    size_t length = 0;         // in bytes
    const char *Bytes() const { return rtf ? rtf : (const char *)text; }
    ~SnapshotJob()
    {
        delete[] rtf;
        delete[] text;
    }
};

// The writer thread takes the newest job; older ones waiting are dropped unwritten.
static CRITICAL_SECTION WriterLock;
static HANDLE WriterWake = 0, WriterIdle = 0;
static SnapshotJob *Pending = 0;
static double LastWriteMs = 0;

static uint64_t Ticks(const FILETIME &time)
{
    return (uint64_t)time.dwHighDateTime << 32 | time.dwLowDateTime;
}

static double Milliseconds(const LARGE_INTEGER &from)
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return (now.QuadPart - from.QuadPart) * 1000.0 / frequency.QuadPart;
}

// Writes to the temporary name, flushes, then puts it in place of the last snapshot in
// one step: a crash at any moment leaves the last good snapshot or the new one.
static void WriteSnapshot(const SnapshotJob &job)
{
    // The checksum reads the whole document: work for this thread, not the program's.
    std::string header = BuildSnapshotHeader(job.record, job.Bytes(), job.length);
    HANDLE file = CreateFileA(OwnTemporary, GENERIC_WRITE, 0, 0, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE)
        return;
    bool ok = WriteAll(file, header.data(), header.size()) &&
              WriteAll(file, job.Bytes(), job.length);
    ok = FlushFileBuffers(file) && ok;
    ok = CloseHandle(file) && ok;
    if (!ok || !MoveFileExA(OwnTemporary, OwnSnapshot,
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        DeleteFileA(OwnTemporary);
}

static DWORD WINAPI SnapshotWriter(void *)
{
    for (;;) {
        WaitForSingleObject(WriterWake, INFINITE);
        for (;;) {
            EnterCriticalSection(&WriterLock);
            SnapshotJob *job = Pending;
            Pending = 0;
            if (!job)
                SetEvent(WriterIdle);
            LeaveCriticalSection(&WriterLock);
            if (!job)
                break;
            LARGE_INTEGER start;
            QueryPerformanceCounter(&start);
            WriteSnapshot(*job);
            LastWriteMs = Milliseconds(start);
            delete job;
        }
    }
    return 0;
}

static void HandToWriter(SnapshotJob *job)
{
    EnterCriticalSection(&WriterLock);
    delete Pending;
    Pending = job;
    ResetEvent(WriterIdle);
    LeaveCriticalSection(&WriterLock);
    SetEvent(WriterWake);
}

void WaitForSnapshotWriter(double *writeMs)
{
    if (WriterIdle)
        WaitForSingleObject(WriterIdle, 60000);
    if (writeMs)
        *writeMs = LastWriteMs;
}

const char *RecoveryFolder() { return RecoveryDir; }
const char *SnapshotPath() { return OwnSnapshot; }

// %LOCALAPPDATA%\OrvelloWord\Recovery, made when missing; false when it cannot be.
static bool MakeFolder()
{
    char base[MAX_PATH] = "";
    if (FAILED(SHGetFolderPathA(0, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, 0, 0, base)) ||
        !base[0]) {
        DWORD n = GetEnvironmentVariableA("LOCALAPPDATA", base, sizeof base);
        if (n == 0 || n >= sizeof base)
            return false;
    }
    char app[MAX_PATH];
    snprintf(app, sizeof app, "%s\\OrvelloWord", base);
    int n = snprintf(RecoveryDir, sizeof RecoveryDir, "%s\\Recovery", app);
    if (n < 0 || n >= (int)sizeof RecoveryDir - 48) {
        RecoveryDir[0] = 0;
        return false;
    }
    CreateDirectoryA(app, 0);
    CreateDirectoryA(RecoveryDir, 0);
    DWORD attributes = GetFileAttributesA(RecoveryDir);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int BeginSnapshots(HWND main)
{
    if (Lock != INVALID_HANDLE_VALUE)
        return 1;
    if (!MakeFolder())
        return 0;
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    Owner = SnapshotOwnerName(GetCurrentProcessId(), Ticks(created));
    // The lock is held open without sharing deletion as long as the program lives, and
    // the system closes it whatever way the program ends: a lock that can be deleted
    // belongs to no running program.
    char lockPath[MAX_PATH];
    snprintf(lockPath, sizeof lockPath, "%s\\%s.lock", RecoveryDir, Owner.c_str());
    Lock = CreateFileA(lockPath, GENERIC_WRITE, FILE_SHARE_READ, 0, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, 0);
    if (Lock == INVALID_HANDLE_VALUE)
        return 0;
    snprintf(OwnSnapshot, sizeof OwnSnapshot, "%s\\%s.snapshot", RecoveryDir, Owner.c_str());
    snprintf(OwnTemporary, sizeof OwnTemporary, "%s\\%s.tmp", RecoveryDir, Owner.c_str());
    InitializeCriticalSection(&WriterLock);
    WriterWake = CreateEventA(0, FALSE, FALSE, 0);
    WriterIdle = CreateEventA(0, TRUE, TRUE, 0);
    HANDLE thread = CreateThread(0, 0, SnapshotWriter, 0, 0, 0);
    if (thread)
        CloseHandle(thread);
    Main = main;
    // The editor reports its changes from now on (the control keeps its event mask
    // when it is replaced).
    HWND editor = EditorControl.control;
    if (editor)
        SendMessageA(editor, EM_SETEVENTMASK, 0,
                     SendMessageA(editor, EM_GETEVENTMASK, 0, 0) | ENM_CHANGE);
    return 1;
}

static bool EditorModified()
{
    return EditorControl.control && SendMessageA(EditorControl.control, EM_GETMODIFY, 0, 0) != 0;
}

int TakeSnapshot(double *heldMs)
{
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    HWND editor = EditorControl.control;
    if (!Main || !editor || Holds > 0 || IsLoadingInPieces() || !EditorModified())
        return 0;
    SnapshotJob *job = new (std::nothrow) SnapshotJob();
    if (!job)
        return 0;
    SnapshotRecord &record = job->record;
    record.path = CurrentDocumentPath;
    record.format = DocumentFormat;
    record.utf8Mark = Utf8ByteOrderMark;
    record.lineEnds = DocumentLineEnds;
    record.mixedLineEnds = DocumentLineEndsMixed;
    record.fileSize = FileSize;
    record.fileTime = FileTime;
    CHARRANGE selection = {0, 0};
    SendMessageA(editor, EM_EXGETSEL, 0, (LPARAM)&selection);
    record.caretStart = selection.cpMin;
    record.caretEnd = selection.cpMax;
    record.wrap = EditorControl.GetWrapMode();
    record.rich = EditorControl.GetTextMode() == TEXT_RICH;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    record.takenAt = Ticks(now);

    if (record.rich) {
        job->rtf = StreamOutRtf(editor);
        job->length = job->rtf ? strlen(job->rtf) : 0;
    } else {
        size_t units = 0;
        job->text = GetUnicodeText(editor, &units);
        job->length = units * 2;
    }
    if (!job->rtf && !job->text) {
        delete job;
        return 0;
    }
    HandToWriter(job);
    if (heldMs)
        *heldMs = Milliseconds(start);
    return 1;
}

static void CALLBACK OnRecoveryTimer(HWND window, UINT, UINT_PTR id, DWORD)
{
    KillTimer(window, id);
    if (!EditorModified()) {
        DirtySince = 0;
        return;
    }
    if (Holds > 0 || IsLoadingInPieces()) {
        SetTimer(window, RECOVERY_TIMER, RETRY_MS, OnRecoveryTimer);
        return;
    }
    if (TakeSnapshot())
        DirtySince = 0;
}

void NoteDocumentChanged()
{
    if (!Main)
        return;
    DWORD now = GetTickCount();
    if (!DirtySince)
        DirtySince = now ? now : 1;
    DWORD wait = now - DirtySince >= LONGEST_MS ? USER_TIMER_MINIMUM : PAUSE_MS;
    SetTimer(Main, RECOVERY_TIMER, wait, OnRecoveryTimer);
}

void DropSnapshot()
{
    if (!Main)
        return;
    KillTimer(Main, RECOVERY_TIMER);
    DirtySince = 0;
    EnterCriticalSection(&WriterLock);
    delete Pending;
    Pending = 0;
    LeaveCriticalSection(&WriterLock);
    WaitForSnapshotWriter();
    DeleteFileA(OwnSnapshot);
}

void EndRecovery()
{
    if (!Main)
        return;
    DropSnapshot();
    CloseHandle(Lock);
    Lock = INVALID_HANDLE_VALUE;
    Main = 0;
}

SnapshotHold::SnapshotHold() { ++Holds; }
SnapshotHold::~SnapshotHold() { --Holds; }

// Size and last-write time of a file; false when it is not there.
static bool FileStamp(const char *path, long long *size, uint64_t *time)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!path || !path[0] || !GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return false;
    *size = (long long)data.nFileSizeHigh << 32 | data.nFileSizeLow;
    *time = Ticks(data.ftLastWriteTime);
    return true;
}

void RememberDocumentFile(const char *path)
{
    FileSize = -1;
    FileTime = 0;
    FileStamp(path, &FileSize, &FileTime);
}

void RestoreDocumentFile(long long size, unsigned long long lastWrite)
{
    FileSize = size;
    FileTime = lastWrite;
}
