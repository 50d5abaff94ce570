// Dialog state texts: written from arbitrary control texts, read back, and arbitrary
// init texts walked the way a dialog is filled.
#include <stddef.h>
#include <stdint.h>
#include <string.h>
#include <string>

#include "tools/DialogStateText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string text((const char *)data, size);
    const char *walk = text.c_str();
    InitLine line;
    for (int i = 0; i < 10000 && NextInitLine(&walk, text.c_str(), &line); ++i)
        if (line.kind == '"' && line.text + line.textLength > text.c_str() + text.size())
            __builtin_trap();
    InitIcon(text.c_str());
    InitTitle(text.c_str());
    GetStateValue(text.c_str(), 1000);

    // The same bytes as control texts: every line either fits whole or is left out.
    char state[STATE_TEXT_SIZE];
    size_t used = StartStateText(state, sizeof state, 1);
    // A control text holding a line end can look like a later control's line; only
    // texts without one must read back exactly.
    bool lineEnds = false;
    for (size_t start = 0, id = 1000; start < size; start += 97, ++id) {
        std::string piece = text.substr(start, 300);
        bool fitted = AppendStateLine(state, sizeof state, &used, (int)id, (int)start, piece.c_str());
        if (used >= sizeof state || strlen(state) != used)
            __builtin_trap();
        lineEnds |= fitted && strchr(piece.c_str(), '\n') != 0;
        if (fitted && !lineEnds && GetStateValue(state, (int)id) != (int)start)
            __builtin_trap();
    }
    return 0;
}
