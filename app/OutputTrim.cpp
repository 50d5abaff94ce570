#include "app/OutputTrim.h"

long long TrimSlack(long long limit)
{
    long long slack = limit / 10;
    return slack > 0 ? slack : 1;
}

long long TextCost(long long lines, long long chars)
{
    return lines * LINE_COST + chars * CHAR_COST;
}

bool TrimDue(long long lines, long long chars, const TrimLimits &limits)
{
    if (limits.maxLines > 0 && lines > limits.maxLines + TrimSlack(limits.maxLines))
        return true;
    return limits.budget > 0 && TextCost(lines, chars) > limits.budget + TrimSlack(limits.budget);
}

long long CountLines(const char16_t *text, size_t length)
{
    long long lines = 0;
    for (size_t k = 0; k < length; ++k)
        lines += text[k] == u'\r';
    if (length && text[length - 1] != u'\r')
        ++lines;
    return lines;
}

long long LinesToDrop(const char16_t *text, size_t length, const TrimLimits &limits,
                      size_t *cut)
{
    *cut = 0;
    long long lines = CountLines(text, length);
    if (!TrimDue(lines, (long long)length, limits))
        return 0;
    long long drop = limits.maxLines > 0 && lines > limits.maxLines ? lines - limits.maxLines : 0;
    long long cost = TextCost(lines, (long long)length);
    // Walk down the dropped lines, then on while the rest costs more than the budget;
    // the last line (the newest) always stays.
    long long dropped = 0;
    size_t at = 0;
    while (dropped + 1 < lines) {
        bool overBudget = limits.budget > 0 && cost > limits.budget;
        if (dropped >= drop && !overBudget)
            break;
        size_t end = at;
        while (end < length && text[end] != u'\r')
            ++end;
        if (end == length)
            break;
        ++end;  // past the line end
        cost -= TextCost(1, (long long)(end - at));
        at = end;
        ++dropped;
    }
    *cut = at;
    return dropped;
}

long long LimitAfterShortage(long long lines, long long maxLines)
{
    long long limit = lines * 3 / 4;
    if (limit < 1)
        limit = 1;
    return maxLines > 0 && maxLines < limit ? maxLines : limit;
}

long long KeptPosition(long long position, long long cut)
{
    return position > cut ? position - cut : 0;
}
