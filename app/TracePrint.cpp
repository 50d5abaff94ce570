#include "app/TracePrint.h"

#include <windows.h>
#include <stdarg.h>
#include <stdio.h>

// How long a freshly started output window may take to answer: 400 rounds of 50 ms.
static const int START_ROUNDS = 400;

// Sends the empty handshake block; true when the window is ready for lines.
static bool Handshake(HWND window)
{
    char empty = 0;
    COPYDATASTRUCT data = {0, 1, &empty};
    return SendMessageA(window, WM_COPYDATA, 0, (LPARAM)&data) != 0;
}

// Starts the output window program and waits until its window takes lines; 0 when it
// cannot be started or does not answer in time.
static HWND StartOutputWindow()
{
    char command[260];
    GetProfileStringA("OXR", "App", "oxr.exe", command, sizeof command);
    if (WinExec(command, SW_SHOWNORMAL) < 32)
        return 0;
    HWND window = 0;
    int round = 0;
    for (; round < START_ROUNDS && !(window = FindWindowA("OXR", 0)); ++round)
        Sleep(50);
    for (; window && round < START_ROUNDS; ++round) {
        if (Handshake(window))
            return window;
        Sleep(50);
    }
    return 0;
}

// The running output window, started when there is none; 0 when there is none.
static HWND OutputWindow()
{
    HWND window = FindWindowA("OXR", 0);
    return window ? window : StartOutputWindow();
}

static void Send(HWND window, const char *text, size_t length)
{
    COPYDATASTRUCT data = {0, (DWORD)length + 1, (void *)text};
    SendMessageA(window, WM_COPYDATA, 0, (LPARAM)&data);
}

void SendTraceText(const char *text, size_t length)
{
    if (length + 1 > (size_t)TRACE_LINE_SIZE)
        return;
    HWND window = OutputWindow();
    if (window)
        Send(window, text, length);
}

void TracePrint(const char *format, ...)
{
    HWND window = OutputWindow();
    if (!window)
        return;

    char line[TRACE_LINE_SIZE];
    va_list arguments;
    va_start(arguments, format);
    // One byte stays free for the line feed; a longer text is cut.
    int length = vsnprintf(line, sizeof line - 1, format, arguments);
    va_end(arguments);
    if (length < 0)
        return;
    if (length > TRACE_TEXT_MAX)
        length = TRACE_TEXT_MAX;
    line[length] = '\n';
    line[length + 1] = 0;
    Send(window, line, (size_t)length + 1);
}
