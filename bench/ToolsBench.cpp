// tools_bench: Replace All, Line Sort and Find Next on large plain documents, each in a
// real RichEdit control in this process (plain text, wrapped to its 800-pixel window,
// as the editor does on screen). Replace All and Line Sort are set against putting
// their resulting text in once, in place of the document the control holds, as the
// program does (EM_STREAMIN, SF_TEXT); the targets are at most 2x and 1.5x that. Run by `make bench`;
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

#include "editor/EditorControl.h"
#include "tools/FindDialog.h"
#include "tools/LineSortDialog.h"
#include "tools/LineSortLogic.h"
#include "tools/ReplaceAll.h"
#include "bench/BenchClock.h"

namespace {

bool Failed = false;

HWND MakeEditor()
{
    LoadLibraryA("riched32.dll");
    HWND frame = CreateWindowExA(0, "STATIC", "tools_bench", WS_OVERLAPPEDWINDOW | (getenv("HIDDEN") ? 0 : WS_VISIBLE), 0, 0,
                                 820, 600, 0, 0, 0, 0);
    HWND editor = CreateWindowExA(0, "RichEdit20A", "",
                                  WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL |
                                      ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL |
                                      ES_NOHIDESEL | ES_WANTRETURN,
                                  0, 0, 800, 560, frame, 0, 0, 0);
    SendMessageA(editor, WM_SETFONT, (WPARAM)GetStockObject(ANSI_FIXED_FONT), 0);
    SendMessageA(editor, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    SendMessageA(editor, EM_SETTARGETDEVICE, 0, 0);
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

// Seconds to put text in once as the whole content, in place of the document the
// control holds (original), as the program puts a text in: a long document goes with its
// control (Wine takes minutes to remove 100,000 lines in place) and the text streams in.
double TimeStreamIn(HWND &editor, const std::string &original, const std::string &text)
{
    Load(editor, original);
    double start = Now();
    editor = EditorControl.Empty();
    StreamInText(editor, text.data(), text.size(), SF_TEXT);
    return Now() - start;
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

void Report(const char *what, double measured, double baseline, double limit)
{
    double ratio = measured / baseline;
    printf("%s: %.3f s; putting the result in once, in place of the document: %.3f s; ratio %.2f (target <= %.1f)%s\n",
           what, measured, baseline, ratio, limit, ratio <= limit ? "" : "  MISSED");
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
    Load(editor, text);
    double start = Now();
    int count = ReplaceAllMatches(editor, "needle", "pin", FR_DOWN | FR_MATCHCASE);
    double replaced = Now() - start;
    printf("Replace All over %.2f MB: %d items replaced in %.3f s\n", text.size() / 1048576.0,
           count, replaced);
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
    Report("Replace All", replaced, TimeStreamIn(editor, text, expected), 2.0);
}

void BenchLineSort(HWND &editor)
{
    std::string text;
    for (int line = 0; line < 100000 / Scale; ++line)
        text += Word() + " " + Word() + "\r\n";
    Load(editor, text);
    double start = Now();
    SortEditorLines(0, 1);
    double sorted = Now() - start;
    std::string expected = text;
    expected.resize(expected.size() + 2);
    SortLines(&expected[0], 0, 1);
    expected.resize(strlen(expected.c_str()));
    printf("Line Sort of %d lines (%.2f MB) in %.3f s\n", 100000 / Scale, text.size() / 1048576.0,
           sorted);
    fflush(stdout);
    Check(Content() == expected, "sorted text");
    Report("Line Sort", sorted, TimeStreamIn(editor, text, expected), 1.5);
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
