// The sorted in-memory word list the spell checker consults, and the inflation of the
// word list carried in the program. Plain C++ and zlib: no windows here.
#pragma once
#include <stddef.h>
#include <stdio.h>

// Growable array of owned words in ascending CompareWords order; duplicates allowed.
// The words ReadWordList reads share one block; each word added later is a new[] of
// its own.
struct WordList {
    char **entries;
    int count;
    int capacity;
};

extern WordList Dictionary;

// The C locale's _stricmp order: ASCII capitals folded to small letters, then bytes.
int CompareWords(const char *a, const char *b);
// A new[] copy of length bytes of text, zero-terminated.
char *CopyWord(const char *text, size_t length);

// Index of an entry equal to word ignoring case, or -1.
int FindWord(const char *word);
// The entry at index, or null outside 0 .. count - 1.
const char *WordAt(int index);
// Inserts word (ownership passes) at its sorted place.
void AddWord(char *word);
// Frees every entry; the capacity is kept.
void ClearDictionary();
// Appends the lines of a word list file opened as bytes (CR LF or LF line ends; pieces
// of at most 255 characters; blank lines skipped) and sorts the whole list. Returns the
// number of words read.
int ReadWordList(FILE *file);

// Inflates a zlib stream from input into output through 16,384-byte buffers. Returns
// the bytes written when the stream was complete, 0 on any fault (corrupt or truncated
// stream, read or write error).
long InflateFile(FILE *input, FILE *output);
