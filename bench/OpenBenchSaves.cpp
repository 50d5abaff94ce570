// open_bench's saves through the Save As dialogs of OrvelloWord and WordPad, timed.
#include "bench/OpenBench.h"

#include <stdio.h>
#include <string.h>

#include "bench/BenchClock.h"
#include "tests/common/FileBytes.h"
#include "tests/e2e/Driver.h"

const DWORD SAVE_TIMEOUT = 1800000;  // ms for one save, or for the program to be idle
const DWORD DIALOG_TIMEOUT = 20000;  // ms for a dialog to appear or go away
const double SETTLED_SECONDS = 15;   // a saved file whose size stays put this long is done

const int ORVELLO_SAVE_AS = 40004;
const int ORVELLO_FORMAT_COMBO = 1000;
const int WORDPAD_SAVE_AS = 1004;
const int FILE_NAME_FIELD = 1148;    // cmb13 of the explorer-style file dialog
const int FILE_TYPE_COMBO = 1136;    // cmb1, the "Save as type" list

const char *const FormatNames[5] = {
    "Rich Text", "Plain Text", "Multi-byte Text", "Unicode Text (little endian)",
    "Unicode Text (big endian)",
};

namespace {

// Size of a file, or -1 when it does not exist.
long long FileSizeOf(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return ((long long)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

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
    return WindowText(field) == path;
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
            if (HWND box = FindTopWindow(running.process.dwProcessId, "#32770")) {
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
    std::string saved = ReadBytes(path);
    if (saved == "<missing>")
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
    HWND dialog = WaitForTopWindow(process, "#32770", ORVELLO_FORMAT_COMBO, 0, DIALOG_TIMEOUT);
    if (!dialog) {
        if (HWND other = FindTopWindow(process, "#32770"))
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
    HWND dialog = WaitForTopWindow(process, "#32770", FILE_NAME_FIELD, 0, DIALOG_TIMEOUT);
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
        HWND question = WaitForTopWindow(process, "#32770", 0, FILE_NAME_FIELD, DIALOG_TIMEOUT);
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

}  // namespace

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
