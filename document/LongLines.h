// Lines the RichEdit control cannot show quickly, and breaking them for display. No
// windows involved: this also builds natively for fuzzing.
//
// Wine's control splits a line into runs wherever a tab, a digit, a punctuation mark
// or a change of script comes, and typing, painting and scrolling in a line then cost
// time in the square of its runs: a key typed in a 64 KB line of JSON took 2 s, and a
// 1 MB one minutes. Long lines of plain words stay fast.
#pragma once
#include <stddef.h>
#include <string>

// A line with more breaks than this is broken up for display.
const size_t MOST_RUN_BREAKS = 4000;
// A line longer than this is broken up too, whatever its breaks: in a line of plain words
// each key typed took Wine's control 1.3 s at 4 MB and 5.1 s at 16 MB, which also took
// 6 s to open (and a 256 MB one would take minutes).
const size_t LONGEST_UNBROKEN_LINE = 4000000;
// About how long the pieces of a broken line are.
const size_t BROKEN_LINE_LENGTH = 1000;

// The most run breaks in any one line of the text (lines end at CR, LF or CR LF). The
// 8-bit form counts each multi-byte sequence of UTF-8 or a double-byte code page once.
size_t MostRunBreaks(const char *text, size_t n);
size_t MostRunBreaks(const char16_t *text, size_t n);

// Whether any line has more than MOST_RUN_BREAKS breaks or LONGEST_UNBROKEN_LINE units.
bool HasLinesTooLong(const char *text, size_t n);
bool HasLinesTooLong(const char16_t *text, size_t n);

// The text with every line of more than MOST_RUN_BREAKS breaks or LONGEST_UNBROKEN_LINE
// units cut by CR LF into
// pieces of at most BROKEN_LINE_LENGTH characters: after a space where one is near,
// else after any other ASCII character, never inside a surrogate pair or a multi-byte
// sequence. Other lines and every character stay as they were.
std::string BreakLongLines(const char *text, size_t n);
std::u16string BreakLongLines(const char16_t *text, size_t n);
