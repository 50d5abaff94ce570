// WindowState texts as a settings file may hold them, on any screen size; what the
// program writes back reads again as the same window.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <string>

#include "app/WindowStateText.h"

static bool Near(int a, int b, int tolerance)
{
    return llabs((long long)a - b) <= tolerance;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    int width = 1280, height = 1024;
    if (size >= 4) {
        width = (int16_t)(data[0] | data[1] << 8);
        height = (int16_t)(data[2] | data[3] << 8);
        data += 4;
        size -= 4;
    }
    std::string text((const char *)data, size);
    WindowStateValues values = ParseWindowState(text.c_str(), width, height);
    char out[128], tiny[9];
    FormatWindowState(values, width, height, out, sizeof out);
    FormatWindowState(values, width, height, tiny, sizeof tiny);
    if (strlen(out) >= sizeof out - 1 || strlen(tiny) >= sizeof tiny)
        __builtin_trap();
    if (width <= 0 || height <= 0)
        return 0;
    // Four decimals of a fraction of the screen: half a pixel in 10,000, plus rounding.
    WindowStateValues again = ParseWindowState(out, width, height);
    int across = width / 10000 + 1, down = height / 10000 + 1;
    if (!Near(again.normal.left, values.normal.left, across) ||
        !Near(again.normal.right, values.normal.right, across) ||
        !Near(again.normal.top, values.normal.top, down) ||
        !Near(again.normal.bottom, values.normal.bottom, down) || again.show != values.show ||
        again.toolbar != values.toolbar || again.status != values.status)
        __builtin_trap();
    return 0;
}
