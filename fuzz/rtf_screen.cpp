// The RTF screen reads any bytes, with or without the RTF header, in linear time.
#include <stddef.h>
#include <stdint.h>
#include <string>

#include "editor/RtfScreen.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A copy of exactly the input's size, so reading one byte too far is caught.
    std::string text((const char *)data, size);
    size_t longest = 0;
    RtfScreenResult plain = ScreenRtf(text.data(), size, &longest);
    if (LongestLine(text.data(), size) > size)
        __builtin_trap();
    if (!BeginsAsRtf(text.data(), size) && plain != RTF_READABLE)
        __builtin_trap();
    // Most inputs lack the header; read them as a document body as well.
    std::string body = "{\\rtf1 " + text;
    double squares = 0;
    ScreenRtf(body.data(), body.size(), &longest, &squares);
    // The paragraphs' squares add up to at least the longest one's.
    if (squares < (double)longest * (double)longest)
        __builtin_trap();
    return 0;
}
