#include "core/code_table.h"

#include <gtest/gtest.h>

namespace {

class CodeTableTest : public testing::Test {
protected:
    void SetUp() override { modAsciiStuff::BuildCodeTable(); }
};

TEST_F(CodeTableTest, HasTheTabledRows) {
    ASSERT_EQ(CodeTable::RowCount(), 256);
    EXPECT_EQ(CodeTable::Cell(0, 1), "<NUL>");
    EXPECT_EQ(CodeTable::Cell(9, 1), "<TAB>");
    EXPECT_EQ(CodeTable::Cell(13, 1), "<CR>");
    EXPECT_EQ(CodeTable::Cell(27, 1), "<ESC>");
    EXPECT_EQ(CodeTable::Cell(31, 1), "<US>");
    EXPECT_EQ(CodeTable::Cell(255, 0), std::string(1, '\xFF'));
    EXPECT_EQ(CodeTable::Cell(255, 1), "<NPC>");
    for (int row = 0; row < 32; ++row) {
        EXPECT_EQ(CodeTable::Cell(row, 0), std::string(1, static_cast<char>(row))) << row;
    }
    for (int row = 33; row < 255; ++row) {
        const std::string byte(1, static_cast<char>(row));
        EXPECT_EQ(CodeTable::Cell(row, 0), byte) << row;
        EXPECT_EQ(CodeTable::Cell(row, 1), byte) << row;
    }
}

TEST_F(CodeTableTest, RowThirtyTwoIsDelAndNoRowHoldsTheSpace) {
    EXPECT_EQ(CodeTable::Cell(32, 0), "\x7F");
    EXPECT_EQ(CodeTable::Cell(32, 1), "<DEL>");
    EXPECT_EQ(CodeTable::Cell(127, 0), "\x7F");
    EXPECT_EQ(CodeTable::Cell(127, 1), "\x7F");
    for (int row = 0; row < CodeTable::RowCount(); ++row) {
        EXPECT_NE(CodeTable::Cell(row, 0), " ") << row;
    }
}

TEST_F(CodeTableTest, ExactlyThirtyFourTokenRows) {
    int tokenRows = 0;
    for (int row = 0; row < CodeTable::RowCount(); ++row) {
        const std::string& notation = CodeTable::Cell(row, 1);
        if (notation.size() > 1) {
            ++tokenRows;
            EXPECT_TRUE(notation.size() == 4 || notation.size() == 5) << notation;
            EXPECT_EQ(notation.front(), '<');
            EXPECT_EQ(notation.back(), '>');
        }
    }
    EXPECT_EQ(tokenRows, 34);
}

TEST_F(CodeTableTest, CellsOutsideTheTableAreRefused) {
    EXPECT_THROW(CodeTable::Cell(256, 0), std::out_of_range);
    EXPECT_THROW(CodeTable::Cell(-1, 0), std::out_of_range);
    EXPECT_THROW(CodeTable::Cell(0, 2), std::out_of_range);
}

} // namespace
