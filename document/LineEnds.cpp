#include "document/LineEnds.h"

#include "document/FileFormats.h"

template <typename Char>
static LineEndCount CountEnds(const Char *text, size_t n)
{
    LineEndCount count = {0, 0, 0, false};
    for (size_t i = 0; i < n; ++i) {
        if (text[i] == '\r') {
            if (i + 1 < n && text[i + 1] == '\n') {
                ++count.crlf;
                ++i;
            } else {
                ++count.cr;
            }
        } else if (text[i] == '\n') {
            ++count.lf;
        }
    }
    count.endsWithLineEnd = n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n');
    return count;
}

LineEndCount CountLineEnds(const char *text, size_t n)
{
    return CountEnds(text, n);
}

LineEndCount CountLineEnds(const char16_t *text, size_t n)
{
    return CountEnds(text, n);
}

LineEndStyle MajorityLineEnds(const LineEndCount &count)
{
    if (count.crlf >= count.lf && count.crlf >= count.cr)
        return LINE_ENDS_CRLF;
    return count.lf >= count.cr ? LINE_ENDS_LF : LINE_ENDS_CR;
}

bool HasMixedLineEnds(const LineEndCount &count)
{
    int styles = (count.crlf > 0) + (count.lf > 0) + (count.cr > 0);
    return styles > 1;
}

template <typename Char>
static size_t WriteEnds(const Char *text, size_t n, LineEndStyle style, Char *out)
{
    size_t written = 0;
    for (size_t i = 0; i < n; ++i) {
        Char c = text[i];
        if (c != '\r' && c != '\n') {
            if (out)
                out[written] = c;
            ++written;
            continue;
        }
        if (c == '\r' && i + 1 < n && text[i + 1] == '\n')
            ++i;
        // Reading is always ahead of writing here unless the style is CR LF, so the
        // rewrite may be done in place.
        if (style == LINE_ENDS_CRLF) {
            if (out) {
                out[written] = '\r';
                out[written + 1] = '\n';
            }
            written += 2;
        } else {
            if (out)
                out[written] = style == LINE_ENDS_LF ? '\n' : '\r';
            ++written;
        }
    }
    return written;
}

size_t WriteLineEnds(const char *text, size_t n, LineEndStyle style, char *out)
{
    return WriteEnds(text, n, style, out);
}

size_t WriteLineEnds(const char16_t *text, size_t n, LineEndStyle style, char16_t *out)
{
    return WriteEnds(text, n, style, out);
}

std::string ConvertLineEnds(const char *text, size_t n, LineEndStyle style)
{
    std::string result(WriteEnds(text, n, style, (char *)0), '\0');
    WriteEnds(text, n, style, &result[0]);
    return result;
}

std::u16string ConvertLineEnds(const char16_t *text, size_t n, LineEndStyle style)
{
    std::u16string result(WriteEnds(text, n, style, (char16_t *)0), u'\0');
    WriteEnds(text, n, style, &result[0]);
    return result;
}

bool IsLineEndStyle(int value)
{
    return value == LINE_ENDS_CRLF || value == LINE_ENDS_LF || value == LINE_ENDS_CR;
}

const char *LineEndName(int style)
{
    switch (style) {
    case LINE_ENDS_CRLF: return "CR LF";
    case LINE_ENDS_LF: return "LF";
    case LINE_ENDS_CR: return "CR";
    }
    return 0;
}

// The status bar's name of a save format; null for a value that is none.
static const char *FormatName(int format, bool utf8Mark)
{
    switch (format) {
    case FORMAT_RICH: return "Rich Text";
    case FORMAT_PLAIN: return "ANSI";
    case FORMAT_MULTI_BYTE: return "UTF-16 LE no BOM";
    case FORMAT_UNICODE_LE: return "UTF-16 LE";
    case FORMAT_UNICODE_BE: return "UTF-16 BE";
    case FORMAT_UTF8: return utf8Mark ? "UTF-8 with BOM" : "UTF-8";
    }
    return 0;
}

std::string SaveFormatText(int format, bool utf8Mark, int style, bool mixed)
{
    const char *name = FormatName(format, utf8Mark);
    if (!name)
        return "";
    if (format == FORMAT_RICH)
        return name;
    const char *ends = LineEndName(style);
    std::string text = std::string(name) + " | " + (ends ? ends : "CR LF");
    if (mixed)
        text += " (was mixed)";
    return text;
}
