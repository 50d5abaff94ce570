// 16-bit detection and narrowing of whatever a file holds; encoding a text and
// narrowing it again gives the text back.
#include <stddef.h>
#include <stdint.h>
#include <string.h>
#include <string>
#include <vector>

#include "document/FileFormats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const int formats[] = {FORMAT_MULTI_BYTE, FORMAT_UNICODE_LE, FORMAT_UNICODE_BE};
    for (int format : formats) {
        // As the program reads a file: its bytes and room for a terminator.
        std::vector<unsigned char> bytes(data, data + size);
        bytes.push_back(0);
        LooksSixteenBit(format, bytes.data(), size);
        size_t kept = NarrowSixteenBit(format, bytes.data(), size);
        if (kept > size || bytes[kept] != 0)
            __builtin_trap();

        std::string encoded = EncodeDocument(format, (const char *)data, size);
        std::vector<unsigned char> back(encoded.begin(), encoded.end());
        back.push_back(0);
        if (size > 0 && !LooksSixteenBit(format, back.data(), encoded.size()) &&
            format != FORMAT_MULTI_BYTE)
            __builtin_trap();
        size_t narrowed = NarrowSixteenBit(format, back.data(), encoded.size());
        if (narrowed != size || memcmp(back.data(), data, size) != 0)
            __builtin_trap();
    }
    return 0;
}
