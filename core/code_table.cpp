#include "core/code_table.h"

#include "core/control_tokens.h"

#include <stdexcept>

CodeTable::Grid& CodeTable::Storage() {
    static Grid grid;
    return grid;
}

bool& CodeTable::BuiltFlag() {
    static bool built = false;
    return built;
}

void CodeTable::Build() {
    Grid& grid = Storage();
    for (int row = 0; row < Rows; ++row) {
        const auto byte = static_cast<char>(row);
        grid[row] = {std::string(1, byte), std::string(1, byte)};
    }
    // Rows 0 to 32 take the first 33 tokens in order (row 32 is DEL), row 255 the last.
    for (int row = 0; row <= 32; ++row) {
        const ControlTokens::Token& token = ControlTokens::All[static_cast<std::size_t>(row)];
        grid[row] = {std::string(1, static_cast<char>(token.byte)), std::string(token.text)};
    }
    const ControlTokens::Token& last = ControlTokens::All.back();
    grid[255] = {std::string(1, static_cast<char>(last.byte)), std::string(last.text)};
    BuiltFlag() = true;
}

bool CodeTable::IsBuilt() {
    return BuiltFlag();
}

int CodeTable::RowCount() {
    return IsBuilt() ? Rows : 0;
}

const std::string& CodeTable::Cell(int row, int column) {
    if (!IsBuilt()) {
        throw std::logic_error("CodeTable read before it was built");
    }
    if (row < 0 || row >= Rows || column < 0 || column >= Columns) {
        throw std::out_of_range("CodeTable cell (" + std::to_string(row) + ", " +
                                std::to_string(column) + ") does not exist");
    }
    return Storage()[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

namespace modAsciiStuff {

void BuildCodeTable() {
    CodeTable::Build();
}

} // namespace modAsciiStuff
