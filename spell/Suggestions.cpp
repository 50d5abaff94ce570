#include "spell/Suggestions.h"

#include <string.h>

#include "spell/WordList.h"

static const int MAX_EDITS = 2;

static inline unsigned char Lower(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? (unsigned char)(c + ('a' - 'A')) : c;
}

static inline bool IsCapital(unsigned char c)
{
    return c >= 'A' && c <= 'Z';
}

int FindSuggestionStem(const char *word)
{
    char stem[256];
    size_t length = strlen(word);
    if (length >= sizeof stem)
        length = sizeof stem - 1;
    memcpy(stem, word, length);
    stem[length] = 0;
    for (; length > 0; stem[--length] = 0) {
        int index = FindWord(stem);
        if (index >= 0)
            return index;
    }
    return -1;
}

static unsigned char LowerTable[256];

static void FillLowerTable()
{
    for (int c = 0; c < 256; ++c)
        LowerTable[c] = Lower((unsigned char)c);
}

// Edits between a (folded, length n) and entry (length m), counting a swap of two
// neighbours as one; LIMIT as soon as the answer must be larger. Only the cells within
// MAX_EDITS of the diagonal can stay under the limit, so only they are computed.
static const int LIMIT = MAX_EDITS + 1;
static const int WIDTH = 100;  // words are at most 80 characters

static int EditDistance(const unsigned char *a, int n, const char *entry, int m)
{
    const unsigned char *b = (const unsigned char *)entry;
    int rows[3][WIDTH + 2];
    int *before = rows[0], *previous = rows[1], *current = rows[2];
    for (int j = 0; j <= m + 1; ++j)
        previous[j] = j < LIMIT ? j : LIMIT;
    for (int i = 1; i <= n; ++i) {
        int lo = i - MAX_EDITS > 1 ? i - MAX_EDITS : 1;
        int hi = i + MAX_EDITS < m ? i + MAX_EDITS : m;
        current[lo - 1] = lo == 1 ? (i < LIMIT ? i : LIMIT) : LIMIT;
        current[hi + 1] = LIMIT;
        int smallest = LIMIT;
        unsigned char x = a[i - 1];
        for (int j = lo; j <= hi; ++j) {
            unsigned char y = LowerTable[b[j - 1]];
            int best = previous[j - 1] + (x == y ? 0 : 1);
            if (previous[j] + 1 < best)
                best = previous[j] + 1;
            if (current[j - 1] + 1 < best)
                best = current[j - 1] + 1;
            if (i > 1 && j > 1 && x == LowerTable[b[j - 2]] && a[i - 2] == y &&
                before[j - 2] + 1 < best)
                best = before[j - 2] + 1;
            current[j] = best < LIMIT ? best : LIMIT;
            if (best < smallest)
                smallest = best;
        }
        if (smallest >= LIMIT)
            return LIMIT;
        int *spare = before;
        before = previous;
        previous = current;
        current = spare;
    }
    return previous[m];
}

// How many letters one word has that the other lacks: 0 for a swap, 2 for a change.
static int LetterDifference(const unsigned char *a, int n, const char *entry)
{
    int counts[256];
    memset(counts, 0, sizeof counts);
    for (int i = 0; i < n; ++i)
        ++counts[a[i]];
    for (const char *p = entry; *p; ++p)
        --counts[Lower((unsigned char)*p)];
    int difference = 0;
    for (int c = 0; c < 256; ++c)
        difference += counts[c] < 0 ? -counts[c] : counts[c];
    return difference;
}

struct Candidate {
    int index;
    int rank[4];
};

static bool RanksBefore(const Candidate &x, const Candidate &y)
{
    for (int k = 0; k < 4; ++k)
        if (x.rank[k] != y.rank[k])
            return x.rank[k] < y.rank[k];
    return x.index < y.index;
}

int FindNearestWords(const char *word, int *indexes, int limit)
{
    int n = (int)strlen(word);
    if (n == 0 || n > WIDTH - MAX_EDITS - 1 || limit <= 0)
        return 0;
    if (!LowerTable[(unsigned char)'A'])
        FillLowerTable();
    unsigned char folded[WIDTH];
    for (int i = 0; i < n; ++i)
        folded[i] = Lower((unsigned char)word[i]);
    bool smallFirst = !IsCapital((unsigned char)word[0]);

    const int KEEP = 64;
    if (limit > KEEP)
        limit = KEEP;
    Candidate best[KEEP];
    int kept = 0;
    for (int index = 0; index < Dictionary.count; ++index) {
        const char *entry = Dictionary.entries[index];
        int m = (int)strlen(entry);
        if (m < n - MAX_EDITS || m > n + MAX_EDITS || m > WIDTH)
            continue;
        int distance = EditDistance(folded, n, entry, m);
        if (distance == 0 || distance > MAX_EDITS)
            continue;
        Candidate candidate;
        candidate.index = index;
        candidate.rank[0] = distance;
        candidate.rank[1] = LetterDifference(folded, n, entry);
        candidate.rank[2] = Lower((unsigned char)entry[0]) != folded[0];
        candidate.rank[3] = smallFirst && IsCapital((unsigned char)entry[0]);
        if (kept == limit && !RanksBefore(candidate, best[kept - 1]))
            continue;
        // Insertion into the short ranked list; the last one drops out when it is full.
        int at = kept < limit ? kept++ : kept - 1;
        while (at > 0 && RanksBefore(candidate, best[at - 1])) {
            best[at] = best[at - 1];
            --at;
        }
        best[at] = candidate;
    }
    for (int i = 0; i < kept; ++i)
        indexes[i] = best[i].index;
    return kept;
}

void MatchCapitals(const char *word, const char *entry, char *out, size_t size)
{
    if (!size)
        return;
    size_t length = strlen(entry);
    if (length >= size)
        length = size - 1;
    memcpy(out, entry, length);
    out[length] = 0;
    int letters = 0, capitals = 0;
    for (const char *p = word; *p; ++p) {
        if ((*p >= 'a' && *p <= 'z') || IsCapital((unsigned char)*p))
            ++letters;
        if (IsCapital((unsigned char)*p))
            ++capitals;
    }
    if (letters >= 2 && capitals == letters) {
        for (size_t i = 0; i < length; ++i)
            if (out[i] >= 'a' && out[i] <= 'z')
                out[i] = (char)(out[i] - ('a' - 'A'));
    } else if (IsCapital((unsigned char)word[0]) && out[0] >= 'a' && out[0] <= 'z') {
        out[0] = (char)(out[0] - ('a' - 'A'));
    }
}
