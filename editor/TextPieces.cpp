// Cutting a long plain text into pieces at line ends.
#include "editor/TextPieces.h"

// Whether a piece may end just before text[at] (0 < at < n): after LF, or after a CR
// that neither an LF nor a CR LF follows (CR CR LF stays whole; text of CRs alone, as
// old Macintosh files have, may end a piece after any of them).
template <typename Char>
static bool MayEndBefore(const Char *text, size_t n, size_t at)
{
    Char last = text[at - 1], next = text[at];
    if (next == '{')
        return false;
    if (last == '\n')
        return true;
    if (last != '\r' || next == '\n')
        return false;
    return next != '\r' || at + 1 == n || text[at + 1] != '\n';
}

// A line ends at text[at]: LF, or CR without LF after it.
template <typename Char>
static bool EndsLine(const Char *text, size_t n, size_t at)
{
    return text[at] == '\n' || (text[at] == '\r' && (at + 1 == n || text[at + 1] != '\n'));
}

template <typename Char>
static size_t FindPieceEnd(const Char *text, size_t n, size_t from, size_t piece, size_t lines,
                           double squares)
{
    if (from >= n)
        return n;
    size_t limit = n - from > piece ? from + (piece ? piece : 1) : n;
    size_t seen = 0, lineStart = from;
    double sum = 0;
    for (size_t at = from; at < limit; ++at) {
        if (!EndsLine(text, n, at))
            continue;
        double length = (double)(at - lineStart);
        sum += length * length;
        lineStart = at + 1;
        if (++seen >= lines || sum >= squares) {
            limit = at + 1;
            break;
        }
    }
    if (limit >= n)
        return n;
    for (size_t at = limit; at > from; --at)
        if (MayEndBefore(text, n, at))
            return at;
    for (size_t at = limit + 1; at < n; ++at)
        if (MayEndBefore(text, n, at))
            return at;
    return n;
}

template <typename Char>
static double SumOfSquares(const Char *text, size_t n)
{
    double sum = 0;
    size_t lineStart = 0;
    for (size_t at = 0; at <= n; ++at) {
        if (at < n && text[at] != '\r' && text[at] != '\n')
            continue;
        double length = (double)(at - lineStart);
        sum += length * length;
        lineStart = at + 1;
    }
    return sum;
}

size_t PieceEnd(const char *text, size_t n, size_t from, size_t piece, size_t lines,
                double squares)
{
    return FindPieceEnd(text, n, from, piece, lines, squares);
}

size_t PieceEnd(const char16_t *text, size_t n, size_t from, size_t piece, size_t lines,
                double squares)
{
    return FindPieceEnd(text, n, from, piece, lines, squares);
}

double SquaredLineLengths(const char *text, size_t n)
{
    return SumOfSquares(text, n);
}

double SquaredLineLengths(const char16_t *text, size_t n)
{
    return SumOfSquares(text, n);
}
