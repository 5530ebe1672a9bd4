#pragma once

#include <array>
#include <span>
#include <string_view>

// The upper halves (bytes 0x80 to 0xFF) of the code pages printers select by number, beyond
// the three the windows use; the lower half of each is ASCII with its controls. Unassigned
// positions between 0x80 and 0x9F keep the C1 code point of the same number, as in
// Windows-1252, so that every byte still has a character of its own.
namespace CodePageTables {

using HighHalf = std::array<char16_t, 128>;

struct Table {
    // The short name, as CodePage::Name() gives it: "cp858", "iso-8859-15".
    std::string_view name;
    const HighHalf* high;
};

std::span<const Table> All();

} // namespace CodePageTables
