// Where the output window cuts when it drops its oldest lines, without windows: the
// decisions are plain arithmetic on counts and on the text (UTF-16, each line ending with
// one CR, as the control numbers its characters).
#pragma once
#include <stddef.h>

// win.ini [OXR] MaxLines when it is not set. Wine's control took about 6.5 KB a line of
// 60 characters (wrapped to the window) and 15.5 KB a line of 200: 50,000 such short
// lines stay near 350 MB; longer lines are held to COST_BUDGET instead.
const int DEFAULT_MAX_LINES = 50000;

// What a line costs the control under Wine, measured: about 2.6 KB a line plus 65 bytes a
// character, and the most the window's text may cost (its working set stays under 512 MB).
const long long LINE_COST = 2600;
const long long CHAR_COST = 65;
const long long COST_BUDGET = 380LL * 1024 * 1024;

struct TrimLimits {
    long long maxLines;  // newest lines always kept; 0 keeps every line
    long long budget;    // estimated cost the text may reach; 0 for no limit
};

// Lines beyond the limit held before a trim: a tenth of it, at least one.
long long TrimSlack(long long limit);

// Estimated cost of lines holding chars characters in all.
long long TextCost(long long lines, long long chars);

// True when lines (holding chars characters) are more than the limits allow plus their
// tenth: time to trim.
bool TrimDue(long long lines, long long chars, const TrimLimits &limits);

// Counts the lines of a text: its line ends, and a last line without one.
long long CountLines(const char16_t *text, size_t length);

// How many whole lines to drop from the top of the text so that at most maxLines remain
// and their cost fits the budget; *cut receives the character position where the kept
// text starts (after a line end, never inside a line). 0 when nothing is due.
long long LinesToDrop(const char16_t *text, size_t length, const TrimLimits &limits,
                      size_t *cut);

// The line limit once the control took no more text: three quarters of what it holds,
// never more than the limit already set (0 means none).
long long LimitAfterShortage(long long lines, long long maxLines);

// A character position once cut characters left the top: moved up with its words, or 0
// when they went with the dropped lines.
long long KeptPosition(long long position, long long cut);
