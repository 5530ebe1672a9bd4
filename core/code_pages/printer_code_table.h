#pragma once

#include <string>
#include <string_view>

struct PrinterTableRow;
struct NationalSetRow;

// What a printer prints for the bytes of a text: the code table an ESC/POS ESC t or a ZPL ^CI
// selected, with the twelve characters a national set (ESC R, ^CI 0 to 12) puts in place of
// ASCII ones. Kept apart from CodePage, whose every character has one byte: a national set
// repeats characters of the upper half (§ at 0x40 and at 0xF5 of 850), and UTF-8 takes
// several bytes to a character. The tables are data (printer_code_table.cpp).
class PrinterCodeTable {
public:
    // ESC/POS's default: PC437 with the USA set.
    PrinterCodeTable();

    // The table ESC t n selects; the national set stays.
    PrinterCodeTable WithEscPosTable(unsigned number) const;
    // The national set ESC R n selects; the table stays.
    PrinterCodeTable WithEscPosNationalSet(unsigned number) const;
    // The set ^CI n selects, national characters included.
    static PrinterCodeTable Zpl(unsigned number);

    // "PC858 (Euro)", "UTF-8", "code page 99 (not known)".
    std::string Description() const;
    // "PC858", "UTF-8", "code page 99": for lists.
    std::string Name() const;
    // "Germany", "99 (not known)".
    std::string NationalDescription() const;
    // Whether the national set differs from ASCII (ESC R other than USA).
    bool National() const;

    // The characters the bytes print as UTF-8, in quotes: at most ShownCharacters of them,
    // then "…", which also follows when `cut` says the bytes were only the start. Control
    // bytes show as tokens (<CR>); a byte whose character is not known, or no UTF-8 under
    // UTF-8, as \xNN. `invalid` is set when a UTF-8 table met bytes that are no UTF-8.
    std::string Text(std::string_view bytes, bool cut, bool* invalid = nullptr) const;

    static constexpr std::size_t ShownCharacters = 80;

private:
    const PrinterTableRow* table_ = nullptr;
    const NationalSetRow* national_ = nullptr;
    // The number asked for when no row has it.
    unsigned unknownTable_ = 0;
    unsigned unknownNational_ = 0;
};
