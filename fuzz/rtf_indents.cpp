// The indent mending reads any bytes; text without a \pard comes out as it went in.
#include <stddef.h>
#include <stdint.h>
#include <string.h>
#include <string>

#include "editor/RtfIndents.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A copy of exactly the input's size, so reading one byte too far is caught.
    std::string text((const char *)data, size);
    long long left = 0, first = 0;
    FirstParagraphIndents(text.data(), size, &left, &first);
    WriterExchangesIndents(text.data(), size);
    std::string mended = MendExchangedIndents(text.data(), size);
    size_t read = strnlen(text.data(), size);
    std::string upToZero(text.data(), read);
    if (upToZero.find("\\pard") == std::string::npos && mended != upToZero)
        __builtin_trap();
    // Mended text has no zero byte and reads as a whole again.
    if (memchr(mended.data(), 0, mended.size()))
        __builtin_trap();
    MendExchangedIndents(mended.data(), mended.size());
    return 0;
}
