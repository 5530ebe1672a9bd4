#pragma once

#include <array>
#include <string>
#include <vector>

// The text of the ASCII table window: one half of the byte values (0 to 127 or 128 to
// 255) as 34 lines of bytes, ruled with the box-drawing bytes of the OEM character set.
// Reads the notation column of CodeTable, which must have been built.
namespace modAsciiStuff {

// The bytes that rule the table: vertical line, horizontal line and cross in code page 437.
inline constexpr char RuleVertical = '\xB3';
inline constexpr char RuleHorizontal = '\xC4';
inline constexpr char RuleCross = '\xC5';

// A cell is 17 bytes: "ddd &HH ooo " and the notation padded with spaces to five bytes.
inline constexpr std::size_t CellLength = 17;
inline constexpr int CellsPerHalf = 128;
inline constexpr int RowsPerHalf = 32;

using AsciiHalf = std::array<std::string, CellsPerHalf>;

// Cell i holds byte value i of the lower half, or 128 + i of the upper half.
AsciiHalf BuildAsciiCells(bool UpperHalf);

// "INT HEX OCT CHR" four times, the columns separated by the vertical rule: 73 bytes.
std::string AsciiHeaderLine();

// Horizontal rule crossing the column rules, running 18 bytes past the rows: 93 bytes.
std::string AsciiRuleLine();

// Row r (0 to 31) shows the cells r, r + 32, r + 64 and r + 96 of the half: 75 bytes.
std::string AsciiRowLine(const AsciiHalf& cells, int row);

// The whole table for one half: header, rule and the 32 row lines.
std::vector<std::string> BuildAsciiLines(bool UpperHalf);

} // namespace modAsciiStuff
