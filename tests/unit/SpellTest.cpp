// The spell checker's pure logic: word order and lookups, the list file reader, the
// inflater, the word scanner with its exceptions, and the suggestions.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>
#include <zlib.h>

#include "spell/Suggestions.h"
#include "spell/WordList.h"
#include "spell/WordScanner.h"

namespace {

// Loads the Dictionary from the text of a word list file.
void LoadWords(const std::string &text)
{
    ClearDictionary();
    FILE *file = tmpfile();
    fwrite(text.data(), 1, text.size(), file);
    rewind(file);
    ReadWordList(file);
    fclose(file);
}

bool Sorted()
{
    for (int i = 1; i < Dictionary.count; ++i)
        if (CompareWords(WordAt(i - 1), WordAt(i)) > 0)
            return false;
    return true;
}

const char *SmallList =
    "zymurgy\r\nthis\r\nThai\r\nthe\r\nreceive\r\nrelieve\r\nrec\r\nrecipe\r\nabilene\r\n"
    "Abilene\r\na\r\nI\r\nit\r\non\r\nhello\r\ntest\r\nset\r\nis\r\naardvark\r\n";

}  // namespace

TEST(WordList, ReadSortsAndFindsIgnoringCase)
{
    struct { const char *a, *b; int sign; } order[] = {
        {"abc", "ABC", 0}, {"a", "ab", -1}, {"Zebra", "apple", 1}, {"it's", "its", -1},
        {"A_", "aa", -1},  // '_' (0x5F) sorts before 'a' once capitals are folded
        {"\xe9", "E", 1},
    };
    for (auto &c : order) {
        int result = CompareWords(c.a, c.b);
        EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " / " << c.b;
    }
    LoadWords(SmallList);
    EXPECT_EQ(Dictionary.count, 19);
    EXPECT_TRUE(Sorted());
    EXPECT_STREQ(WordAt(0), "a");
    EXPECT_STREQ(WordAt(Dictionary.count - 1), "zymurgy");
    for (const char *word : {"AARDVARK", "aardvark", "ZyMuRgY", "a", "A", "i", "THIS"})
        EXPECT_GE(FindWord(word), 0) << word;
    for (const char *word : {"", "b", "zz", "aardvarks", "thi"})
        EXPECT_EQ(FindWord(word), -1) << word;
    EXPECT_EQ(WordAt(-1), nullptr);
    EXPECT_EQ(WordAt(Dictionary.count), nullptr);
    ClearDictionary();
    EXPECT_EQ(FindWord("a"), -1);
    EXPECT_GE(Dictionary.capacity, 140000);
}

TEST(WordList, AddWordKeepsOrderWithTwinsAndEnds)
{
    LoadWords(SmallList);
    for (const char *word : {"THIS", "Aardvark", "0first", "zzz", "mid", "Thai", "a"})
        AddWord(CopyWord(word, strlen(word)));
    EXPECT_EQ(Dictionary.count, 26);
    EXPECT_TRUE(Sorted());
    EXPECT_STREQ(WordAt(0), "0first");
    EXPECT_STREQ(WordAt(Dictionary.count - 1), "zzz");
    ClearDictionary();
    AddWord(CopyWord("only", 4));  // into an empty list
    EXPECT_EQ(FindWord("ONLY"), 0);
    ClearDictionary();
}

TEST(WordList, LongLinesComeInPiecesAndBlankLinesAreNoWords)
{
    std::string text = std::string(300, 'x') + "\r\n\r\nlast";  // no line end at the end
    LoadWords(text);
    ASSERT_EQ(Dictionary.count, 3);
    EXPECT_STREQ(WordAt(0), "last");
    EXPECT_EQ(strlen(WordAt(1)), 45u);
    EXPECT_EQ(strlen(WordAt(2)), 255u);
    // Lines ended CR CR LF (a file copied twice in text mode) keep no CR in the word.
    LoadWords("bry\r\r\r\napple\r\r\n");
    ASSERT_EQ(Dictionary.count, 2);
    EXPECT_STREQ(WordAt(0), "apple");
    EXPECT_STREQ(WordAt(1), "bry");
    ClearDictionary();
}

TEST(WordList, InflateFileNeedsTheWholeStream)
{
    std::string plain;
    for (int i = 0; i < 20000; ++i)
        plain += "word" + std::to_string(i * 7919 % 100003) + "\r\n";
    uLongf size = compressBound(plain.size());
    std::vector<unsigned char> packed(size);
    ASSERT_EQ(compress2(packed.data(), &size, (const Bytef *)plain.data(), plain.size(), 9), Z_OK);
    packed.resize(size);
    auto inflate = [](const std::vector<unsigned char> &stream) {
        FILE *input = tmpfile(), *output = tmpfile();
        fwrite(stream.data(), 1, stream.size(), input);
        rewind(input);
        long total = InflateFile(input, output);
        EXPECT_TRUE(!total || ftell(output) == total);
        fclose(input);
        fclose(output);
        return total;
    };
    EXPECT_EQ(inflate(packed), (long)plain.size());
    EXPECT_EQ(inflate(std::vector<unsigned char>(packed.begin(), packed.end() - 10)), 0);
    std::vector<unsigned char> corrupt = packed;
    for (size_t i = 100; i < 140; ++i)
        corrupt[i] ^= 0x5A;
    EXPECT_EQ(inflate(corrupt), 0);
    EXPECT_EQ(inflate({}), 0);
    EXPECT_EQ(inflate({'n', 'o', 't', ' ', 'z'}), 0);
}

TEST(WordScanner, WordCharactersAndNormalizing)
{
    std::string word;
    for (int c = 0; c < 256; ++c)
        if (IsWordCharacter((unsigned char)c))
            word += (char)c;
    std::string letters;
    for (char c = 'A'; c <= 'Z'; ++c)
        letters += c;
    EXPECT_EQ(word, "'*" + letters + "`" + std::string("abcdefghijklmnopqrstuvwxyz"));

    struct { const char *in, *out; } cases[] = {
        {"'hello'", "hello"}, {"It's", "It"},  {"JAMES'S", "JAMES"}, {"'s", "'s"},
        {"a's", "a"},         {"'", ""},       {"''", ""},           {"'dogs's'", "dogs"},
        {"'tis", "'tis"},     {"dogs'", "dogs'"},
    };
    for (auto &c : cases) {
        char buffer[32];
        strcpy(buffer, c.in);
        NormalizeWord(buffer);
        EXPECT_STREQ(buffer, c.out) << c.in;
    }
}

TEST(WordScanner, ExceptionsForTimesAndOrdinals)
{
    struct { const char *word; const char *before; bool accepted; } cases[] = {
        {"am", "10", true},  {"PM", "3", true},   {"am", "x", false}, {"s", "(", true},
        {"s", "x", false},   {"st", "21", true},  {"nd", "2", true},  {"rd", "33", true},
        {"th", "4", true},   {"th", "0", true},   {"th", "11", true}, {"th", "12", true},
        {"th", "13", true},  {"th", "1", false},  {"th", "2", false}, {"th", "23", false},
        {"th", "", false},   {"nd", "3", false},  {"ST", "1", true},  {"pmx", "1", false},
    };
    for (auto &c : cases) {
        size_t n = strlen(c.before);
        int prev1 = n >= 1 ? (unsigned char)c.before[n - 1] : -1;
        int prev2 = n >= 2 ? (unsigned char)c.before[n - 2] : -1;
        EXPECT_EQ(IsExceptionWord(c.word, prev1, prev2), c.accepted) << c.before << c.word;
    }
}

TEST(WordScanner, FindsTheFirstWordNotAccepted)
{
    LoadWords(std::string(SmallList) + "Kinko's\r\n");
    struct { const char *text; int from, start, end; const char *word; } cases[] = {
        {"It's 10am on the 11th (s).", 0, -1, -1, ""},
        {"this 'hello' 'helo' is", 0, 13, 19, "helo"},
        {"this is 2th", 0, 9, 11, "th"},
        {"on ' on", 0, 3, 4, ""},
        {"thsi", 2, 2, 4, "si"},  // the scan starts where it is told
        {"recieve\nthe", 0, 0, 7, "recieve"},
        {"*zzq", 0, 0, 4, "*zzq"},
        {"caf\xe9 on", 0, 0, 3, "caf"},  // bytes above 0x7F end a word
        {"'Kinko's' on", 0, -1, -1, ""},  // a possessive the list holds as such
        {"on Kinko", 0, 3, 8, "Kinko"},
    };
    for (auto &c : cases) {
        Misspelling found;
        int result = FindMisspelling(c.text, (int)strlen(c.text), c.from, &found);
        EXPECT_EQ(result, c.start >= 0) << c.text;
        if (result && c.start >= 0) {
            EXPECT_EQ(found.start, c.start) << c.text;
            EXPECT_EQ(found.end, c.end) << c.text;
            EXPECT_STREQ(found.word, c.word) << c.text;
        }
    }
    // 100 letters: the first 80 are one word, the other 20 the next.
    std::string longWord(100, 'q');
    Misspelling found;
    ASSERT_TRUE(FindMisspelling(longWord.c_str(), 100, 0, &found));
    EXPECT_EQ(found.end - found.start, 80);
    ASSERT_TRUE(FindMisspelling(longWord.c_str(), 100, found.end, &found));
    EXPECT_EQ(found.start, 80);
    EXPECT_EQ(found.end, 100);
    ClearDictionary();

    char text[] = "one\r\ntwo\r\r\n";
    EXPECT_EQ(RemoveCarriageReturns(text), 8);
    EXPECT_STREQ(text, "one\ntwo\n");
}

TEST(Suggestions, NearestWordFirstInTheMisspellingsCapitals)
{
    LoadWords(std::string(SmallList) + "These\r\nthesis\r\nrecede\r\nwire\r\nweird\r\nBarb\r\nbars\r\n");
    struct { const char *word; const char *first; } cases[] = {
        {"recieve", "receive"},  // a swap beats the change to "relieve"
        {"Thsi", "This"},        // and beats "Thai"; the capital is kept
        {"THSI", "THIS"},
        {"teh", "the"},
        {"tset", "test"},        // a swap before the dropped letter of "set"
        {"wierd", "weird"},
        {"hte", "the"},
        {"thsi", "this"},
        {"barx", "bars"},        // small letters: the capitalised "Barb" comes second
        {"Barx", "Barb"},        // a capital first: alphabetical
    };
    for (auto &c : cases) {
        int nearest[10];
        int count = FindNearestWords(c.word, nearest, 10);
        ASSERT_GT(count, 0) << c.word;
        char shown[96];
        MatchCapitals(c.word, WordAt(nearest[0]), shown, sizeof shown);
        EXPECT_STREQ(shown, c.first) << c.word;
    }
    int nearest[10];
    EXPECT_EQ(FindNearestWords("xqzjvw", nearest, 10), 0);
    EXPECT_EQ(FindNearestWords("", nearest, 10), 0);
    EXPECT_EQ(FindNearestWords("recieve", nearest, 1), 1);

    EXPECT_STREQ(WordAt(FindSuggestionStem("recieve")), "rec");
    EXPECT_STREQ(WordAt(FindSuggestionStem("Thesaurus")), "the");
    EXPECT_EQ(FindSuggestionStem("*zzq"), -1);
    EXPECT_EQ(FindSuggestionStem(""), -1);
    ClearDictionary();

    char out[8];
    MatchCapitals("I", "it", out, sizeof out);  // one capital letter is no shouting
    EXPECT_STREQ(out, "It");
    MatchCapitals("lndon", "London", out, sizeof out);
    EXPECT_STREQ(out, "London");
    MatchCapitals("TEH", "the", out, 3);
    EXPECT_STREQ(out, "TH");
}
