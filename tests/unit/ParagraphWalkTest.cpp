// The file's lines in the control's text: paragraph ends counted, paragraph starts found.
#include <gtest/gtest.h>

#include <string>

#include "editor/ParagraphWalk.h"

TEST(ParagraphWalk, CountsEndsAndFindsStarts)
{
    static const struct {
        const char *text;
        size_t ends;
        std::vector<long> starts;  // of paragraphs 0, 1, ... then -1 past the last
    } cases[] = {
        {"", 0, {0, -1}},
        {"one", 0, {0, -1}},
        {"one\r", 1, {0, 4, -1}},
        {"one\rtwo\rthree", 2, {0, 4, 8, -1}},
        {"\r\r\r", 3, {0, 1, 2, 3, -1}},
        {"a\nb\rc", 1, {0, 4, -1}},  // only CR ends a paragraph in the control
    };
    for (const auto &c : cases) {
        std::string text = c.text;
        EXPECT_EQ(CountParagraphEnds(text.data(), text.size()), c.ends) << c.text;
        std::u16string wide(text.begin(), text.end());
        for (size_t i = 0; i < c.starts.size(); ++i)
            EXPECT_EQ(ParagraphStart(wide.data(), wide.size(), (long)i), c.starts[i])
                << c.text << " paragraph " << i;
        EXPECT_EQ(ParagraphStart(wide.data(), wide.size(), -1), -1);
    }
    // A length shorter than the buffer counts only what it covers.
    EXPECT_EQ(CountParagraphEnds("a\rb\r", 2), 1u);
}
