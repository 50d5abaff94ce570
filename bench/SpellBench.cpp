// spell_bench: what the spell checker costs.
//  1. Each opening loads and sorts the whole word list: the median of 10 loads (target
//     at most 150 ms).
//  2. What the user waits for at each misspelling: in the real Spell Check dialog, from
//     pressing Ignore to the next misspelling shown with its suggestion list filled
//     (the lookups, the list and the capitals): the median over a set of typical
//     misspellings (target well under 50 ms); the lookups alone are shown beside it.
//  3. The real Spell Check dialog over 1 MB of correctly spelled text, from its opening
//     to the "Finished spell check." box up (target at most 1 s), median of 3.
// Runs in the test Wine prefix (scripts/bench.sh), so the word list file it creates
// there is throwaway. Exit status non-zero when a measurement could not be made.
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

#include "app/App.h"
#include "editor/EditorControl.h"
#include "spell/Dictionary.h"
#include "spell/SpellDialog.h"
#include "spell/Suggestions.h"
#include "spell/WordScanner.h"
#include "res/resource.h"
#include "bench/BenchClock.h"

namespace {

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool MeasureLoad()
{
    // The first load may create the file; that is not what every opening pays.
    if (!LoadDictionary()) {
        printf("load: the word list could not be loaded\n");
        return false;
    }
    int words = Dictionary.count;
    ClearDictionary();
    std::vector<double> times;
    for (int run = 0; run < 10; ++run) {
        double start = Now();
        LoadDictionary();
        times.push_back(Now() - start);
        ClearDictionary();
    }
    printf("load + sort of %d words: median %.1f ms of 10 (min %.1f, max %.1f; target 150)\n",
           words, Median(times) * 1000, *std::min_element(times.begin(), times.end()) * 1000,
           *std::max_element(times.begin(), times.end()) * 1000);
    return true;
}

const char *const Misspelt[] = {"recieve", "Thsi", "teh", "accomodate", "definately",
                                "seperate", "occured", "untill", "wierd", "enviroment",
                                "goverment", "Febuary", "independant", "neccessary",
                                "tommorow", "beleive", "calender", "existance"};

HWND MakeHost(HWND *editor)
{
    LoadLibraryA("riched32.dll");
    HWND host = CreateWindowExA(0, "STATIC", "spell_bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                0, 800, 600, 0, 0, 0, 0);
    *editor = CreateWindowExA(0, "RichEdit20A", "",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                  ES_NOHIDESEL,
                              0, 0, 780, 560, host, 0, 0, 0);
    SendMessageA(*editor, WM_SETFONT, (WPARAM)GetStockObject(ANSI_FIXED_FONT), 0);
    SendMessageA(*editor, EM_SETTARGETDEVICE, 0, 1);  // no wrap: loading wrapped text is slow
    EditorControl.control = *editor;
    MainWindow = host;
    return host;
}

// Runs the dialog's messages until shown() holds or seconds pass; false on time out.
template <typename Shown>
bool PumpUntil(Shown shown, double seconds)
{
    double start = Now();
    MSG message;
    while (!shown()) {
        if (Now() - start > seconds || !ModelessDialog)
            return false;
        if (!PeekMessageA(&message, 0, 0, 0, PM_REMOVE)) {
            WaitMessage();
            continue;
        }
        if (IsDialogMessageA(ModelessDialog, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return true;
}

std::string DialogText(int id)
{
    char text[128] = "";
    GetDlgItemTextA(ModelessDialog, id, text, sizeof text);
    return text;
}

// From Ignore pressed to the next misspelling shown with its suggestions, in the dialog.
bool MeasureSuggestionsInDialog()
{
    HWND editor;
    HWND host = MakeHost(&editor);
    std::string text;
    for (const char *word : Misspelt)
        text += std::string("the ") + word + " and\r\n";
    SendMessageA(editor, WM_SETTEXT, 0, (LPARAM)text.c_str());
    EditorControl.SetSelection(0, 0);
    OpenSpellCheck(host);
    auto showing = [](const char *word) {
        return [word] {
            return DialogText(IDC_SPELL_WORD) == word &&
                   SendDlgItemMessageA(ModelessDialog, IDC_SPELL_SUGGESTIONS, CB_GETCOUNT, 0, 0) > 0;
        };
    };
    bool ok = PumpUntil(showing(Misspelt[0]), 10);
    std::vector<double> times;
    for (size_t k = 1; ok && k < sizeof Misspelt / sizeof *Misspelt; ++k) {
        double start = Now();
        SendMessageA(ModelessDialog, WM_COMMAND, IDC_SPELL_IGNORE, 0);
        ok = PumpUntil(showing(Misspelt[k]), 10);
        times.push_back(Now() - start);
    }
    if (ok) {
        RunSummary waited = Summarise(times);
        printf("Ignore to the next misspelling shown with its suggestions: median %.1f ms, "
               "%.1f-%.1f ms over %d words (target < 50)\n",
               waited.median * 1000, waited.low * 1000, waited.high * 1000, waited.runs);
    } else {
        printf("suggestions: the dialog did not show \"%s\"\n", DialogText(IDC_SPELL_WORD).c_str());
    }
    if (ModelessDialog)
        DestroyWindow(ModelessDialog);
    DestroyWindow(host);
    EditorControl.control = 0;
    return ok;
}

// The lookups alone, without the dialog.
void MeasureSuggestions()
{
    LoadDictionary();
    std::vector<double> times;
    std::string shown;
    for (const char *word : Misspelt) {
        double start = Now();
        int nearest[10];
        int found = FindNearestWords(word, nearest, 10);
        FindSuggestionStem(word);
        times.push_back(Now() - start);
        char best[96] = "-";
        if (found)
            MatchCapitals(word, WordAt(nearest[0]), best, sizeof best);
        shown += std::string(" ") + word + "->" + best;
    }
    ClearDictionary();
    printf("  the lookups alone for one word: median %.1f ms, max %.1f ms over %d words\n",
           Median(times) * 1000, *std::max_element(times.begin(), times.end()) * 1000,
           (int)times.size());
    printf("  first suggestions:%s\n", shown.c_str());
}

// 1 MB of words from the list itself, in lines of at most 80 characters.
std::string CorrectText(size_t size)
{
    LoadDictionary();
    std::string text, line;
    for (int i = 0; text.size() < size; i = (i + 7919) % Dictionary.count) {
        const char *word = WordAt(i);
        if (line.size() + strlen(word) + 1 > 80) {
            text += line + "\r\n";
            line.clear();
        }
        line += line.empty() ? "" : " ";
        line += word;
    }
    ClearDictionary();
    return text;
}

double FinishedAt = 0;
UINT_PTR FinishedTimer = 0;
double BoxCreatedAt = 0;  // when the box saying "Finished spell check." came up

// A box's text is set after its windows are made: the box is known when it is activated.
LRESULT CALLBACK NoteCreation(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && !BoxCreatedAt) {
        char text[64] = "";
        GetDlgItemTextA((HWND)wParam, 0xFFFF, text, sizeof text);
        if (strstr(text, "Finished spell check."))
            BoxCreatedAt = Now();
    }
    return CallNextHookEx(0, code, wParam, lParam);
}

BOOL CALLBACK FindFinishedBox(HWND window, LPARAM found)
{
    char name[16] = "", text[64] = "";
    GetClassNameA(window, name, sizeof name);
    GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
    if (IsWindowVisible(window) && !strcmp(name, "#32770") && strstr(text, "Finished")) {
        *(HWND *)found = window;
        return FALSE;
    }
    return TRUE;
}

// Fires inside the box's own loop: notes the time and answers it.
void CALLBACK WatchForFinished(HWND, UINT, UINT_PTR, DWORD)
{
    HWND box = 0;
    EnumThreadWindows(GetCurrentThreadId(), FindFinishedBox, (LPARAM)&box);
    if (!box)
        return;
    if (!FinishedAt)
        FinishedAt = Now();
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

// One scan in the dialog to the "Finished" box; false when it did not get there.
bool ScanOnce(HWND host, double *made, double *shown, double *opening)
{
    EditorControl.SetSelection(0, 0);
    FinishedAt = 0;
    BoxCreatedAt = 0;
    FinishedTimer = SetTimer(0, 0, 5, WatchForFinished);
    HHOOK hook = SetWindowsHookExA(WH_CBT, NoteCreation, 0, GetCurrentThreadId());
    double start = Now();
    OpenSpellCheck(host);
    *opening = Now() - start;
    MSG message;
    while (ModelessDialog && Now() - start < 60 && GetMessageA(&message, 0, 0, 0) > 0) {
        if (IsDialogMessageA(ModelessDialog, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    KillTimer(0, FinishedTimer);
    UnhookWindowsHookEx(hook);
    bool finished = FinishedAt != 0 && BoxCreatedAt != 0 && !ModelessDialog;
    *made = BoxCreatedAt - start;
    *shown = FinishedAt - start;
    if (ModelessDialog)
        DestroyWindow(ModelessDialog);
    return finished;
}

bool MeasureScan()
{
    HWND editor;
    HWND host = MakeHost(&editor);
    std::string text = CorrectText(1 << 20);
    StreamInText(editor, text.data(), text.size(), SF_TEXT);

    // The parts of the scan: taking the text out of the control, and the lookups.
    double taking = Now();
    char *whole = EditorControl.GetText(TEXT_PLAIN, LINE_END_CRLF);
    taking = Now() - taking;
    LoadDictionary();
    double scanning = Now();
    int length = RemoveCarriageReturns(whole);
    Misspelling found;
    int stopped = FindMisspelling(whole, length, 0, &found);
    scanning = Now() - scanning;
    ClearDictionary();
    delete[] whole;
    printf("  GetText of the 1 MB: %.0f ms; the scan alone: %.0f ms%s\n", taking * 1000,
           scanning * 1000, stopped ? " (stopped early)" : "");

    std::vector<double> made, shown, openings;
    bool finished = true;
    for (int run = 0; run < 3 && finished; ++run) {
        double m, s, o;
        finished = ScanOnce(host, &m, &s, &o);
        made.push_back(m);
        shown.push_back(s);
        openings.push_back(o);
    }
    if (finished) {
        RunSummary box = Summarise(made), seen = Summarise(shown), open = Summarise(openings);
        printf("scan of %.2f MB of correct text to \"Finished spell check.\": %.0f ms "
               "(median of %d, %.0f-%.0f) from the dialog's opening to the box up "
               "(target 1000), %.0f ms to the box shown; the opening with the load %.0f ms\n",
               text.size() / 1048576.0, box.median * 1000, box.runs, box.low * 1000,
               box.high * 1000, seen.median * 1000, open.median * 1000);
    } else {
        printf("scan: the dialog stopped before the end (a word not accepted?)\n");
    }
    DestroyWindow(host);
    EditorControl.control = 0;
    return finished;
}

}  // namespace

int main()
{
    bool ok = MeasureLoad();
    ok = MeasureSuggestionsInDialog() && ok;
    MeasureSuggestions();
    ok = MeasureScan() && ok;
    return ok ? 0 : 1;
}
