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
// Waits for the process to end; false on timeout (then it is killed).
bool WaitForExit(RunningProgram &program, DWORD milliseconds = 15000);
// Posts WM_CLOSE and waits for the process to end.
bool CloseProgram(RunningProgram &program);

// First child window of a class (searching the whole tree), or 0.
HWND FindChild(HWND parent, const char *className);
// Waits for a top-level dialog of the process with that title, or 0 after the wait.
HWND WaitForDialog(const char *title, DWORD milliseconds = 10000);
// Waits until a window is gone; false if it is still there after the wait.
bool WaitForGone(HWND window, DWORD milliseconds = 10000);
// Presses a button of a dialog by its id, as a click would.
void PressButton(HWND dialog, int id);

std::string WindowText(HWND window);
// Every step-th pixel of every step-th row of a window's client area, as the screen shows it.
std::vector<COLORREF> ScreenPixels(HWND window, int step = 1);
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

// Lets the program's message queue run for a while.
void Pause(DWORD milliseconds);
