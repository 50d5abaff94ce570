// Cutting a text into pieces, in both character sizes: every piece advances, the pieces
// join to the text, and no cut splits CR LF or comes before a '{'.
#include <stddef.h>
#include <stdint.h>
#include <string>

#include "editor/TextPieces.h"
#include "fuzz/FuzzInput.h"

template <typename Char>
static void Check(const Char *text, size_t n, size_t piece, size_t lines, double squares)
{
    size_t from = 0;
    while (from < n) {
        size_t end = PieceEnd(text, n, from, piece, lines, squares);
        if (end <= from || end > n)
            __builtin_trap();
        if (end < n && (text[end] == '{' || (text[end - 1] == '\r' && text[end] == '\n')))
            __builtin_trap();
        from = end;
    }
    if (SquaredLineLengths(text, n) < 0)
        __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    size_t piece = data[0] % 64, lines = data[1] % 16;
    double squares = (data[1] >> 4) * 20.0;
    data += 2;
    size -= 2;
    Check((const char *)data, size, piece, lines, squares);
    std::u16string wide = AsUtf16(data, size);
    Check(wide.data(), wide.size(), piece, lines, squares);
    return 0;
}
