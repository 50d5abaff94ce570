// Texts scanned for misspellings against a small word list.
#include <stddef.h>
#include <stdint.h>
#include <string.h>
#include <string>

#include "spell/WordList.h"
#include "spell/WordScanner.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static bool loaded = false;
    if (!loaded) {
        for (const char *w : {"a", "it", "is", "the", "word", "words", "don't", "O'Neill"})
            AddWord(CopyWord(w, strlen(w)));
        loaded = true;
    }
    std::string text((const char *)data, size);
    int length = RemoveCarriageReturns(&text[0]);
    int position = 0;
    Misspelling found;
    for (int steps = 0; steps < 100000 && FindMisspelling(text.c_str(), length, position, &found);
         ++steps) {
        if (found.start < position || found.end <= found.start || found.end > length ||
            strlen(found.word) > (size_t)MAX_WORD_LENGTH)
            __builtin_trap();
        position = found.end;
    }
    char word[MAX_WORD_LENGTH + 1];
    strncpy(word, text.c_str(), MAX_WORD_LENGTH);
    word[MAX_WORD_LENGTH] = 0;
    NormalizeWord(word);
    IsExceptionWord(word, size > 0 ? data[0] : -1, size > 1 ? data[1] : -1);
    return 0;
}
