#include "editor/RtfScreen.h"

#include <string.h>

// Limits measured with probe files under Wine 8 (64-bit), one load per file:
// - depth: 32 open groups load, 33 crash the process on the group's end;
// - control words: 1,000 letters load, 2,000 and more corrupt the reader's token buffer
//   (4,000 and more crash at once); the same for the digits of a parameter;
// - a font or style name of 1,000 letters loads, 4,000 hang or crash.

namespace {

bool IsLetter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

// Reads the text as the control's reader does: one token at a time, a zero byte or
// the end of the text ending it, a control word's delimiter handed back to the next
// token unless it is a space.
struct Reader {
    const unsigned char *next;
    const unsigned char *end;

    // The next character, or -1 at the end (a zero byte counts as the end).
    int Get()
    {
        if (next >= end || *next == 0)
            return -1;
        return *next++;
    }
    void Unget() { --next; }
};

// Destinations whose names the reader collects into fixed buffers.
bool IsNameTable(const char *word, size_t length)
{
    return (length == 7 && memcmp(word, "fonttbl", 7) == 0) ||
           (length == 10 && memcmp(word, "stylesheet", 10) == 0);
}

// Nested tables: RichEdit 2.0 has none, and documents holding them have crashed the
// control on open.
bool IsNestedTableWord(const char *word, size_t length, bool hasParameter, long long parameter)
{
    if (length == 4 && memcmp(word, "itap", 4) == 0)
        return hasParameter && parameter > 1;
    return (length == 8 && memcmp(word, "nestcell", 8) == 0) ||
           (length == 7 && memcmp(word, "nestrow", 7) == 0) ||
           (length == 14 && memcmp(word, "nesttableprops", 14) == 0);
}

}  // namespace

bool BeginsAsRtf(const char *text, size_t length)
{
    return (length >= 5 && memcmp(text, "{\\rtf", 5) == 0) ||
           (length >= 6 && memcmp(text, "{\\urtf", 6) == 0);
}

RtfScreenResult ScreenRtf(const char *text, size_t length)
{
    if (!text || !BeginsAsRtf(text, length))
        return RTF_READABLE;
    Reader in = {(const unsigned char *)text, (const unsigned char *)text + length};
    int depth = 0;
    long groups = 0;
    int nameTableDepth = 0;  // depth of the open font table or style sheet, 0 for none
    int nameLength = 0;      // text characters in a row inside it

    for (;;) {
        int c = in.Get();
        if (c < 0)
            return RTF_READABLE;
        if (c == '{') {
            if (++depth > RTF_MAX_DEPTH)
                return RTF_TOO_DEEP;
            if (++groups > RTF_MAX_GROUPS)
                return RTF_TOO_MANY_GROUPS;
            nameLength = 0;
            continue;
        }
        if (c == '}') {
            // The reader stops when the outermost group closes.
            if (--depth <= 0)
                return RTF_READABLE;
            if (depth < nameTableDepth)
                nameTableDepth = 0;
            nameLength = 0;
            continue;
        }
        if (c != '\\') {
            // Line ends are dropped without ending a name; a semicolon ends one.
            if (c == ';')
                nameLength = 0;
            else if (c != '\r' && c != '\n' && nameTableDepth && ++nameLength > RTF_MAX_NAME)
                return RTF_LONG_NAME;
            continue;
        }

        c = in.Get();
        if (c < 0)
            return RTF_READABLE;
        if (!IsLetter((unsigned char)c)) {
            if (c == '\'') {
                // A hex character: the reader takes the next two characters, whatever
                // they are.
                if (in.Get() < 0 || in.Get() < 0)
                    return RTF_READABLE;
                if (nameTableDepth && ++nameLength > RTF_MAX_NAME)
                    return RTF_LONG_NAME;
            } else if (c == '{' || c == '}' || c == '\\' || c == ':') {
                if (nameTableDepth && ++nameLength > RTF_MAX_NAME)
                    return RTF_LONG_NAME;
            } else {
                nameLength = 0;
            }
            continue;
        }

        char word[RTF_MAX_WORD + 1];
        size_t letters = 0;
        while (IsLetter((unsigned char)c)) {
            if (letters == RTF_MAX_WORD)
                return RTF_LONG_CONTROL_WORD;
            word[letters++] = (char)c;
            c = in.Get();
        }
        bool hasParameter = false, negative = c == '-';
        long long parameter = 0;
        if (negative)
            c = in.Get();
        int digits = 0;
        while (c >= 0 && IsDigit((unsigned char)c)) {
            if (++digits > RTF_MAX_DIGITS)
                return RTF_LONG_PARAMETER;
            hasParameter = true;
            parameter = parameter * 10 + (c - '0');
            c = in.Get();
        }
        if (negative)
            parameter = -parameter;
        // Any delimiter but a space starts the next token.
        if (c >= 0 && c != ' ')
            in.Unget();

        nameLength = 0;
        if (IsNestedTableWord(word, letters, hasParameter, parameter))
            return RTF_NESTED_TABLE;
        if (!nameTableDepth && IsNameTable(word, letters))
            nameTableDepth = depth;
    }
}
