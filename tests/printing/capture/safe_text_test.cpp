#include "printing/capture/safe_text.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

TEST(SafeTextTest, ControlCharactersAndNonUtf8AreWrittenAsEscapes) {
    const struct {
        std::string name;
        std::string shown;
    } cases[] = {
        {"Report 7", "Report 7"},
        {"caf\xc3\xa9 \xe2\x9c\x93", "caf\xc3\xa9 \xe2\x9c\x93"},
        {"a\nb\0c"s, "a\\x0ab\\x00c"},
        {"\x1b[2J\x7f", "\\x1b[2J\\x7f"},
        {"c1 \xc2\x9b"
         "31m",
         "c1 \\xc2\\x9b31m"},
        {"raw \x9b \xff \xc3", "raw \\x9b \\xff \\xc3"},
        {"back\\slash", "back\\x5cslash"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SafeText(c.name), c.shown) << c.name;
    }
    EXPECT_EQ(SafeText(std::string(300, 'x')).size(), 255u);
}

} // namespace
