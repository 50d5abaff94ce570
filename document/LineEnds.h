// Line ends of a text: which of CR LF, LF and CR a file uses, rewriting a text into one
// of them, and the status bar's words for a document's save format. No windows
// involved: this also builds natively for fuzzing.
#pragma once
#include <stddef.h>
#include <string>

// A document's line-end style; the values are stable (kept outside the program too).
enum LineEndStyle {
    LINE_ENDS_CRLF = 0,  // Windows
    LINE_ENDS_LF = 1,    // Unix
    LINE_ENDS_CR = 2,    // Macintosh
};

// What a text's line ends are: CR LF counts as one, then a CR or an LF on its own.
struct LineEndCount {
    size_t crlf;
    size_t lf;
    size_t cr;
    bool endsWithLineEnd;  // the last character of the text ends a line
};

LineEndCount CountLineEnds(const char *text, size_t n);
LineEndCount CountLineEnds(const char16_t *text, size_t n);

// The style most line ends have; CR LF for a text without any. A tie goes to CR LF,
// then to LF.
LineEndStyle MajorityLineEnds(const LineEndCount &count);
// Whether more than one style occurs.
bool HasMixedLineEnds(const LineEndCount &count);

// Writes text[0, n) with every line end (CR LF, CR, LF) in style to out, or only counts
// with out null; returns the number of units. Every other character stays. Except for
// LINE_ENDS_CRLF the result is never longer than the text, so out may be text itself.
size_t WriteLineEnds(const char *text, size_t n, LineEndStyle style, char *out);
size_t WriteLineEnds(const char16_t *text, size_t n, LineEndStyle style, char16_t *out);
// The same into a new string.
std::string ConvertLineEnds(const char *text, size_t n, LineEndStyle style);
std::u16string ConvertLineEnds(const char16_t *text, size_t n, LineEndStyle style);

// "CR LF", "LF" or "CR"; null for a value that is no style.
const char *LineEndName(int style);
// Whether value is one of the three styles.
bool IsLineEndStyle(int value);

// The status bar's text for a document saved in format (a DocumentFormat value) with
// the style: "ANSI | CR LF", "UTF-8 | LF", "UTF-16 LE | CR LF", "Rich Text" (rich has
// no line ends of its own). utf8Mark tells "UTF-8 with BOM"; mixed says that the file
// had several styles and will be saved in this one.
std::string SaveFormatText(int format, bool utf8Mark, int style, bool mixed);
