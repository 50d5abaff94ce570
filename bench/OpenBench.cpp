// open_bench: how long OrvelloWord, Wine's WordPad and Wine's Notepad take to open a
// large plain-text file, and how long OrvelloWord and WordPad take to save it again in
// each format they offer. Every program is driven from outside as a user would drive
// it: started with the file on its command line, its Save As dialog filled in and its
// Save button pressed. Run by `make bench` (scripts/bench.sh) inside the private Wine
// set-up. Options: -r N runs per measurement (default 3), -b S no new run once a
// measurement has taken S seconds (default 120), -t S open timeout, -w S longest wait
// for a program to be idle before a save (default 600; WordPad re-formats the whole
// document after each save), -p orvello,wordpad,notepad for some programs only,
// -z small,large file sizes in bytes for a quick trial.
//
// The exit status is non-zero only when a measurement could not be made.
#include "bench/OpenBench.h"

#include <algorithm>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include "bench/BenchClock.h"
#include "tests/common/FileBytes.h"
#include "tests/e2e/Driver.h"

int Repeats = 3;
double BudgetSeconds = 120;
double BusySeconds = 600;

namespace {

DWORD OpenTimeout = 1800000;         // ms for one open (-t seconds)
const int STALL_SECONDS = 20;        // an idle program whose text stays short this long

const char *Only = 0;   // -p: a comma list of orvello, wordpad, notepad; null for all
const char *SizesOption = 0;  // -z: the two file sizes in bytes, for a quick trial
bool Failed = false;

bool Wanted(const char *name)
{
    if (!Only)
        return true;
    std::string list = std::string(",") + Only + ",";
    return list.find(std::string(",") + name + ",") != std::string::npos;
}

}  // namespace

void Fail(const char *what, const char *detail)
{
    printf("  FAILED: %s%s%s\n", what, detail && *detail ? ": " : "", detail ? detail : "");
    fflush(stdout);
    Failed = true;
}

namespace {

// ---------------------------------------------------------------------------
// Test files

// Printable ASCII lines of 20-78 characters, CR LF ends, exactly size bytes.
std::string MakeText(size_t size)
{
    static const char *const words[] = {
        "the", "quick", "brown", "fox", "jumps", "over", "lazy", "dog", "editor", "window",
        "line", "text", "file", "save", "open", "format", "rich", "plain", "Wine", "control",
        "{brace}", "[square]", "(round)", "12345", "67890", "a+b=c", "x*y", "50%", "#tag",
        "semi;colon", "comma,", "full.", "question?", "quote\"", "back\\slash", "tilde~",
    };
    const size_t wordCount = sizeof words / sizeof words[0];
    std::string text;
    text.reserve(size);
    unsigned seed = 12345;
    while (text.size() < size) {
        seed = seed * 1103515245 + 12345;
        size_t target = 20 + (seed >> 16) % 59;
        std::string line;
        while (line.size() < target) {
            seed = seed * 1103515245 + 12345;
            const char *word = words[(seed >> 16) % wordCount];
            if (!line.empty())
                line += ' ';
            line += word;
        }
        line.resize(std::min(line.size(), (size_t)78));
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        text += line;
        text += "\r\n";
    }
    // Trim to the size, ending on a complete line: the last line gets shorter (or the
    // one before it longer), never a bare CR.
    text.resize(size);
    text[size - 2] = '\r';
    text[size - 1] = '\n';
    for (size_t i = size - 3; i > 0 && (text[i] == '\r' || text[i] == '\n'); --i)
        text[i] = 'x';
    return text;
}

// ---------------------------------------------------------------------------
// Programs and their windows

struct Program {
    const char *label;
    std::string exe;
    const char *mainClass;
    const char *editClass;   // class name prefix of the text control
};

}  // namespace

// The text of a message box: its caption and its static texts.
std::string DescribeBox(HWND box)
{
    std::string text = "\"" + WindowText(box) + "\"";
    HWND child = 0;
    while ((child = FindWindowExA(box, child, "Static", 0))) {
        std::string part = WindowText(child);
        if (!part.empty())
            text += " " + part;
    }
    return text;
}

namespace {

bool Launch(const Program &program, const std::string &file, Running &running)
{
    memset(&running, 0, sizeof running);
    std::string commandLine = "\"" + program.exe + "\" \"" + file + "\"";
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    return CreateProcessA(program.exe.c_str(), &commandLine[0], 0, 0, FALSE, 0, 0, 0, &startup,
                          &running.process) != 0;
}

// Ends the program without giving it the chance to ask anything.
void Kill(Running &running)
{
    if (!running.process.hProcess)
        return;
    TerminateProcess(running.process.hProcess, 0);
    WaitForSingleObject(running.process.hProcess, 10000);
    CloseHandle(running.process.hProcess);
    CloseHandle(running.process.hThread);
    memset(&running, 0, sizeof running);
    Sleep(300);
}
}  // namespace

bool Ended(const Running &running)
{
    return WaitForSingleObject(running.process.hProcess, 0) == WAIT_OBJECT_0;
}

namespace {

// Time from CreateProcess to the control holding the whole text (the length it reports,
// which counts CR LF as two, as both RichEdit 2.0 and the edit control do), or a
// negative number. The program is left running in running.
double TimeOpen(const Program &program, const std::string &file, size_t expected,
                Running &running)
{
    double start = Now();
    if (!Launch(program, file, running)) {
        Fail("could not start", program.exe.c_str());
        return -1;
    }
    DWORD process = running.process.dwProcessId;
    long long last = -1;
    double lastChange = start;
    double end = start + OpenTimeout / 1000.0;
    while (Now() < end) {
        if (Ended(running)) {
            Fail(program.label, "the program ended while opening");
            return -1;
        }
        if (!running.main)
            running.main = FindTopWindow(process, program.mainClass);
        if (running.main && !running.edit)
            running.edit = FindDescendant(running.main, program.editClass, 0);
        if (!running.edit) {
            Sleep(5);
            continue;
        }
        DWORD_PTR length = 0;
        // While the program is loading its thread answers nothing; the call returns as
        // soon as the load is over.
        double asked = Now();
        if (SendMessageTimeoutA(running.edit, WM_GETTEXTLENGTH, 0, 0, SMTO_BLOCK, 1000,
                                &length)) {
            double answered = Now();
            if ((long long)length != last) {
                last = (long long)length;
                lastChange = answered;
            }
            // At least the whole length: Wine's WordPad can count a few characters more
            // than the file holds (a CR LF split between two stream-in reads seems to
            // become two line ends); fewer would be a text not yet (or not all) loaded.
            if (length >= expected) {
                if (length != expected)
                    printf("  (%s reports %lld characters for the %u of the file)\n",
                           program.label, (long long)length, (unsigned)expected);
                return answered - start;
            }
            // Answering at once with the same length for long: nothing is loading.
            if (answered - asked < 0.1 && answered - lastChange > STALL_SECONDS) {
                char detail[160];
                snprintf(detail, sizeof detail,
                         "%s: the text stayed at %lld of %u characters for %d s",
                         program.label, last, (unsigned)expected, STALL_SECONDS);
                Fail("open incomplete", detail);
                return -1;
            }
        }
        // A message box instead of the text (a question or an error) ends the attempt.
        if (HWND box = FindTopWindow(process, "#32770")) {
            Fail(program.label, ("a message box appeared: " + DescribeBox(box)).c_str());
            return -1;
        }
        Sleep(5);
    }
    char detail[160];
    snprintf(detail, sizeof detail, "%s: the text never reached %u characters (%s %lld)",
             program.label, (unsigned)expected, running.edit ? "last length" : "no control",
             last);
    Fail("open timed out", detail);
    return -1;
}

// ---------------------------------------------------------------------------
// OrvelloWord's wrap setting, changed for one row of the table and put back

struct WrapSetting {
    std::string file;   // the profile file OrvelloWord reads
    bool had;
    std::string value;
};

WrapSetting ReadWrapSetting()
{
    WrapSetting setting;
    char folder[260] = "";
    GetProfileStringA("Folders", "OrvelloTools", "", folder, sizeof folder);
    setting.file = folder[0] ? std::string(folder) + "\\OrvelloTools.ini" : "win.ini";
    char value[64];
    GetPrivateProfileStringA("OrvelloWord", "Wrap", "\x01", value, sizeof value,
                             setting.file.c_str());
    setting.had = strcmp(value, "\x01") != 0;
    setting.value = setting.had ? value : "";
    return setting;
}

void WriteWrap(const WrapSetting &setting, const char *value)
{
    WritePrivateProfileStringA("OrvelloWord", "Wrap", value, setting.file.c_str());
}

void RestoreWrap(const WrapSetting &setting)
{
    WriteWrap(setting, setting.had ? setting.value.c_str() : 0);
}

const char *WrapName(const char *value)
{
    if (!value || !*value)
        return "page wrap, the default";
    int wrap = atoi(value);
    if (wrap == 0)
        return "no wrap";
    if (wrap == 'w')
        return "window wrap";
    if (wrap == 'p')
        return "page wrap";
    return value;
}

// ---------------------------------------------------------------------------
// The runs and the table

struct OpenRow {
    std::string label;
    Program program;
    const char *wrap;        // OrvelloWord's Wrap value for the row, or null to leave it
    int saves;               // 0 none, 1 OrvelloWord's five formats, 2 WordPad's three
    std::vector<double> times[2];
};

double Best(const std::vector<double> &times)
{
    double best = -1;
    for (double t : times)
        if (t >= 0 && (best < 0 || t < best))
            best = t;
    return best;
}

double Median(std::vector<double> times)
{
    times.erase(std::remove_if(times.begin(), times.end(), [](double t) { return t < 0; }),
                times.end());
    if (times.empty())
        return -1;
    std::sort(times.begin(), times.end());
    size_t n = times.size();
    return n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
}

std::string SizeName(size_t bytes)
{
    char text[32];
    if (bytes % (1 << 20) == 0)
        snprintf(text, sizeof text, "%u MB", (unsigned)(bytes >> 20));
    else
        snprintf(text, sizeof text, "%u KB", (unsigned)(bytes >> 10));
    return text;
}

}  // namespace

std::string Seconds(double t)
{
    char text[32];
    if (t < 0)
        return "-";
    snprintf(text, sizeof text, "%.3f", t);
    return text;
}

namespace {

std::string Ratio(double a, double b)
{
    char text[32];
    if (a < 0 || b <= 0)
        return "-";
    snprintf(text, sizeof text, "%.2f", a / b);
    return text;
}

std::vector<double> TimesOf(const std::vector<SaveResult> &results)
{
    std::vector<double> times;
    for (const SaveResult &result : results)
        times.push_back(result.seconds);
    return times;
}

void PrintTable(const std::vector<OpenRow> &rows, const SaveRows &saves, const size_t sizes[2])
{
    printf("\n==== open_bench: best of the runs, median in brackets, seconds ====\n");
    printf("\n%-38s %-20s %s\n", "Open (start to whole text)", SizeName(sizes[0]).c_str(),
           SizeName(sizes[1]).c_str());
    const OpenRow *wordpad = 0;
    for (const OpenRow &row : rows)
        if (row.saves == 2)
            wordpad = &row;
    for (const OpenRow &row : rows)
        printf("  %-36s %8s [%8s]   %8s [%8s]   (%d+%d runs)\n", row.label.c_str(),
               Seconds(Best(row.times[0])).c_str(), Seconds(Median(row.times[0])).c_str(),
               Seconds(Best(row.times[1])).c_str(), Seconds(Median(row.times[1])).c_str(),
               (int)row.times[0].size(), (int)row.times[1].size());
    if (wordpad) {
        printf("\n  %-36s %8s              %8s\n", "OrvelloWord / WordPad (best)",
               SizeName(sizes[0]).c_str(), SizeName(sizes[1]).c_str());
        for (const OpenRow &row : rows)
            if (row.program.mainClass == std::string("OrvelloWord"))
                printf("  %-36s %8s              %8s\n", row.label.c_str(),
                       Ratio(Best(row.times[0]), Best(wordpad->times[0])).c_str(),
                       Ratio(Best(row.times[1]), Best(wordpad->times[1])).c_str());
    }

    printf("\n%-34s  OrvelloWord      bytes |   WordPad      bytes | ratio\n",
           ("Save " + SizeName(sizes[1]) + " (press to file complete)").c_str());
    for (int k = 0; k < 5; ++k) {
        const std::vector<SaveResult> &o = saves.orvello[k], &w = saves.wordpad[k];
        bool comparable = k == SAVE_RTF || k == SAVE_PLAIN || k == SAVE_UNICODE_LE;
        bool oOk = true, wOk = true;
        for (const SaveResult &result : o)
            oOk = oOk && result.verified;
        for (const SaveResult &result : w)
            wOk = wOk && result.verified;
        printf("  %-32s %8s%s %10s | %9s%s %10s | %5s\n", FormatNames[k],
               Seconds(Best(TimesOf(o))).c_str(), o.empty() || oOk ? " " : "!",
               o.empty() ? "-" : std::to_string(o.back().size).c_str(),
               comparable ? Seconds(Best(TimesOf(w))).c_str() : "n/a",
               w.empty() || wOk ? " " : "!", w.empty() ? "" : std::to_string(w.back().size).c_str(),
               comparable ? Ratio(Best(TimesOf(o)), Best(TimesOf(w))).c_str() : "");
    }
    printf("  (! = the saved bytes differ from the file that was opened, in that format)\n");

    const OpenRow *orvello = rows.empty() || rows[0].saves != 1 ? 0 : &rows[0];
    if (orvello && wordpad) {
        double o = Best(orvello->times[1]), w = Best(wordpad->times[1]);
        printf("\nTarget, OrvelloWord opens %s no slower than WordPad: %s\n",
               SizeName(sizes[1]).c_str(),
               o < 0 || w < 0 ? "not measured" : o <= w ? "met" : "NOT met");
    }
}

}  // namespace

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "-r") && i + 1 < argc)
            Repeats = std::max(1, atoi(argv[++i]));
        else if (!strcmp(argv[i], "-t") && i + 1 < argc)
            OpenTimeout = 1000 * (DWORD)std::max(1, atoi(argv[++i]));
        else if (!strcmp(argv[i], "-b") && i + 1 < argc)
            BudgetSeconds = atof(argv[++i]);
        else if (!strcmp(argv[i], "-w") && i + 1 < argc)
            BusySeconds = atof(argv[++i]);
        else if (!strcmp(argv[i], "-p") && i + 1 < argc)
            Only = argv[++i];
        else if (!strcmp(argv[i], "-z") && i + 1 < argc)
            SizesOption = argv[++i];
        else {
            printf("usage: open_bench [-r runs] [-b budget seconds] [-t open timeout seconds]"
                   " [-w busy wait seconds]"
                   " [-p orvello,wordpad,notepad] [-z small,large bytes]\n");
            return 2;
        }
    }
    setvbuf(stdout, 0, _IONBF, 0);

    static const char *const wordpadPaths[] = {
        "%ProgramFiles%\\Windows NT\\Accessories\\wordpad.exe",
        "%ProgramFiles(x86)%\\Windows NT\\Accessories\\wordpad.exe",
        "%SystemRoot%\\system32\\wordpad.exe", 0,
    };
    static const char *const notepadPaths[] = {
        "%SystemRoot%\\system32\\notepad.exe", "%SystemRoot%\\notepad.exe", 0,
    };
    Program orvello = {"OrvelloWord", BesideThisProgram("OrvelloWord.exe"), "OrvelloWord", "RichEdit20A"};
    Program wordpad = {"WordPad", LocateProgram(wordpadPaths, "wordpad.exe"), "WORDPADTOP", "RichEdit"};
    Program notepad = {"Notepad", LocateProgram(notepadPaths, "notepad.exe"), "Notepad", "Edit"};

    std::string folder = TempFolder("OrvelloBench");
    folder.pop_back();  // paths below add their own backslash
    size_t sizes[2] = {1 << 20, 4 << 20};
    unsigned given[2];
    if (SizesOption && sscanf(SizesOption, "%u,%u", &given[0], &given[1]) == 2) {
        sizes[0] = given[0];
        sizes[1] = given[1];
    }
    std::string texts[2], files[2];
    for (int s = 0; s < 2; ++s) {
        texts[s] = MakeText(sizes[s]);
        files[s] = folder + (s ? "\\open-4mb.txt" : "\\open-1mb.txt");
        if (!WriteBytes(files[s], texts[s])) {
            printf("open_bench: cannot write %s\n", files[s].c_str());
            return 1;
        }
    }
    printf("open_bench: up to %d runs per measurement (no new run once one measurement has "
           "taken %.0f s); plain-text files of %u and %u bytes (printable ASCII lines of "
           "20-78 characters, CR LF) in %s\n",
           Repeats, BudgetSeconds, (unsigned)sizes[0], (unsigned)sizes[1], folder.c_str());
    printf("  OrvelloWord: %s\n  WordPad:     %s\n  Notepad:     %s\n", orvello.exe.c_str(),
           wordpad.exe.c_str(), notepad.exe.c_str());

    WrapSetting wrap = ReadWrapSetting();
    std::vector<OpenRow> rows;
    if (Wanted("orvello"))
        rows.push_back({std::string("OrvelloWord, ") + WrapName(wrap.had ? wrap.value.c_str() : 0),
                        orvello, 0, 1, {}});
    if (Wanted("wordpad"))
        rows.push_back({"WordPad, text: no wrap", wordpad, 0, 2, {}});
    if (Wanted("notepad"))
        rows.push_back({"Notepad, no wrap", notepad, 0, 0, {}});
    // The same OrvelloWord without wrapping, as WordPad shows text files.
    if (Wanted("orvello") && (!wrap.had || atoi(wrap.value.c_str()) != 0))
        rows.push_back({"OrvelloWord, no wrap", orvello, "0", 0, {}});

    // Each program opens each file in a fresh process; the last 4 MB open of a program
    // that saves stays running for its saves.
    printf("\nOpening: seconds from CreateProcess to the whole text in the control\n");
    SaveRows saves;
    for (OpenRow &row : rows) {
        if (row.wrap)
            WriteWrap(wrap, row.wrap);
        for (int s = 0; s < 2; ++s) {
            double spent = 0;
            for (int r = 0; r < Repeats && (r == 0 || spent <= BudgetSeconds); ++r) {
                Running running;
                double t = TimeOpen(row.program, files[s], sizes[s], running);
                row.times[s].push_back(t);
                printf("  %-36s %s run %d: %s s\n", row.label.c_str(), SizeName(sizes[s]).c_str(),
                       r + 1, Seconds(t).c_str());
                bool last = r + 1 == Repeats || spent + t > BudgetSeconds;
                if (t >= 0 && s == 1 && last && row.saves) {
                    printf("\nSaving the %s document in %s: seconds from the last press "
                           "(Save, or WordPad's Yes) to the file complete\n",
                           SizeName(sizes[1]).c_str(), row.program.label);
                    if (row.saves == 1)
                        RunOrvelloSaves(running, folder, texts[1], saves);
                    else
                        RunWordPadSaves(running, folder, texts[1], saves);
                    printf("\n");
                }
                Kill(running);
                if (t < 0)
                    break;
                spent += t;
            }
        }
        if (row.wrap)
            RestoreWrap(wrap);
    }

    PrintTable(rows, saves, sizes);

    // Leave no large files behind in the prefix.
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((folder + "\\" + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
    if (Failed)
        printf("\nopen_bench: some measurements could not be made (see FAILED above)\n");
    return Failed ? 1 : 0;
}
