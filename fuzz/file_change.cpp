// Following a growing file in every format, its bytes arriving in pieces of any size:
// each step takes whole characters only, leaves few bytes waiting, and never reads
// outside what it was given.
#include <stddef.h>
#include <stdint.h>
#include <string>

#include "document/FileChange.h"
#include "document/FileFormats.h"

static bool EvenLead(unsigned char byte)
{
    return byte >= 0x81 && byte % 2 == 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    int format = data[0] % 6 - 1;
    if (format < FORMAT_PLAIN)
        format = FORMAT_PLAIN;
    LeadByteTest isLead = data[0] & 0x80 ? EvenLead : 0;
    bool sixteen = format >= FORMAT_MULTI_BYTE && format <= FORMAT_UNICODE_BE;
    ++data;
    --size;
    std::string tail, waiting;
    for (size_t at = 0; at < size;) {
        size_t piece = 1 + data[at] % 9;
        if (piece > size - at)
            piece = size - at;
        std::string bytes = waiting + std::string((const char *)data + at, piece);
        at += piece;
        size_t start = 0;
        size_t end = FollowablePart(format, (const unsigned char *)bytes.data(), bytes.size(),
                                    TailEndsWithCr(format, tail, waiting.size()), isLead, &start);
        if (start > end || end > bytes.size() || bytes.size() - end > 5)
            __builtin_trap();
        if (sixteen && (start % 2 || end % 2))
            __builtin_trap();
        FollowableBytes(format, (const unsigned char *)bytes.data() + start, end - start);
        waiting = bytes.substr(end);
        tail = bytes;
        if (UnshownBytes(format, tail, tail.size()) > 1)
            __builtin_trap();
    }
    return 0;
}
