// tools_bench: Replace All, Line Sort and Find Next on large plain documents, each in a
// real RichEdit control in this process (plain text, wrapped to its 800-pixel window,
// as the editor does on screen). Replace All and Line Sort are set against the floor,
// what the control itself costs to take their result: one EM_STREAMIN of the final text
// into a fresh control made here, with none of the program's code in between; the
// targets are at most 2x and 1.5x that. The program's own load of the same text (which
// goes in by pieces) is reported beside it. Each time is the median of RUNS runs
// (default 3), printed with its spread. Run by `make bench`;
// `tools_bench replace|sort|find|all N` runs one part with every size divided by N; with
// HIDDEN set in the environment the control's window is not shown.
//
// The exit status is non-zero when a result is wrong or a target is missed.
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

#include "editor/EditorControl.h"
#include "tools/FindDialog.h"
#include "tools/LineSortDialog.h"
#include "tools/ReplaceAll.h"
#include "bench/BenchClock.h"

namespace {

bool Failed = false;
int Runs = 3;
HWND Frame;

// A control as the editor's: plain text, wrapped to its window, the fixed font.
HWND MakeControl()
{
    HWND editor = CreateWindowExA(0, "RichEdit20A", "",
                                  WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL |
                                      ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL |
                                      ES_NOHIDESEL | ES_WANTRETURN,
                                  0, 0, 800, 560, Frame, 0, 0, 0);
    SendMessageA(editor, WM_SETFONT, (WPARAM)GetStockObject(ANSI_FIXED_FONT), 0);
    SendMessageA(editor, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    SendMessageA(editor, EM_SETTARGETDEVICE, 0, 0);
    SendMessageA(editor, EM_SETTEXTMODE, TM_PLAINTEXT, 0);
    return editor;
}

HWND MakeEditor()
{
    LoadLibraryA("riched32.dll");
    Frame = CreateWindowExA(0, "STATIC", "tools_bench",
                            WS_OVERLAPPEDWINDOW | (getenv("HIDDEN") ? 0 : WS_VISIBLE), 0, 0, 820,
                            600, 0, 0, 0, 0);
    HWND editor = MakeControl();
    EditorControl.control = editor;
    EditorControl.ScreenPastes();
    // As start-up does: the control only changes mode while empty with no undo.
    EditorControl.SetTextMode(TEXT_PLAIN);
    if (EditorControl.GetTextMode() != TEXT_PLAIN)
        printf("  WRONG: the control is not in plain text mode\n");
    return editor;
}

// Empties the control as the program does (a long text goes with its control: Wine takes
// minutes to remove 100,000 lines) and streams text in; editor follows the control.
void Load(HWND &editor, const std::string &text)
{
    double start = Now();
    editor = EditorControl.Empty();
    StreamInText(editor, text.data(), text.size(), SF_TEXT);
    printf("  (loaded %.2f MB in %.3f s)\n", text.size() / 1048576.0, Now() - start);
    fflush(stdout);
    SendMessageA(editor, EM_EMPTYUNDOBUFFER, 0, 0);
    SendMessageA(editor, EM_SETMODIFY, FALSE, 0);
    EditorControl.SetSelection(0, 0);
}

std::string Content()
{
    char *text = EditorControl.GetText(TEXT_PLAIN, LINE_END_CRLF);
    std::string result = text ? text : "";
    delete[] text;
    return result;
}

// Seconds the program's own load takes to put text in as the whole content, in place of
// the document the control holds (original): a long document goes with its control
// (Wine takes minutes to remove 100,000 lines in place) and the text goes in by pieces.
double TimeProgramLoad(HWND &editor, const std::string &original, const std::string &text)
{
    Load(editor, original);
    double start = Now();
    editor = EditorControl.Empty();
    StreamInText(editor, text.data(), text.size(), SF_TEXT);
    return Now() - start;
}

struct Source {
    const std::string *text;
    size_t at;
};

DWORD CALLBACK ReadSource(DWORD_PTR cookie, BYTE *buffer, LONG wanted, LONG *given)
{
    Source *source = (Source *)cookie;
    size_t left = source->text->size() - source->at;
    size_t n = left < (size_t)wanted ? left : (size_t)wanted;
    memcpy(buffer, source->text->data() + source->at, n);
    source->at += n;
    *given = (LONG)n;
    return 0;
}

// The floor: seconds for one EM_STREAMIN of text into a fresh control, the control
// alone at work. The control is shown and painted, as the editor's is.
double TimeFloor(const std::string &text)
{
    HWND control = MakeControl();
    UpdateWindow(control);
    Source source = {&text, 0};
    EDITSTREAM stream = {(DWORD_PTR)&source, 0, ReadSource};
    double start = Now();
    SendMessageA(control, EM_STREAMIN, SF_TEXT, (LPARAM)&stream);
    UpdateWindow(control);
    double elapsed = Now() - start;
    DestroyWindow(control);
    return elapsed;
}

int Scale = 1;  // second argument: every size divided by this, for a quick run

unsigned Seed = 12345;
unsigned Next()
{
    Seed = Seed * 1103515245 + 12345;
    return Seed >> 16;
}

std::string Word()
{
    std::string word;
    int length = 3 + Next() % 7;
    for (int i = 0; i < length; ++i)
        word += (char)((Next() % 5 ? 'a' : 'A') + Next() % 26);
    return word;
}

// The verdict is on medians: the tool against the control's floor; the program's own
// load is shown beside it.
void Report(const char *what, const std::vector<double> &measured, const std::vector<double> &floor,
            const std::vector<double> &load, double limit)
{
    RunSummary tool = Summarise(measured), bare = Summarise(floor), own = Summarise(load);
    double ratio = tool.median / bare.median;
    printf("%s: ", what);
    PrintSeconds(tool);
    printf("\n  floor, one EM_STREAMIN of the result into a fresh control: ");
    PrintSeconds(bare);
    printf("\n  the program's own load of the result: ");
    PrintSeconds(own);
    printf("\n  ratio to the floor %.2f (target <= %.1f)%s; to the program's load %.2f\n", ratio,
           limit, ratio <= limit ? "" : "  MISSED", tool.median / own.median);
    fflush(stdout);
    if (ratio > limit)
        Failed = true;
}

void Check(bool ok, const char *what)
{
    if (!ok) {
        printf("  WRONG: %s\n", what);
        Failed = true;
    }
}

void BenchReplaceAll(HWND &editor)
{
    // 10,000 lines of about 100 characters, each with one "needle": 1 MB.
    std::string text, expected;
    for (int line = 0; line < 10000 / Scale; ++line) {
        std::string before, after;
        while (before.size() < 40)
            before += Word() + " ";
        while (after.size() < 45)
            after += " " + Word();
        text += before + "needle" + after + "\r\n";
        expected += before + "pin" + after + "\r\n";
    }
    std::vector<double> times, floor, load;
    for (int run = 0; run < Runs; ++run) {
        Load(editor, text);
        double start = Now();
        int count = ReplaceAllMatches(editor, "needle", "pin", FR_DOWN | FR_MATCHCASE);
        times.push_back(Now() - start);
        printf("Replace All over %.2f MB: %d items replaced in %.3f s\n",
               text.size() / 1048576.0, count, times.back());
        fflush(stdout);
        Check(count == 10000 / Scale, "count");
        Check(Content() == expected, "replaced text");
        editor = EditorControl.control;  // a long text goes with its control
        SendMessageA(editor, EM_UNDO, 0, 0);
        std::string undone = Content();
        if (undone != text) {
            size_t at = 0;
            while (at < undone.size() && at < text.size() && undone[at] == text[at])
                ++at;
            printf("  after one Undo: %u characters, the original %u; first difference at %u\n",
                   (unsigned)undone.size(), (unsigned)text.size(), (unsigned)at);
        }
        Check(undone == text, "one Undo");
        floor.push_back(TimeFloor(expected));
        load.push_back(TimeProgramLoad(editor, text, expected));
    }
    Report("Replace All", times, floor, load, 2.0);
}

// The sorted order, worked out here apart from the program's sort: the lines (each with
// its CR) in a vector, ordered by a comparison written for this check.
bool ByteOrder(const std::string &a, const std::string &b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return (unsigned char)x < (unsigned char)y; });
}

int Folded(char c)
{
    unsigned char u = (unsigned char)c;
    return u >= 'A' && u <= 'Z' ? u + 32 : u;
}

bool FoldedOrder(const std::string &a, const std::string &b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return Folded(x) < Folded(y); });
}

std::vector<std::string> SplitLines(const std::string &text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// Whether sorted holds exactly the lines of text, each after the one before it in the
// order asked. Lines equal ignoring case may come in either order.
bool SortedAsAsked(const std::string &text, const std::string &sorted, int reverse,
                   int caseSensitive)
{
    std::vector<std::string> want = SplitLines(text), got = SplitLines(sorted);
    auto before = caseSensitive ? ByteOrder : FoldedOrder;
    for (size_t k = 1; k < got.size(); ++k)
        if (reverse ? before(got[k - 1], got[k]) : before(got[k], got[k - 1]))
            return false;
    std::sort(want.begin(), want.end(), ByteOrder);
    std::sort(got.begin(), got.end(), ByteOrder);
    return want == got;
}

void BenchLineSort(HWND &editor)
{
    std::string text;
    for (int line = 0; line < 100000 / Scale; ++line)
        text += Word() + " " + Word() + "\r\n";
    // The four orders are checked; the first (bytes, ascending) is timed.
    static const struct { int reverse, caseSensitive; const char *name; } orders[] = {
        {0, 1, "bytes ascending"}, {1, 1, "bytes descending"},
        {0, 0, "ignoring case ascending"}, {1, 0, "ignoring case descending"}};
    std::vector<double> times, floor, load;
    for (const auto &order : orders) {
        int runs = &order == orders ? Runs : 1;
        for (int run = 0; run < runs; ++run) {
            Load(editor, text);
            double start = Now();
            SortEditorLines(order.reverse, order.caseSensitive);
            double sorted = Now() - start;
            printf("Line Sort (%s) of %d lines (%.2f MB) in %.3f s\n", order.name,
                   100000 / Scale, text.size() / 1048576.0, sorted);
            fflush(stdout);
            std::string result = Content();
            Check(SortedAsAsked(text, result, order.reverse, order.caseSensitive), order.name);
            if (&order == orders) {
                times.push_back(sorted);
                floor.push_back(TimeFloor(result));
                load.push_back(TimeProgramLoad(editor, text, result));
            }
        }
    }
    Report("Line Sort", times, floor, load, 1.5);
}

void BenchFindNext(HWND &editor)
{
    std::string text;
    while (text.size() < (size_t)4 * 1048576 / Scale)
        text += Word() + " " + Word() + " " + Word() + " " + Word() + "\r\n";
    text += "haystack end";
    Load(editor, text);
    strcpy(FindText, "haystack");
    FindFlags = FR_DOWN;
    double start = Now();
    int found = FindNext(GetParent(editor));
    double elapsed = Now() - start;
    CHARRANGE selection;
    SendMessageA(editor, EM_EXGETSEL, 0, (LPARAM)&selection);
    printf("Find Next over %.2f MB to a match at the end: %.3f s\n", text.size() / 1048576.0, elapsed);
    Check(found && selection.cpMax - selection.cpMin == 8, "found the match");
}

}  // namespace

int main(int argc, char **argv)
{
    // One part only (replace, sort, find, or all) and a divisor for every size.
    const char *only = argc > 1 ? argv[1] : "";
    if (!strcmp(only, "all"))
        only = "";
    if (argc > 2 && atoi(argv[2]) > 0)
        Scale = atoi(argv[2]);
    if (getenv("RUNS") && atoi(getenv("RUNS")) > 0)
        Runs = atoi(getenv("RUNS"));
    HWND editor = MakeEditor();
    if (!*only || !strcmp(only, "replace"))
        BenchReplaceAll(editor);
    if (!*only || !strcmp(only, "sort"))
        BenchLineSort(editor);
    if (!*only || !strcmp(only, "find"))
        BenchFindNext(editor);
    fflush(stdout);
    return Failed ? 1 : 0;
}
