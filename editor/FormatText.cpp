#include "editor/FormatText.h"

#include <limits.h>
#include <stdlib.h>
#include <string.h>

namespace {

// Where the value of key starts: the first "k=" in the text.
const char *FindItem(const char *text, char key)
{
    char pattern[3] = {key, '=', 0};
    const char *found = strstr(text, pattern);
    return found ? found + 2 : 0;
}

// A value pinned to the int range: descriptors typed by hand may hold any number.
int Pinned(double value)
{
    if (!(value == value))
        return 0;
    if (value >= (double)INT_MAX)
        return INT_MAX;
    if (value <= (double)INT_MIN)
        return INT_MIN;
    return (int)value;
}

int PinnedSum(long long value)
{
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : (int)value;
}

// Whole points in the text, twips in the control.
int PointsToTwips(const char *value)
{
    return PinnedSum(atoi(value) * 20LL);
}

}  // namespace

int InchesToTwips(double inches)
{
    return Pinned(inches * 1440 + 0.5);
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

FormatItems ParseFormatItems(const char *text)
{
    FormatItems items;
    memset(&items, 0, sizeof items);
    const char *value;
    struct Toggle {
        char key;
        unsigned bit;
        bool *on;
    };
    const Toggle toggles[] = {
        {'b', ITEM_BOLD, &items.bold},
        {'i', ITEM_ITALIC, &items.italic},
        {'u', ITEM_UNDERLINE, &items.underline},
        {'s', ITEM_STRIKEOUT, &items.strikeout},
    };
    for (const Toggle &toggle : toggles) {
        if ((value = FindItem(text, toggle.key))) {
            items.present |= toggle.bit;
            *toggle.on = atoi(value) != 0;
        }
    }
    if ((value = FindItem(text, 'c'))) {
        items.present |= ITEM_COLOR;
        items.color = (unsigned)atoi(value);
    }
    if ((value = FindItem(text, 'y'))) {
        items.present |= ITEM_OFFSET;
        items.offset = PointsToTwips(value);
    }
    if ((value = FindItem(text, 'h'))) {
        items.present |= ITEM_SIZE;
        items.height = PointsToTwips(value);
    }
    if ((value = FindItem(text, 'f'))) {
        // Longer names do not fit the control's field and are cut.
        size_t n = strcspn(value, ";");
        if (n > DESCRIPTOR_FACE_SIZE - 1)
            n = DESCRIPTOR_FACE_SIZE - 1;
        items.present |= ITEM_FACE;
        memcpy(items.face, value, n);
        items.face[n] = 0;
    }

    if ((value = FindItem(text, 'a'))) {
        items.present |= ITEM_ALIGNMENT;
        items.alignment = *value == 'c' || *value == 'r' ? *value : 'l';
    }
    if ((value = FindItem(text, 'n'))) {
        items.present |= ITEM_NUMBERING;
        items.bullet = atoi(value) != 0;
    }
    if ((value = FindItem(text, 'r'))) {
        items.present |= ITEM_RIGHT_INDENT;
        items.rightIndent = InchesToTwips(atof(value));
    }
    if ((value = FindItem(text, 'l'))) {
        items.present |= ITEM_START_INDENT;
        items.startIndent = InchesToTwips(atof(value));
    }
    if ((value = FindItem(text, 'o'))) {
        // The text gives the first line relative to the body; the control wants the
        // body relative to the first line, with the first line as start indentation.
        items.present |= ITEM_FIRST_OFFSET;
        items.firstOffset = Pinned(0.5 - atof(value) * 1440);
        items.startIndent = PinnedSum((long long)items.startIndent - items.firstOffset);
    }
    if ((value = FindItem(text, 't'))) {
        items.present |= ITEM_TABS;
        const char *end = value + strcspn(value, ";");
        const char *p = value;
        while (p < end && items.tabCount < MAX_DESCRIPTOR_TABS) {
            items.tabs[items.tabCount++] = InchesToTwips(atof(p));
            const char *comma = (const char *)memchr(p, ',', end - p);
            if (!comma)
                break;
            p = comma + 1;
        }
    }
    return items;
}
