// trace_bench: starts OrvelloWord.exe /oxr (beside this program), sends it 10,000 lines
// of 60 characters through TracePrint, and reports lines per second until the last line
// is in the document; then reads the document back and checks every line, in order.
// An optional argument sets the number of lines.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>

#include "app/TracePrint.h"

static const int LINE_LENGTH = 60;

static double Seconds(const LARGE_INTEGER &from, const LARGE_INTEGER &to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return (double)(to.QuadPart - from.QuadPart) / (double)frequency.QuadPart;
}

// Line number k: its number, then letters that change with k, 60 characters in all.
static std::string BenchLine(int k)
{
    char line[LINE_LENGTH + 1];
    int used = snprintf(line, sizeof line, "line %05d ", k);
    for (int c = used; c < LINE_LENGTH; ++c)
        line[c] = (char)('a' + (k + c) % 26);
    line[LINE_LENGTH] = 0;
    return line;
}

// Starts the output window and waits until it takes lines (it answers the empty block).
static bool StartOutputWindow(PROCESS_INFORMATION *process, HWND *window)
{
    char path[MAX_PATH];
    GetModuleFileNameA(0, path, sizeof path);
    strcpy(strrchr(path, '\\') + 1, "OrvelloWord.exe");
    std::string commandLine = std::string("\"") + path + "\" /oxr";
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    if (!CreateProcessA(path, &commandLine[0], 0, 0, FALSE, 0, 0, 0, &startup, process))
        return false;
    char empty = 0;
    COPYDATASTRUCT handshake = {0, 1, &empty};
    for (int round = 0; round < 400; ++round) {
        *window = FindWindowA("OXR", 0);
        if (*window && SendMessageA(*window, WM_COPYDATA, 0, (LPARAM)&handshake))
            return true;
        Sleep(50);
    }
    return false;
}

static void CloseOutputWindow(PROCESS_INFORMATION &process, HWND window)
{
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 15000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
}

// The document's text as WM_GETTEXT gives it (carried across processes).
static std::string DocumentText(HWND window, size_t expected)
{
    HWND editor = FindWindowExA(window, 0, "RichEdit20A", 0);
    std::string text(expected + 4096, '\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(editor, WM_GETTEXT, text.size(), (LPARAM)&text[0], SMTO_ABORTIFHUNG,
                        60000, &copied);
    text.resize(strlen(text.c_str()));
    return text;
}

int main(int argc, char **argv)
{
    int count = argc > 1 ? atoi(argv[1]) : 10000;
    if (count <= 0)
        count = 10000;
    if (FindWindowA("OXR", 0)) {
        printf("trace_bench: an output window is already running\n");
        return 1;
    }
    // Default output-window settings: Output on, wrap to the window.
    WritePrivateProfileStringA("OXR", 0, 0, "win.ini");
    PROCESS_INFORMATION process;
    HWND window = 0;
    if (!StartOutputWindow(&process, &window)) {
        printf("trace_bench: the output window did not start\n");
        return 1;
    }

    std::string expected;
    expected.reserve((size_t)count * (LINE_LENGTH + 2));
    LARGE_INTEGER start, tenth, last, end;
    QueryPerformanceCounter(&start);
    tenth = start;
    last = start;
    for (int k = 1; k <= count; ++k) {
        if (k == count / 10 + 1)
            QueryPerformanceCounter(&tenth);
        if (k == count - count / 10 + 1)
            QueryPerformanceCounter(&last);
        std::string line = BenchLine(k);
        TracePrint("%s", line.c_str());
        expected += line + "\r\n";
    }
    // SendMessage returns after the window has typed the line: the last one is in.
    QueryPerformanceCounter(&end);

    std::string text = DocumentText(window, expected.size());
    size_t mismatch = 0;
    while (mismatch < text.size() && mismatch < expected.size() &&
           text[mismatch] == expected[mismatch])
        ++mismatch;
    bool same = text == expected;
    CloseOutputWindow(process, window);
    WritePrivateProfileStringA("OXR", 0, 0, "win.ini");

    double total = Seconds(start, end);
    printf("trace_bench: %d lines of %d characters in %.2f s: %.0f lines/s "
           "(first tenth %.0f lines/s, last tenth %.0f lines/s), wrap to window\n",
           count, LINE_LENGTH, total, count / total, (count / 10) / Seconds(start, tenth),
           (count / 10) / Seconds(last, end));
    if (!same) {
        printf("trace_bench: FAILED: document differs from the lines sent at byte %u "
               "(document %u bytes, expected %u)\n",
               (unsigned)mismatch, (unsigned)text.size(), (unsigned)expected.size());
        return 1;
    }
    printf("trace_bench: all %d lines arrived in order\n", count);
    return 0;
}
