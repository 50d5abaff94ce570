// spell_bench: what the spell checker costs.
//  1. Each opening loads and sorts the whole word list: the median of 10 loads (target
//     at most 150 ms).
//  2. The suggestions for one misspelling (stem, neighbours and nearest words): the
//     median over a set of typical misspellings (target well under 50 ms).
//  3. The real Spell Check dialog over 1 MB of correctly spelled text, from its opening
//     to the "Finished spell check." box (target at most 1 s).
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

void MeasureSuggestions()
{
    static const char *misspelt[] = {"recieve", "Thsi", "teh", "accomodate", "definately",
                                     "seperate", "occured", "untill", "wierd", "enviroment",
                                     "goverment", "Febuary", "independant", "neccessary",
                                     "tommorow", "beleive", "calender", "existance"};
    LoadDictionary();
    std::vector<double> times;
    std::string shown;
    for (const char *word : misspelt) {
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
    printf("suggestions for one word: median %.1f ms, max %.1f ms over %d words (target < 50)\n",
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
double BoxCreatedAt = 0;  // when the first window after the dialog's opening was made

LRESULT CALLBACK NoteCreation(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && !BoxCreatedAt)
        BoxCreatedAt = Now();
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

bool MeasureScan()
{
    LoadLibraryA("riched32.dll");
    HWND host = CreateWindowExA(0, "STATIC", "spell_bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                0, 800, 600, 0, 0, 0, 0);
    HWND editor = CreateWindowExA(0, "RichEdit20A", "",
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE |
                                      ES_AUTOVSCROLL | ES_NOHIDESEL,
                                  0, 0, 780, 560, host, 0, 0, 0);
    if (!host || !editor) {
        printf("scan: no window\n");
        return false;
    }
    SendMessageA(editor, WM_SETFONT, (WPARAM)GetStockObject(ANSI_FIXED_FONT), 0);
    SendMessageA(editor, EM_SETTARGETDEVICE, 0, 1);  // no wrap: loading wrapped text is slow
    std::string text = CorrectText(1 << 20);
    StreamInText(editor, text.data(), text.size(), SF_TEXT);
    EditorControl.control = editor;
    MainWindow = host;
    EditorControl.SetSelection(0, 0);

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

    FinishedAt = 0;
    FinishedTimer = SetTimer(0, 0, 5, WatchForFinished);
    double start = Now();
    OpenSpellCheck(host);
    double opened = Now();
    BoxCreatedAt = 0;
    HHOOK hook = SetWindowsHookExA(WH_CBT, NoteCreation, 0, GetCurrentThreadId());
    MSG message;
    while (ModelessDialog && Now() - start < 60 && GetMessageA(&message, 0, 0, 0) > 0) {
        if (IsDialogMessageA(ModelessDialog, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    KillTimer(0, FinishedTimer);
    UnhookWindowsHookEx(hook);
    bool finished = FinishedAt != 0 && !ModelessDialog;
    if (finished)
        printf("scan of %.2f MB of correct text to \"Finished spell check.\": %.0f ms from the "
               "dialog's opening to the box made (target 1000), %.0f ms to the box shown;\n"
               "  the opening with the load %.0f ms, the scan with GetText %.0f ms\n",
               text.size() / 1048576.0, (BoxCreatedAt - start) * 1000,
               (FinishedAt - start) * 1000, (opened - start) * 1000,
               (BoxCreatedAt - opened) * 1000);
    else
        printf("scan: the dialog stopped before the end (a word not accepted?)\n");
    if (ModelessDialog)
        DestroyWindow(ModelessDialog);
    DestroyWindow(host);
    EditorControl.control = 0;
    return finished;
}

}  // namespace

int main()
{
    bool ok = MeasureLoad();
    MeasureSuggestions();
    ok = MeasureScan() && ok;
    return ok ? 0 : 1;
}
