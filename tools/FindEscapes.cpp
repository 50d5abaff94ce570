#include "tools/FindEscapes.h"

// Replaces every backslash + letter by code, leftmost first, one pass over the text.
static void TranslatePass(char *text, char letter, char code)
{
    char *out = text;
    for (const char *in = text; *in; ++in) {
        if (in[0] == '\\' && in[1] == letter) {
            *out++ = code;
            ++in;
        } else {
            *out++ = *in;
        }
    }
    *out = 0;
}

void TranslateEscapes(char *text)
{
    if (!text)
        return;
    TranslatePass(text, 't', '\t');
    TranslatePass(text, 'r', '\r');
    TranslatePass(text, 'n', '\r');
}
