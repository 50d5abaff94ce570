// A small driver for the real OrvelloWord.exe: start it, find its windows, answer
// its message boxes, read the settings it leaves.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

struct RunningProgram {
    PROCESS_INFORMATION process;
    HWND main;
};

// Starts OrvelloWord.exe (beside the test executable) with a command line and waits
// for its main window of the given class. main is 0 when none appeared.
RunningProgram StartProgram(const char *arguments, const char *windowClass);
// StartProgram removes first what ended programs left in the recovery folder (so that
// no start asks to restore them); this start keeps them.
RunningProgram StartProgramKeepingSnapshots(const char *arguments);
// %LOCALAPPDATA%\OrvelloWord\Recovery, where the program keeps unsaved documents.
std::string RecoveryFolderPath();
// A file of that name in the folder of the running executable.
std::string BesideThisProgram(const char *name);
// A program of Wine's: the first candidate path (environment variables expanded) that
// exists, else the bare name as the search path finds it, else the bare name.
std::string LocateProgram(const char *const candidates[], const char *bare);
// A folder of the given name in the temporary folder (made if missing), ending in a backslash.
std::string TempFolder(const char *name);
// The main window's title for a document opened from path.
std::string TitleFor(const std::string &path);
// Removes every file of the recovery folder that no running program holds: snapshots
// of ended programs, their temporary files and snapshots set aside.
void ForgetUnsavedWork();
// The same for another program beside the test executable (a helper or a stand-in).
RunningProgram StartBeside(const char *program, const char *arguments, const char *windowClass);
// Runs a program beside the test executable with input on its standard input (a pipe);
// its exit code, or -1 when it could not start or did not end in time (then it is killed).
int RunWithInput(const char *program, const char *arguments, const std::string &input,
                 DWORD milliseconds = 60000);
// A program beside this one reading a pipe that stays open between writes, as a slow
// build's output: Write sends bytes, Finish closes the pipe and returns the exit code.
struct PipedProgram {
    PROCESS_INFORMATION process;
    HANDLE input;
};
bool StartPiped(PipedProgram &piped, const char *program, const char *arguments);
bool WritePiped(PipedProgram &piped, const std::string &bytes);
int FinishPiped(PipedProgram &piped, DWORD milliseconds = 60000);
// Waits for the process to end; false on timeout (then it is killed).
// Runs a program beside this one with a file as its standard input (as `program < file`
// in a command prompt); its exit code, or -1 when it could not start or the file open.
int RunWithFileInput(const char *program, const char *arguments, const std::string &path,
                     DWORD milliseconds = 120000);
bool WaitForExit(RunningProgram &program, DWORD milliseconds = 15000);
// Posts WM_CLOSE and waits for the process to end.
bool CloseProgram(RunningProgram &program);

// First child window of a class (searching the whole tree), or 0.
HWND FindChild(HWND parent, const char *className);
// Whether the window's class name starts with prefix (in any case).
bool ClassStarts(HWND window, const char *prefix);
// First descendant whose class starts with classPrefix (null: any class) and, unless id
// is 0, with that control id; or 0.
HWND FindDescendant(HWND parent, const char *classPrefix, int id);
// A direct child with that class and id (the dialog's own OK, not the list view's id 1).
HWND FindDirectChild(HWND parent, const char *className, int id);
// A visible top-level window of the process with that class (in any case); with
// requiredChild, one with a descendant of that id, with excludedChild one without; or 0.
HWND FindTopWindow(DWORD process, const char *className, int requiredChild = 0,
                   int excludedChild = 0);
// The same, looked for every 5 ms until it is there; 0 after the wait.
HWND WaitForTopWindow(DWORD process, const char *className, int requiredChild,
                      int excludedChild, DWORD milliseconds);
// Waits for a top-level dialog of the process with that title, or 0 after the wait.
HWND WaitForDialog(const char *title, DWORD milliseconds = 10000);
// Waits until a window is gone; false if it is still there after the wait.
bool WaitForGone(HWND window, DWORD milliseconds = 10000);
// Presses a button of a dialog by its id, as a click would.
void PressButton(HWND dialog, int id);
// Brings the window to the front and presses a key through the system's input, with
// a modifier (VK_CONTROL...) held down when one is given: accelerators see it.
void PressKey(HWND window, WORD key, WORD modifier = 0);

std::string WindowText(HWND window);
// Every step-th pixel of every step-th row of a window's client area, as the screen shows it.
std::vector<COLORREF> ScreenPixels(HWND window, int step = 1);
// WM_GETTEXT of a window of another process, however long (up to limit characters).
std::string LongWindowText(HWND window, size_t limit = 65536);
// Waits until a window's text is the given one; its last text either way.
std::string WaitForWindowText(HWND window, const std::string &text, DWORD milliseconds = 5000);
// The length of a window's text (WM_GETTEXTLENGTH), or -1 when it does not answer.
int WindowTextLength(HWND window);
// Whether the window's thread answers a message within the time.
bool Answers(HWND window, DWORD milliseconds = 5000);
// After a dialog of the program's closes: waits until it is gone, then until the
// program's main window answers again (so whatever the answer led to has run); true
// when the program then still runs with its main window.
bool StillRunsAfter(HWND dialog, const RunningProgram &program);
// Waits until the program's editor (its RichEdit child, which may be replaced meanwhile)
// holds length characters with the program answering: a long text goes in by pieces.
bool WaitForTextLength(HWND main, int length, DWORD milliseconds = 30000);
std::string ProfileText(const char *file, const char *section, const char *key);
// Removes a whole section of a profile file (win.ini for "win.ini").
void ClearSection(const char *file, const char *section);
// Waits for a message box of the program with that caption whose message contains
// text; 0 after the wait.
HWND WaitForMessageBox(const char *caption, const char *text, DWORD milliseconds = 10000);
// The message of a message box.
std::string MessageText(HWND box);
// Puts text on the clipboard, or empties it for null; reads its text back.
bool SetClipboardText(const char *text);
std::string ClipboardText();
// Waits until a control's text is want; false after the wait.
bool WaitForText(HWND window, const std::string &want, DWORD milliseconds = 10000);

// The text of one part of a status bar of another process (read through its memory:
// the status bar's own messages are not carried across processes).
std::string StatusPartText(HWND status, int part);

// Lets the program's message queue run for a while.
void Pause(DWORD milliseconds);

// First visible child of parent (any depth) with the control id, or 0.
HWND FindById(HWND parent, int id);
// The file name field of an Open or Save As dialog, once it is there.
HWND FileNameField(HWND dialog);
// The file's content once it exists and has stopped changing ("<missing>" if never).
std::string WaitForFile(const std::string &path);
// Waits until the file holds exactly bytes; false when it did not within the wait.
bool WaitForBytes(const std::string &path, const std::string &bytes, DWORD milliseconds = 5000);
// What a user would type: the editor's whole text, and the document counts as changed.
void TypeText(HWND editor, const char *text);
// Save As (command 40004) through its dialog: the path typed into the file name, the
// format item picked in the list (-1 keeps it), shownItem gets the item it came up
// with; an empty path cancels. False when the dialog did not come and go.
bool SaveAsThroughDialog(HWND main, const std::string &path, int formatItem,
                         int *shownItem = 0);

// A message sent from a thread of its own, so that the caller can answer whatever the
// message brings up (a question box) while the sender waits for the result.
struct SentMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
    HANDLE thread;
};
void StartSending(SentMessage &sent);
// Waits for the answer; false when none came in time.
bool FinishSending(SentMessage &sent, DWORD milliseconds = 15000);
