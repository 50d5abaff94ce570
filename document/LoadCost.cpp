// The control's cost of a plain text, from its characters, lines and runs.
#include "document/LoadCost.h"

// A run starts at each ASCII character that is neither a letter nor a space (a digit, a
// mark, a bracket): measured, such runs cost the control about 640 bytes each, while a
// change of script (words of Cyrillic between ASCII spaces) costs next to nothing.
static bool StartsRun(unsigned c)
{
    bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    return c < 0x80 && c != ' ' && !letter;
}

void TextCostCounter::AddUnit(unsigned c)
{
    // CR LF is one line end, as the control holds it.
    if (c == '\n' && afterCr) {
        afterCr = false;
        return;
    }
    afterCr = c == '\r';
    cost.chars += 1;
    if (c == '\r' || c == '\n') {
        cost.lines += 1;
        lineOpen = false;
        return;
    }
    // A line's first run is part of what the line costs.
    if (lineOpen && StartsRun(c))
        cost.runs += 1;
    lineOpen = true;
}

void TextCostCounter::Add(const unsigned char *bytes, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        unsigned b = bytes[i];
        switch (encoding) {
        case COST_8BIT:
            AddUnit(b);
            break;
        case COST_UTF8:
            // A continuation byte belongs to the character before it.
            if ((b & 0xC0) != 0x80)
                AddUnit(b);
            break;
        case COST_UTF16LE:
        case COST_UTF16BE:
            if (oddByte < 0) {
                oddByte = (int)b;
                break;
            }
            unsigned unit = encoding == COST_UTF16LE ? (unsigned)oddByte | b << 8
                                                     : (unsigned)oddByte << 8 | b;
            oddByte = -1;
            // The second half of a surrogate pair is the same character.
            if (unit < 0xDC00 || unit > 0xDFFF)
                AddUnit(unit);
            break;
        }
    }
}

TextCost TextCostCounter::Cost() const
{
    TextCost result = cost;
    if (lineOpen)
        result.lines += 1;
    return result;
}

TextCost CountTextCost(const char *text, size_t n)
{
    TextCostCounter counter(COST_8BIT);
    counter.Add((const unsigned char *)text, n);
    return counter.Cost();
}

TextCost CountTextCost(const char16_t *text, size_t n)
{
    TextCostCounter counter(COST_UTF16LE);
    for (size_t i = 0; i < n; ++i) {
        unsigned char pair[2] = {(unsigned char)(text[i] & 0xFF), (unsigned char)(text[i] >> 8)};
        counter.Add(pair, 2);
    }
    return counter.Cost();
}

double EstimatedControlBytes(const TextCost &cost)
{
    return COST_MARGIN * (cost.chars * CONTROL_BYTES_PER_CHAR +
                          cost.lines * CONTROL_BYTES_PER_LINE + cost.runs * CONTROL_BYTES_PER_RUN);
}

double ControlBudget(double addressLeft, double held, double most)
{
    double budget = addressLeft - held - ADDRESS_SPACE_RESERVE;
    if (budget > most)
        budget = most;
    return budget > 0 ? budget : 0;
}

double CharactersThatFit(const TextCost &cost, double budget)
{
    double whole = EstimatedControlBytes(cost);
    if (whole <= budget || cost.chars <= 0)
        return cost.chars;
    // The text's own mix of lines and runs, spread evenly over its characters.
    return cost.chars * (budget / whole);
}

static bool IsHighSurrogate(unsigned c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

static bool IsLowSurrogate(unsigned c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

template <typename Char>
static size_t PrefixOf(const Char *text, size_t n, size_t chars)
{
    if (chars >= n)
        return n;
    for (size_t at = chars; at > 0; --at) {
        Char last = text[at - 1];
        if (last == '\n' || (last == '\r' && text[at] != '\n'))
            return at;
    }
    size_t at = chars;
    if (at > 0 && text[at - 1] == '\r' && text[at] == '\n')
        --at;
    if (at > 0 && sizeof(Char) == 2 && IsHighSurrogate(text[at - 1]) && IsLowSurrogate(text[at]))
        --at;
    return at;
}

size_t FittingPrefix(const char *text, size_t n, size_t chars)
{
    return PrefixOf(text, n, chars);
}

size_t FittingPrefix(const char16_t *text, size_t n, size_t chars)
{
    return PrefixOf(text, n, chars);
}
