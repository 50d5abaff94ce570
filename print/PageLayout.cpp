#include "print/PageLayout.h"

int TwipsToDevice(int twips, int pixelsPerInch)
{
    long long scaled = (long long)twips * pixelsPerInch;
    return (int)(scaled >= 0 ? (scaled + 720) / 1440 : -((-scaled + 720) / 1440));
}

int NextTabStop(int x, const int *stops, int stopCount, int defaultTab)
{
    for (int i = 0; i < stopCount; ++i)
        if (stops[i] > x)
            return stops[i];
    if (x < 0)
        return 0;
    if (defaultTab <= 0)
        defaultTab = 1;
    return (x / defaultTab + 1) * defaultTab;
}

LineFit FitLine(const wchar_t *text, const int *advance, int count, int startX, int right,
                const int *tabStops, int tabCount, int defaultTab)
{
    int x = startX, visible = 0;
    int breakAt = 0, visibleAtBreak = 0;
    for (int i = 0; i < count; ++i) {
        wchar_t c = text[i];
        if (c == L'\r' || c == L'\n' || c == 0x0B)
            return {i + 1, visible};
        if (c == L'\t') {
            x = NextTabStop(x, tabStops, tabCount, defaultTab);
            visible = x - startX;
            breakAt = i + 1;
            visibleAtBreak = visible;
            continue;
        }
        if (c == L' ') {
            x += advance[i];
            breakAt = i + 1;
            visibleAtBreak = visible;
            continue;
        }
        if (i > 0 && x + advance[i] > right) {
            if (breakAt > 0)
                return {breakAt, visibleAtBreak};
            return {i, visible};
        }
        x += advance[i];
        visible = x - startX;
    }
    return {count, visible};
}

int TrimmedRangeEnd(const wchar_t *text, int length, int rangeEnd)
{
    int end = length;
    while (end > 0 && (text[end - 1] == L'\r' || text[end - 1] == L'\n'))
        --end;
    if (rangeEnd < 0 || rangeEnd > end)
        return end;
    return rangeEnd;
}

void FitPageImages(int areaWidth, int areaHeight, int paperWidth, int paperHeight,
                   int pagesShown, int *imageWidth, int *imageHeight, int gapX, int gapY)
{
    int height = areaHeight - gapY;
    int width = paperHeight > 0 ? (int)((long long)height * paperWidth / paperHeight) : 0;
    while (width > 1 && height > 1 &&
           (areaWidth / (width + gapX)) * (areaHeight / (height + gapY)) < pagesShown) {
        width = (int)(width * 0.9);
        height = (int)(height * 0.9);
    }
    *imageWidth = width > 0 ? width : 0;
    *imageHeight = height > 0 ? height : 0;
}
