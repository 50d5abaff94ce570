// The WindowState settings text: the main window's normal rectangle, show state and
// bar flags, as fractions of the screen (or pixels in older files). No windows
// involved, so it compiles anywhere.
#pragma once
#include <stddef.h>

struct WindowStateRect {
    int left, top, right, bottom;  // pixels
};

struct WindowStateValues {
    WindowStateRect normal;
    int show;
    int toolbar;  // 1, 0, negative toggles
    int status;
};

// Reads a WindowState text: fractions of the screen when it holds a '.', else pixels.
// Fields that fail to parse are 0.
WindowStateValues ParseWindowState(const char *text, int screenWidth, int screenHeight);
// Writes the fraction form with four decimals.
void FormatWindowState(const WindowStateValues &values, int screenWidth, int screenHeight,
                       char *out, size_t size);
