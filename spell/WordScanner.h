// The spell checker's word scanner: what a word is, the apostrophe and possessive
// rules, the exceptions for times and ordinals, and the search for the first word the
// Dictionary does not accept. No windows here.
#pragma once

const int MAX_WORD_LENGTH = 80;

// Printable ASCII that is not a delimiter: letters, the apostrophe, '*' and '`'.
bool IsWordCharacter(unsigned char c);

// Drops surrounding apostrophes ('hello') and a possessive "'s" (capitals ignored)
// from word, in place.
void NormalizeWord(char *word);

// True when word (capitals ignored) passes for the characters before it: 10am, 3PM,
// (s), 21st, 2nd, 33rd, 4th, 11th. prev1 and prev2 are -1 when there is none.
bool IsExceptionWord(const char *word, int prev1, int prev2);

struct Misspelling {
    int start;                        // the raw run in the text, as found
    int end;
    char word[MAX_WORD_LENGTH + 1];   // the run after NormalizeWord
};

// Scans text (length bytes, paragraph ends as single LF) from position on; fills found
// with the first word neither an exception nor in the Dictionary. 0 at the end.
int FindMisspelling(const char *text, int length, int position, Misspelling *found);

// Removes every CR from text in place; returns the new length.
int RemoveCarriageReturns(char *text);
