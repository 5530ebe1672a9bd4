#include "core/code_pages/code_page.h"

#include "core/code_pages/code_page_tables.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

using HighHalf = std::array<char16_t, 128>;

// Windows-1252 positions 0x80 to 0x9F; the five it leaves unassigned keep their C1 code
// point. Every other byte is the Latin-1 character of the same number.
constexpr std::array<char16_t, 32> Windows1252HighControlRange{
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178',
};

// Code page 437, 0x80 to 0xFF: accented letters, box drawing, Greek letters and symbols.
constexpr HighHalf Oem437High{
    u'\u00C7', u'\u00FC', u'\u00E9', u'\u00E2', u'\u00E4', u'\u00E0', u'\u00E5', u'\u00E7', // 0x80
    u'\u00EA', u'\u00EB', u'\u00E8', u'\u00EF', u'\u00EE', u'\u00EC', u'\u00C4', u'\u00C5',
    u'\u00C9', u'\u00E6', u'\u00C6', u'\u00F4', u'\u00F6', u'\u00F2', u'\u00FB', u'\u00F9', // 0x90
    u'\u00FF', u'\u00D6', u'\u00DC', u'\u00A2', u'\u00A3', u'\u00A5', u'\u20A7', u'\u0192',
    u'\u00E1', u'\u00ED', u'\u00F3', u'\u00FA', u'\u00F1', u'\u00D1', u'\u00AA', u'\u00BA', // 0xA0
    u'\u00BF', u'\u2310', u'\u00AC', u'\u00BD', u'\u00BC', u'\u00A1', u'\u00AB', u'\u00BB',
    u'\u2591', u'\u2592', u'\u2593', u'\u2502', u'\u2524', u'\u2561', u'\u2562', u'\u2556', // 0xB0
    u'\u2555', u'\u2563', u'\u2551', u'\u2557', u'\u255D', u'\u255C', u'\u255B', u'\u2510',
    u'\u2514', u'\u2534', u'\u252C', u'\u251C', u'\u2500', u'\u253C', u'\u255E', u'\u255F', // 0xC0
    u'\u255A', u'\u2554', u'\u2569', u'\u2566', u'\u2560', u'\u2550', u'\u256C', u'\u2567',
    u'\u2568', u'\u2564', u'\u2565', u'\u2559', u'\u2558', u'\u2552', u'\u2553', u'\u256B', // 0xD0
    u'\u256A', u'\u2518', u'\u250C', u'\u2588', u'\u2584', u'\u258C', u'\u2590', u'\u2580',
    u'\u03B1', u'\u00DF', u'\u0393', u'\u03C0', u'\u03A3', u'\u03C3', u'\u00B5', u'\u03C4', // 0xE0
    u'\u03A6', u'\u0398', u'\u03A9', u'\u03B4', u'\u221E', u'\u03C6', u'\u03B5', u'\u2229',
    u'\u2261', u'\u00B1', u'\u2265', u'\u2264', u'\u2320', u'\u2321', u'\u00F7', u'\u2248', // 0xF0
    u'\u00B0', u'\u2219', u'\u00B7', u'\u221A', u'\u207F', u'\u00B2', u'\u25A0', u'\u00A0',
};

// Code page 850: 437 with most Greek letters, symbols and double-line boxes traded for
// the accented capitals and the symbols of Latin-1.
constexpr HighHalf Oem850High{
    u'\u00C7', u'\u00FC', u'\u00E9', u'\u00E2', u'\u00E4', u'\u00E0', u'\u00E5', u'\u00E7', // 0x80
    u'\u00EA', u'\u00EB', u'\u00E8', u'\u00EF', u'\u00EE', u'\u00EC', u'\u00C4', u'\u00C5',
    u'\u00C9', u'\u00E6', u'\u00C6', u'\u00F4', u'\u00F6', u'\u00F2', u'\u00FB', u'\u00F9', // 0x90
    u'\u00FF', u'\u00D6', u'\u00DC', u'\u00F8', u'\u00A3', u'\u00D8', u'\u00D7', u'\u0192',
    u'\u00E1', u'\u00ED', u'\u00F3', u'\u00FA', u'\u00F1', u'\u00D1', u'\u00AA', u'\u00BA', // 0xA0
    u'\u00BF', u'\u00AE', u'\u00AC', u'\u00BD', u'\u00BC', u'\u00A1', u'\u00AB', u'\u00BB',
    u'\u2591', u'\u2592', u'\u2593', u'\u2502', u'\u2524', u'\u00C1', u'\u00C2', u'\u00C0', // 0xB0
    u'\u00A9', u'\u2563', u'\u2551', u'\u2557', u'\u255D', u'\u00A2', u'\u00A5', u'\u2510',
    u'\u2514', u'\u2534', u'\u252C', u'\u251C', u'\u2500', u'\u253C', u'\u00E3', u'\u00C3', // 0xC0
    u'\u255A', u'\u2554', u'\u2569', u'\u2566', u'\u2560', u'\u2550', u'\u256C', u'\u00A4',
    u'\u00F0', u'\u00D0', u'\u00CA', u'\u00CB', u'\u00C8', u'\u0131', u'\u00CD', u'\u00CE', // 0xD0
    u'\u00CF', u'\u2518', u'\u250C', u'\u2588', u'\u2584', u'\u00A6', u'\u00CC', u'\u2580',
    u'\u00D3', u'\u00DF', u'\u00D4', u'\u00D2', u'\u00F5', u'\u00D5', u'\u00B5', u'\u00FE', // 0xE0
    u'\u00DE', u'\u00DA', u'\u00DB', u'\u00D9', u'\u00FD', u'\u00DD', u'\u00AF', u'\u00B4',
    u'\u00AD', u'\u00B1', u'\u2017', u'\u00BE', u'\u00B6', u'\u00A7', u'\u00F7', u'\u00B8', // 0xF0
    u'\u00B0', u'\u00A8', u'\u00B7', u'\u00B9', u'\u00B3', u'\u00B2', u'\u25A0', u'\u00A0',
};

// Every byte as the Unicode character of the same number: ASCII and its controls below
// 128, Latin-1 above.
constexpr CodePage::Characters SameNumbers() {
    CodePage::Characters table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte) {
        table[byte] = static_cast<char16_t>(byte);
    }
    return table;
}

template <std::size_t Size>
constexpr CodePage::Characters Overlay(CodePage::Characters table, std::size_t from,
                                       const std::array<char16_t, Size>& characters) {
    for (std::size_t i = 0; i < Size; ++i) {
        table[from + i] = characters[i];
    }
    return table;
}

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

CodePage::CodePage(std::string_view name, const Characters& characters)
    : name_(name), characters_(characters) {
    for (std::size_t byte = 0; byte < characters.size(); ++byte) {
        bytesByCharacter_[byte] = {characters[byte], static_cast<unsigned char>(byte)};
    }
    std::sort(bytesByCharacter_.begin(), bytesByCharacter_.end());
}

const CodePage& CodePage::Windows1252() {
    static const CodePage page("cp1252", Overlay(SameNumbers(), 0x80, Windows1252HighControlRange));
    return page;
}

const CodePage& CodePage::Oem437() {
    static const CodePage page("cp437", Overlay(SameNumbers(), 0x80, Oem437High));
    return page;
}

const CodePage& CodePage::Oem850() {
    static const CodePage page("cp850", Overlay(SameNumbers(), 0x80, Oem850High));
    return page;
}

const CodePage* CodePage::Find(std::string_view name) {
    struct Alias {
        std::string_view name;
        const CodePage& (*page)();
    };
    static constexpr std::array<Alias, 6> Aliases{{
        {"cp1252", &Windows1252},
        {"windows-1252", &Windows1252},
        {"cp437", &Oem437},
        {"ibm437", &Oem437},
        {"cp850", &Oem850},
        {"ibm850", &Oem850},
    }};
    for (const Alias& alias : Aliases) {
        if (SameName(alias.name, name)) {
            return &alias.page();
        }
    }
    return nullptr;
}

const CodePage* CodePage::Known(std::string_view name) {
    if (const CodePage* page = Find(name)) {
        return page;
    }
    static const std::vector<CodePage> pages = [] {
        std::vector<CodePage> list;
        for (const CodePageTables::Table& table : CodePageTables::All()) {
            list.emplace_back(table.name, Overlay(SameNumbers(), 0x80, *table.high));
        }
        return list;
    }();
    for (const CodePage& page : pages) {
        if (page.Name() == name) {
            return &page;
        }
    }
    return nullptr;
}

std::optional<unsigned char> CodePage::ByteOf(char32_t character) const {
    if (character > 0xFFFF) {
        return std::nullopt;
    }
    const auto unit = static_cast<char16_t>(character);
    const auto found = std::lower_bound(bytesByCharacter_.begin(), bytesByCharacter_.end(), unit,
                                        [](const std::pair<char16_t, unsigned char>& entry,
                                           char16_t key) { return entry.first < key; });
    if (found == bytesByCharacter_.end() || found->first != unit) {
        return std::nullopt;
    }
    return found->second;
}
