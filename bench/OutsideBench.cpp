// outside_bench: how soon OrvelloWord notices what another program does to the file it
// has open. Rewrites the file (unchanged document) and times the change to the question
// (target 3 s at most), then appends lines to a log it has open and times each append to
// the text shown (target 2 s at most). Each change comes at a random moment against the
// program's 2 s checks. Run by `make bench`; `outside_bench.exe N` for N of each.
//
// The exit status is non-zero only when a measurement could not be made.
#include <windows.h>

#include <algorithm>
#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>

#include "bench/BenchClock.h"
#include "tests/common/FileBytes.h"
#include "tests/e2e/Driver.h"

namespace {

const double QUESTION_TARGET = 3.0, SHOWN_TARGET = 2.0;

unsigned Seed = 12345;

// Milliseconds in [0, 2000): a moment anywhere in the program's check period.
DWORD RandomPhase()
{
    Seed = Seed * 1103515245u + 12345u;
    return (Seed >> 8) % 2000;
}

void Report(const char *what, std::vector<double> times, double target)
{
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (double t : times)
        sum += t;
    printf("%-24s n=%zu  min %.3f s  median %.3f s  mean %.3f s  max %.3f s  (target %.1f s: %s)\n",
           what, times.size(), times.front(), times[times.size() / 2], sum / times.size(),
           times.back(), target, times.back() <= target ? "met" : "NOT met");
}

// Rewrites the open file count times; the seconds from each write to the question.
bool MeasureQuestions(const std::string &path, int count, std::vector<double> *times)
{
    WriteBytes(path, "first version\r\n");
    RunningProgram program = StartProgram(("\"" + path + "\"").c_str(), "OrvelloWord");
    if (!program.main)
        return false;
    bool ok = true;
    for (int i = 0; ok && i < count; ++i) {
        Sleep(RandomPhase());
        std::string text = "version " + std::to_string(i) + std::string(i + 1, '.') + "\r\n";
        double start = Now();
        WriteBytes(path, text);
        HWND box = WaitForMessageBox("OrvelloWord", "changed by another program", 10000);
        if (!box) {
            ok = false;
            break;
        }
        times->push_back(Now() - start);
        PressButton(box, IDNO);
        WaitForGone(box);
    }
    TerminateProcess(program.process.hProcess, 0);
    WaitForExit(program, 2000);
    return ok;
}

// Appends count lines to the open log; the seconds from each append to its text shown.
bool MeasureFollowing(const std::string &path, int count, std::vector<double> *times)
{
    std::string text = "log start\r\n";
    WriteBytes(path, text);
    RunningProgram program = StartProgram(("\"" + path + "\"").c_str(), "OrvelloWord");
    HWND editor = program.main ? FindChild(program.main, "RichEdit20A") : 0;
    if (!editor)
        return false;
    bool ok = true;
    for (int i = 0; ok && i < count; ++i) {
        Sleep(RandomPhase());
        std::string line = "line " + std::to_string(i) + " of the log\r\n";
        text += line;
        double start = Now();
        AppendBytes(path, line);
        for (;;) {
            if (WindowTextLength(editor) >= (int)text.size())
                break;
            if (Now() - start > 10 || FindWindowA("#32770", "OrvelloWord")) {
                ok = false;
                break;
            }
            Sleep(5);
        }
        if (ok)
            times->push_back(Now() - start);
    }
    if (ok && LongWindowText(editor, text.size() + 64) != text)
        ok = false;
    TerminateProcess(program.process.hProcess, 0);
    WaitForExit(program, 2000);
    return ok;
}

}  // namespace

int main(int argc, char **argv)
{
    int count = argc > 1 ? atoi(argv[1]) : 10;
    if (count < 1)
        count = 1;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string path = std::string(temp) + "outside_bench.txt";
    WriteProfileStringA("OrvelloWord", 0, 0);

    std::vector<double> questions, shown;
    bool asked = MeasureQuestions(path, count, &questions);
    bool followed = MeasureFollowing(path, 2 * count, &shown);
    DeleteFileA(path.c_str());
    if (!asked || !followed) {
        printf("outside_bench: a measurement could not be made (%s)\n",
               asked ? "an append was not shown" : "a rewrite was not asked about");
        return 1;
    }
    Report("change to question", questions, QUESTION_TARGET);
    Report("append to text shown", shown, SHOWN_TARGET);
    return 0;
}
