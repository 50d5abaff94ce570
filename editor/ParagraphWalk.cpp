#include "editor/ParagraphWalk.h"

#include <string.h>

size_t CountParagraphEnds(const char *text, size_t length)
{
    size_t count = 0;
    const char *end = text + length;
    while (text < end && (text = (const char *)memchr(text, '\r', end - text))) {
        ++count;
        ++text;
    }
    return count;
}

long ParagraphStart(const char16_t *text, size_t length, long index)
{
    if (index < 0)
        return -1;
    size_t at = 0;
    for (long seen = 0; seen < index; ++at) {
        if (at >= length)
            return -1;
        if (text[at] == u'\r')
            ++seen;
    }
    // A CR at the very end starts the empty last line, at the end of the text.
    return (long)at;
}
