// The output window's log file: every received line, appended to a file the user picked
// (win.ini [OXR] LogFile; empty or missing: no log), so trimmed lines are not lost.
#pragma once
#include <windows.h>
#include <stddef.h>

// Starts logging to path (null: the file named in the settings; "" stops logging) and
// keeps the choice in the settings when path is given; false when the file cannot be
// opened for writing (logging is then off).
bool OpenOutputLog(const char *path);
// Whether lines are being logged, and to which file ("" when not).
const char *OutputLogPath();
// Appends a received text (up to its length), each line feed written as CR LF. The text
// waits in a buffer that is written at least every second, when it grows large, and at
// close.
void WriteOutputLog(const char *text, size_t length);
// Writes the buffer now.
void FlushOutputLog();
// Writes the buffer and closes the file (logging resumes at the next start).
void CloseOutputLog();
// The "Log to File..." command: asks for a file while not logging, else stops logging.
void ChooseOutputLog(HWND window);
