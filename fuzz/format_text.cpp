// Format descriptor texts as a user, a dialog or a settings file might hand them over.
#include <stddef.h>
#include <stdint.h>
#include <string.h>
#include <string>

#include "editor/FormatText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string text((const char *)data, size);
    FormatItems items = ParseFormatItems(text.c_str());
    if (items.tabCount < 0 || items.tabCount > MAX_DESCRIPTOR_TABS ||
        strlen(items.face) >= sizeof items.face)
        __builtin_trap();
    static const char keys[] = "biuscyhfanolrt";
    for (const char *key = keys; *key; ++key) {
        char small[4], large[600];
        GetDescriptorItem(text.c_str(), *key, small, sizeof small);
        GetDescriptorItem(text.c_str(), *key, large, sizeof large);
        if (strlen(small) >= sizeof small || strncmp(small, large, strlen(small)) != 0)
            __builtin_trap();
    }
    return 0;
}
