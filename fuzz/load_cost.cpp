// Fuzzes the load cost counter and the prefix cut: counting a text in two blocks gives
// what counting it whole gives, and a prefix never runs past the text or splits a CR LF.
#include <stddef.h>
#include <stdint.h>
#include <string.h>
#include <string>

#include "document/LoadCost.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    CostEncoding encoding = (CostEncoding)(data[0] % 4);
    size_t split = data[1] % (size - 1);
    const unsigned char *bytes = data + 2;
    size_t n = size - 2;
    TextCostCounter whole(encoding), parts(encoding);
    whole.Add(bytes, n);
    parts.Add(bytes, split);
    parts.Add(bytes + split, n - split);
    TextCost a = whole.Cost(), b = parts.Cost();
    if (a.chars != b.chars || a.lines != b.lines || a.runs != b.runs || a.chars > n ||
        a.runs > a.chars || a.lines > a.chars + 1)
        __builtin_trap();
    if (EstimatedControlBytes(a) < 0)
        __builtin_trap();
    const char *text = (const char *)bytes;
    size_t prefix = FittingPrefix(text, n, split);
    if (prefix > n || prefix > split || (prefix > 0 && prefix < n && text[prefix - 1] == '\r' &&
                                             text[prefix] == '\n'))
        __builtin_trap();
    std::u16string wide(n / 2, u'\0');
    memcpy(&wide[0], bytes, wide.size() * 2);
    size_t widePrefix = FittingPrefix(wide.data(), wide.size(), split / 2);
    if (widePrefix > wide.size() ||
        (widePrefix > 0 && widePrefix < wide.size() && wide[widePrefix - 1] >= 0xD800 &&
         wide[widePrefix - 1] <= 0xDBFF && wide[widePrefix] >= 0xDC00 && wide[widePrefix] <= 0xDFFF))
        __builtin_trap();
    return 0;
}
