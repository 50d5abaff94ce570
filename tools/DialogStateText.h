// The text form of a dialog's control values, and the text that fills a dialog at
// creation (no Win32 here).
//
// State text: "<command id>\n" then one "<id>=<value>:<window text>\xFF\n" per control.
// Init text: lines "<id>=\"<text>" or "<id>=#<number>", each ended by LF, then anywhere
// after a LF "icon=<number>" and "title=<caption to the end of the text>".
#pragma once
#include <stddef.h>

const size_t STATE_TEXT_SIZE = 4096;

// Number markers of an init text that act on any control.
const long STATE_MARKER_HIDE = 1212761157;  // 'HIDE'
const long STATE_MARKER_SHOW = 1397247831;  // 'SHOW'
const long STATE_MARKER_GRAY = 1196573017;  // 'GRAY'

// Starts a state text in buffer (size bytes) with the ending command's id; returns the
// bytes used.
size_t StartStateText(char *buffer, size_t size, int commandId);
// Appends one control line; a line that does not fit is left out whole (the text stays
// terminated). Returns false then.
bool AppendStateLine(char *buffer, size_t size, size_t *used, int id, int value,
                     const char *text);
// The value recorded for id (the number after "\n<id>="), or -1 when state is null or
// holds no such control. The first line (the command) never matches.
int GetStateValue(const char *state, int id);

struct InitLine {
    int id;
    char kind;          // '"' text, '#' number, 0 anything else (passed over)
    const char *text;   // for '"': the text, textLength bytes (not terminated)
    size_t textLength;
    long number;        // for '#'
};

// Reads the control line at *cursor and moves the cursor past its LF. False at the end
// of the walk: an id that reads as 0, a line without "=", or no LF after it.
// Start the cursor at the text itself; a leading LF is skipped.
bool NextInitLine(const char **cursor, const char *text, InitLine *line);
// The icon number after "\nicon=", or 0 when there is none.
long InitIcon(const char *text);
// The caption after "\ntitle=" (to the end of the text), or null when there is none.
const char *InitTitle(const char *text);
