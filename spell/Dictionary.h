// The Dictionary's word list file: Dictionary.txt in the OrvelloWord folder of the
// user's application-data folder, created from the list carried in the program.
#pragma once
#include <stddef.h>

#include "spell/WordList.h"

// Path of the word list file found by the last LoadDictionary ("" before the first).
extern char WordListPath[260];

// The compressed list the file is created from. Null (the default) means the one in the
// program's resources; another stream can stand in for it (the tests use that).
extern const void *WordListStream;
extern size_t WordListStreamSize;

// Creates the word list file when missing and reads it into the (empty) Dictionary.
// False when the file could not be created or opened; nothing half-made is left.
bool LoadDictionary();
// AddWord, then appends the word (CR LF terminated) to the word list file. Returns 0
// when the file could not be written; the word stays in the loaded list either way.
int AddUserWord(char *word);
