#include "tools/DialogStateText.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

size_t StartStateText(char *buffer, size_t size, int commandId)
{
    if (!size)
        return 0;
    int n = snprintf(buffer, size, "%d\n", commandId);
    if (n < 0 || (size_t)n >= size) {
        buffer[0] = 0;
        return 0;
    }
    return (size_t)n;
}

bool AppendStateLine(char *buffer, size_t size, size_t *used, int id, int value,
                     const char *text)
{
    char head[32];
    int headLength = snprintf(head, sizeof head, "%d=%d:", id, value);
    size_t textLength = text ? strlen(text) : 0;
    size_t need = (size_t)headLength + textLength + 2;
    if (*used + need + 1 > size)
        return false;
    char *out = buffer + *used;
    memcpy(out, head, headLength);
    if (textLength)
        memcpy(out + headLength, text, textLength);
    out[headLength + textLength] = (char)-1;  // ends the text, which may hold line ends
    out[headLength + textLength + 1] = '\n';
    out[need] = 0;
    *used += need;
    return true;
}

int GetStateValue(const char *state, int id)
{
    if (!state)
        return -1;
    char key[24];
    snprintf(key, sizeof key, "\n%d=", id);
    const char *found = strstr(state, key);
    if (!found)
        return -1;
    return atoi(found + strlen(key));
}

bool NextInitLine(const char **cursor, const char *text, InitLine *line)
{
    const char *p = *cursor;
    if (p == text && *p == '\n')
        ++p;
    const char *end = strchr(p, '\n');
    if (!end)
        return false;
    line->id = atoi(p);
    if (line->id == 0)
        return false;
    const char *equals = (const char *)memchr(p, '=', end - p);
    if (!equals)
        return false;
    line->kind = 0;
    line->text = 0;
    line->textLength = 0;
    line->number = 0;
    if (equals[1] == '"') {
        line->kind = '"';
        line->text = equals + 2;
        line->textLength = end - (equals + 2);
    } else if (equals[1] == '#') {
        line->kind = '#';
        line->number = atol(equals + 2);
    }
    *cursor = end + 1;
    return true;
}

long InitIcon(const char *text)
{
    const char *found = text ? strstr(text, "\nicon=") : 0;
    return found ? atol(found + 6) : 0;
}

const char *InitTitle(const char *text)
{
    const char *found = text ? strstr(text, "\ntitle=") : 0;
    return found ? found + 7 : 0;
}
