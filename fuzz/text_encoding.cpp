// UTF-8 and 16-bit file bytes to the editor's UTF-16 and back: never out of bounds, and
// what decodes encodes to the same text again.
#include <stddef.h>
#include <stdint.h>
#include <string>

#include "document/FileFormats.h"
#include "document/TextEncoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    bool utf8 = LooksUtf8(data, size);
    std::u16string wide = DecodeUtf8(data, size);
    std::string back = EncodeUtf8(wide.data(), wide.size(), HasUtf8ByteOrderMark(data, size));
    if (utf8 && back != std::string((const char *)data, size))
        __builtin_trap();
    static const int formats[] = {FORMAT_MULTI_BYTE, FORMAT_UNICODE_LE, FORMAT_UNICODE_BE};
    for (int format : formats) {
        std::u16string units = DecodeSixteenBit(format, data, size);
        std::string bytes = EncodeSixteenBit(format, units.data(), units.size());
        if (DecodeSixteenBit(format, (const unsigned char *)bytes.data(), bytes.size()) != units)
            __builtin_trap();
    }
    return 0;
}
