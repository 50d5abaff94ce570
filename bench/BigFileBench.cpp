// bigfile_bench: what big files cost, in two parts.
//
// `bigfile_bench cost [KB]`: the RichEdit control's memory per character and per line for
// typical texts (prose, log lines, source code, 16-bit text), each streamed into a fresh
// control in this process as the editor's (plain text, the fixed font, wrapped to the
// window), measured as the growth of the process's committed private memory; and the
// same for the settings that might make it cheaper (no undo, single-level undo and one
// code page, another font, no wrapping). LoadCost.h holds the figures the program uses.
//
// `bigfile_bench open [MB,MB...] [seconds]`: the real program started with a log of
// ~100-character lines on its command line (10 and 100 MB by default): time to its first
// screen (the editor holds text and answers), the longest time it did not answer, what
// the load ended in (the whole text, or a message box), and the largest working set;
// Wine's Notepad on the same file beside it, each with a time cap (default 60 s).
//
// Run by `make bench BENCH=bigfile_bench` (no arguments: both parts). The exit status is
// non-zero when a measurement could not be made or the program died.
#include <windows.h>
#include <richedit.h>
#include <psapi.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <algorithm>
#include <string>
#include <vector>

#include "bench/BenchClock.h"
#include "document/LoadCost.h"
#include "res/resource.h"
#include "tests/e2e/Driver.h"

namespace {

bool Failed = false;

// ---------------------------------------------------------------------------
// Texts

// One log line of about 100 characters: timestamp, brackets, numbers, a path.
std::string LogLine(unsigned n)
{
    char line[160];
    snprintf(line, sizeof line,
             "2026-12-%02u %02u:%02u:%02u.%03u [worker-%02u] INFO  /srv/app/module_%u/handler.cpp:%u "
             "request %u done in %u ms (status=200)\r\n",
             1 + n % 28, n / 3600 % 24, n / 60 % 60, n % 60, n * 7 % 1000, n % 32, n % 97,
             100 + n % 900, n, n % 250);
    return line;
}

std::string LogText(size_t bytes)
{
    std::string text;
    for (unsigned n = 0; text.size() < bytes; ++n)
        text += LogLine(n);
    return text;
}

std::string ProseText(size_t bytes)
{
    static const char *words[] = {"the",   "quiet",   "river",  "carried", "a",     "letter",
                                  "from",  "morning", "to",     "evening", "while", "children",
                                  "slept", "under",   "heavy",  "blankets", "and",  "nobody"};
    std::string text;
    unsigned n = 0;
    while (text.size() < bytes) {
        std::string line;
        while (line.size() < 70)
            line += std::string(words[(n++ * 7) % 18]) + " ";
        line.back() = '.';
        text += line + "\r\n";
    }
    return text;
}

std::string SourceText(size_t bytes)
{
    std::string text;
    for (unsigned n = 0; text.size() < bytes; ++n) {
        char line[160];
        snprintf(line, sizeof line,
                 n % 4 == 0 ? "static int Handle%u(HWND window, int count)\r\n{\r\n"
                 : n % 4 == 1 ? "    if (count > %u && window != 0)\r\n"
                 : n % 4 == 2 ? "        return SendMessageA(window, WM_USER + %u, 0, 0);\r\n"
                              : "    return -%u;\r\n}\r\n\r\n",
                 n);
        text += line;
    }
    return text;
}

// Lines of one digit each: nothing but line ends and runs.
std::string DigitLines(size_t bytes)
{
    std::string text;
    for (unsigned n = 0; text.size() < bytes; ++n)
        text += std::string(1, (char)('0' + n % 10)) + "\r\n";
    return text;
}

// Cyrillic prose as UTF-16: the kind of text a 16-bit file holds.
std::u16string WideText(size_t units)
{
    static const char16_t *words[] = {u"\x0440\x0435\x043A\x0430", u"\x043D\x0435\x0441\x043B\x0430",
                                      u"\x043F\x0438\x0441\x044C\x043C\x043E", u"\x0443\x0442\x0440\x043E\x043C",
                                      u"\x0438", u"\x0432\x0435\x0447\x0435\x0440\x043E\x043C"};
    std::u16string text;
    unsigned n = 0;
    while (text.size() < units) {
        std::u16string line;
        while (line.size() < 70)
            line += std::u16string(words[(n++ * 5) % 6]) + u" ";
        text += line + u"\r\n";
    }
    return text;
}

// ---------------------------------------------------------------------------
// The control's cost

// Committed private memory of this process, from the address space itself (Wine's
// memory counters approximate).
double CommittedBytes()
{
    double total = 0;
    MEMORY_BASIC_INFORMATION info;
    for (char *at = 0; VirtualQuery(at, &info, sizeof info) == sizeof info;) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE)
            total += (double)info.RegionSize;
        char *next = (char *)info.BaseAddress + info.RegionSize;
        if (next <= at)
            break;
        at = next;
    }
    return total;
}

enum Setting { AS_EDITOR, NO_UNDO, SINGLE_LEVEL, OTHER_FONT, UNWRAPPED, SETTINGS };
const char *SettingNames[SETTINGS] = {"as the editor", "undo limit 0",
                                      "single-level undo, one code page", "Courier New 10",
                                      "unwrapped"};

HWND Frame;

HWND MakeControl(Setting setting)
{
    HWND editor = CreateWindowExA(0, "RichEdit20A", "",
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                      ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL |
                                      ES_WANTRETURN,
                                  0, 0, 800, 560, Frame, 0, 0, 0);
    static HFONT courier = CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0,
                                       FIXED_PITCH, "Courier New");
    SendMessageA(editor, WM_SETFONT,
                 (WPARAM)(setting == OTHER_FONT ? courier : GetStockObject(ANSI_FIXED_FONT)), 0);
    SendMessageA(editor, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    SendMessageA(editor, EM_SETTARGETDEVICE, 0, setting == UNWRAPPED ? 1 : 0);
    SendMessageA(editor, EM_SETTEXTMODE,
                 setting == SINGLE_LEVEL ? TM_PLAINTEXT | TM_SINGLELEVELUNDO | TM_SINGLECODEPAGE
                                         : TM_PLAINTEXT,
                 0);
    if (setting == NO_UNDO)
        SendMessageA(editor, EM_SETUNDOLIMIT, 0, 0);
    return editor;
}

struct Source {
    const void *data;
    size_t left;
};

DWORD CALLBACK Give(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG *given)
{
    Source *source = (Source *)cookie;
    size_t n = source->left < (size_t)wanted ? source->left : (size_t)wanted;
    memcpy(buffer, source->data, n);
    source->data = (const char *)source->data + n;
    source->left -= n;
    *given = (LONG)n;
    return 0;
}

struct Cost {
    double perChar, perLine, seconds;
};

Cost MeasureCost(Setting setting, const void *data, size_t bytes, bool wide, size_t chars,
                 size_t lines)
{
    HWND editor = MakeControl(setting);
    double before = CommittedBytes();
    double start = Now();
    Source source = {data, bytes};
    EDITSTREAM stream = {(DWORD_PTR)&source, 0, Give};
    SendMessageA(editor, EM_STREAMIN, SF_TEXT | (wide ? SF_UNICODE : 0), (LPARAM)&stream);
    UpdateWindow(editor);
    double seconds = Now() - start;
    double grown = CommittedBytes() - before;
    GETTEXTLENGTHEX count = {GTL_NUMCHARS, 1200};
    LRESULT length = SendMessageA(editor, EM_GETTEXTLENGTHEX, (WPARAM)&count, 0);
    if (length < (LRESULT)(chars - lines) || length > (LRESULT)chars) {
        printf("  WRONG: the control holds %ld characters of %u\n", (long)length,
               (unsigned)chars);
        Failed = true;
    }
    DestroyWindow(editor);
    return {grown / (double)chars, grown / (double)lines, seconds};
}

const char *KindNames[] = {"prose", "log lines", "source code", "16-bit text", "empty lines",
                           "digit lines"};
const int KINDS = 6;

// One measurement in this fresh process (a control freed before would leave memory to
// reuse): prints chars, lines, runs, bytes grown and seconds.
void RunOneCost(int kind, int setting, size_t kilobytes)
{
    LoadLibraryA("riched32.dll");
    Frame = CreateWindowExA(0, "STATIC", "bigfile_bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                            820, 600, 0, 0, 0, 0);
    size_t bytes = kilobytes * 1024;
    // A first control of a line, so that what every control needs once is not counted.
    HWND first = MakeControl((Setting)setting);
    SendMessageA(first, WM_SETTEXT, 0, (LPARAM) "warm 123 [up]");
    UpdateWindow(first);
    std::string text;
    std::u16string wide;
    TextCost counted;
    Cost cost;
    if (kind == 3) {
        wide = WideText(bytes / 2);
        counted = CountTextCost(wide.data(), wide.size());
        cost = MeasureCost((Setting)setting, wide.data(), wide.size() * 2, true, wide.size(),
                           (size_t)counted.lines);
    } else {
        text = kind == 0   ? ProseText(bytes)
               : kind == 1 ? LogText(bytes)
               : kind == 2 ? SourceText(bytes)
               : kind == 4 ? std::string(bytes, '\r')
                           : DigitLines(bytes);
        counted = CountTextCost(text.data(), text.size());
        cost = MeasureCost((Setting)setting, text.data(), text.size(), false,
                           text.size(), (size_t)counted.lines);
    }
    printf("%.0f %.0f %.0f %.0f %.3f %.0f\n", counted.chars, counted.lines, counted.runs,
           cost.perChar * counted.chars, cost.seconds, EstimatedControlBytes(counted));
}

void RunCost(size_t kilobytes)
{
    char self[MAX_PATH];
    GetModuleFileNameA(0, self, sizeof self);
    printf("The control's memory for %u KB of each kind of text (committed private memory "
           "grown, each in a fresh process): bytes per character and per line, load time, and "
           "the program's estimate:\n",
           (unsigned)kilobytes);
    for (int setting = 0; setting < SETTINGS; ++setting) {
        printf("  %s:\n", SettingNames[setting]);
        for (int kind = 0; kind < KINDS; ++kind) {
            char command[MAX_PATH + 64];
            snprintf(command, sizeof command, "\"%s\" costone %d %d %u", self, kind, setting,
                     (unsigned)kilobytes);
            std::string output;
            SECURITY_ATTRIBUTES inherit = {sizeof inherit, 0, TRUE};
            HANDLE readEnd, writeEnd;
            CreatePipe(&readEnd, &writeEnd, &inherit, 0);
            SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
            STARTUPINFOA startup = {sizeof startup};
            startup.dwFlags = STARTF_USESTDHANDLES;
            startup.hStdOutput = writeEnd;
            startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
            PROCESS_INFORMATION process;
            if (!CreateProcessA(0, command, 0, 0, TRUE, 0, 0, 0, &startup, &process)) {
                printf("    %-12s could not start\n", KindNames[kind]);
                Failed = true;
                CloseHandle(readEnd);
                CloseHandle(writeEnd);
                continue;
            }
            CloseHandle(writeEnd);
            char buffer[256];
            DWORD got;
            while (ReadFile(readEnd, buffer, sizeof buffer, &got, 0) && got)
                output.append(buffer, got);
            WaitForSingleObject(process.hProcess, INFINITE);
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
            CloseHandle(readEnd);
            double chars, lines, runs, grown, seconds, estimate;
            if (sscanf(output.c_str(), "%lf %lf %lf %lf %lf %lf", &chars, &lines, &runs, &grown,
                       &seconds, &estimate) != 6) {
                printf("    %-12s no result: %s\n", KindNames[kind], output.c_str());
                Failed = true;
                continue;
            }
            printf("    %-12s %6.1f B/char %7.0f B/line %6.2f s  (%.0f chars, %.0f lines, "
                   "%.0f runs; estimate %6.1f B/char)\n",
                   KindNames[kind], grown / chars, grown / lines, seconds, chars, lines, runs,
                   estimate / chars);
            fflush(stdout);
        }
    }
}

// ---------------------------------------------------------------------------
// The whole program on a big log

struct OpenResult {
    double firstScreen = -1;   // s from the start to text in the editor with an answer
    double longestSilence = 0; // s, the longest time the window did not answer
    double peakWorkingSet = 0; // MB
    double lastLine = -1;      // s for Ctrl+End to show the last line (a view)
    double findLast = -1;      // s for Find Next from the top to a word on the last line
    double firstLine = -1;     // s for Ctrl+Home back to the first
    std::string outcome;
};

// Asks the program's window every 20 ms whether it answers, on a thread of its own, so
// that the longest time without an answer and the largest working set cover everything
// the run does to the program.
struct Watch {
    HWND window = 0;
    HANDLE process = 0;
    volatile LONG stop = 0;
    double longest = 0, peak = 0;
    HANDLE thread = 0;
};

DWORD WINAPI Watching(void *parameter)
{
    Watch *watch = (Watch *)parameter;
    double last = Now();
    while (!watch->stop) {
        DWORD_PTR result;
        if (SendMessageTimeoutA(watch->window, WM_NULL, 0, 0, SMTO_BLOCK, 60000, &result)) {
            double now = Now();
            if (now - last > watch->longest)
                watch->longest = now - last;
            last = now;
        }
        PROCESS_MEMORY_COUNTERS memory = {sizeof memory};
        if (GetProcessMemoryInfo(watch->process, &memory, sizeof memory) &&
            memory.PeakWorkingSetSize / 1048576.0 > watch->peak)
            watch->peak = memory.PeakWorkingSetSize / 1048576.0;
        Sleep(20);
    }
    return 0;
}

// Waits until the status bar's first part shows line (1-based) of the file; seconds, or -1.
double WaitForLine(HWND status, unsigned long long line, double start, double cap)
{
    char want[64];
    snprintf(want, sizeof want, "Ln %llu,", line);
    while (Now() - start < cap) {
        if (StatusPartText(status, 0).find(want) == 0)
            return Now() - start;
        Sleep(10);
    }
    return -1;
}

// In a view: Ctrl+End, then Find Next of word from the top through the Find dialog.
void MeasureMoves(OpenResult &result, HWND main, HWND status, unsigned long long lines,
                  const char *word, double cap)
{
    double start = Now();
    PressKey(FindChild(main, "RichEdit20A"), VK_END, VK_CONTROL);
    result.lastLine = WaitForLine(status, lines, start, cap);
    PressKey(FindChild(main, "RichEdit20A"), VK_HOME, VK_CONTROL);
    result.firstLine = WaitForLine(status, 1, Now(), cap);
    PostMessageA(main, WM_COMMAND, IDC_FIND, 0);
    HWND dialog = WaitForDialog("Find / Replace", 10000);
    if (!dialog)
        return;
    SetDlgItemTextA(dialog, IDC_FIND_TEXT, word);
    start = Now();
    PostMessageA(dialog, WM_COMMAND, IDC_FIND_NEXT_BUTTON, 0);
    result.findLast = WaitForLine(status, lines - 1, start, cap);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
}

OpenResult MeasureOpen(const std::string &exe, const std::string &file, const char *mainClass,
                       const char *editClass, double cap, unsigned long long lines = 0,
                       const char *word = 0)
{
    OpenResult result;
    std::string command = "\"" + exe + "\" \"" + file + "\"";
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process;
    double start = Now();
    if (!CreateProcessA(0, &command[0], 0, 0, FALSE, 0, 0, 0, &startup, &process)) {
        result.outcome = "could not start";
        Failed = true;
        return result;
    }
    HWND main = 0, edit = 0;
    double lastAnswer = start;
    Watch watch;
    while (Now() - start < cap) {
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
            result.outcome = "the program ended";
            Failed = true;
            break;
        }
        PROCESS_MEMORY_COUNTERS memory = {sizeof memory};
        if (GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory) &&
            memory.PeakWorkingSetSize / 1048576.0 > result.peakWorkingSet)
            result.peakWorkingSet = memory.PeakWorkingSetSize / 1048576.0;
        if (!main) {
            main = FindTopWindow(process.dwProcessId, mainClass);
            if (main) {
                watch.window = main;
                watch.process = process.hProcess;
                watch.thread = CreateThread(0, 0, Watching, &watch, 0, 0);
            }
        }
        if (main && !edit)
            edit = FindChild(main, editClass);
        if (!edit) {
            Sleep(10);
            continue;
        }
        DWORD_PTR length = 0;
        double asked = Now();
        BOOL answered = SendMessageTimeoutA(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_BLOCK,
                                            (UINT)(cap * 1000), &length);
        double now = Now();
        if (answered) {
            if (now - lastAnswer > result.longestSilence)
                result.longestSilence = now - lastAnswer;
            lastAnswer = now;
        } else if (!IsWindow(edit)) {
            edit = 0;  // the editor was replaced
            continue;
        }
        (void)asked;
        if (answered && length > 0 && result.firstScreen < 0)
            result.firstScreen = now - start;
        if (HWND box = FindTopWindow(process.dwProcessId, "#32770")) {
            result.outcome = "a message box: " + WindowText(box);
            break;
        }
        HWND status = FindChild(main, "msctls_statusbar32");
        if (lines && status && answered &&
            StatusPartText(status, 0).find("Read-only view") != std::string::npos) {
            result.outcome = "a read-only view";
            MeasureMoves(result, main, status, lines, word, cap);
            break;
        }
        if (result.firstScreen >= 0 && answered) {
            // Steady for a second: the load is over.
            static DWORD_PTR previous;
            static double steadySince;
            if (length != previous) {
                previous = length;
                steadySince = now;
            } else if (now - steadySince > 1.0) {
                char text[64];
                snprintf(text, sizeof text, "%lu characters in", (unsigned long)length);
                result.outcome = text;
                previous = 0;
                break;
            }
        }
        Sleep(50);
    }
    if (result.outcome.empty())
        result.outcome = "still loading at the time cap";
    if (watch.thread) {
        InterlockedExchange(&watch.stop, 1);
        WaitForSingleObject(watch.thread, 70000);
        CloseHandle(watch.thread);
        result.peakWorkingSet = std::max(result.peakWorkingSet, watch.peak);
        result.longestSilence = std::max(result.longestSilence, watch.longest);
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return result;
}

void PrintOpen(const char *label, const OpenResult &r)
{
    printf("    %-12s first screen %s%.2f s, longest without an answer %.2f s, largest working "
           "set %.0f MB: %s",
           label, r.firstScreen < 0 ? "never " : "", r.firstScreen < 0 ? 0.0 : r.firstScreen,
           r.longestSilence, r.peakWorkingSet, r.outcome.c_str());
    if (r.lastLine >= 0 || r.findLast >= 0)
        printf("; Ctrl+End to the last line %.2f s, Ctrl+Home back %.2f s, Find of a word on "
               "the last line %.2f s",
               r.lastLine, r.firstLine, r.findLast);
    printf("\n");
    fflush(stdout);
}

void RunOpen(const std::vector<int> &megabytes, double cap)
{
    for (int mb : megabytes) {
        std::string path = BesideThisProgram("bigfile_bench_log.txt");
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0);
        std::string block = LogText(4 << 20);
        long long written = 0, wanted = (long long)mb << 20;
        unsigned long long lines = 1;
        size_t blockLines = 0;
        for (char c : block)
            blockLines += c == '\n';
        while (written < wanted) {
            DWORD n = 0;
            DWORD chunk = (DWORD)std::min<long long>((long long)block.size(), wanted - written);
            // Whole blocks, then whole lines of the last.
            if (chunk < block.size())
                chunk = (DWORD)(block.rfind('\n', chunk) + 1);
            WriteFile(file, block.data(), chunk, &n, 0);
            written += n;
            lines += chunk == block.size() ? blockLines
                                           : std::count(block.begin(), block.begin() + chunk, '\n');
            if (!n || chunk < block.size())
                break;
        }
        const char *word = "needle-at-the-end-4711";
        std::string last = std::string("last line ") + word + "\r\n";
        DWORD n = 0;
        WriteFile(file, last.data(), (DWORD)last.size(), &n, 0);
        ++lines;  // and the empty line after it
        CloseHandle(file);
        printf("  %d MB log (lines of about 100 characters), time cap %.0f s:\n", mb, cap);
        PrintOpen("OrvelloWord", MeasureOpen(BesideThisProgram("OrvelloWord.exe"), path,
                                             "OrvelloWord", "RichEdit20A", cap, lines, word));
        PrintOpen("Notepad", MeasureOpen("C:\\windows\\system32\\notepad.exe", path, "Notepad",
                                         "Edit", cap));
        DeleteFileA(path.c_str());
    }
}

}  // namespace

int main(int argc, char **argv)
{
    std::string part = argc > 1 ? argv[1] : "all";
    if (part == "costone" && argc > 4) {
        RunOneCost(atoi(argv[2]), atoi(argv[3]), (size_t)atoi(argv[4]));
        return Failed ? 1 : 0;
    }
    if (part == "cost" || part == "all")
        RunCost(argc > 2 && part == "cost" ? (size_t)atoi(argv[2]) : 512);
    if (part == "open" || part == "all") {
        std::vector<int> sizes;
        const char *list = argc > 2 && part == "open" ? argv[2] : "10,100";
        for (const char *p = list; *p;) {
            sizes.push_back(atoi(p));
            p = strchr(p, ',') ? strchr(p, ',') + 1 : p + strlen(p);
        }
        RunOpen(sizes, argc > 3 ? atof(argv[3]) : 60);
    }
    return Failed ? 1 : 0;
}
