// The indent mending reads any bytes, on the fuzzer's own buffer (a read past its end is
// caught); text without a \pard comes out as it went in, up to a zero byte.
#include <stddef.h>
#include <stdint.h>
#include <string.h>
#include <string>

#include "editor/RtfIndents.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const char *text = (const char *)data;
    long long left = 0, first = 0;
    FirstParagraphIndents(text, size, &left, &first);
    WriterExchangesIndents(text, size);
    std::string mended = MendExchangedIndents(text, size);
    size_t read = strnlen(text, size);
    std::string upToZero(text, read);
    if (upToZero.find("\\pard") == std::string::npos && mended != upToZero)
        __builtin_trap();
    // No zero byte comes out, and the result reads as a whole again.
    if (memchr(mended.data(), 0, mended.size()))
        __builtin_trap();
    MendExchangedIndents(mended.data(), mended.size());
    return 0;
}
