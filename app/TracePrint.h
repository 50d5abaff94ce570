// The sending end of the output window: formats one line and sends it to the "OXR"
// window, starting the output window program first when none runs.
#pragma once
#include <stddef.h>

// The line buffer, and the longest text it carries (room for a line feed and a zero).
const int TRACE_LINE_SIZE = 2048;
const int TRACE_TEXT_MAX = TRACE_LINE_SIZE - 2;

// printf-like; the text is cut at TRACE_TEXT_MAX characters. Starts the program named by
// win.ini [OXR] App when no output window runs, and waits up to 20 s for it to answer.
// Fails silently.
void TracePrint(const char *format, ...);

// Sends whole lines in one message, as TracePrint would send each: text holds the lines,
// each ending with a line feed, and a zero byte at text[length]; with the zero at most
// TRACE_LINE_SIZE bytes (longer is not sent). Fails silently.
void SendTraceText(const char *text, size_t length);
