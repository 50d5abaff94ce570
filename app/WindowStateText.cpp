#include "app/WindowStateText.h"

#include <limits.h>
#include <stdio.h>
#include <string.h>

// Pixels for a fraction of the screen; a settings file may hold any number, so the
// result is pinned to the int range.
static int FractionToPixels(double fraction, int screen)
{
    double pixels = fraction * screen + 0.5;
    if (!(pixels == pixels))
        return 0;
    if (pixels >= (double)INT_MAX)
        return INT_MAX;
    if (pixels <= (double)INT_MIN)
        return INT_MIN;
    return (int)pixels;
}

WindowStateValues ParseWindowState(const char *text, int screenWidth, int screenHeight)
{
    WindowStateValues values = {{0, 0, 0, 0}, 0, 0, 0};
    if (strchr(text, '.')) {
        double left = 0, top = 0, right = 0, bottom = 0;
        sscanf(text, "%lf,%lf,%lf,%lf,%d,%d,%d", &left, &top, &right, &bottom, &values.show,
               &values.toolbar, &values.status);
        values.normal.left = FractionToPixels(left, screenWidth);
        values.normal.top = FractionToPixels(top, screenHeight);
        values.normal.right = FractionToPixels(right, screenWidth);
        values.normal.bottom = FractionToPixels(bottom, screenHeight);
    } else {
        int left = 0, top = 0, right = 0, bottom = 0;
        sscanf(text, "%d,%d,%d,%d,%d,%d,%d", &left, &top, &right, &bottom, &values.show,
               &values.toolbar, &values.status);
        values.normal.left = left;
        values.normal.top = top;
        values.normal.right = right;
        values.normal.bottom = bottom;
    }
    return values;
}

void FormatWindowState(const WindowStateValues &values, int screenWidth, int screenHeight,
                       char *out, size_t size)
{
    double width = screenWidth > 0 ? screenWidth : 1;
    double height = screenHeight > 0 ? screenHeight : 1;
    snprintf(out, size, "%.4lf,%.4lf,%.4lf,%.4lf,%d,%d,%d", values.normal.left / width,
             values.normal.top / height, values.normal.right / width,
             values.normal.bottom / height, values.show, values.toolbar, values.status);
}
