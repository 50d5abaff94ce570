// trace_bench: how fast lines go into the output window, next to the copy-data transport
// alone, in one run:
//  1. N lines of 60 characters through TracePrint (one message a line) into a stand-in
//     window that only counts them (this program, started with /standin);
//  2. the same lines into OrvelloWord.exe /oxr, from the first send until the last line is
//     in the control, and the ratio of the two times;
//  3. the same lines piped through tracesend, from its start until the last line is in;
//  4. 10 x N lines into /oxr through TracePrint, with the rate of each block of N;
//  5. 20,000 lines through tracesend from a Unix pipe (`cat file | wine tracesend.exe`)
//     and a Unix redirection (`wine tracesend.exe < file`), start-up included (the Unix
//     side is in scripts/bench.sh, after the rest);
//  6. the soak: 1,000,000 lines through TracePrint, one message each, into a window that
//     keeps its newest lines (its default MaxLines): the rate and the window's working set
//     after each block of 100,000, and at the end every kept line once and in order,
//     ending with the last one sent.
// "trace_bench.exe [N]" runs 1-4 and 6; bench.sh adds 5 ("BENCH_ARGS=pipes": 5 only);
// "trace_bench.exe soak [lines]" runs 6 only. The output window runs with its default settings (Output on, wrap to
// the window). Every document is read back and checked. Slow figures are reported, never
// failed.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

#include <psapi.h>

#include "app/OutputTrim.h"
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

// The output window with its default settings; maxLines, when given, as its line limit.
static bool StartOutputWindow(Run &run, const char *maxLines = 0)
{
    WritePrivateProfileStringA("OXR", 0, 0, "win.ini");
    if (maxLines)
        WritePrivateProfileStringA("OXR", "MaxLines", maxLines, "win.ini");
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
    if (!StartOutputWindow(run, "0")) {  // growth: every line stays
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

// The output window process's working set in MB.
static double WorkingSetMB(const Run &run)
{
    PROCESS_MEMORY_COUNTERS memory;
    memset(&memory, 0, sizeof memory);
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(run.program.process.hProcess, &memory, sizeof memory);
    return memory.WorkingSetSize / 1048576.0;
}

// Every kept line once, in order, ending with the last sent, at least MaxLines of them
// and at most a tenth more; false (with what differs) otherwise.
static bool CheckKeptLines(Run &run, int last)
{
    run.editor = FindChild(run.program.main, "RichEdit20A");
    std::string text = LongWindowText(run.editor, (size_t)(DEFAULT_MAX_LINES * 1.2) * (LINE_LENGTH + 2));
    size_t lines = 0;
    for (char c : text)
        lines += c == '\n';
    int first = last - (int)lines + 1;
    if (lines < (size_t)DEFAULT_MAX_LINES || lines > (size_t)(DEFAULT_MAX_LINES * 11 / 10)) {
        printf("trace_bench: FAILED (soak): the window holds %u lines\n", (unsigned)lines);
        return false;
    }
    std::string expected;
    expected.reserve(text.size());
    for (int k = first; k <= last; ++k)
        expected += BenchLine(k) + "\r\n";
    if (text != expected) {
        size_t at = 0;
        while (at < text.size() && at < expected.size() && text[at] == expected[at])
            ++at;
        printf("trace_bench: FAILED (soak): the kept lines differ from lines %d-%d at byte %u\n",
               first, last, (unsigned)at);
        return false;
    }
    printf("trace_bench:   kept lines %d-%d (%u lines), each once and in order\n", first, last,
           (unsigned)lines);
    return true;
}

static bool MeasureSoak(int total, int block)
{
    Run run;
    if (!StartOutputWindow(run)) {
        printf("trace_bench: the output window did not start\n");
        return false;
    }
    printf("trace_bench: soak, %d lines of %d characters, one message each, MaxLines %d:\n",
           total, LINE_LENGTH, DEFAULT_MAX_LINES);
    printf("trace_bench:   block     lines/s   working set MB\n");
    double first = 0, lastRate = 0, peak = 0;
    for (int b = 0; b * block < total; ++b) {
        int from = b * block + 1, to = from + block - 1 < total ? from + block - 1 : total;
        double seconds = SendLines(from, to);
        double rate = (to - from + 1) / seconds;
        Sleep(300);  // the last lines of the block go in
        double memory = WorkingSetMB(run);
        if (b == 0)
            first = rate;
        lastRate = rate;
        if (memory > peak)
            peak = memory;
        printf("trace_bench:   %7d  %8.0f   %8.0f\n", to, rate, memory);
    }
    printf("trace_bench:   last block %.2f x the first (target at least 0.8: %s); largest "
           "working set %.0f MB (target under 512: %s)\n",
           lastRate / first, lastRate >= 0.8 * first ? "met" : "NOT met", peak,
           peak < 512 ? "met" : "NOT met");
    bool same = CheckKeptLines(run, total);
    CloseProgram(run.program);
    return same;
}

// Seconds since 1970, as the shell's `date +%s.%N` gives them.
static double UnixSeconds()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    unsigned long long ticks = ((unsigned long long)now.dwHighDateTime << 32) | now.dwLowDateTime;
    return (double)(ticks - 116444736000000000ULL) / 1e7;
}

// The Unix half of the tracesend runs is scripts/bench.sh (a Unix program started by Wine
// cannot start Wine again): it calls "/window" (an output window starts and stays), then
// feeds tracesend from `cat file |` or `< file`, then "/check N how start" (waits until the
// window holds the N lines of "/input N", checks them, closes the window, and prints the
// rate from the shell's start time).
static int RunPipeStep(int argc, char **argv)
{
    if (strcmp(argv[1], "/input") == 0) {
        int count = argc > 2 ? atoi(argv[2]) : 20000;
        FILE *file = fopen("trace_bench_input.txt", "wb");
        if (!file)
            return 1;
        for (int k = 1; k <= count; ++k)
            fprintf(file, "%s\n", BenchLine(k).c_str());
        fclose(file);
        return 0;
    }
    if (strcmp(argv[1], "/window") == 0) {
        Run run;
        if (FindWindowA("OXR", 0) || !StartOutputWindow(run)) {
            printf("trace_bench: the output window did not start\n");
            return 1;
        }
        return 0;  // it keeps running for tracesend
    }
    // /check N how start
    if (argc < 5)
        return 1;
    int count = atoi(argv[2]);
    const char *how = argv[3];
    double start = atof(argv[4]);
    Run run;
    memset(&run, 0, sizeof run);
    run.program.main = FindWindowA("OXR", 0);
    if (!run.program.main) {
        printf("trace_bench: FAILED (%s): no output window\n", how);
        return 1;
    }
    DWORD id = 0;
    GetWindowThreadProcessId(run.program.main, &id);
    run.program.process.hProcess = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id);
    run.editor = FindChild(run.program.main, "RichEdit20A");
    bool arrived = WaitForLines(run.editor, count);
    double seconds = UnixSeconds() - start;
    bool same = arrived && CheckDocument(run, 1, count, how);
    if (!arrived)
        printf("trace_bench: FAILED (%s): the lines did not all arrive (caret at %u)\n", how,
               (unsigned)CaretPosition(run.editor));
    else if (same)
        printf("trace_bench:   %-32s %6.2f s  %6.0f lines/s, start-up included (target at "
               "least 5000: %s)\n",
               how, seconds, count / seconds, count / seconds >= 5000 ? "met" : "NOT met");
    CloseProgram(run.program);
    WritePrivateProfileStringA("OXR", 0, 0, "win.ini");
    return same ? 0 : 1;
}

// Input that trickles, as a slow build writes it: a line every few milliseconds through a
// pipe that stays open, each line waited for in the window before the next is written.
// Prints the median and longest time from a line written to the line shown.
static bool MeasureTrickle(int count)
{
    Run run;
    if (!StartOutputWindow(run))
        return false;
    PipedProgram piped;
    if (!StartPiped(piped, "tracesend.exe", "")) {
        CloseProgram(run.program);
        return false;
    }
    std::vector<double> delays;
    bool ok = true;
    for (int k = 0; k < count && ok; ++k) {
        Sleep(5);
        double start = Now();
        ok = WritePiped(piped, BenchLine(k) + "\r\n") && WaitForLines(run.editor, k + 1);
        delays.push_back(Now() - start);
    }
    FinishPiped(piped);
    ok = ok && CheckDocument(run, 0, count - 1, "trickle");
    CloseProgram(run.program);
    if (!ok) {
        printf("trace_bench: a trickled line did not arrive before the next was due\n");
        return false;
    }
    RunSummary delay = Summarise(delays);
    printf("trace_bench: tracesend, %d lines trickled 5 ms apart: each shown %.0f ms after it was "
           "written (median; %.0f-%.0f ms)\n",
           count, delay.median * 1000, delay.low * 1000, delay.high * 1000);
    return true;
}

int main(int argc, char **argv)
{
    if (argc > 1 && strcmp(argv[1], "/standin") == 0)
        return RunStandIn();
    if (argc > 1 && (strcmp(argv[1], "/input") == 0 || strcmp(argv[1], "/window") == 0 ||
                     strcmp(argv[1], "/check") == 0))
        return RunPipeStep(argc, argv);
    // "pipes": the Unix side is in scripts/bench.sh, which runs after this.
    if (argc > 1 && strcmp(argv[1], "pipes") == 0)
        return 0;
    if (argc > 1 && strcmp(argv[1], "trickle") == 0) {
        setvbuf(stdout, 0, _IONBF, 0);
        return MeasureTrickle(argc > 2 ? atoi(argv[2]) : 200) ? 0 : 1;
    }
    bool soakOnly = argc > 1 && strcmp(argv[1], "soak") == 0;
    if (soakOnly) {
        if (FindWindowA("OXR", 0)) {
            printf("trace_bench: an output window is already running\n");
            return 1;
        }
        setvbuf(stdout, 0, _IONBF, 0);
        int soakLines = argc > 2 ? atoi(argv[2]) : 1000000;
        bool ok = MeasureSoak(soakLines > 0 ? soakLines : 1000000, 100000);
        WritePrivateProfileStringA("OXR", 0, 0, "win.ini");
        return ok ? 0 : 1;
    }
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

    if (!MeasureTrickle(200) || !MeasureGrowth(count, 10) || !MeasureSoak(1000000, 100000))
        return 1;
    WritePrivateProfileStringA("OXR", 0, 0, "win.ini");
    printf("trace_bench: every document held all its lines, in order\n");
    return 0;
}
