// WindowState texts as a settings file may hold them, on any screen size; what the
// program writes back reads again.
#include <stddef.h>
#include <stdint.h>
#include <string.h>
#include <string>

#include "app/WindowStateText.h"

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
    if (strlen(out) >= sizeof out || strlen(tiny) >= sizeof tiny)
        __builtin_trap();
    ParseWindowState(out, width, height);
    return 0;
}
