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

size_t WriteUtf8(const char16_t *text, size_t n, bool byteOrderMark, char *out)
{
    size_t count = 0;
    auto put = [&](unsigned long byte) {
        if (out)
            out[count] = (char)byte;
        ++count;
    };
    if (byteOrderMark) {
        put(0xEF);
        put(0xBB);
        put(0xBF);
    }
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
            put(code);
        } else if (code < 0x800) {
            put(0xC0 | code >> 6);
            put(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            put(0xE0 | code >> 12);
            put(0x80 | (code >> 6 & 0x3F));
            put(0x80 | (code & 0x3F));
        } else {
            put(0xF0 | code >> 18);
            put(0x80 | (code >> 12 & 0x3F));
            put(0x80 | (code >> 6 & 0x3F));
            put(0x80 | (code & 0x3F));
        }
    }
    return count;
}

std::string EncodeUtf8(const char16_t *text, size_t n, bool byteOrderMark)
{
    std::string bytes(WriteUtf8(text, n, byteOrderMark, 0), 0);
    WriteUtf8(text, n, byteOrderMark, &bytes[0]);
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

size_t WriteSixteenBit(int format, const char16_t *text, size_t n, char *out)
{
    size_t count = 2 * n + (format == FORMAT_MULTI_BYTE ? 0 : 2);
    if (!out)
        return count;
    if (format == FORMAT_UNICODE_LE) {
        *out++ = '\xFF';
        *out++ = '\xFE';
    } else if (format == FORMAT_UNICODE_BE) {
        *out++ = '\xFE';
        *out++ = '\xFF';
    }
    bool bigEndian = format == FORMAT_UNICODE_BE;
    for (size_t i = 0; i < n; ++i) {
        out[2 * i] = (char)(bigEndian ? text[i] >> 8 : text[i] & 0xFF);
        out[2 * i + 1] = (char)(bigEndian ? text[i] & 0xFF : text[i] >> 8);
    }
    return count;
}

std::string EncodeSixteenBit(int format, const char16_t *text, size_t n)
{
    std::string bytes(WriteSixteenBit(format, text, n, 0), 0);
    WriteSixteenBit(format, text, n, &bytes[0]);
    return bytes;
}
