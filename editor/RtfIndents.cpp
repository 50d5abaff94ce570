#include "editor/RtfIndents.h"

#include <stdio.h>
#include <string.h>

#include <vector>

namespace {

const long long LARGEST = 2147483647;

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

long long Pinned(long long value)
{
    return value > LARGEST ? LARGEST : value < -LARGEST ? -LARGEST : value;
}

// One control word: \name, an optional signed number, and the space that may end it.
struct Word {
    size_t start, end;   // [start, end) in the text, the ending space included
    std::string name;
    bool hasNumber;
    long long number;
    bool afterOpenWord;  // right after a control word that no space ended
};

// Reads the control word at text[at] == '\\' with a letter after it.
Word ReadWord(const char *text, size_t length, size_t at)
{
    Word word;
    word.start = at;
    word.afterOpenWord = false;
    size_t i = at + 1;
    while (i < length && IsLetter(text[i]))
        ++i;
    word.name.assign(text + at + 1, i - at - 1);
    word.hasNumber = false;
    word.number = 0;
    bool negative = i + 1 < length && text[i] == '-' && IsDigit(text[i + 1]);
    if (negative)
        ++i;
    while (i < length && IsDigit(text[i])) {
        word.hasNumber = true;
        // More digits than any number has only pin the value.
        word.number = Pinned(word.number * 10 + (text[i] - '0'));
        ++i;
    }
    if (negative)
        word.number = -word.number;
    if (i < length && text[i] == ' ')
        ++i;
    word.end = i;
    return word;
}

// The indent words of one paragraph begun by \pard: where they are and what they say.
struct Paragraph {
    std::vector<Word> words;   // \li and \fi at the \pard's level, in order
    long long left = 0, first = 0;
};

// Walks the text's control words, calling back for every paragraph begun by \pard once
// it ends (at \par, \pard, a cell or row end, or the end of its group). Returns the
// length read (up to a zero byte).
template <typename Ended>
size_t WalkParagraphs(const char *text, size_t length, Ended ended)
{
    Paragraph paragraph;
    bool open = false;
    int paragraphDepth = 0;
    int depth = 0;
    size_t i = 0;
    size_t openWordEnd = (size_t)-1;  // where a control word without its space ended
    auto finish = [&]() {
        if (open)
            ended(paragraph);
        open = false;
        paragraph = Paragraph();
    };
    while (i < length && text[i]) {
        char c = text[i];
        if (c == '{') {
            ++depth;
            ++i;
        } else if (c == '}') {
            if (open && depth <= paragraphDepth)
                finish();
            --depth;
            ++i;
        } else if (c == '\\' && i + 1 < length && IsLetter(text[i + 1])) {
            Word word = ReadWord(text, length, i);
            word.afterOpenWord = i == openWordEnd;
            i = word.end;
            if (text[i - 1] != ' ')
                openWordEnd = i;
            const std::string &name = word.name;
            if (name == "pard") {
                finish();
                open = true;
                paragraphDepth = depth;
            } else if (name == "par" || name == "cell" || name == "row" || name == "nestcell" ||
                       name == "nestrow" || name == "sect") {
                finish();
            } else if (open && depth == paragraphDepth && (name == "li" || name == "fi")) {
                (name == "li" ? paragraph.left : paragraph.first) = word.number;
                paragraph.words.push_back(word);
            }
        } else if (c == '\\' && i + 1 < length && text[i + 1] == '\'') {
            i += 2;  // a character by its code: two hex digits, which are text
            for (int k = 0; k < 2 && i < length && text[i]; ++k)
                ++i;
        } else if (c == '\\') {
            i += i + 1 < length && text[i + 1] ? 2 : 1;  // a control symbol
        } else {
            ++i;
        }
    }
    finish();
    return i;
}

}  // namespace

bool FirstParagraphIndents(const char *rtf, size_t length, long long *left, long long *first)
{
    bool found = false;
    *left = *first = 0;
    WalkParagraphs(rtf, length, [&](const Paragraph &paragraph) {
        if (found)
            return;
        found = true;
        *left = paragraph.left;
        *first = paragraph.first;
    });
    return found;
}

bool WriterExchangesIndents(const char *rtf, size_t length)
{
    long long left = 0, first = 0;
    return FirstParagraphIndents(rtf, length, &left, &first) && left == PROBE_OFFSET &&
           first == PROBE_START_INDENT;
}

std::string MendExchangedIndents(const char *rtf, size_t length)
{
    // What replaces each paragraph's words: [start, end) of the old ones and the new text
    // at the first of them. Paragraphs end in text order, and their words do not overlap.
    struct Change {
        size_t start, end;
        std::string text;
        bool afterOpenWord;
    };
    std::vector<Change> changes;
    size_t read = WalkParagraphs(rtf, length, [&](const Paragraph &paragraph) {
        if (paragraph.words.empty())
            return;
        long long offset = paragraph.left, start = paragraph.first;
        long long left = Pinned(start + offset), first = Pinned(-offset);
        char words[64] = "";
        int n = 0;
        if (left)
            n += snprintf(words + n, sizeof words - n, "\\li%lld", left);
        if (first)
            n += snprintf(words + n, sizeof words - n, "\\fi%lld", first);
        if (n)
            snprintf(words + n, sizeof words - n, " ");  // ends the last word, whatever follows
        for (size_t k = 0; k < paragraph.words.size(); ++k) {
            const Word &word = paragraph.words[k];
            changes.push_back({word.start, word.end, k == 0 ? words : "", word.afterOpenWord});
        }
    });
    std::string mended;
    mended.reserve(read + changes.size() * 8);
    size_t copied = 0;
    bool open = false;  // the text so far ends in a control word that nothing ended yet
    for (const Change &change : changes) {
        if (change.start != copied || copied == 0)
            open = change.afterOpenWord;
        mended.append(rtf + copied, change.start - copied);
        if (!change.text.empty()) {
            mended += change.text;
            open = false;
        } else if (open) {
            // The word before would run on into what follows: its ending space.
            mended += ' ';
            open = false;
        }
        copied = change.end;
    }
    mended.append(rtf + copied, read - copied);
    return mended;
}
