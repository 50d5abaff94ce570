#include "editor/FormatDescriptor.h"
#include "editor/EditorControl.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int InchesToTwips(double inches)
{
    return (int)(inches * 1440 + 0.5);
}

namespace {

// Appends formatted text, never past the end of the buffer.
struct Appender {
    char *out;
    size_t size;
    size_t used;

    void Add(const char *format, ...)
    {
        if (used + 1 >= size)
            return;
        va_list args;
        va_start(args, format);
        int n = vsnprintf(out + used, size - used, format, args);
        va_end(args);
        if (n > 0)
            used += (size_t)n < size - used ? (size_t)n : size - used - 1;
    }
};

// Inches with six decimals, then trailing zeros and a trailing point removed.
void AddTabStop(Appender &text, int twips)
{
    char number[32];
    snprintf(number, sizeof number, "%lf", twips / 1440.0);
    size_t n = strlen(number);
    while (n > 0 && number[n - 1] == '0')
        number[--n] = 0;
    if (n > 0 && number[n - 1] == '.')
        number[--n] = 0;
    text.Add("%s\"", number);
}

// Where the value of key starts: the first "k=" in the text.
const char *FindItem(const char *text, char key)
{
    char pattern[3] = {key, '=', 0};
    const char *found = strstr(text, pattern);
    return found ? found + 2 : 0;
}

}  // namespace

int BuildFormatDescriptor(const CHARFORMATA &chars, const PARAFORMAT &para, char *out,
                          size_t size)
{
    if (!size)
        return 0;
    out[0] = 0;
    Appender text = {out, size, 0};
    DWORD mask = chars.dwMask, effects = chars.dwEffects;
    if (mask & CFM_BOLD)
        text.Add("b=%d;", effects & CFE_BOLD ? 1 : 0);
    if (mask & CFM_ITALIC)
        text.Add("i=%d;", effects & CFE_ITALIC ? 1 : 0);
    if (mask & CFM_UNDERLINE)
        text.Add("u=%d;", effects & CFE_UNDERLINE ? 1 : 0);
    if (mask & CFM_STRIKEOUT)
        text.Add("s=%d;", effects & CFE_STRIKEOUT ? 1 : 0);
    if (mask & CFM_COLOR)
        text.Add("c=%d;", effects & CFE_AUTOCOLOR ? 1 : (int)chars.crTextColor);
    if (mask & CFM_OFFSET)
        text.Add("y=%d;", (int)(chars.yOffset / 20));
    if (mask & CFM_SIZE)
        text.Add("h=%d;", (int)(chars.yHeight / 20));
    if (mask & CFM_FACE) {
        char face[LF_FACESIZE + 1];
        memcpy(face, chars.szFaceName, LF_FACESIZE);
        face[LF_FACESIZE] = 0;
        text.Add("f=%s;", face);
    }

    DWORD paraMask = para.dwMask;
    if (paraMask & PFM_ALIGNMENT)
        text.Add("a=%c;", para.wAlignment == PFA_CENTER ? 'c'
                          : para.wAlignment == PFA_RIGHT ? 'r' : 'l');
    if (paraMask & PFM_NUMBERING)
        text.Add("n=%d;", (int)para.wNumbering);
    if (paraMask & PFM_OFFSET)
        text.Add("o=%lf;", para.dxOffset / 1440.0);
    if (paraMask & PFM_STARTINDENT)
        text.Add("l=%lf;", para.dxStartIndent / 1440.0);
    if (paraMask & PFM_RIGHTINDENT)
        text.Add("r=%lf;", para.dxRightIndent / 1440.0);
    if (paraMask & PFM_TABSTOPS) {
        text.Add("t=");
        int count = para.cTabCount;
        if (count > MAX_DESCRIPTOR_TABS)
            count = MAX_DESCRIPTOR_TABS;
        for (int k = 0; k < count; ++k) {
            if (k)
                text.Add(",");
            // The top byte holds the tab's kind in newer formats, not its position.
            AddTabStop(text, para.rgxTabs[k] & 0x00FFFFFF);
        }
        text.Add(";");
    }
    return (int)text.used;
}

int GetDescriptorItem(const char *text, char key, char *out, size_t size)
{
    if (!size)
        return 0;
    out[0] = 0;
    const char *value = text ? FindItem(text, key) : 0;
    if (!value)
        return 0;
    size_t n = strcspn(value, ";");
    if (n >= size)
        n = size - 1;
    memcpy(out, value, n);
    out[n] = 0;
    return 1;
}

void ParseFormatDescriptor(const char *text, CHARFORMATA *chars, PARAFORMAT *para)
{
    const char *value;
    static const struct { char key; DWORD mask; DWORD effect; } toggles[] = {
        {'b', CFM_BOLD, CFE_BOLD},
        {'i', CFM_ITALIC, CFE_ITALIC},
        {'u', CFM_UNDERLINE, CFE_UNDERLINE},
        {'s', CFM_STRIKEOUT, CFE_STRIKEOUT},
    };
    for (const auto &toggle : toggles) {
        if ((value = FindItem(text, toggle.key))) {
            chars->dwMask |= toggle.mask;
            if (atoi(value))
                chars->dwEffects |= toggle.effect;
        }
    }
    if ((value = FindItem(text, 'c'))) {
        chars->dwMask |= CFM_COLOR;
        chars->crTextColor = (COLORREF)atoi(value);
        if (chars->crTextColor == 1)
            chars->dwEffects |= CFE_AUTOCOLOR;
    }
    if ((value = FindItem(text, 'y'))) {
        chars->dwMask |= CFM_OFFSET;
        chars->yOffset = atoi(value) * 20;
    }
    if ((value = FindItem(text, 'h'))) {
        chars->dwMask |= CFM_SIZE;
        chars->yHeight = atoi(value) * 20;
    }
    if ((value = FindItem(text, 'f'))) {
        // Longer names do not fit the control's field and are cut.
        size_t n = strcspn(value, ";");
        if (n > LF_FACESIZE - 1)
            n = LF_FACESIZE - 1;
        chars->dwMask |= CFM_FACE;
        memcpy(chars->szFaceName, value, n);
        chars->szFaceName[n] = 0;
    }

    if ((value = FindItem(text, 'a'))) {
        para->dwMask |= PFM_ALIGNMENT;
        para->wAlignment = *value == 'c' ? PFA_CENTER : *value == 'r' ? PFA_RIGHT : PFA_LEFT;
    }
    if ((value = FindItem(text, 'n'))) {
        para->dwMask |= PFM_NUMBERING;
        para->wNumbering = atoi(value) ? PFN_BULLET : 0;
    }
    if ((value = FindItem(text, 'r'))) {
        para->dwMask |= PFM_RIGHTINDENT;
        para->dxRightIndent = InchesToTwips(atof(value));
    }
    if ((value = FindItem(text, 'l'))) {
        para->dwMask |= PFM_STARTINDENT;
        para->dxStartIndent = InchesToTwips(atof(value));
    }
    if ((value = FindItem(text, 'o'))) {
        // The text gives the first line relative to the body; the control wants the
        // body relative to the first line, with the first line as start indentation.
        para->dwMask |= PFM_OFFSET;
        para->dxOffset = (LONG)(0.5 - atof(value) * 1440);
        para->dxStartIndent -= para->dxOffset;
    }
    if ((value = FindItem(text, 't'))) {
        para->dwMask |= PFM_TABSTOPS;
        const char *end = value + strcspn(value, ";");
        int count = 0;
        const char *p = value;
        while (p < end && count < MAX_DESCRIPTOR_TABS) {
            para->rgxTabs[count++] = InchesToTwips(atof(p));
            const char *comma = (const char *)memchr(p, ',', end - p);
            if (!comma)
                break;
            p = comma + 1;
        }
        para->cTabCount = (SHORT)count;
    }
}

const char *EditorWrapper::GetFormatDescriptor()
{
    static char descriptor[DESCRIPTOR_SIZE];
    if (!control)
        return 0;
    descriptor[0] = 0;
    CHARFORMATA chars;
    PARAFORMAT para;
    memset(&chars, 0, sizeof chars);
    memset(&para, 0, sizeof para);
    chars.cbSize = sizeof chars;
    para.cbSize = sizeof para;
    SendMessageA(control, EM_GETCHARFORMAT, SCF_SELECTION, (LPARAM)&chars);
    SendMessageA(control, EM_GETPARAFORMAT, 0, (LPARAM)&para);
    BuildFormatDescriptor(chars, para, descriptor, sizeof descriptor);
    return descriptor;
}

int EditorWrapper::ApplyFormatDescriptor(const char *text)
{
    if (!control || !text)
        return 0;
    CHARFORMATA chars;
    PARAFORMAT para;
    memset(&chars, 0, sizeof chars);
    memset(&para, 0, sizeof para);
    chars.cbSize = sizeof chars;
    para.cbSize = sizeof para;
    ParseFormatDescriptor(text, &chars, &para);
    if (chars.dwMask)
        SendMessageA(control, EM_SETCHARFORMAT, SCF_SELECTION, (LPARAM)&chars);
    if (para.dwMask)
        SendMessageA(control, EM_SETPARAFORMAT, 0, (LPARAM)&para);
    return 1;
}
