#include "document/TextEncoding.h"

#include "document/FileFormats.h"

namespace {

const char16_t REPLACEMENT = 0xFFFD;

// Length of the well-formed UTF-8 sequence at data (1-4), or 0 when it is not one;
// code receives its value.
size_t SequenceAt(const unsigned char *data, size_t left, unsigned long *code)
{
    unsigned char lead = data[0];
    if (lead < 0x80) {
        *code = lead;
        return 1;
    }
    size_t length;
    unsigned long value, lowest;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
        lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        lowest = 0x10000;
    } else {
        return 0;
    }
    if (length > left)
        return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((data[i] & 0xC0) != 0x80)
            return 0;
        value = value << 6 | (data[i] & 0x3F);
    }
    if (value < lowest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *code = value;
    return length;
}

void AppendUnit(std::string &bytes, char16_t unit, bool bigEndian)
{
    char pair[2] = {(char)(unit & 0xFF), (char)(unit >> 8)};
    if (bigEndian) {
        pair[0] = (char)(unit >> 8);
        pair[1] = (char)(unit & 0xFF);
    }
    bytes.append(pair, 2);
}

}  // namespace

bool HasUtf8ByteOrderMark(const unsigned char *data, size_t count)
{
    return count >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF;
}

bool LooksUtf8(const unsigned char *data, size_t count)
{
    bool multiByte = false;
    for (size_t i = 0; i < count;) {
        unsigned long code;
        size_t length = SequenceAt(data + i, count - i, &code);
        if (!length)
            return false;
        multiByte |= length > 1;
        i += length;
    }
    return multiByte;
}

std::u16string DecodeUtf8(const unsigned char *data, size_t count)
{
    std::u16string text;
    text.reserve(count);
    size_t i = HasUtf8ByteOrderMark(data, count) ? 3 : 0;
    while (i < count) {
        unsigned long code;
        size_t length = SequenceAt(data + i, count - i, &code);
        if (!length) {
            text.push_back(REPLACEMENT);
            ++i;
            continue;
        }
        i += length;
        if (code >= 0x10000) {
            code -= 0x10000;
            text.push_back((char16_t)(0xD800 + (code >> 10)));
            text.push_back((char16_t)(0xDC00 + (code & 0x3FF)));
        } else {
            text.push_back((char16_t)code);
        }
    }
    return text;
}

std::string EncodeUtf8(const char16_t *text, size_t n, bool byteOrderMark)
{
    std::string bytes;
    bytes.reserve(n + n / 2 + 3);
    if (byteOrderMark)
        bytes.append("\xEF\xBB\xBF", 3);
    for (size_t i = 0; i < n; ++i) {
        unsigned long code = text[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = REPLACEMENT;
        }
        if (code < 0x80) {
            bytes.push_back((char)code);
        } else if (code < 0x800) {
            bytes.push_back((char)(0xC0 | code >> 6));
            bytes.push_back((char)(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            bytes.push_back((char)(0xE0 | code >> 12));
            bytes.push_back((char)(0x80 | (code >> 6 & 0x3F)));
            bytes.push_back((char)(0x80 | (code & 0x3F)));
        } else {
            bytes.push_back((char)(0xF0 | code >> 18));
            bytes.push_back((char)(0x80 | (code >> 12 & 0x3F)));
            bytes.push_back((char)(0x80 | (code >> 6 & 0x3F)));
            bytes.push_back((char)(0x80 | (code & 0x3F)));
        }
    }
    return bytes;
}

std::u16string DecodeSixteenBit(int format, const unsigned char *data, size_t count)
{
    size_t first = format == FORMAT_MULTI_BYTE ? 0 : 2;
    bool bigEndian = format == FORMAT_UNICODE_BE;
    std::u16string text;
    if (count < first)
        return text;
    text.reserve((count - first) / 2);
    for (size_t i = first; i + 1 < count; i += 2)
        text.push_back(bigEndian ? (char16_t)(data[i] << 8 | data[i + 1])
                                 : (char16_t)(data[i + 1] << 8 | data[i]));
    return text;
}

std::string EncodeSixteenBit(int format, const char16_t *text, size_t n)
{
    std::string bytes;
    bytes.reserve(2 * n + 2);
    if (format == FORMAT_UNICODE_LE)
        bytes.append("\xFF\xFE", 2);
    else if (format == FORMAT_UNICODE_BE)
        bytes.append("\xFE\xFF", 2);
    bool bigEndian = format == FORMAT_UNICODE_BE;
    for (size_t i = 0; i < n; ++i)
        AppendUnit(bytes, text[i], bigEndian);
    return bytes;
}
