// Conversions between file bytes and the 16-bit characters the editor holds: UTF-8 and
// the three 16-bit layouts. No windows involved; the code-page conversion for 8-bit
// files stays with the caller, which has the system's code page.
#pragma once
#include <stddef.h>
#include <string>

// Whether count bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing
// past U+10FFFF) that holds at least one multi-byte sequence; pure ASCII is not.
bool LooksUtf8(const unsigned char *data, size_t count);
// Whether the bytes begin with the UTF-8 byte-order mark EF BB BF.
bool HasUtf8ByteOrderMark(const unsigned char *data, size_t count);

// UTF-16 from UTF-8 (a leading byte-order mark is skipped). Sequences that are not
// well-formed become U+FFFD, so this never fails.
std::u16string DecodeUtf8(const unsigned char *data, size_t count);
// UTF-8 of n UTF-16 units, with the byte-order mark first when asked for; a lone
// surrogate becomes U+FFFD.
std::string EncodeUtf8(const char16_t *text, size_t n, bool byteOrderMark);

// UTF-16 from a 16-bit file: FORMAT_MULTI_BYTE (little endian, no mark) or
// FORMAT_UNICODE_LE / _BE (their two-byte mark skipped). An odd last byte is dropped.
std::u16string DecodeSixteenBit(int format, const unsigned char *data, size_t count);
// The file bytes of n UTF-16 units in one of the three 16-bit layouts.
std::string EncodeSixteenBit(int format, const char16_t *text, size_t n);
