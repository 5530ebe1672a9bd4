#pragma once

#include <array>
#include <string>

// The process-wide table of the 256 byte values with their notation, addressed
// (row, column): column 0 holds one byte, column 1 the text the code box writes for it.
// Rows 0 to 31 hold the control bytes with their tokens, row 32 holds DEL (127) with
// "<DEL>" (the space has no row), rows 33 to 254 hold their own byte in both columns and
// row 255 holds 255 with "<NPC>". The code picker and the ASCII table list it row by row.
class CodeTable {
public:
    static constexpr int Rows = 256;
    static constexpr int Columns = 2;

    // Fills the table anew; any earlier content is discarded.
    static void Build();

    static bool IsBuilt();

    // The number of rows: 256 once built, 0 before.
    static int RowCount();

    // The text in (row, column). Throws std::out_of_range outside the table and
    // std::logic_error when the table has not been built yet.
    static const std::string& Cell(int row, int column);

private:
    using Grid = std::array<std::array<std::string, Columns>, Rows>;
    static Grid& Storage();
    static bool& BuiltFlag();
};

namespace modAsciiStuff {

// Builds CodeTable; the main window calls it first thing when it loads.
void BuildCodeTable();

} // namespace modAsciiStuff
