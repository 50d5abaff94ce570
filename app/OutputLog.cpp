#include "app/OutputLog.h"

#include <commdlg.h>
#include <string.h>
#include <string>

#include "app/App.h"
#include "app/Settings.h"

static const UINT_PTR LOG_TIMER = 0x4F4C;       // "OL": apart from the other timers
static const UINT LOG_FLUSH_PERIOD = 1000;      // the buffer is written at least this often
static const size_t LOG_FLUSH_SIZE = 64 * 1024; // and whenever this much waits

static HANDLE LogFile = INVALID_HANDLE_VALUE;
static char LogPath[260];
static std::string LogBuffer;
static bool LogTimerRunning;

void FlushOutputLog()
{
    if (LogTimerRunning && MainWindow)
        KillTimer(MainWindow, LOG_TIMER);
    LogTimerRunning = false;
    if (LogFile == INVALID_HANDLE_VALUE || LogBuffer.empty())
        return;
    DWORD written = 0;
    size_t at = 0;
    while (at < LogBuffer.size() &&
           WriteFile(LogFile, LogBuffer.data() + at, (DWORD)(LogBuffer.size() - at), &written, 0) &&
           written)
        at += written;
    // What could not be written (a full disk) waits for the next flush.
    LogBuffer.erase(0, at);
}

static VOID CALLBACK FlushLater(HWND, UINT, UINT_PTR, DWORD)
{
    FlushOutputLog();
}

void CloseOutputLog()
{
    FlushOutputLog();
    if (LogFile != INVALID_HANDLE_VALUE)
        CloseHandle(LogFile);
    LogFile = INVALID_HANDLE_VALUE;
    LogBuffer.clear();
}

bool OpenOutputLog(const char *path)
{
    CloseOutputLog();
    char chosen[260] = "";
    if (path)
        lstrcpynA(chosen, path, sizeof chosen);
    else
        GetPrivateProfileStringA("OXR", "LogFile", "", chosen, sizeof chosen,
                                 PairPath(SettingsFile));
    LogPath[0] = 0;
    bool opened = true;
    if (chosen[0]) {
        LogFile = CreateFileA(chosen, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, 0,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, 0);
        opened = LogFile != INVALID_HANDLE_VALUE;
        if (opened) {
            SetFilePointer(LogFile, 0, 0, FILE_END);
            lstrcpynA(LogPath, chosen, sizeof LogPath);
        }
    }
    if (path)
        WritePrivateProfileStringA("OXR", "LogFile", opened ? chosen : "", PairPath(SettingsFile));
    return opened;
}

const char *OutputLogPath()
{
    return LogFile != INVALID_HANDLE_VALUE ? LogPath : "";
}

void WriteOutputLog(const char *text, size_t length)
{
    if (LogFile == INVALID_HANDLE_VALUE || !length)
        return;
    for (size_t k = 0; k < length; ++k) {
        if (text[k] == '\n')
            LogBuffer += '\r';
        LogBuffer += text[k];
    }
    if (LogBuffer.size() >= LOG_FLUSH_SIZE || !MainWindow) {
        FlushOutputLog();
        return;
    }
    if (!LogTimerRunning)
        LogTimerRunning = SetTimer(MainWindow, LOG_TIMER, LOG_FLUSH_PERIOD, FlushLater) != 0;
    if (!LogTimerRunning)
        FlushOutputLog();
}

void ChooseOutputLog(HWND window)
{
    if (OutputLogPath()[0]) {
        OpenOutputLog("");
        return;
    }
    char path[260] = "";
    GetPrivateProfileStringA("OXR", "LastLogFile", "", path, sizeof path, PairPath(SettingsFile));
    OPENFILENAMEA dialog;
    memset(&dialog, 0, sizeof dialog);
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window;
    dialog.lpstrFilter = "Log Files (*.log)\0*.log\0Text Files (*.txt)\0*.txt\0All Files (*.*)\0*.*\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.lpstrTitle = "Log to File";
    dialog.lpstrDefExt = "log";
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOREADONLYRETURN;
    if (!GetSaveFileNameA(&dialog))
        return;
    WritePrivateProfileStringA("OXR", "LastLogFile", path, PairPath(SettingsFile));
    if (!OpenOutputLog(path))
        MessageBoxA(window, "The log file cannot be written.", AppName, MB_OK | MB_ICONEXCLAMATION);
}
