// The Text Format dialog's values as plain data: read from a format text, checked,
// and written back as the format text to apply. No windows here.
#pragma once
#include <stddef.h>

// What the dialog reads from one control at most.
const int FIELD_SIZE = 512;
// The 64-byte buffer the right indentation is prepared in.
const int WORK_SIZE = 64;

// Longest texts that are taken whole; with these the result always fits 512 bytes.
const int FACE_CHARS = 31;    // the control's face name field; longer names are cut
const int SIZE_CHARS = 5;
const int INDENT_CHARS = 16;  // with the inch sign
const int TABS_CHARS = 340;

// Limits of what the control can sensibly take.
const int MIN_POINTS = 1;
const int MAX_POINTS = 1638;
const double MAX_INCHES = 22.0;
const int MAX_TABS = 32;

// Check box states as BM_GETCHECK gives them.
enum { CHECK_OFF = 0, CHECK_ON = 1, CHECK_MIXED = 2 };

// List indexes; 0 is the blank (mixed) entry of each list.
enum { OFFSET_MIXED = 0, OFFSET_NONE = 1, OFFSET_SUPERSCRIPT = 2, OFFSET_SUBSCRIPT = 3 };
enum { BULLETS_MIXED = 0, BULLETS_OFF = 1, BULLETS_ON = 2 };
enum { ALIGN_MIXED = 0, ALIGN_LEFT = 1, ALIGN_RIGHT = 2, ALIGN_CENTER = 3 };

struct FormatFields {
    int bold, italic, underline, strikeout;  // CHECK_*
    char size[FIELD_SIZE];                   // points, as typed or chosen
    char face[FIELD_SIZE];
    int offset;                              // OFFSET_*
    int offsetEnabled;                       // 0 when the size is not uniform
    int color;                               // 1 automatic, a COLORREF, or -1 left out
    int bullets;                             // BULLETS_*
    int alignment;                           // ALIGN_*
    char firstLine[FIELD_SIZE];              // inches with the inch sign, as shown
    char left[FIELD_SIZE];
    char right[FIELD_SIZE];
    char tabs[FIELD_SIZE];                   // e.g. 0.5",1"
    int shownPoints;                         // the size an offset is half of when the
                                             // size itself is left out (0: none)
};

// What CheckFormatFields found wrong; each names the field to correct.
enum FormatProblem {
    FORMAT_OK = 0,
    PROBLEM_SIZE,
    PROBLEM_FIRST_LINE,
    PROBLEM_LEFT,
    PROBLEM_RIGHT,
    PROBLEM_TABS,
};

// Shortens a number text ending in the inch sign: 0.500" -> 0.5", 2.000" -> 2".
void TrimInches(char *text);
// The dialog's starting values from a format text (fields blank for absent keys).
void FieldsFromFormatText(const char *text, FormatFields *fields);
// Cuts what no value may hold: every text at its first ';' or '=' (they would start
// another item), the face name at FACE_CHARS.
void CleanFormatFields(FormatFields *fields);
// Leaves in fields only what the user changed from shown (the dialog's starting values,
// both cleaned): every other field becomes blank or mixed, so that applying the result
// leaves those values of every character and paragraph as they are. The first-line and
// left indentations go together: both stay when either changed. A face name that
// differs only in case counts as unchanged.
void KeepChangedFields(const FormatFields &shown, FormatFields *fields);
// FORMAT_OK, or the first field whose value the control cannot take.
FormatProblem CheckFormatFields(const FormatFields &fields);
// The message shown for a problem.
const char *FormatProblemText(FormatProblem problem);
// Writes the format text of the fields; returns its length, or -1 (out empty)
// when it would not fit size bytes.
int BuildFormatText(const FormatFields &fields, char *out, size_t size);
