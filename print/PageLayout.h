// Page arithmetic and line breaking for printing and preview: plain values only, no
// windows, so it can be tested exhaustively (and is fuzzed: fuzz/page_layout.cpp).
#pragma once
#include <wchar.h>

// Thousandths of an inch to twips, truncated toward zero.
inline int ThousandthsToTwips(int thousandths) { return thousandths * 1440 / 1000; }
// Device pixels to twips at pixelsPerInch, truncated toward zero; 0 for a bad resolution.
inline int PixelsToTwips(int pixels, int pixelsPerInch)
{
    return pixelsPerInch > 0 ? pixels * 1440 / pixelsPerInch : 0;
}
// Twips to device units at pixelsPerInch, rounded to the nearest unit.
int TwipsToDevice(int twips, int pixelsPerInch);

// Default distance of tab stops where a paragraph sets none (half an inch).
const int DEFAULT_TAB_TWIPS = 720;

// Position of the first tab stop right of x (all in one unit, twips unless told, from
// the text's left edge): the paragraph's stops first (ascending; 0 or negative entries
// are skipped), then every defaultTab.
int NextTabStop(int x, const int *stops, int stopCount, int defaultTab = DEFAULT_TAB_TWIPS);

struct LineFit {
    int length;  // characters on the line, line end and trailing spaces included
    int width;   // x reached by the last visible character, from the line's start x
};

// Breaks one line of text (paragraph end CR, soft line end 0x0B) whose characters have
// the given advances (in one unit with startX, right and the tab stops; tabs are measured
// here, default stops every defaultTab), starting at startX of a line that may extend
// to right. Breaks after the last space or tab that lets the next word fit; a word wider
// than the line is cut at the character that does not fit. At least one character
// goes on every line. Trailing spaces hang beyond right.
LineFit FitLine(const wchar_t *text, const int *advance, int count, int startX, int right,
                const int *tabStops, int tabCount, int defaultTab = DEFAULT_TAB_TWIPS);

// The end of a print range once the line ends at the end of the document are dropped:
// text is the document as character positions count it (one CR per paragraph end),
// length its length. A negative rangeEnd stands for the end of the document.
int TrimmedRangeEnd(const wchar_t *text, int length, int rangeEnd);

// Size of one preview page image in a page area of areaWidth x areaHeight pixels:
// the image fills the height (less gapY pixels for its number) and shrinks in 10 % steps
// until a grid of (width + gapX) x (height + gapY) cells holds pagesShown images. Images
// never shrink below one pixel, so a tiny area cannot loop forever. The gaps are 12 and
// 24 pixels at 96 DPI.
void FitPageImages(int areaWidth, int areaHeight, int paperWidth, int paperHeight,
                   int pagesShown, int *imageWidth, int *imageHeight, int gapX = 12,
                   int gapY = 24);
