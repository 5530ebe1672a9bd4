#include "core/code_table.h"
#include "core/notation.h"

#include <gtest/gtest.h>
#include <random>

namespace {

using modTools::BytesToNotation;
using modTools::NotationToBytes;

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int value : values) {
        bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

// The conversions as the code table defines them: one search-and-replace pass per token
// row, in row order. The fast conversions must agree with these on every input.
std::string ReferenceBytesToNotation(std::string text) {
    for (int row = 0; row < CodeTable::RowCount(); ++row) {
        if (CodeTable::Cell(row, 1).size() > 1) {
            ReplaceAll(text, CodeTable::Cell(row, 0), CodeTable::Cell(row, 1));
        }
    }
    return text;
}

std::string ReferenceNotationToBytes(std::string text) {
    for (int row = 0; row < CodeTable::RowCount(); ++row) {
        if (CodeTable::Cell(row, 1).size() > 1) {
            ReplaceAll(text, CodeTable::Cell(row, 1), CodeTable::Cell(row, 0));
        }
    }
    return text;
}

class NotationTest : public testing::Test {
protected:
    void SetUp() override { modAsciiStuff::BuildCodeTable(); }
};

TEST_F(NotationTest, EmptyStaysEmpty) {
    EXPECT_EQ(BytesToNotation(""), "");
    EXPECT_EQ(NotationToBytes(""), "");
}

TEST_F(NotationTest, TokensBecomeTheirBytes) {
    EXPECT_EQ(NotationToBytes("<ESC>E"), Bytes({27, 'E'}));
    EXPECT_EQ(NotationToBytes("<SOH>"), Bytes({1}));
    EXPECT_EQ(NotationToBytes("<SO>"), Bytes({14}));
    EXPECT_EQ(NotationToBytes("<SO>H>"), Bytes({14, 'H', '>'}));
    EXPECT_EQ(NotationToBytes("<DEL>"), Bytes({127}));
    EXPECT_EQ(NotationToBytes("<NPC>"), Bytes({255}));
    EXPECT_EQ(NotationToBytes("<<ESC>>"), Bytes({'<', 27, '>'}));
    EXPECT_EQ(NotationToBytes("<CR><LF><FF>"), Bytes({13, 10, 12}));
    EXPECT_EQ(NotationToBytes("<ESC>&l1O<ESC>(s12H"), "\x1B&l1O\x1B(s12H");
}

TEST_F(NotationTest, TextThatOnlyLooksLikeATokenPassesUnchanged) {
    for (const char* text : {"<esc>", "<ESC", "ESC>", "<HT>", "<SP>", "<", ">", "<>", "<<>>",
                             "<ESCA>", "< ESC>", "<E SC>", "a < b > c"}) {
        EXPECT_EQ(NotationToBytes(text), text) << text;
    }
}

TEST_F(NotationTest, RawBytesInNotationPassAsThemselves) {
    EXPECT_EQ(NotationToBytes(Bytes({27, 127, 255, 0, ' '})), Bytes({27, 127, 255, 0, ' '}));
}

TEST_F(NotationTest, BytesBecomeTokens) {
    EXPECT_EQ(BytesToNotation(Bytes({13, 10})), "<CR><LF>");
    EXPECT_EQ(BytesToNotation(Bytes({9})), "<TAB>");
    EXPECT_EQ(BytesToNotation(Bytes({127})), "<DEL>");
    EXPECT_EQ(BytesToNotation(Bytes({255})), "<NPC>");
    EXPECT_EQ(BytesToNotation(Bytes({0})), "<NUL>");
    EXPECT_EQ(BytesToNotation(Bytes({128})), Bytes({128}));
    EXPECT_EQ(BytesToNotation(" "), " ");
    EXPECT_EQ(BytesToNotation("<CR>"), "<CR>");
}

TEST_F(NotationTest, EveryByteMapsAsTheTableSays) {
    for (int value = 0; value < 256; ++value) {
        const std::string byte(1, static_cast<char>(value));
        EXPECT_EQ(BytesToNotation(byte), ReferenceBytesToNotation(byte)) << value;
        EXPECT_EQ(NotationToBytes(BytesToNotation(byte)), byte) << value;
    }
}

// Random strings over an alphabet rich in brackets and token letters, so that near-tokens,
// nested brackets and real tokens all turn up often.
std::string RandomNotationLike(std::mt19937& random) {
    static const std::vector<std::string> pieces = {
        "<",     ">",    "E",     "S",     "C",     "O",     "H",
        "<ESC>", "<SO>", "<SOH>", "<DEL>", "<NPC>", "<esc>", "<CR>",
        "<LF",   "NUL>", " ",     "\x1B",  "\x7F",  "\xFF",  std::string(1, '\0'),
        "\x80",  "A"};
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::uniform_int_distribution<int> length(0, 40);
    std::string text;
    for (int i = length(random); i > 0; --i) {
        text += pieces[pick(random)];
    }
    return text;
}

std::string RandomBytes(std::mt19937& random) {
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 200);
    std::string bytes;
    for (int i = length(random); i > 0; --i) {
        bytes.push_back(static_cast<char>(byte(random)));
    }
    return bytes;
}

TEST_F(NotationTest, OnePassAgreesWithTheRowByRowDefinition) {
    std::mt19937 random(20261207);
    for (int round = 0; round < 20000; ++round) {
        const std::string notation = RandomNotationLike(random);
        ASSERT_EQ(NotationToBytes(notation), ReferenceNotationToBytes(notation)) << notation;
        ASSERT_EQ(BytesToNotation(notation), ReferenceBytesToNotation(notation)) << notation;
        const std::string bytes = RandomBytes(random);
        ASSERT_EQ(BytesToNotation(bytes), ReferenceBytesToNotation(bytes));
        ASSERT_EQ(NotationToBytes(bytes), ReferenceNotationToBytes(bytes));
    }
}

bool HoldsTokenText(const std::string& bytes) {
    for (int row = 0; row < CodeTable::RowCount(); ++row) {
        const std::string& token = CodeTable::Cell(row, 1);
        if (token.size() > 1 && bytes.find(token) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST_F(NotationTest, BytesSurviveTheRoundTripUnlessTheyHoldTokenText) {
    std::mt19937 random(7);
    int checked = 0;
    for (int round = 0; round < 20000; ++round) {
        const std::string bytes = round % 2 ? RandomBytes(random) : RandomNotationLike(random);
        if (HoldsTokenText(bytes)) {
            EXPECT_NE(NotationToBytes(BytesToNotation(bytes)), bytes);
            continue;
        }
        ++checked;
        ASSERT_EQ(NotationToBytes(BytesToNotation(bytes)), bytes);
    }
    EXPECT_GT(checked, 1000);
}

} // namespace
