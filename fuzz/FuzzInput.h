// The fuzzer's bytes read again as UTF-16 little-endian units (an odd last byte left out),
// for the text walks that take both 8-bit and 16-bit text.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <string>

inline std::u16string AsUtf16(const uint8_t *data, size_t size)
{
    std::u16string wide(size / 2, u'\0');
    for (size_t i = 0; i < wide.size(); ++i)
        wide[i] = (char16_t)(data[2 * i] | data[2 * i + 1] << 8);
    return wide;
}
