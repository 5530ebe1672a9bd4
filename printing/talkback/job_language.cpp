#include "printing/talkback/job_language.h"

#include "core/inspect/language_sniffer.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

// The languages a printer can be asked in, by the language its job is written in.
constexpr std::array<std::pair<CommandLanguage, PrinterLanguage>, 3> kAskable{{
    {CommandLanguage::Pjl, PrinterLanguage::Pjl},
    {CommandLanguage::Zpl, PrinterLanguage::Zpl},
    {CommandLanguage::EscPos, PrinterLanguage::EscPos},
}};

} // namespace

PrinterLanguage JobLanguage::Of(std::string_view firstBytes) {
    const std::string_view opening = firstBytes.substr(0, LanguageSniffer::WindowSize);
    const CommandLanguage language =
        LanguageSniffer::Sniff(opening, opening.size() == firstBytes.size());
    const auto row = std::find_if(kAskable.begin(), kAskable.end(),
                                  [language](const auto& pair) { return pair.first == language; });
    return row == kAskable.end() ? PrinterLanguage::Automatic : row->second;
}
