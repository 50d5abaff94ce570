// Line-end counting and rewriting in both character sizes: never out of bounds, the
// counted length is the written one, in-place rewriting equals the copy, and a text
// rewritten into one style counts only that style and converts back to itself.
#include <stddef.h>
#include <stdint.h>
#include <string>

#include "document/LineEnds.h"
#include "fuzz/FuzzInput.h"

template <typename Char>
static void Check(const Char *text, size_t n)
{
    LineEndCount count = CountLineEnds(text, n);
    size_t ends = count.crlf + count.lf + count.cr;
    LineEndStyle majority = MajorityLineEnds(count);
    if (HasMixedLineEnds(count) && ends < 2)
        __builtin_trap();
    for (LineEndStyle style : {LINE_ENDS_CRLF, LINE_ENDS_LF, LINE_ENDS_CR}) {
        std::basic_string<Char> converted = ConvertLineEnds(text, n, style);
        if (WriteLineEnds(text, n, style, (Char *)0) != converted.size())
            __builtin_trap();
        LineEndCount after = CountLineEnds(converted.data(), converted.size());
        size_t wanted[3] = {after.crlf, after.lf, after.cr};
        if (wanted[style] != ends || after.crlf + after.lf + after.cr != ends)
            __builtin_trap();
        if (HasMixedLineEnds(after) || (ends > 0 && MajorityLineEnds(after) != style))
            __builtin_trap();
        if (after.endsWithLineEnd != count.endsWithLineEnd)
            __builtin_trap();
        if (ConvertLineEnds(converted.data(), converted.size(), style) != converted)
            __builtin_trap();
        if (style != LINE_ENDS_CRLF) {
            std::basic_string<Char> buffer(text, n);
            size_t kept = WriteLineEnds(&buffer[0], n, style, &buffer[0]);
            if (buffer.substr(0, kept) != converted)
                __builtin_trap();
        }
    }
    if (ends == 0 && majority != LINE_ENDS_CRLF)
        __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Check((const char *)data, size);
    std::u16string wide = AsUtf16(data, size);
    Check(wide.data(), wide.size());
    return 0;
}
