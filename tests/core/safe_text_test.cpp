#include "core/safe_text.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

TEST(SafeTextTest, ControlsAndWhatIsNoUtf8ComeOutAsEscapesPrintableUtf8Unchanged) {
    const struct {
        std::string text;
        std::string shown;
    } cases[] = {
        // Printable text, of one to four bytes a character, and backslashes, as they are.
        {"Report 7 C:\\x1b", "Report 7 C:\\x1b"},
        {"caf\xc3\xa9 \xe2\x82\xac \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x96\xa8",
         "caf\xc3\xa9 \xe2\x82\xac \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x96\xa8"},
        // C0, DEL, and C1 raw or as UTF-8.
        {"a\nb\0c\td"s, "a\\x0ab\\x00c\\x09d"},
        {"\x1b]0;owned\x07\x1b[2J\x7f", "\\x1b]0;owned\\x07\\x1b[2J\\x7f"},
        {"c1 \xc2\x9b"
         "31m \x9b"
         "2J \xc2\x85\xc2\xa0",
         "c1 \\xc2\\x9b31m \\x9b2J \\xc2\\x85\xc2\xa0"},
        // No UTF-8: overlong forms, surrogates, past U+10FFFF, stray and cut-short bytes.
        {"\xe0\x82\x9b \xc0\xaf \xf0\x82\x82\xac",
         "\\xe0\\x82\\x9b \\xc0\\xaf \\xf0\\x82\\x82\\xac"},
        {"\xed\xa0\x80 \xf4\x90\x80\x80 \xf8\x88\x80\x80\x80",
         "\\xed\\xa0\\x80 \\xf4\\x90\\x80\\x80 \\xf8\\x88\\x80\\x80\\x80"},
        {"\xff \x80 \xe2\x82 \xf0\x9f\x96", "\\xff \\x80 \\xe2\\x82 \\xf0\\x9f\\x96"},
        {"\xc3\xe2\x82\xac", "\\xc3\xe2\x82\xac"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SafeText(c.text), c.shown) << c.text;
        // What comes out is printable UTF-8 already.
        EXPECT_EQ(SafeText(c.shown), c.shown) << c.text;
    }
}

TEST(SafeTextTest, NamesAreCutAtTheirLengthMessagesAreNot) {
    EXPECT_EQ(SafeText(std::string(300, 'x')).size(), 255u);
    EXPECT_EQ(SafeText(std::string(300, 'x'), WholeText).size(), 300u);
    // A character the cut splits is no UTF-8 any more.
    EXPECT_EQ(SafeText("ab\xc3\xa9", 3), "ab\\xc3");
}

} // namespace
