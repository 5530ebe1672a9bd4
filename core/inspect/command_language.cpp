#include "core/inspect/command_language.h"

#include <array>
#include <cctype>

namespace {

struct LanguageRow {
    CommandLanguage language;
    std::string_view name;
};

constexpr std::array<LanguageRow, 14> Names{{
    {CommandLanguage::Unknown, "no language recognised"},
    {CommandLanguage::Pjl, "PJL"},
    {CommandLanguage::Pcl5, "PCL 5"},
    {CommandLanguage::PclXl, "PCL XL"},
    {CommandLanguage::PostScript, "PostScript"},
    {CommandLanguage::Pdf, "PDF"},
    {CommandLanguage::Zpl, "ZPL"},
    {CommandLanguage::Epl, "EPL"},
    {CommandLanguage::Tspl, "TSPL"},
    {CommandLanguage::Cpcl, "CPCL"},
    {CommandLanguage::EscPos, "ESC/POS"},
    {CommandLanguage::PwgRaster, "PWG raster"},
    {CommandLanguage::Unirast, "UNIRAST"},
    {CommandLanguage::Text, "plain text"},
}};

struct PjlNameRow {
    std::string_view pjlName;
    CommandLanguage language;
};

// The personality names printers accept after ENTER LANGUAGE=.
constexpr std::array<PjlNameRow, 9> PjlNames{{
    {"PCL", CommandLanguage::Pcl5},
    {"PCLXL", CommandLanguage::PclXl},
    {"POSTSCRIPT", CommandLanguage::PostScript},
    {"PDF", CommandLanguage::Pdf},
    {"ZPL", CommandLanguage::Zpl},
    {"ZPL2", CommandLanguage::Zpl},
    {"EPL", CommandLanguage::Epl},
    {"EPL2", CommandLanguage::Epl},
    {"ESCP", CommandLanguage::EscPos},
}};

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string_view LanguageName(CommandLanguage language) {
    for (const LanguageRow& row : Names) {
        if (row.language == language) {
            return row.name;
        }
    }
    return Names[0].name;
}

CommandLanguage LanguageOfPjlName(std::string_view name) {
    for (const PjlNameRow& row : PjlNames) {
        if (SameLetters(row.pjlName, name)) {
            return row.language;
        }
    }
    return CommandLanguage::Unknown;
}
