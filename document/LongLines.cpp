#include "document/LongLines.h"

#include <type_traits>

namespace {

bool IsAsciiLetter(unsigned c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Whether character c starts a new run after the character before (ASCII or not).
bool BreaksRun(unsigned c, bool previousAscii)
{
    bool ascii = c < 0x80;
    if (ascii != previousAscii)
        return true;
    return ascii && c != ' ' && !IsAsciiLetter(c);
}

template <typename Char>
bool EndsLine(Char c)
{
    return c == '\r' || c == '\n';
}

// Breaks in the line starting at start, up to its end (returned in end).
template <typename Char>
size_t LineBreaks(const Char *text, size_t n, size_t start, size_t *end)
{
    size_t breaks = 0;
    bool ascii = true;
    size_t i = start;
    for (; i < n && !EndsLine(text[i]); ++i) {
        unsigned c = (unsigned)(typename std::make_unsigned<Char>::type)text[i];
        if (BreaksRun(c, ascii))
            ++breaks;
        ascii = c < 0x80;
    }
    *end = i;
    return breaks;
}

template <typename Char>
size_t Most(const Char *text, size_t n)
{
    size_t most = 0;
    for (size_t i = 0; i <= n;) {
        size_t end;
        size_t breaks = LineBreaks(text, n, i, &end);
        if (breaks > most)
            most = breaks;
        if (end >= n)
            break;
        i = end + 1;
    }
    return most;
}

bool TooLong(size_t breaks, size_t length)
{
    return breaks > MOST_RUN_BREAKS || length > LONGEST_UNBROKEN_LINE;
}

template <typename Char>
bool AnyTooLong(const Char *text, size_t n)
{
    for (size_t i = 0; i <= n;) {
        size_t end;
        size_t breaks = LineBreaks(text, n, i, &end);
        if (TooLong(breaks, end - i))
            return true;
        if (end >= n)
            break;
        i = end + 1;
    }
    return false;
}

// Where a piece that starts at start and may run to limit (< the line's end) should end.
template <typename Char>
size_t PieceEnd(const Char *text, size_t start, size_t limit)
{
    size_t near = start + (limit - start) / 2;
    for (size_t i = limit; i > near; --i)
        if (text[i - 1] == ' ')
            return i;
    for (size_t i = limit; i > near; --i)
        if ((unsigned)(typename std::make_unsigned<Char>::type)text[i - 1] < 0x80)
            return i;
    // Only non-ASCII characters nearby: not inside a surrogate pair (16-bit) or a UTF-8
    // sequence (8-bit; a double-byte code page has ASCII often enough to stop above).
    size_t i = limit;
    if (sizeof(Char) == 2) {
        if (text[i] >= 0xDC00 && text[i] <= 0xDFFF)
            --i;
    } else {
        while (i > start + 1 && ((unsigned char)text[i] & 0xC0) == 0x80)
            --i;
    }
    return i;
}

template <typename Char>
std::basic_string<Char> Break(const Char *text, size_t n)
{
    std::basic_string<Char> result;
    result.reserve(n + n / BROKEN_LINE_LENGTH * 2 + 2);
    for (size_t i = 0; i < n;) {
        size_t end;
        size_t breaks = LineBreaks(text, n, i, &end);
        if (TooLong(breaks, end - i)) {
            while (end - i > BROKEN_LINE_LENGTH) {
                size_t cut = PieceEnd(text, i, i + BROKEN_LINE_LENGTH);
                result.append(text + i, text + cut);
                result += (Char)'\r';
                result += (Char)'\n';
                i = cut;
            }
        }
        result.append(text + i, text + end);
        i = end;
        // The line end as it was: CR LF, CR or LF.
        if (i < n && text[i] == '\r')
            result += text[i++];
        if (i < n && text[i] == '\n')
            result += text[i++];
    }
    return result;
}

}  // namespace

size_t MostRunBreaks(const char *text, size_t n)
{
    return Most(text, n);
}

size_t MostRunBreaks(const char16_t *text, size_t n)
{
    return Most(text, n);
}

bool HasLinesTooLong(const char *text, size_t n)
{
    return AnyTooLong(text, n);
}

bool HasLinesTooLong(const char16_t *text, size_t n)
{
    return AnyTooLong(text, n);
}

std::string BreakLongLines(const char *text, size_t n)
{
    return Break(text, n);
}

std::u16string BreakLongLines(const char16_t *text, size_t n)
{
    return Break(text, n);
}
