// What open_bench's two files share: its options, its failures and the programs it drives.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

extern int Repeats;
extern double BudgetSeconds;  // -b: no further run of a measurement past this much time
extern double BusySeconds;    // -w: longest wait for a program to be idle before a save

// Notes a measurement that could not be made; the exit status then says so.
void Fail(const char *what, const char *detail);

struct Running {
    PROCESS_INFORMATION process;
    HWND main;
    HWND edit;
};

bool Ended(const Running &running);
// The text of a message box: its caption and its static texts.
std::string DescribeBox(HWND box);
// Seconds with three decimals, "-" for a run not measured.
std::string Seconds(double t);

enum SaveKind { SAVE_RTF, SAVE_PLAIN, SAVE_MULTIBYTE, SAVE_UNICODE_LE, SAVE_UNICODE_BE };

extern const char *const FormatNames[5];

struct SaveResult {
    double seconds;     // press to the file at its final size; negative when not measured
    long long size;
    bool verified;
    bool skipped;       // not attempted: the program stayed busy too long beforehand
};

// What a row of saves collects: per format, each run.
struct SaveRows {
    std::vector<SaveResult> orvello[5];
    std::vector<SaveResult> wordpad[5];
};

// Saves the loaded 4 MB document in each format OrvelloWord offers, in up to Repeats
// rounds.
void RunOrvelloSaves(const Running &running, const std::string &folder,
                     const std::string &text, SaveRows &rows);
// The same in WordPad for its three types: rich text, text, Unicode text.
void RunWordPadSaves(const Running &running, const std::string &folder,
                     const std::string &text, SaveRows &rows);
