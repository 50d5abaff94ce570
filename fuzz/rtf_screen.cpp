// The RTF screen reads any bytes, with or without the RTF header, in linear time; what
// it refuses, it refuses for a reason the bytes hold.
#include <stddef.h>
#include <stdint.h>
#include <string.h>
#include <string>

#include "editor/RtfScreen.h"

// A run of at least `least` bytes that pass `test`.
template <typename Test>
static bool HasRun(const char *text, size_t size, size_t least, Test test)
{
    size_t run = 0;
    for (size_t k = 0; k < size; ++k) {
        run = test((unsigned char)text[k]) ? run + 1 : 0;
        if (run >= least)
            return true;
    }
    return false;
}

static bool HasWord(const char *text, size_t size, const char *word)
{
    size_t n = strlen(word);
    for (size_t k = 0; k + n <= size; ++k)
        if (memcmp(text + k, word, n) == 0)
            return true;
    return false;
}

static bool IsAsciiLetter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// A refusal must be explained by the bytes: a false refusal keeps a user's file out.
static void CheckReason(RtfScreenResult result, const char *text, size_t size)
{
    size_t opens = 0;
    for (size_t k = 0; k < size; ++k)
        opens += text[k] == '{';
    bool explained = true;
    switch (result) {
    case RTF_READABLE:
    case RTF_TOO_SLOW:
        break;
    case RTF_TOO_DEEP:
        explained = opens > (size_t)RTF_MAX_DEPTH;
        break;
    case RTF_LONG_CONTROL_WORD:
        explained = HasRun(text, size, RTF_MAX_WORD + 1, IsAsciiLetter);
        break;
    case RTF_LONG_PARAMETER:
        explained = HasRun(text, size, RTF_MAX_DIGITS + 1,
                           [](unsigned char c) { return c >= '0' && c <= '9'; });
        break;
    case RTF_LONG_NAME:
        explained = size > (size_t)RTF_MAX_NAME;
        break;
    case RTF_NESTED_TABLE:
        explained = HasWord(text, size, "\\itap") || HasWord(text, size, "\\nest");
        break;
    }
    if (!explained)
        __builtin_trap();
}

// The longest line, counted independently of the screen's own walk.
static size_t ReferenceLongestLine(const char *text, size_t size)
{
    size_t longest = 0;
    const char *start = text, *end = text + size;
    while (start < end) {
        const char *stop = start;
        while (stop < end && *stop != '\r' && *stop != '\n')
            ++stop;
        if ((size_t)(stop - start) > longest)
            longest = stop - start;
        start = stop + 1;
    }
    return longest;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The fuzzer's own buffer, exactly size bytes long: reading one byte past it is caught.
    const char *text = (const char *)data;
    size_t longest = 0;
    double squares = 0;
    RtfScreenResult result = ScreenRtf(text, size, &longest, &squares);
    if (!BeginsAsRtf(text, size) && result != RTF_READABLE)
        __builtin_trap();
    if (LongestLine(text, size) != ReferenceLongestLine(text, size))
        __builtin_trap();
    CheckReason(result, text, size);

    // Reading stops at a zero byte: what follows one changes nothing.
    const void *zero = memchr(text, 0, size);
    if (zero) {
        size_t longestBefore = 0;
        double squaresBefore = 0;
        RtfScreenResult before =
            ScreenRtf(text, (const char *)zero - text, &longestBefore, &squaresBefore);
        if (before != result || longestBefore != longest || squaresBefore != squares)
            __builtin_trap();
    }

    // Most inputs lack the header; read them as a document body as well. A refusal is
    // decided by what was read: a space after the text (which ends a control word
    // without starting a token) cannot take it back.
    std::string body = "{\\rtf1 " + std::string(text, size);
    RtfScreenResult asBody = ScreenRtf(body.data(), body.size(), &longest, &squares);
    CheckReason(asBody, body.data(), body.size());
    if (squares < (double)longest * (double)longest)
        __builtin_trap();
    if (asBody != RTF_READABLE && !memchr(body.data(), 0, body.size())) {
        body += ' ';
        if (ScreenRtf(body.data(), body.size()) != asBody)
            __builtin_trap();
    }
    return 0;
}
