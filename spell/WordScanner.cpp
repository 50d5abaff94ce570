#include "spell/WordScanner.h"

#include <string.h>

#include "spell/WordList.h"

// Everything that ends a word, besides control characters and bytes of 0x80 and above.
static const char Delimiters[] = "1234567890 \t\r\n.,!:;-_+=()&~^%$#@<>/?\\{}[]\"|\xB0";

// One look-up per character: a megabyte of text is a million of them.
struct WordCharacterTable {
    bool word[256];
    WordCharacterTable()
    {
        for (int c = 0; c < 256; ++c)
            word[c] = c >= 0x20 && c <= 0x7E && !memchr(Delimiters, c, sizeof Delimiters - 1);
    }
};

bool IsWordCharacter(unsigned char c)
{
    static const WordCharacterTable table;
    return table.word[c];
}

static unsigned char Lower(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? (unsigned char)(c + ('a' - 'A')) : c;
}

// 'hello' is looked up as hello; a lone apostrophe becomes the empty word.
static void StripQuotes(char *word)
{
    size_t length = strlen(word);
    if (length && word[0] == '\'' && word[length - 1] == '\'') {
        size_t kept = length >= 2 ? length - 2 : 0;
        memmove(word, word + 1, kept);
        word[kept] = 0;
    }
}

static void DropPossessive(char *word)
{
    size_t length = strlen(word);
    if (length > 2 && word[length - 2] == '\'' && Lower(word[length - 1]) == 's')
        word[length - 2] = 0;
}

void NormalizeWord(char *word)
{
    StripQuotes(word);
    DropPossessive(word);
}

static bool IsDigit(int c)
{
    return c >= '0' && c <= '9';
}

bool IsExceptionWord(const char *word, int prev1, int prev2)
{
    char folded[3] = {0, 0, 0};
    size_t length = strlen(word);
    if (length == 0 || length > 2)
        return false;
    for (size_t i = 0; i < length; ++i)
        folded[i] = (char)Lower(word[i]);
    if (!strcmp(folded, "am") || !strcmp(folded, "pm"))
        return IsDigit(prev1);
    if (!strcmp(folded, "s"))
        return prev1 == '(';
    if (!strcmp(folded, "st"))
        return prev1 == '1';
    if (!strcmp(folded, "nd"))
        return prev1 == '2';
    if (!strcmp(folded, "rd"))
        return prev1 == '3';
    if (!strcmp(folded, "th"))
        return prev1 == '0' || (prev1 >= '4' && prev1 <= '9') || (IsDigit(prev1) && prev2 == '1');
    return false;
}

int FindMisspelling(const char *text, int length, int position, Misspelling *found)
{
    const unsigned char *bytes = (const unsigned char *)text;
    if (position < 0)
        position = 0;
    while (position < length) {
        if (!IsWordCharacter(bytes[position])) {
            ++position;
            continue;
        }
        int start = position, end = position;
        while (end < length && end - start < MAX_WORD_LENGTH && IsWordCharacter(bytes[end]))
            ++end;
        char whole[MAX_WORD_LENGTH + 1];
        memcpy(whole, text + start, end - start);
        whole[end - start] = 0;
        StripQuotes(whole);
        memcpy(found->word, whole, sizeof whole);
        DropPossessive(found->word);
        int prev1 = start >= 1 ? bytes[start - 1] : -1;
        int prev2 = start >= 2 ? bytes[start - 2] : -1;
        // A possessive the list holds as such ("Kinko's") passes even without its base.
        bool accepted = IsExceptionWord(found->word, prev1, prev2) ||
                        FindWord(found->word) >= 0 ||
                        (strcmp(found->word, whole) != 0 && FindWord(whole) >= 0);
        if (!accepted) {
            found->start = start;
            found->end = end;
            return 1;
        }
        position = end;
    }
    return 0;
}

int RemoveCarriageReturns(char *text)
{
    char *to = text;
    for (const char *from = text; *from; ++from)
        if (*from != '\r')
            *to++ = *from;
    *to = 0;
    return (int)(to - text);
}
