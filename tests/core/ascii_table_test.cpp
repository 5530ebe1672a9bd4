#include "core/ascii_table.h"
#include "core/code_table.h"

#include <gtest/gtest.h>

namespace {

using namespace modAsciiStuff;

const std::string B(1, RuleVertical);

std::string Spaces(std::size_t count) {
    return std::string(count, ' ');
}

class AsciiTableTest : public testing::Test {
protected:
    void SetUp() override { BuildCodeTable(); }
};

TEST_F(AsciiTableTest, CellsOfTheLowerHalf) {
    const AsciiHalf lower = BuildAsciiCells(false);
    EXPECT_EQ(lower[0], "000 &00 000 <NUL>");
    EXPECT_EQ(lower[8], "008 &08 010 <BS> ");
    EXPECT_EQ(lower[9], "009 &09 011 <TAB>");
    EXPECT_EQ(lower[10], "010 &0A 012 <LF> ");
    EXPECT_EQ(lower[27], "027 &1B 033 <ESC>");
    // Row 32 of the code table holds DEL with its token, so the space's cell shows it.
    EXPECT_EQ(lower[32], "032 &20 040 <DEL>");
    EXPECT_EQ(lower[65], "065 &41 101 A" + Spaces(4));
    EXPECT_EQ(lower[127], "127 &7F 177 \x7F" + Spaces(4));
    for (const std::string& cell : lower) {
        EXPECT_EQ(cell.size(), CellLength) << cell;
    }
}

TEST_F(AsciiTableTest, CellsOfTheUpperHalf) {
    const AsciiHalf upper = BuildAsciiCells(true);
    EXPECT_EQ(upper[0], "128 &80 200 \x80" + Spaces(4));
    EXPECT_EQ(upper[51], "179 &B3 263 \xB3" + Spaces(4));
    EXPECT_EQ(upper[126], "254 &FE 376 \xFE" + Spaces(4));
    EXPECT_EQ(upper[127], "255 &FF 377 <NPC>");
    for (const std::string& cell : upper) {
        EXPECT_EQ(cell.size(), CellLength) << cell;
    }
}

TEST_F(AsciiTableTest, HeaderAndRule) {
    EXPECT_EQ(AsciiHeaderLine(), "INT HEX OCT CHR   " + B + " INT HEX OCT CHR  " + B +
                                     " INT HEX OCT CHR  " + B + " INT HEX OCT CHR");
    const std::string h18(18, RuleHorizontal);
    EXPECT_EQ(AsciiRuleLine(), h18 + RuleCross + h18 + RuleCross + h18 + RuleCross + h18 + h18);
}

TEST_F(AsciiTableTest, RowTwentySevenOfTheLowerHalf) {
    const std::vector<std::string> lines = BuildAsciiLines(false);
    EXPECT_EQ(lines[2 + 27], "027 &1B 033 <ESC> " + B + " 059 &3B 073 ;" + Spaces(4) + B +
                                 " 091 &5B 133 [" + Spaces(4) + B + " 123 &7B 173 {" + Spaces(4));
}

TEST_F(AsciiTableTest, RowsReadDownwardsColumnByColumn) {
    const std::vector<std::string> lower = BuildAsciiLines(false);
    EXPECT_EQ(lower[2 + 0].substr(0, 17), "000 &00 000 <NUL>");
    EXPECT_EQ(lower[2 + 0].substr(20, 17), "032 &20 040 <DEL>");
    EXPECT_EQ(lower[2 + 10].substr(0, 17), "010 &0A 012 <LF> ");
    EXPECT_EQ(lower[2 + 31].substr(58, 17), "127 &7F 177 \x7F" + Spaces(4));

    const std::vector<std::string> upper = BuildAsciiLines(true);
    EXPECT_EQ(upper[2 + 0].substr(0, 17), "128 &80 200 \x80" + Spaces(4));
    EXPECT_EQ(upper[2 + 31].substr(58, 17), "255 &FF 377 <NPC>");
    EXPECT_EQ(upper[2 + 19].substr(39, 17), "211 &D3 323 \xD3" + Spaces(4));
}

TEST_F(AsciiTableTest, LineLengthsAndRulesLineUp) {
    for (bool upperHalf : {false, true}) {
        const std::vector<std::string> lines = BuildAsciiLines(upperHalf);
        ASSERT_EQ(lines.size(), 34u);
        EXPECT_EQ(lines[0].size(), 73u);
        EXPECT_EQ(lines[1].size(), 93u);
        for (std::size_t row = 2; row < lines.size(); ++row) {
            EXPECT_EQ(lines[row].size(), 75u) << row;
        }
        for (std::size_t offset : {18u, 37u, 56u}) {
            EXPECT_EQ(lines[1][offset], RuleCross) << offset;
            for (std::size_t line = 0; line < lines.size(); ++line) {
                if (line != 1) {
                    EXPECT_EQ(lines[line][offset], RuleVertical) << line << " @" << offset;
                }
            }
        }
        // No other ruling byte in the lower half's lines, where no cell shows one.
        if (!upperHalf) {
            for (const std::string& line : lines) {
                std::size_t verticals = 0;
                for (char c : line) {
                    verticals += c == RuleVertical;
                }
                EXPECT_EQ(verticals, line == lines[1] ? 0u : 3u) << line;
            }
        }
    }
}

} // namespace
