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
#include <windows.h>

#include <algorithm>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>
#include "bench/BenchClock.h"
#include "tests/common/FileBytes.h"

namespace {

DWORD OpenTimeout = 1800000;         // ms for one open (-t seconds)
const DWORD SAVE_TIMEOUT = 1800000;  // ms for one save, or for the program to be idle
const DWORD DIALOG_TIMEOUT = 20000;  // ms for a dialog to appear or go away
const int STALL_SECONDS = 20;        // an idle program whose text stays short this long
const double SETTLED_SECONDS = 15;   // a saved file whose size stays put this long is done

const int ORVELLO_SAVE_AS = 40004;
const int ORVELLO_FORMAT_COMBO = 1000;
const int WORDPAD_SAVE_AS = 1004;
const int FILE_NAME_FIELD = 1148;    // cmb13 of the explorer-style file dialog
const int FILE_TYPE_COMBO = 1136;    // cmb1, the "Save as type" list

int Repeats = 3;
double BudgetSeconds = 120;  // -b: no further run of a measurement past this much time
double BusySeconds = 600;    // -w: longest wait for a program to be idle before a save
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

void Fail(const char *what, const char *detail)
{
    printf("  FAILED: %s%s%s\n", what, detail && *detail ? ": " : "", detail ? detail : "");
    fflush(stdout);
    Failed = true;
}

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

bool ReadWholeFile(const std::string &path, std::string &bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              0, OPEN_EXISTING, 0, 0);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD size = GetFileSize(file, 0);
    bytes.assign(size, 0);
    DWORD read = 0;
    BOOL ok = size == 0 || ReadFile(file, &bytes[0], size, &read, 0);
    CloseHandle(file);
    return ok && read == size;
}

// Size of a file, or -1 when it does not exist.
long long FileSizeOf(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return ((long long)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

bool Exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// ---------------------------------------------------------------------------
// Programs and their windows

struct Program {
    const char *label;
    std::string exe;
    const char *mainClass;
    const char *editClass;   // class name prefix of the text control
};

struct Running {
    PROCESS_INFORMATION process;
    HWND main;
    HWND edit;
};

std::string ClassOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

bool ClassStarts(HWND window, const char *prefix)
{
    return _strnicmp(ClassOf(window).c_str(), prefix, strlen(prefix)) == 0;
}

DWORD OwnerOf(HWND window)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return owner;
}

struct TopSearch {
    DWORD process;
    const char *className;
    int requiredChild;   // a descendant with this id must exist; 0 for none
    int excludedChild;   // no descendant may have this id; 0 for none
    HWND found;
};

struct ChildSearch {
    const char *classPrefix;  // or null
    int id;                   // or 0
    HWND found;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM data)
{
    ChildSearch *search = (ChildSearch *)data;
    if (search->classPrefix && !ClassStarts(window, search->classPrefix))
        return TRUE;
    if (search->id && GetDlgCtrlID(window) != search->id)
        return TRUE;
    search->found = window;
    return FALSE;
}

// First descendant matching a class prefix and/or an id, or 0.
HWND FindDescendant(HWND parent, const char *classPrefix, int id)
{
    ChildSearch search = {classPrefix, id, 0};
    EnumChildWindows(parent, MatchChild, (LPARAM)&search);
    return search.found;
}

// A direct child with that class and id (the dialog's own OK, not the list view's id 1).
HWND FindDirectChild(HWND parent, const char *className, int id)
{
    HWND child = 0;
    while ((child = FindWindowExA(parent, child, className, 0)))
        if (GetDlgCtrlID(child) == id)
            return child;
    return 0;
}

BOOL CALLBACK MatchTop(HWND window, LPARAM data)
{
    TopSearch *search = (TopSearch *)data;
    if (OwnerOf(window) != search->process || !IsWindowVisible(window))
        return TRUE;
    if (lstrcmpiA(ClassOf(window).c_str(), search->className) != 0)
        return TRUE;
    if (search->requiredChild && !FindDescendant(window, 0, search->requiredChild))
        return TRUE;
    if (search->excludedChild && FindDescendant(window, 0, search->excludedChild))
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND FindTop(DWORD process, const char *className, int requiredChild = 0, int excludedChild = 0)
{
    TopSearch search = {process, className, requiredChild, excludedChild, 0};
    EnumWindows(MatchTop, (LPARAM)&search);
    return search.found;
}

HWND WaitForTop(DWORD process, const char *className, int requiredChild, int excludedChild,
                DWORD milliseconds)
{
    double end = Now() + milliseconds / 1000.0;
    do {
        if (HWND found = FindTop(process, className, requiredChild, excludedChild))
            return found;
        Sleep(5);
    } while (Now() < end);
    return 0;
}

std::string TextOf(HWND window)
{
    // WM_GETTEXT is carried across processes; GetWindowTextA would not be.
    char text[512] = "";
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 5000,
                        &result);
    return text;
}

// The text of a message box: its caption and its static texts.
std::string DescribeBox(HWND box)
{
    std::string text = "\"" + TextOf(box) + "\"";
    HWND child = 0;
    while ((child = FindWindowExA(box, child, "Static", 0))) {
        std::string part = TextOf(child);
        if (!part.empty())
            text += " " + part;
    }
    return text;
}

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

bool Ended(const Running &running)
{
    return WaitForSingleObject(running.process.hProcess, 0) == WAIT_OBJECT_0;
}

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
            running.main = FindTop(process, program.mainClass);
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
        if (HWND box = FindTop(process, "#32770")) {
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
// Saving through the Save As dialog

enum SaveKind { SAVE_RTF, SAVE_PLAIN, SAVE_MULTIBYTE, SAVE_UNICODE_LE, SAVE_UNICODE_BE };

const char *const FormatNames[] = {
    "Rich Text", "Plain Text", "Multi-byte Text", "Unicode Text (little endian)",
    "Unicode Text (big endian)",
};

// The bytes a save of the text must produce; empty for RTF, whose size is not fixed.
std::string ExpectedBytes(SaveKind kind, const std::string &text)
{
    std::string bytes;
    switch (kind) {
    case SAVE_RTF:
        break;
    case SAVE_PLAIN:
        bytes = text;
        break;
    case SAVE_MULTIBYTE:
    case SAVE_UNICODE_LE:
    case SAVE_UNICODE_BE: {
        bool big = kind == SAVE_UNICODE_BE;
        size_t start = kind == SAVE_MULTIBYTE ? 0 : 2;
        bytes.assign(start + 2 * text.size(), 0);
        if (kind == SAVE_UNICODE_LE) {
            bytes[0] = (char)0xFF;
            bytes[1] = (char)0xFE;
        } else if (big) {
            bytes[0] = (char)0xFE;
            bytes[1] = (char)0xFF;
        }
        for (size_t i = 0; i < text.size(); ++i)
            bytes[start + 2 * i + (big ? 1 : 0)] = text[i];
        break;
    }
    }
    return bytes;
}

// Puts the path into the file name field of an explorer-style file dialog.
bool EnterFileName(HWND dialog, const std::string &path)
{
    HWND field = FindDescendant(dialog, 0, FILE_NAME_FIELD);
    if (field && !ClassStarts(field, "Edit"))
        field = FindDescendant(field, "Edit", 0);
    if (!field)
        return false;
    DWORD_PTR result = 0;
    SendMessageTimeoutA(field, WM_SETTEXT, 0, (LPARAM)path.c_str(), SMTO_BLOCK, 5000, &result);
    return TextOf(field) == path;
}

// Presses a dialog's button as its click would: the dialog gets BN_CLICKED.
bool Press(HWND dialog, int id)
{
    HWND button = FindDirectChild(dialog, "Button", id);
    if (!button)
        return false;
    return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)button) != 0;
}

bool WaitGone(HWND window, DWORD milliseconds)
{
    double end = Now() + milliseconds / 1000.0;
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (Now() > end)
            return false;
        Sleep(1);
    }
    return true;
}

struct SaveResult {
    double seconds;     // press to the file at its final size; negative when not measured
    long long size;
    bool verified;
    bool skipped;       // not attempted: the program stayed busy too long beforehand
};

// After the last press: polls the file until it is complete, which is at its expected
// size, or (RTF, or a size that is not the expected one) once the program is idle again
// and the size has stopped changing, or when the size has not changed for a long time
// while the program stays busy with something else. The time is that of the first poll
// that saw the final size.
SaveResult WaitForSave(const Running &running, const std::string &path, long long expected,
                       double pressed, const char *label)
{
    SaveResult result = {-1, -1, false, false};
    long long size = -1;
    double sizeSince = pressed;
    double nextIdleCheck = 0;
    double end = pressed + SAVE_TIMEOUT / 1000.0;
    while (Now() < end) {
        long long now = FileSizeOf(path);
        double at = Now();
        if (now != size) {
            size = now;
            sizeSince = at;
        }
        result.size = size;
        if (expected >= 0 && size == expected) {
            result.seconds = sizeSince - pressed;
            return result;
        }
        if (at >= nextIdleCheck) {
            nextIdleCheck = at + 0.1;
            if (HWND box = FindTop(running.process.dwProcessId, "#32770")) {
                Fail(label, ("a message box appeared: " + DescribeBox(box)).c_str());
                return result;
            }
            DWORD_PTR ignored = 0;
            bool idle = SendMessageTimeoutA(running.main, WM_NULL, 0, 0,
                                            SMTO_BLOCK | SMTO_ABORTIFHUNG, 10, &ignored) != 0;
            double still = Now() - sizeSince;
            if (size > 0 && ((idle && still > 0.3) || still > SETTLED_SECONDS)) {
                result.seconds = sizeSince - pressed;
                return result;
            }
            if (idle && size < 0 && still > SETTLED_SECONDS) {
                Fail(label, "the program is idle and no file appeared");
                return result;
            }
        }
        Sleep(1);
    }
    Fail(label, "the file was not complete in time");
    return result;
}

// Waits until the program answers messages again (it may still be busy after a save).
bool WaitIdle(const Running &running, DWORD milliseconds)
{
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(running.main, WM_NULL, 0, 0, SMTO_BLOCK, milliseconds,
                               &ignored) != 0;
}

// Checks the saved file: the exact bytes for the fixed formats, an RTF header for RTF.
bool VerifySave(const std::string &path, const std::string &expected)
{
    std::string saved;
    if (!ReadWholeFile(path, saved))
        return false;
    if (expected.empty())
        return saved.compare(0, 5, "{\\rtf") == 0;
    return saved == expected;
}

// Waits until the program takes input again after its previous save; false (with a note)
// when it stays busy longer than the busy limit.
bool WaitReadyToSave(const Running &running, const char *name)
{
    double busy = Now();
    if (!WaitIdle(running, (DWORD)(BusySeconds * 1000))) {
        printf("  (%s still busy after %.0f s, likely re-formatting after the previous save;"
               " its further saves are not measured)\n", name, BusySeconds);
        return false;
    }
    busy = Now() - busy;
    if (busy > 1)
        printf("  (%s stayed busy for %.1f s after the previous save)\n", name, busy);
    return true;
}

// One Save As in OrvelloWord: the command, the path, the format in combo 1000, Save.
SaveResult SaveInOrvello(const Running &running, SaveKind kind, const std::string &path,
                         const std::string &expected)
{
    SaveResult failed = {-1, -1, false, false};
    DeleteFileA(path.c_str());
    DWORD process = running.process.dwProcessId;
    if (!WaitReadyToSave(running, "OrvelloWord")) {
        failed.skipped = true;
        return failed;
    }
    PostMessageA(running.main, WM_COMMAND, ORVELLO_SAVE_AS, 0);
    HWND dialog = WaitForTop(process, "#32770", ORVELLO_FORMAT_COMBO, 0, DIALOG_TIMEOUT);
    if (!dialog) {
        if (HWND other = FindTop(process, "#32770"))
            Fail("OrvelloWord Save As", ("a dialog without the format list appeared: " +
                                         DescribeBox(other)).c_str());
        else
            Fail("OrvelloWord Save As", "no dialog with format list 1000 appeared");
        return failed;
    }
    HWND combo = FindDescendant(dialog, 0, ORVELLO_FORMAT_COMBO);
    DWORD_PTR count = 0, selected = (DWORD_PTR)-1;
    SendMessageTimeoutA(combo, CB_GETCOUNT, 0, 0, SMTO_BLOCK, 5000, &count);
    SendMessageTimeoutA(combo, CB_SETCURSEL, kind, 0, SMTO_BLOCK, 5000, &selected);
    if (count < 5 || selected != (DWORD_PTR)kind) {  // UTF-8 comes sixth
        char detail[96];
        snprintf(detail, sizeof detail, "format list holds %d entries, selecting %d gave %d",
                 (int)count, (int)kind, (int)selected);
        Fail("OrvelloWord Save As", detail);
        Press(dialog, IDCANCEL);
        return failed;
    }
    if (!EnterFileName(dialog, path)) {
        Fail("OrvelloWord Save As", "could not fill in the file name");
        Press(dialog, IDCANCEL);
        return failed;
    }
    double pressed = Now();
    if (!Press(dialog, IDOK)) {
        Fail("OrvelloWord Save As", "no Save button");
        return failed;
    }
    if (!WaitGone(dialog, DIALOG_TIMEOUT)) {
        Fail("OrvelloWord Save As", "the dialog stayed open after Save");
        return failed;
    }
    long long size = expected.empty() ? -1 : (long long)expected.size();
    SaveResult result = WaitForSave(running, path, size, pressed, "OrvelloWord save");
    if (result.seconds >= 0)
        result.verified = VerifySave(path, expected);
    return result;
}

// One Save As in WordPad: its type list (1 RTF, 2 text, 3 Unicode text), the path,
// Save, and Yes to its question about losing the formatting for the text types. The
// time runs from the last press.
SaveResult SaveInWordPad(const Running &running, int typeIndex, const std::string &path,
                         const std::string &expected)
{
    SaveResult failed = {-1, -1, false, false};
    DeleteFileA(path.c_str());
    DWORD process = running.process.dwProcessId;
    if (!WaitReadyToSave(running, "WordPad")) {
        failed.skipped = true;
        return failed;
    }
    PostMessageA(running.main, WM_COMMAND, WORDPAD_SAVE_AS, 0);
    HWND dialog = WaitForTop(process, "#32770", FILE_NAME_FIELD, 0, DIALOG_TIMEOUT);
    if (!dialog) {
        Fail("WordPad Save As", "no file dialog appeared");
        return failed;
    }
    HWND types = FindDescendant(dialog, "ComboBox", FILE_TYPE_COMBO);
    DWORD_PTR selected = (DWORD_PTR)-1;
    if (types) {
        SendMessageTimeoutA(types, CB_SETCURSEL, typeIndex, 0, SMTO_BLOCK, 5000, &selected);
        // A user's choice also notifies the dialog; it takes the new filter index on
        // CBN_SELENDOK.
        static const WORD notifications[] = {CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP};
        for (WORD notification : notifications) {
            DWORD_PTR ignored = 0;
            SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(FILE_TYPE_COMBO, notification),
                                (LPARAM)types, SMTO_BLOCK, 5000, &ignored);
        }
    }
    if (selected != (DWORD_PTR)typeIndex) {
        Fail("WordPad Save As", "could not choose the file type");
        Press(dialog, IDCANCEL);
        return failed;
    }
    if (!EnterFileName(dialog, path)) {
        Fail("WordPad Save As", "could not fill in the file name");
        Press(dialog, IDCANCEL);
        return failed;
    }
    double pressed = Now();
    if (!Press(dialog, IDOK)) {
        Fail("WordPad Save As", "no Save button");
        return failed;
    }
    if (typeIndex != 0) {
        HWND question = WaitForTop(process, "#32770", 0, FILE_NAME_FIELD, DIALOG_TIMEOUT);
        if (!question || !FindDirectChild(question, "Button", IDYES)) {
            Fail("WordPad Save As", "no question about the formatting");
            return failed;
        }
        pressed = Now();
        Press(question, IDYES);
        WaitGone(question, DIALOG_TIMEOUT);
    }
    if (!WaitGone(dialog, DIALOG_TIMEOUT)) {
        Fail("WordPad Save As", "the dialog stayed open after Save");
        return failed;
    }
    long long size = expected.empty() ? -1 : (long long)expected.size();
    SaveResult result = WaitForSave(running, path, size, pressed, "WordPad save");
    if (result.seconds >= 0)
        result.verified = VerifySave(path, expected);
    return result;
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

std::string Seconds(double t)
{
    char text[32];
    if (t < 0)
        return "-";
    snprintf(text, sizeof text, "%.3f", t);
    return text;
}

std::string Ratio(double a, double b)
{
    char text[32];
    if (a < 0 || b <= 0)
        return "-";
    snprintf(text, sizeof text, "%.2f", a / b);
    return text;
}

// Finds a Wine program: the first candidate path that exists, else the bare name,
// which CreateProcess looks up along the search path.
std::string Locate(const char *const candidates[], const char *bare)
{
    for (int i = 0; candidates[i]; ++i) {
        char path[MAX_PATH];
        ExpandEnvironmentStringsA(candidates[i], path, sizeof path);
        if (Exists(path))
            return path;
    }
    char found[MAX_PATH];
    if (SearchPathA(0, bare, 0, sizeof found, found, 0))
        return found;
    return bare;
}

std::string HereFile(const char *name)
{
    char path[MAX_PATH];
    GetModuleFileNameA(0, path, sizeof path);
    char *slash = strrchr(path, '\\');
    std::string folder(path, slash ? (size_t)(slash - path + 1) : 0);
    return folder + name;
}

// What a row of saves collects: per format, each run.
struct SaveRows {
    std::vector<SaveResult> orvello[5];
    std::vector<SaveResult> wordpad[5];
};

const char *const SaveExtensions[] = {".rtf", ".txt", ".txt", ".txt", ".txt"};
const char *const SaveStems[] = {"rich", "plain", "multibyte", "unicode-le", "unicode-be"};

void PrintSave(const char *who, int kind, int run, const SaveResult &result,
               const std::string &expected)
{
    char differs[96] = ", CONTENT DIFFERS";
    if (!expected.empty() && result.size >= 0 && result.size != (long long)expected.size())
        snprintf(differs, sizeof differs, ", CONTENT DIFFERS (%+lld bytes against the "
                 "expected %u)", result.size - (long long)expected.size(),
                 (unsigned)expected.size());
    printf("  %-11s save %-28s run %d: %s s, %lld bytes%s\n", who, FormatNames[kind], run,
           Seconds(result.seconds).c_str(), result.size,
           result.seconds < 0 ? "" : result.verified ? ", content ok" : differs);
}

// Saves the loaded 4 MB document in each format OrvelloWord offers, in up to Repeats
// rounds.
void RunOrvelloSaves(const Running &running, const std::string &folder,
                     const std::string &text, SaveRows &rows)
{
    // A program may stay busy for long after a save (WordPad re-formats the whole
    // document when its format changes), so later rounds run only within the budget.
    double started = Now();
    for (int r = 0; r < Repeats && (r == 0 || Now() - started <= BudgetSeconds); ++r) {
        for (int k = 0; k < 5; ++k) {
            std::string path = folder + "\\orvello-" + SaveStems[k] + "-" +
                               std::to_string(r + 1) + SaveExtensions[k];
            std::string expected = ExpectedBytes((SaveKind)k, text);
            SaveResult result = SaveInOrvello(running, (SaveKind)k, path, expected);
            if (result.skipped)
                return;
            rows.orvello[k].push_back(result);
            PrintSave("OrvelloWord", k, r + 1, result, expected);
            if (result.seconds < 0 || Ended(running))
                return;
        }
    }
}

// The same in WordPad for its three types: rich text, text, Unicode text.
void RunWordPadSaves(const Running &running, const std::string &folder,
                     const std::string &text, SaveRows &rows)
{
    static const int kinds[3] = {SAVE_RTF, SAVE_PLAIN, SAVE_UNICODE_LE};
    // A program may stay busy for long after a save (WordPad re-formats the whole
    // document after each one), so later rounds run only within the budget; rich text
    // comes last, as it is WordPad's change of format that costs most.
    static const int order[3] = {1, 2, 0};
    double started = Now();
    for (int r = 0; r < Repeats && (r == 0 || Now() - started <= BudgetSeconds); ++r) {
        for (int type : order) {
            int k = kinds[type];
            std::string path = folder + "\\wordpad-" + SaveStems[k] + "-" +
                               std::to_string(r + 1) + SaveExtensions[k];
            std::string expected = ExpectedBytes((SaveKind)k, text);
            SaveResult result = SaveInWordPad(running, type, path, expected);
            if (result.skipped)
                return;
            rows.wordpad[k].push_back(result);
            PrintSave("WordPad", k, r + 1, result, expected);
            if (result.seconds < 0 || Ended(running))
                return;
        }
    }
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
    Program orvello = {"OrvelloWord", HereFile("OrvelloWord.exe"), "OrvelloWord", "RichEdit20A"};
    Program wordpad = {"WordPad", Locate(wordpadPaths, "wordpad.exe"), "WORDPADTOP", "RichEdit"};
    Program notepad = {"Notepad", Locate(notepadPaths, "notepad.exe"), "Notepad", "Edit"};

    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + "OrvelloBench";
    CreateDirectoryA(folder.c_str(), 0);
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
