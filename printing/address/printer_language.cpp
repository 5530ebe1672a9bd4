#include "printing/address/printer_language.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

constexpr std::array<PrinterLanguageName, 5> kNames{{
    {PrinterLanguage::Automatic, "auto", "Automatic"},
    {PrinterLanguage::EscPos, "escpos", "ESC/POS"},
    {PrinterLanguage::Zpl, "zpl", "ZPL"},
    {PrinterLanguage::Pjl, "pjl", "PJL"},
    {PrinterLanguage::None, "none", "None"},
}};

const PrinterLanguageName& RowOf(PrinterLanguage language) {
    return *std::find_if(kNames.begin(), kNames.end(), [language](const PrinterLanguageName& row) {
        return row.language == language;
    });
}

bool SameNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

std::optional<PrinterLanguage> PrinterLanguageName::Find(std::string_view name) {
    for (const PrinterLanguageName& row : kNames) {
        if (SameNoCase(row.name, name)) {
            return row.language;
        }
    }
    return std::nullopt;
}

std::string_view PrinterLanguageName::NameOf(PrinterLanguage language) {
    return RowOf(language).name;
}

std::string_view PrinterLanguageName::TitleOf(PrinterLanguage language) {
    return RowOf(language).title;
}

std::string_view PrinterLanguageName::Choices() {
    return "auto, escpos, zpl, pjl or none";
}
