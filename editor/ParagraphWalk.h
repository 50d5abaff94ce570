// Where the file's lines are in the control's own text, where each paragraph (a line
// of the file) ends with one CR. No windows here.
#pragma once
#include <stddef.h>

// How many paragraph ends (CR) the text holds.
size_t CountParagraphEnds(const char *text, size_t length);
// The offset at which paragraph index (from 0) starts, or -1 when the text has fewer.
long ParagraphStart(const char16_t *text, size_t length, long index);
