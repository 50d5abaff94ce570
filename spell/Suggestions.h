// Suggestions for a misspelt word: the longest prefix that is a word (the stem, around
// which the list shows its alphabetical neighbours) and the Dictionary words nearest to
// it. No windows here.
#pragma once
#include <stddef.h>

// Index of the Dictionary entry for the longest prefix of word that is a word, or -1.
int FindSuggestionStem(const char *word);

// Up to limit Dictionary indexes of the words one or two edits from word (a letter
// added, dropped or changed, or two neighbours swapped; capitals ignored), nearest
// first. Ties go to the word made of the same letters (a swap before a change), then
// to the same first letter, then to a word whose capitals fit (a capitalised entry
// ranks after a small one for a word in small letters), then alphabetical order.
// Returns the number found.
int FindNearestWords(const char *word, int *indexes, int limit);

// The Dictionary spelling entry written with word's capitals: all capitals when word
// has two or more letters and all are capitals, a capital first letter when word
// starts with one, else entry as it stands.
void MatchCapitals(const char *word, const char *entry, char *out, size_t size);
