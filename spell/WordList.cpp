#include "spell/WordList.h"

#include <algorithm>
#include <string.h>
#include <zlib.h>

WordList Dictionary = {0, 0, 0};

// The words read from the file live in one block: a hundred thousand separate
// allocations made every opening (and its closing) noticeably slower. Entries outside
// the block (words added later) are owned one by one.
static char *ReadWords = 0;
static size_t ReadWordsSize = 0;

static bool InReadWords(const char *entry)
{
    return ReadWords && entry >= ReadWords && entry < ReadWords + ReadWordsSize;
}

// Room for the whole embedded list, so loading it never reallocates.
static const int INITIAL_CAPACITY = 140000;

static inline unsigned char Fold(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? (unsigned char)(c + ('a' - 'A')) : c;
}

int CompareWords(const char *a, const char *b)
{
    const unsigned char *x = (const unsigned char *)a, *y = (const unsigned char *)b;
    for (;; ++x, ++y) {
        unsigned char p = Fold(*x), q = Fold(*y);
        if (p != q || !p)
            return (int)p - (int)q;
    }
}

char *CopyWord(const char *text, size_t length)
{
    char *word = new char[length + 1];
    memcpy(word, text, length);
    word[length] = 0;
    return word;
}

// Makes room for one more entry: the first use reserves the initial capacity, a full
// array doubles.
static void Reserve()
{
    if (Dictionary.count < Dictionary.capacity)
        return;
    int larger = Dictionary.capacity ? Dictionary.capacity * 2 : INITIAL_CAPACITY;
    char **grown = new char *[larger];
    if (Dictionary.count)
        memcpy(grown, Dictionary.entries, Dictionary.count * sizeof *grown);
    delete[] Dictionary.entries;
    Dictionary.entries = grown;
    Dictionary.capacity = larger;
}

// Where word belongs: before the first entry that is not smaller, found by halving.
static int InsertionPlace(const char *word)
{
    if (Dictionary.count == 0)
        return 0;
    char **entries = Dictionary.entries;
    int lo = 0, hi = Dictionary.count - 1, mid = hi / 2;
    while (mid != lo) {
        int order = CompareWords(word, entries[mid]);
        if (order == 0)
            return mid;
        if (order < 0) {
            hi = mid;
            mid = (mid + lo) / 2;
        } else {
            lo = mid;
            mid = (hi + mid) / 2;
        }
    }
    if (CompareWords(word, entries[lo]) <= 0)
        return lo;
    if (CompareWords(word, entries[hi]) <= 0)
        return hi;
    return hi + 1;
}

int FindWord(const char *word)
{
    int place = InsertionPlace(word);
    return place < Dictionary.count && CompareWords(word, Dictionary.entries[place]) == 0 ? place : -1;
}

const char *WordAt(int index)
{
    return index >= 0 && index < Dictionary.count ? Dictionary.entries[index] : 0;
}

static void InsertAt(int index, char *word)
{
    Reserve();
    char **entries = Dictionary.entries;
    memmove(entries + index + 1, entries + index, (Dictionary.count - index) * sizeof *entries);
    entries[index] = word;
    ++Dictionary.count;
}

void AddWord(char *word)
{
    if (word)
        InsertAt(InsertionPlace(word), word);
}

void ClearDictionary()
{
    for (int i = 0; i < Dictionary.count; ++i)
        if (!InReadWords(Dictionary.entries[i]))
            delete[] Dictionary.entries[i];
    delete[] ReadWords;
    ReadWords = 0;
    ReadWordsSize = 0;
    Dictionary.count = 0;
}

static void SortDictionary()
{
    auto before = [](const char *a, const char *b) { return CompareWords(a, b) < 0; };
    char **first = Dictionary.entries, **last = first + Dictionary.count;
    // The file is mostly in order already: only what follows the sorted part (the words
    // a user added) needs sorting, then the two runs are merged.
    char **unsorted = std::is_sorted_until(first, last, before);
    if (unsorted == last)
        return;
    std::sort(unsorted, last, before);
    std::inplace_merge(first, unsorted, last, before);
}

int ReadWordList(FILE *file)
{
    size_t size = 0, capacity = 1 << 20;
    char *text = new char[capacity];
    size_t got;
    while ((got = fread(text + size, 1, capacity - size, file)) > 0) {
        size += got;
        if (size == capacity) {
            char *larger = new char[capacity * 2];
            memcpy(larger, text, size);
            delete[] text;
            text = larger;
            capacity *= 2;
        }
    }
    // Each piece takes its length plus a zero; a line end gives at least one byte back,
    // and only a split long line needs more than it gives.
    size_t blockSize = size + size / 255 + 2;
    char *block = new char[blockSize], *to = block;
    int read = 0;
    auto append = [&](const char *piece, size_t length) {
        // A CR LF line end arrives here as a trailing CR; a file that went twice through a
        // text-mode copy ends its lines with CR CR LF.
        while (length && piece[length - 1] == '\r')
            --length;
        // A blank line is no word (and a 255-character line leaves its end as one).
        if (!length)
            return;
        memcpy(to, piece, length);
        to[length] = 0;
        Reserve();
        Dictionary.entries[Dictionary.count++] = to;
        to += length + 1;
        ++read;
    };
    const char *piece = text, *end = text + size;
    for (const char *p = text; p < end; ++p) {
        if (*p == '\n') {
            append(piece, p - piece);
            piece = p + 1;
        } else if (p + 1 - piece == 255) {
            append(piece, 255);
            piece = p + 1;
        }
    }
    append(piece, end - piece);
    delete[] text;
    if (read) {
        // One block per load: a second load before a clear keeps the first block's words.
        if (ReadWords) {
            char **copies = Dictionary.entries;
            for (int i = 0; i < Dictionary.count; ++i)
                if (InReadWords(copies[i]))
                    copies[i] = CopyWord(copies[i], strlen(copies[i]));
            delete[] ReadWords;
        }
        ReadWords = block;
        ReadWordsSize = blockSize;
    } else {
        delete[] block;
    }
    SortDictionary();
    return read;
}

long InflateFile(FILE *input, FILE *output)
{
    static const int CHUNK = 16384;
    unsigned char in[CHUNK], out[CHUNK];
    z_stream stream;
    memset(&stream, 0, sizeof stream);
    // Any zlib 1.x accepts a stream set up by the 1.2.3 interface.
    if (inflateInit_(&stream, "1.2.3", (int)sizeof stream) != Z_OK)
        return 0;
    long total = 0;
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        stream.avail_in = (uInt)fread(in, 1, CHUNK, input);
        if (ferror(input)) {
            inflateEnd(&stream);
            return 0;
        }
        if (stream.avail_in == 0)
            break;
        stream.next_in = in;
        do {
            stream.avail_out = CHUNK;
            stream.next_out = out;
            status = inflate(&stream, Z_NO_FLUSH);
            if (status == Z_NEED_DICT || status == Z_DATA_ERROR || status == Z_MEM_ERROR ||
                status == Z_STREAM_ERROR) {
                inflateEnd(&stream);
                return 0;
            }
            size_t produced = CHUNK - stream.avail_out;
            if (fwrite(out, 1, produced, output) != produced || ferror(output)) {
                inflateEnd(&stream);
                return 0;
            }
            total += (long)produced;
        } while (stream.avail_out == 0 && status != Z_STREAM_END);
    }
    inflateEnd(&stream);
    return status == Z_STREAM_END ? total : 0;
}
