#include "app/TraceText.h"

#include <string.h>

void AppendTypedText(std::string &typed, const char *text, size_t length)
{
    for (size_t k = 0; k < length; ++k) {
        unsigned char byte = (unsigned char)text[k];
        if (byte == '\n')
            typed += '\r';
        else if (byte >= ' ' || byte == '\t')
            typed += (char)byte;
    }
}

size_t TitleLine(const char *text, size_t length, size_t *start)
{
    size_t end = length;
    while (end > 0 && text[end - 1] != '\n')
        --end;
    if (end == 0) {
        *start = 0;
        return length;
    }
    --end;  // at the last line feed
    size_t from = end;
    while (from > 0 && text[from - 1] != '\n')
        --from;
    *start = from;
    return end - from;
}

bool AddTraceLine(TraceBlock &block, const char *line, size_t length)
{
    const char *zero = (const char *)memchr(line, 0, length);
    if (zero)
        length = (size_t)(zero - line);
    if (length > (size_t)TRACE_TEXT_MAX)
        length = TRACE_TEXT_MAX;
    // The line, its line feed and the block's zero byte.
    if (block.used && block.used + length + 2 > sizeof block.text)
        return false;
    memcpy(block.text + block.used, line, length);
    block.used += length;
    block.text[block.used++] = '\n';
    block.text[block.used] = 0;
    return true;
}
