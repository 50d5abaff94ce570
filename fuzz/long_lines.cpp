// Long-line detection and breaking, in both character sizes.
#include <stddef.h>
#include <stdint.h>
#include <string>

#include "document/LongLines.h"
#include "fuzz/FuzzInput.h"

// Removes the CR LF pairs that breaking added (text with none of its own then compares
// equal to the original).
template <typename Char>
std::basic_string<Char> WithoutCrLf(const std::basic_string<Char> &text)
{
    std::basic_string<Char> result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            continue;
        }
        result += text[i];
    }
    return result;
}

template <typename Char>
void Check(const Char *text, size_t n)
{
    std::basic_string<Char> original(text, n);
    size_t most = MostRunBreaks(text, n);
    std::basic_string<Char> broken = BreakLongLines(text, n);
    if (!HasLinesTooLong(text, n) && broken != original)
        __builtin_trap();
    if (HasLinesTooLong(text, n) != (most > MOST_RUN_BREAKS) && n < LONGEST_UNBROKEN_LINE)
        __builtin_trap();
    // Only line ends are added, and never more than the text needs.
    if (WithoutCrLf(broken) != WithoutCrLf(original))
        __builtin_trap();
    if (MostRunBreaks(broken.data(), broken.size()) > MOST_RUN_BREAKS &&
        most > MOST_RUN_BREAKS && broken.size() == original.size())
        __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Check((const char *)data, size);
    std::u16string wide = AsUtf16(data, size);
    Check(wide.data(), wide.size());
    return 0;
}
