#include "editor/FormatDescriptor.h"
#include "editor/EditorControl.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

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

void ParseFormatDescriptor(const char *text, CHARFORMATA *chars, PARAFORMAT *para)
{
    FormatItems items = ParseFormatItems(text);
    static const struct { unsigned item; DWORD mask; DWORD effect; } toggles[] = {
        {ITEM_BOLD, CFM_BOLD, CFE_BOLD},
        {ITEM_ITALIC, CFM_ITALIC, CFE_ITALIC},
        {ITEM_UNDERLINE, CFM_UNDERLINE, CFE_UNDERLINE},
        {ITEM_STRIKEOUT, CFM_STRIKEOUT, CFE_STRIKEOUT},
    };
    const bool on[] = {items.bold, items.italic, items.underline, items.strikeout};
    for (int k = 0; k < 4; ++k) {
        if (items.present & toggles[k].item) {
            chars->dwMask |= toggles[k].mask;
            if (on[k])
                chars->dwEffects |= toggles[k].effect;
        }
    }
    if (items.present & ITEM_COLOR) {
        chars->dwMask |= CFM_COLOR;
        chars->crTextColor = (COLORREF)items.color;
        if (items.color == 1)
            chars->dwEffects |= CFE_AUTOCOLOR;
    }
    if (items.present & ITEM_OFFSET) {
        chars->dwMask |= CFM_OFFSET;
        chars->yOffset = items.offset;
    }
    if (items.present & ITEM_SIZE) {
        chars->dwMask |= CFM_SIZE;
        chars->yHeight = items.height;
    }
    if (items.present & ITEM_FACE) {
        chars->dwMask |= CFM_FACE;
        memcpy(chars->szFaceName, items.face, sizeof items.face);
    }

    if (items.present & ITEM_ALIGNMENT) {
        para->dwMask |= PFM_ALIGNMENT;
        para->wAlignment = items.alignment == 'c' ? PFA_CENTER
                           : items.alignment == 'r' ? PFA_RIGHT : PFA_LEFT;
    }
    if (items.present & ITEM_NUMBERING) {
        para->dwMask |= PFM_NUMBERING;
        para->wNumbering = items.bullet ? PFN_BULLET : 0;
    }
    if (items.present & ITEM_RIGHT_INDENT) {
        para->dwMask |= PFM_RIGHTINDENT;
        para->dxRightIndent = items.rightIndent;
    }
    if (items.present & ITEM_START_INDENT)
        para->dwMask |= PFM_STARTINDENT;
    if (items.present & ITEM_FIRST_OFFSET)
        para->dwMask |= PFM_OFFSET;
    if (items.present & (ITEM_START_INDENT | ITEM_FIRST_OFFSET)) {
        para->dxStartIndent = items.startIndent;
        para->dxOffset = items.firstOffset;
    }
    if (items.present & ITEM_TABS) {
        para->dwMask |= PFM_TABSTOPS;
        for (int k = 0; k < items.tabCount; ++k)
            para->rgxTabs[k] = items.tabs[k];
        para->cTabCount = (SHORT)items.tabCount;
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
