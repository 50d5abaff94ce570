// Where a long plain text is cut into the pieces that go into the control one after
// another. No windows involved: this also builds natively for fuzzing.
//
// Wine's control lays out all the text a stream brought before it answers anything:
// 10 MB in 150,000 lines kept the program busy 11.6 s, a million short lines 21.6 s.
// Pieces of at most 256 KB, 16,384 lines or 0.4 s of wrapping take it well under a second
// each, and the program answers between them.
#pragma once
#include <stddef.h>

// About how many characters go in at a time, and at most how many lines (Wine's control
// takes about a second for 50,000 short lines).
const size_t TEXT_PIECE = 256 * 1024;
const size_t TEXT_PIECE_LINES = 16384;
// Wrapping a line costs Wine's control time in the square of its length, about 6 ms for
// each million of the squares (1,000 lines of 1,000 characters of words: 6.1 s; 40 of
// 8,000: 14.5 s; unwrapped 0.8 s and 0.2 s): a piece ends after its lines' squared lengths
// reach this (under 0.4 s).
const double TEXT_PIECE_SQUARES = 64e6;
// A text whose lines' squared lengths add up to more than this (about 9 s of wrapping)
// is shown unwrapped.
const double MOST_WRAPPED_SQUARES = 1500e6;
// The same for RTF, which goes in as one stream and cannot be answered between pieces
// (about 3 s of wrapping).
const double MOST_WRAPPED_RTF_SQUARES = 500e6;

// The sum of the squares of the text's line lengths (lines end at CR, LF or CR LF).
double SquaredLineLengths(const char *text, size_t n);
double SquaredLineLengths(const char16_t *text, size_t n);

// The end (exclusive) of the piece of text[0, n) that starts at from: just after the
// last line end within piece characters, lines lines and squares squared line lengths
// of from, else after the first one beyond, else n. A piece ends only after LF or after
// a CR that no LF or CR LF follows, so CR LF and CR CR LF stay whole (as do surrogate pairs
// and double-byte characters, whose trail units are never CR or LF), and never where the
// next line begins with '{': some control versions read a text that begins "{\rtf" as
// RTF. Greater than from whenever from < n.
size_t PieceEnd(const char *text, size_t n, size_t from, size_t piece = TEXT_PIECE,
                size_t lines = TEXT_PIECE_LINES, double squares = TEXT_PIECE_SQUARES);
size_t PieceEnd(const char16_t *text, size_t n, size_t from, size_t piece = TEXT_PIECE,
                size_t lines = TEXT_PIECE_LINES, double squares = TEXT_PIECE_SQUARES);
