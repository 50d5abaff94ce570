#include "about/AboutLayout.h"

#include <stdio.h>
#include <string.h>

int MulDivRound(int number, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    long long product = (long long)number * numerator;
    if (denominator < 0) {
        product = -product;
        denominator = -denominator;
    }
    long long result = (product < 0 ? product - denominator / 2 : product + denominator / 2) / denominator;
    return result > 2147483647LL || result < -2147483647LL ? -1 : (int)result;
}

void DefaultAboutSize(int baseX, int baseY, int *width, int *height)
{
    *width = MulDivRound(ABOUT_MARGIN, baseX, 4) * 2 + 480;
    *height = MulDivRound(ABOUT_MARGIN, baseY, 8) * 2 + 240;
}

static AboutItemRect Item(int x, int y, int cx, int cy)
{
    AboutItemRect rect = {(short)x, (short)y, (short)cx, (short)cy};
    return rect;
}

AboutLayout ComputeAboutLayout(int width, int height, int baseX, int baseY)
{
    AboutLayout layout;
    layout.cx = (unsigned short)MulDivRound(width, 4, baseX);
    layout.cy = (unsigned short)MulDivRound(height, 8, baseY);
    const int cx = layout.cx, cy = layout.cy, m = ABOUT_MARGIN;
    const int logoWidth = cx - 2 * m, logoHeight = logoWidth / 8;
    // The link sits halfway between the logo's bottom (plus 4 pixels) and the line.
    const int linkY = (cy / 2 + m + logoHeight + MulDivRound(4, 8, baseY)) / 2 - 7;
    layout.items[0] = Item(cx - m - 40, cy - m - 14, 40, 14);
    layout.items[1] = Item(m, m, logoWidth, logoHeight);
    layout.items[2] = Item(cx / 2 - cx / 4, linkY, cx / 2, 14);
    layout.items[3] = Item(m, cy / 2, logoWidth, 1);
    layout.items[4] = Item(m, cy / 2 + 2 * m, cx - 3 * m - 40, cy / 2 - 3 * m);
    return layout;
}

void FormatAboutText(char *text, int size, const char *product, unsigned version,
                     const char *buildDate)
{
    // "Dec  8 2026" -> "Dec 8 2026"; the year is the last word.
    char date[16] = "";
    int length = 0;
    for (const char *c = buildDate; *c && length < (int)sizeof date - 1; ++c)
        if (*c != ' ' || (length > 0 && date[length - 1] != ' '))
            date[length++] = *c;
    date[length] = 0;
    const char *year = strrchr(date, ' ');
    year = year ? year + 1 : date;
    snprintf(text, size, "%s\r\nVersion %u.%u (%s)\r\nCopyright (C) %s", product, version & 0xFFFF,
             version >> 16, date, year);
}
