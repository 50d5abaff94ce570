// The text side of the output window's lines, without windows: what typing a received
// text puts in the control, which line the title shows, and how tracesend packs lines.
#pragma once
#include <stddef.h>
#include <string>

#include "app/TracePrint.h"

// Appends what typing the bytes would put in the control: a line feed becomes a
// paragraph break ('\r'); other control characters except tab type nothing.
void AppendTypedText(std::string &typed, const char *text, size_t length);

// The last whole line of a text: from after the line feed before its last line feed up to
// that last one; the whole text when it has no line feed. Sets *start, returns the length.
size_t TitleLine(const char *text, size_t length, size_t *start);

// Whole lines, each ending with a line feed, and a zero byte after the last: the payload of
// one message, at most TRACE_LINE_SIZE bytes with the zero.
struct TraceBlock {
    char text[TRACE_LINE_SIZE];
    size_t used;  // bytes before the zero
};

// Adds a line (without its line end) to the block; false, leaving the block as it was, when
// the block already holds lines and this one does not fit. A line is cut at its first zero
// byte and at TRACE_TEXT_MAX characters, as TracePrint cuts it.
bool AddTraceLine(TraceBlock &block, const char *line, size_t length);
