#include "core/ascii_table.h"

#include "core/code_table.h"

#include <cstdio>

namespace {

// "ddd &HH ooo " for byte value n: decimal, hexadecimal behind "&", octal.
std::string NumberFields(int n) {
    char fields[16];
    std::snprintf(fields, sizeof fields, "%03d &%02X %03o ", n, static_cast<unsigned>(n),
                  static_cast<unsigned>(n));
    return fields;
}

std::string Cell(int n) {
    std::string cell = NumberFields(n) + CodeTable::Cell(n, 1) + "     ";
    cell.resize(modAsciiStuff::CellLength);
    return cell;
}

} // namespace

namespace modAsciiStuff {

AsciiHalf BuildAsciiCells(bool UpperHalf) {
    const int base = UpperHalf ? 128 : 0;
    AsciiHalf cells;
    for (int i = 0; i < CellsPerHalf; ++i) {
        cells[static_cast<std::size_t>(i)] = Cell(base + i);
    }
    return cells;
}

std::string AsciiHeaderLine() {
    const std::string segment = " INT HEX OCT CHR";
    return "INT HEX OCT CHR   " + std::string(1, RuleVertical) + segment + "  " + RuleVertical +
           segment + "  " + RuleVertical + segment;
}

std::string AsciiRuleLine() {
    const std::string run(18, RuleHorizontal);
    return run + RuleCross + run + RuleCross + run + RuleCross + run + run;
}

std::string AsciiRowLine(const AsciiHalf& cells, int row) {
    const auto cell = [&cells, row](int column) -> const std::string& {
        return cells.at(static_cast<std::size_t>(row + column * RowsPerHalf));
    };
    std::string line = cell(0) + ' ' + RuleVertical + ' ' + cell(1);
    line += std::string(1, RuleVertical) + ' ' + cell(2);
    line += std::string(1, RuleVertical) + ' ' + cell(3);
    return line;
}

std::vector<std::string> BuildAsciiLines(bool UpperHalf) {
    const AsciiHalf cells = BuildAsciiCells(UpperHalf);
    std::vector<std::string> lines;
    lines.reserve(2 + RowsPerHalf);
    lines.push_back(AsciiHeaderLine());
    lines.push_back(AsciiRuleLine());
    for (int row = 0; row < RowsPerHalf; ++row) {
        lines.push_back(AsciiRowLine(cells, row));
    }
    return lines;
}

} // namespace modAsciiStuff
