// Where the About box's controls go, in dialog units: plain arithmetic on the content size
// and the dialog base units, so it can be checked without a window.
#pragma once

// The platform's MulDiv: number * numerator / denominator rounded half away from zero,
// -1 when the denominator is 0 or the result does not fit.
int MulDivRound(int number, int numerator, int denominator);

enum {
    ABOUT_MARGIN = 8,       // dialog units around the content
    ABOUT_ITEM_COUNT = 5,
};

struct AboutItemRect {
    short x, y, cx, cy;
};

// The dialog's size and its items in template order: Close button, logo, link button,
// separator line, about text.
struct AboutLayout {
    unsigned short cx, cy;
    AboutItemRect items[ABOUT_ITEM_COUNT];
};

// The default content size in pixels: 480 x 240 inside the margins.
void DefaultAboutSize(int baseX, int baseY, int *width, int *height);
AboutLayout ComputeAboutLayout(int width, int height, int baseX, int baseY);

// The about text: product name, version line with the build date, copyright line with the
// build year. version holds the major number in its low word and the minor in its high
// word; buildDate is in the compiler's "Mmm dd yyyy" form. Writes at most size bytes.
void FormatAboutText(char *text, int size, const char *product, unsigned version,
                     const char *buildDate);
