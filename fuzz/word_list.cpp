// The user's word list file and the packed list, as the spell checker reads them: any
// bytes give sorted, findable words of at most 255 characters, and a packed list
// inflates to what zlib itself makes of it.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <vector>
#include <zlib.h>

#include "spell/WordList.h"

// A zero byte ends a word early, so a CR before it may end the word as read.
static void CheckWords(int expected, bool zeros)
{
    if (Dictionary.count != expected)
        __builtin_trap();
    for (int i = 0; i < Dictionary.count; ++i) {
        const char *word = WordAt(i);
        size_t length = strlen(word);
        if (length > 255 || strchr(word, '\n') || (!zeros && length && word[length - 1] == '\r'))
            __builtin_trap();
        if (i && CompareWords(WordAt(i - 1), word) > 0)
            __builtin_trap();
        if (length && FindWord(word) < 0)
            __builtin_trap();
    }
}

static void CheckInflate(const uint8_t *data, size_t size)
{
    FILE *input = fmemopen((void *)data, size, "rb");
    char *made = 0;
    size_t madeSize = 0;
    FILE *output = open_memstream(&made, &madeSize);
    long total = InflateFile(input, output);
    fclose(input);
    fclose(output);
    if (total > 0) {
        std::vector<unsigned char> expected((size_t)total + 1);
        uLongf length = (uLongf)expected.size();
        if (uncompress(expected.data(), &length, data, (uLong)size) != Z_OK ||
            length != (uLongf)total || (size_t)total != madeSize ||
            memcmp(expected.data(), made, madeSize) != 0)
            __builtin_trap();
    }
    free(made);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    bool zeros = memchr(data, 0, size) != 0;
    ClearDictionary();
    FILE *file = fmemopen((void *)data, size, "rb");
    int first = ReadWordList(file);
    CheckWords(first, zeros);
    // A second load before a clear keeps the first load's words alongside its own.
    rewind(file);
    int second = ReadWordList(file);
    fclose(file);
    if (second != first)
        __builtin_trap();
    CheckWords(first + second, zeros);
    ClearDictionary();
    CheckInflate(data, size);
    return 0;
}
