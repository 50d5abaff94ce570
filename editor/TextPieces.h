// Where a long plain text is cut into the pieces that go into the control one after
// another. No windows involved: this also builds natively for fuzzing.
//
// Wine's control lays out all the text a stream brought before it answers anything:
// 10 MB in 150,000 lines kept the program busy 11.6 s, a million short lines 21.6 s.
// Pieces of 256 KB or 16,384 lines take it well under a second each, and the program
// answers between them.
#pragma once
#include <stddef.h>

// About how many characters go in at a time, and at most how many lines (Wine's control
// takes about a second for 50,000 short lines).
const size_t TEXT_PIECE = 256 * 1024;
const size_t TEXT_PIECE_LINES = 16384;

// The end (exclusive) of the piece of text[0, n) that starts at from: just after the
// last line end within piece characters and lines lines of from, else after the first
// one beyond, else n. A piece ends only after LF or after a CR that no CR or LF follows,
// so CR LF and CR CR LF stay whole (as do surrogate pairs and double-byte characters,
// whose trail units are never CR or LF), and never where the next line begins with '{':
// some control versions read a text that begins "{\rtf" as RTF. Greater than from
// whenever from < n.
size_t PieceEnd(const char *text, size_t n, size_t from, size_t piece = TEXT_PIECE,
                size_t lines = TEXT_PIECE_LINES);
size_t PieceEnd(const char16_t *text, size_t n, size_t from, size_t piece = TEXT_PIECE,
                size_t lines = TEXT_PIECE_LINES);
