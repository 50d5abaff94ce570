#include "editor/RtfScreen.h"

#include <string.h>

// Limits measured with probe files under Wine 8 (64-bit), one load per file, on a
// shared, busy machine:
// - depth: 32 open groups load, 33 crash the process on the group's end;
// - control words: 1,000 letters load, 2,000 and more corrupt the reader's token buffer
//   (4,000 and more crash at once); the same for the digits of a parameter;
// - a font or style name of 1,000 letters loads, 4,000 hang or crash;
// - time: a group costs about 0.04 ms (25,000 load in 1 s, 100,000 in 9-14 s), a
//   paragraph about 0.08 ms (200,000 in 19 s), a change of character format about
//   0.26 ms (29,500 changes in 7.8 s); a font change also searches the font table
//   (1,000 font changes take 2.9 s with 3,000 fonts, 5.6 s with 10,000); and laying out
//   one paragraph grows faster than its format changes (3,000 in 1.3 s, 29,500 in 30 s,
//   wrapped or not; 8,400 changes in paragraphs of 2,000 took 8 s in all); text costs
//   about a group for 128 characters (16 MB of words in one paragraph: about 6 s). The
//   work estimate adds these up in units of one group.

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

// Character format words whose changes the reader pays for; a change is a value other
// than the one in force in the current group.
const char *const FormatWords[] = {
    "b", "i", "ul", "strike", "f", "fs", "cf", "cb", "highlight", "up", "dn", "sub",
    "super", "lang", "expnd", "expndtw", "kerning", "charscalex", "v", "caps", "scaps",
    "af", "afs", "cs",
};
const int FORMAT_WORDS = sizeof FormatWords / sizeof FormatWords[0];

// The format word's index, or -1.
int FormatWordIndex(const char *word, size_t length)
{
    for (int k = 0; k < FORMAT_WORDS; ++k)
        if (strlen(FormatWords[k]) == length && memcmp(FormatWords[k], word, length) == 0)
            return k;
    return -1;
}

// Destinations whose text is never shown, so it does not lengthen a paragraph.
bool IsHiddenDestination(const char *word, size_t length)
{
    static const char *const words[] = {
        "pict", "fonttbl", "colortbl", "stylesheet", "info", "object", "listtable",
        "listoverridetable", "themedata", "datastore", "colorschememapping", "latentstyles",
    };
    for (const char *known : words)
        if (strlen(known) == length && memcmp(known, word, length) == 0)
            return true;
    return false;
}

bool IsFontWord(const char *word, size_t length)
{
    return (length == 1 && word[0] == 'f') || (length == 2 && memcmp(word, "af", 2) == 0);
}

// Words that end a paragraph or a line: the reader makes a paragraph (or a row) of each.
bool IsParagraphWord(const char *word, size_t length)
{
    return (length == 3 && (memcmp(word, "par", 3) == 0 || memcmp(word, "row", 3) == 0)) ||
           (length == 4 && (memcmp(word, "line", 4) == 0 || memcmp(word, "cell", 4) == 0 ||
                            memcmp(word, "sect", 4) == 0 || memcmp(word, "page", 4) == 0));
}

// Words the reader turns into one character of text.
bool IsCharacterWord(const char *word, size_t length)
{
    static const char *const words[] = {
        "tab", "bullet", "emdash", "endash", "lquote", "rquote", "ldblquote", "rdblquote",
        "emspace", "enspace", "qmspace", "zwj", "zwnj", "ltrmark", "rtlmark", "u",
    };
    for (const char *known : words)
        if (strlen(known) == length && memcmp(known, word, length) == 0)
            return true;
    return false;
}

}  // namespace

namespace {

template <typename Unit>
size_t LongestLineOf(const Unit *text, size_t length)
{
    size_t longest = 0, current = 0;
    for (size_t k = 0; k < length; ++k) {
        if (text[k] == '\r' || text[k] == '\n') {
            current = 0;
        } else if (++current > longest) {
            longest = current;
        }
    }
    return longest;
}

}  // namespace

size_t LongestLine(const char *text, size_t length)
{
    return LongestLineOf(text, length);
}

size_t LongestLine(const char16_t *text, size_t length)
{
    return LongestLineOf(text, length);
}

bool BeginsAsRtf(const char *text, size_t length)
{
    return (length >= 5 && memcmp(text, "{\\rtf", 5) == 0) ||
           (length >= 6 && memcmp(text, "{\\urtf", 6) == 0);
}

namespace {

// The longest paragraph seen so far and the sum of the finished paragraphs' squares, in
// characters of wrapping cost.
struct ParagraphMeter {
    size_t current, longest;
    double squares;

    void Add(size_t cost)
    {
        current += cost;
        if (current > longest)
            longest = current;
    }
    void End()
    {
        squares += (double)current * (double)current;
        current = 0;
    }
};

RtfScreenResult Screen(const char *text, size_t length, ParagraphMeter &paragraph);

}  // namespace

RtfScreenResult ScreenRtf(const char *text, size_t length, size_t *longestParagraph,
                          double *squaredParagraphs)
{
    ParagraphMeter paragraph = {0, 0, 0};
    RtfScreenResult result = Screen(text, length, paragraph);
    paragraph.End();
    if (longestParagraph)
        *longestParagraph = paragraph.longest;
    if (squaredParagraphs)
        *squaredParagraphs = paragraph.squares;
    return result;
}

namespace {

// Text is read in the format now in force: a format other than the last text's starts a
// run of its own, which the reader and the layout pay for. False past a ceiling.
bool ShowText(const long long *format, long long *shown, bool &changed, long long &work,
              ParagraphMeter &paragraph, long &paragraphChanges)
{
    changed = false;
    if (memcmp(format, shown, FORMAT_WORDS * sizeof *shown) == 0)
        return true;
    memcpy(shown, format, FORMAT_WORDS * sizeof *shown);
    paragraph.Add(RTF_GROUP_COST);
    work += RTF_CHANGE_COST;
    return ++paragraphChanges <= RTF_MAX_PARAGRAPH_CHANGES && work <= RTF_MAX_WORK;
}

RtfScreenResult Screen(const char *text, size_t length, ParagraphMeter &paragraph)
{
    if (!text || !BeginsAsRtf(text, length))
        return RTF_READABLE;
    Reader in = {(const unsigned char *)text, (const unsigned char *)text + length};
    int depth = 0;
    long long work = 0;
    // The character format values in force at each depth, as far as the reader's
    // costs go; UNSET until a group sets them.
    const long long UNSET = -(1LL << 40);
    long long format[RTF_MAX_DEPTH + 1][FORMAT_WORDS];
    long long shown[FORMAT_WORDS];  // the format of the last text read
    for (int k = 0; k < FORMAT_WORDS; ++k)
        format[0][k] = shown[k] = UNSET;
    bool changed = false;           // the format may differ from the shown one
    long fonts = 0;           // font table entries
    long paragraphChanges = 0;
    int nameTableDepth = 0;  // depth of the open font table or style sheet, 0 for none
    int nameLength = 0;      // text characters in a row inside it
    int hiddenDepth = 0;     // depth of the open destination that is never shown
    int skippedDepth = 0;    // depth of the open group the reader skips whole (\*, info)
    size_t textCount = 0;    // characters of text, RTF_TEXT_COST to a unit of work

    // One character of shown text; false once the reading is too slow.
    auto addText = [&]() {
        paragraph.Add(1);
        if (++textCount % RTF_TEXT_COST == 0 && ++work > RTF_MAX_WORK)
            return false;
        return !changed || ShowText(format[depth], shown, changed, work, paragraph,
                                    paragraphChanges);
    };
    // The end of a paragraph (or a line, a row, a cell, a section, a page): each costs
    // the reader and the layout the same, empty or not, shown or (hidden) not.
    auto EndParagraph = [&](bool hidden) {
        if (!hidden) {
            paragraph.End();
            paragraphChanges = 0;
        }
        work += RTF_PARAGRAPH_COST;
        return work <= RTF_MAX_WORK;
    };

    for (;;) {
        int c = in.Get();
        if (c < 0)
            return RTF_READABLE;
        if (c == '{') {
            if (++depth > RTF_MAX_DEPTH)
                return RTF_TOO_DEEP;
            memcpy(format[depth], format[depth - 1], sizeof format[depth]);
            if (++work > RTF_MAX_WORK)
                return RTF_TOO_SLOW;
            nameLength = 0;
            continue;
        }
        if (c == '}') {
            // The reader stops when the outermost group closes.
            if (--depth <= 0)
                return RTF_READABLE;
            if (depth < nameTableDepth)
                nameTableDepth = 0;
            if (depth < hiddenDepth)
                hiddenDepth = 0;
            if (depth < skippedDepth)
                skippedDepth = 0;
            changed = true;
            nameLength = 0;
            continue;
        }
        if (c != '\\') {
            if (c != '\r' && c != '\n' && !hiddenDepth && !addText())
                return RTF_TOO_SLOW;
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
                if (!hiddenDepth && !addText())
                    return RTF_TOO_SLOW;
                if (nameTableDepth && ++nameLength > RTF_MAX_NAME)
                    return RTF_LONG_NAME;
            } else if (c == '{' || c == '}' || c == '\\' || c == ':') {
                if (nameTableDepth && ++nameLength > RTF_MAX_NAME)
                    return RTF_LONG_NAME;
                if (!nameTableDepth && !hiddenDepth && !addText())
                    return RTF_TOO_SLOW;
            } else if (c == '\r' || c == '\n') {
                // A backslash before a line end is a paragraph mark, as \par is.
                if (!nameTableDepth && !skippedDepth && !EndParagraph(hiddenDepth))
                    return RTF_TOO_SLOW;
                nameLength = 0;
            } else if (c == '~' || c == '_') {
                // A non-breaking space or hyphen: a character of text.
                if (!nameTableDepth && !hiddenDepth && !addText())
                    return RTF_TOO_SLOW;
                nameLength = 0;
            } else {
                if (c == '*' && !hiddenDepth)
                    hiddenDepth = depth;
                if (c == '*' && !skippedDepth)
                    skippedDepth = depth;
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
        if (!hiddenDepth && IsHiddenDestination(word, letters))
            hiddenDepth = depth;
        if (!skippedDepth && letters == 4 && memcmp(word, "info", 4) == 0)
            skippedDepth = depth;
        if (nameTableDepth) {
            if (IsFontWord(word, letters) && hasParameter)
                ++fonts;
            continue;
        }
        if (hiddenDepth) {
            // A picture's or an object's paragraph marks still become paragraphs.
            if (!skippedDepth && IsParagraphWord(word, letters) && !EndParagraph(true))
                return RTF_TOO_SLOW;
            continue;
        }
        int index = FormatWordIndex(word, letters);
        bool plain = letters == 5 && memcmp(word, "plain", 5) == 0;
        long long value = hasParameter ? parameter : 1;
        if (plain || (index >= 0 && format[depth][index] != value)) {
            if (plain)
                for (int k = 0; k < FORMAT_WORDS; ++k)
                    format[depth][k] = UNSET;
            else
                format[depth][index] = value;
            changed = true;
            // A font change also searches the font table.
            if (IsFontWord(word, letters) && (work += fonts / 100) > RTF_MAX_WORK)
                return RTF_TOO_SLOW;
        }
        if (IsParagraphWord(word, letters) && !EndParagraph(false))
            return RTF_TOO_SLOW;
        if (IsCharacterWord(word, letters) && !addText())
            return RTF_TOO_SLOW;
    }
}

}  // namespace
