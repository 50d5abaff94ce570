// trace_bench: how fast lines go into the output window, next to the copy-data transport
// alone, in one run:
//  1. N lines of 60 characters through TracePrint (one message a line) into a stand-in
//     window that only counts them (this program, started with /standin);
//  2. the same lines into OrvelloWord.exe /oxr, from the first send until the last line is
//     in the control, and the ratio of the two times;
//  3. the same lines piped through tracesend, from its start until the last line is in;
//  4. 10 x N lines into /oxr through TracePrint, with the rate of each block of N.
// N is 10,000 unless given as the argument. The output window runs with its default
// settings (Output on, wrap to the window). Every document is read back and checked: all
// lines, in order. Slow figures are reported, never failed.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

#include "app/TracePrint.h"
#include "tests/e2e/Driver.h"
#include "bench/BenchClock.h"

static const int LINE_LENGTH = 60;
static const UINT STANDIN_LINES = WM_APP;  // the stand-in answers the lines it counted

// Line number k: its number, then letters that change with k, 60 characters in all.
static std::string BenchLine(int k)
{
    char line[LINE_LENGTH + 1];
    int used = snprintf(line, sizeof line, "line %06d ", k);
    for (int c = used; c < LINE_LENGTH; ++c)
        line[c] = (char)('a' + (k + c) % 26);
    line[LINE_LENGTH] = 0;
    return line;
}

// ---- The stand-in: a window of class "OXR" that answers every block and counts lines.

static LRESULT CALLBACK StandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    static LRESULT lines = 0;
    switch (message) {
    case WM_COPYDATA: {
        const COPYDATASTRUCT *data = (const COPYDATASTRUCT *)lParam;
        const char *text = (const char *)data->lpData;
        for (DWORD k = 0; text && k < data->cbData && text[k]; ++k)
            lines += text[k] == '\n';
        return 1;
    }
    case STANDIN_LINES:
        return lines;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static int RunStandIn()
{
    WNDCLASSA windowClass;
    memset(&windowClass, 0, sizeof windowClass);
    windowClass.lpfnWndProc = StandInProc;
    windowClass.hInstance = GetModuleHandleA(0);
    windowClass.lpszClassName = "OXR";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA("OXR", "stand-in", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, 0, 0,
                                windowClass.hInstance, 0);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    MSG message;
    while (GetMessageA(&message, 0, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}

// ---- Measuring.

struct Run {
    RunningProgram program;
    HWND editor;
};

static bool StartOutputWindow(Run &run)
{
    WritePrivateProfileStringA("OXR", 0, 0, "win.ini");
    run.program = StartProgram("/oxr", "OXR");
    run.editor = run.program.main ? FindChild(run.program.main, "RichEdit20A") : 0;
    return run.editor != 0;
}

// The caret's position, asked without reading the text (reading would hand the window's
// waiting lines to the control at once).
static DWORD CaretPosition(HWND editor)
{
    DWORD start = 0, end = 0;
    SendMessageA(editor, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    return end;
}

// Waits until the caret stands after the last line (each line end counts one character);
// false once it has not moved for 10 s.
static bool WaitForLines(HWND editor, int count)
{
    DWORD expected = (DWORD)count * (LINE_LENGTH + 1), last = CaretPosition(editor);
    for (DWORD still = GetTickCount(); GetTickCount() - still < 10000; Sleep(1)) {
        DWORD caret = CaretPosition(editor);
        if (caret == expected)
            return true;
        if (caret != last)
            still = GetTickCount();
        last = caret;
    }
    return false;
}

// Reads the document back; false (with the place) when it is not lines first..last in order.
static bool CheckDocument(Run &run, int first, int last, const char *what)
{
    std::string expected;
    expected.reserve((size_t)(last - first + 1) * (LINE_LENGTH + 2));
    for (int k = first; k <= last; ++k)
        expected += BenchLine(k) + "\r\n";
    std::string text = LongWindowText(run.editor, expected.size() + 4096);
    if (text == expected)
        return true;
    size_t at = 0;
    while (at < text.size() && at < expected.size() && text[at] == expected[at])
        ++at;
    printf("trace_bench: FAILED (%s): the document differs from the lines sent at byte %u "
           "(document %u bytes, expected %u)\n",
           what, (unsigned)at, (unsigned)text.size(), (unsigned)expected.size());
    return false;
}

// Sends lines first..last with TracePrint; the seconds it took.
static double SendLines(int first, int last)
{
    double start = Now();
    for (int k = first; k <= last; ++k)
        TracePrint("%s", BenchLine(k).c_str());
    return Now() - start;
}

static bool MeasureStandIn(int count, double *seconds)
{
    RunningProgram standIn = StartBeside("trace_bench.exe", "/standin", "OXR");
    if (!standIn.main) {
        printf("trace_bench: the stand-in did not start\n");
        return false;
    }
    *seconds = SendLines(1, count);
    LRESULT counted = SendMessageA(standIn.main, STANDIN_LINES, 0, 0);
    CloseProgram(standIn);
    if (counted != count) {
        printf("trace_bench: FAILED: the stand-in counted %d lines of %d\n", (int)counted, count);
        return false;
    }
    return true;
}

static bool MeasureOutputWindow(int count, double *seconds)
{
    Run run;
    if (!StartOutputWindow(run)) {
        printf("trace_bench: the output window did not start\n");
        return false;
    }
    double start = Now();
    SendLines(1, count);
    bool arrived = WaitForLines(run.editor, count);
    *seconds = Now() - start;
    bool same = arrived && CheckDocument(run, 1, count, "one message a line");
    if (!arrived)
        printf("trace_bench: FAILED: the lines did not all arrive (caret at %u)\n",
               (unsigned)CaretPosition(run.editor));
    CloseProgram(run.program);
    return same;
}

static bool MeasureTraceSend(int count, double *seconds)
{
    Run run;
    if (!StartOutputWindow(run)) {
        printf("trace_bench: the output window did not start\n");
        return false;
    }
    std::string input;
    input.reserve((size_t)count * (LINE_LENGTH + 1));
    for (int k = 1; k <= count; ++k)
        input += BenchLine(k) + "\n";
    double start = Now();
    int code = RunWithInput("tracesend.exe", "", input, 600000);
    bool arrived = code == 0 && WaitForLines(run.editor, count);
    *seconds = Now() - start;
    bool same = arrived && CheckDocument(run, 1, count, "tracesend");
    if (!arrived)
        printf("trace_bench: FAILED: tracesend ended with %d; caret at %u\n", code,
               (unsigned)CaretPosition(run.editor));
    CloseProgram(run.program);
    return same;
}

static bool MeasureGrowth(int block, int blocks)
{
    Run run;
    if (!StartOutputWindow(run)) {
        printf("trace_bench: the output window did not start\n");
        return false;
    }
    printf("trace_bench: %d lines in one run, lines/s per block of %d:", block * blocks, block);
    double start = Now();
    for (int b = 0; b < blocks; ++b) {
        double seconds = SendLines(b * block + 1, (b + 1) * block);
        printf(" %.0f", block / seconds);
        fflush(stdout);
    }
    bool arrived = WaitForLines(run.editor, block * blocks);
    double total = Now() - start;
    printf("\ntrace_bench:   all %d in %.2f s, %.0f lines/s until the last line was in\n",
           block * blocks, total, block * blocks / total);
    bool same = arrived && CheckDocument(run, 1, block * blocks, "growth");
    if (!arrived)
        printf("trace_bench: FAILED: the lines did not all arrive\n");
    CloseProgram(run.program);
    return same;
}

int main(int argc, char **argv)
{
    if (argc > 1 && strcmp(argv[1], "/standin") == 0)
        return RunStandIn();
    int count = argc > 1 ? atoi(argv[1]) : 10000;
    if (count <= 0)
        count = 10000;
    if (FindWindowA("OXR", 0)) {
        printf("trace_bench: an output window is already running\n");
        return 1;
    }
    setvbuf(stdout, 0, _IONBF, 0);

    double standIn = 0, window = 0, piped = 0;
    if (!MeasureStandIn(count, &standIn) || !MeasureOutputWindow(count, &window))
        return 1;
    printf("trace_bench: one message a line (TracePrint), %d lines of %d characters:\n", count,
           LINE_LENGTH);
    printf("trace_bench:   stand-in that only counts  %6.2f s  %6.0f lines/s\n", standIn,
           count / standIn);
    printf("trace_bench:   output window /oxr         %6.2f s  %6.0f lines/s\n", window,
           count / window);
    printf("trace_bench:   ratio %.2f (target at most 1.5: %s)\n", window / standIn,
           window / standIn <= 1.5 ? "met" : "NOT met");

    if (!MeasureTraceSend(count, &piped))
        return 1;
    printf("trace_bench: tracesend, %d piped lines: %.2f s, %.0f lines/s "
           "(target at least 5000: %s)\n",
           count, piped, count / piped, count / piped >= 5000 ? "met" : "NOT met");

    if (!MeasureGrowth(count, 10))
        return 1;
    WritePrivateProfileStringA("OXR", 0, 0, "win.ini");
    printf("trace_bench: every document held all its lines, in order\n");
    return 0;
}
