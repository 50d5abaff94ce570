// The screen every RTF text passes before the RichEdit control reads it. The control's
// own reader (under Wine) crashes the process or stalls on some input; the screen reads
// the text once, the way that reader splits it into tokens, and refuses what would hurt.
// Pure and linear: no windows involved.
#pragma once
#include <stddef.h>

enum RtfScreenResult {
    RTF_READABLE = 0,
    RTF_TOO_DEEP,            // more groups open at once than the reader keeps states for
    RTF_LONG_CONTROL_WORD,   // a control word's name longer than RTF allows
    RTF_LONG_PARAMETER,      // a numeric parameter with more digits than any number has
    RTF_LONG_NAME,           // a font or style name longer than the reader's buffer is safe for
    RTF_NESTED_TABLE,        // a table inside a table cell
    RTF_TOO_SLOW,            // more groups, paragraphs and formats than load in a few seconds
};

// The reader keeps 32 group states and reads past them for a 33rd open group.
const int RTF_MAX_DEPTH = 32;
// RTF limits a control word's name to 32 letters; the reader overflows a 4 KB buffer
// somewhat before that many letters and digits.
const int RTF_MAX_WORD = 32;
// A 32-bit parameter needs at most 10 digits.
const int RTF_MAX_DIGITS = 10;
// Names in the font table and the style sheet.
const int RTF_MAX_NAME = 255;
// The reader's work in units of one group; a paragraph and a change of character
// format cost more; the work and the format changes within one paragraph have a
// ceiling (see RtfScreen.cpp for the measurements behind them).
const long RTF_MAX_WORK = 60000;
const int RTF_PARAGRAPH_COST = 2;
const int RTF_CHANGE_COST = 12;
const long RTF_MAX_PARAGRAPH_CHANGES = 1000;
// Characters of text that cost the reader about as much as a group.
const size_t RTF_TEXT_COST = 128;

// Whether the control would read the text as RTF: it begins with "{\rtf" or "{\urtf".
bool BeginsAsRtf(const char *text, size_t length);
// RTF_READABLE when the text may be handed to the control as it stands; text that the
// control would not read as RTF is always readable. Reading stops at a zero byte, as
// the control's does. longestParagraph, when given, receives an estimate of the
// longest paragraph's wrapping cost in characters (a format change counts as
// RTF_GROUP_COST), and squaredParagraphs the sum of the squares of those costs over all
// paragraphs.
RtfScreenResult ScreenRtf(const char *text, size_t length, size_t *longestParagraph = 0,
                          double *squaredParagraphs = 0);

// A change of format (a run of its own) costs the wrapping about as much as this many
// characters.
const size_t RTF_GROUP_COST = 4;

// The longest line of a plain text, in characters; CR, LF and CR LF end lines.
size_t LongestLine(const char *text, size_t length);
size_t LongestLine(const char16_t *text, size_t length);
