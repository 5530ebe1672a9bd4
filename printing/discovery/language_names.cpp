#include "printing/discovery/language_names.h"

#include <array>

namespace {

using Language = DeviceId::Language;

struct LanguageName {
    Language language;
    const char* name;
    PrinterLanguage askedIn; // Automatic: a printer is not asked in it
};
constexpr std::array kLanguageNames = {
    LanguageName{Language::EscPos, "ESC/POS", PrinterLanguage::EscPos},
    LanguageName{Language::Zpl, "ZPL", PrinterLanguage::Zpl},
    LanguageName{Language::Epl, "EPL", PrinterLanguage::Automatic},
    LanguageName{Language::Pjl, "PJL", PrinterLanguage::Pjl},
    LanguageName{Language::Pcl, "PCL", PrinterLanguage::Automatic},
    LanguageName{Language::PostScript, "PostScript", PrinterLanguage::Automatic},
};

const LanguageName& RowOf(Language language) {
    for (const LanguageName& row : kLanguageNames) {
        if (row.language == language) {
            return row;
        }
    }
    return kLanguageNames.front();
}

} // namespace

namespace LanguageNames {

std::vector<std::string> Of(const DeviceId& id) {
    std::vector<std::string> names;
    for (const Language language : id.languages) {
        names.emplace_back(RowOf(language).name);
    }
    return names.empty() ? id.commandSets : names;
}

PrinterLanguage Askable(const DeviceId& id) {
    for (const Language language : id.languages) {
        if (const PrinterLanguage asked = RowOf(language).askedIn;
            asked != PrinterLanguage::Automatic) {
            return asked;
        }
    }
    return PrinterLanguage::Automatic;
}

} // namespace LanguageNames
