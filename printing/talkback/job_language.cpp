#include "printing/talkback/job_language.h"

#include <array>

namespace {

struct Opening {
    std::string_view bytes;
    PrinterLanguage language;
};

// Compared after leading blanks and line ends, which ZPL files often start with.
constexpr std::array<Opening, 8> kOpenings{{
    {"\x1b%-12345X", PrinterLanguage::Pjl},
    {"@PJL", PrinterLanguage::Pjl},
    {"^XA", PrinterLanguage::Zpl},
    {"^xa", PrinterLanguage::Zpl},
    {"~DG", PrinterLanguage::Zpl},
    {"~JA", PrinterLanguage::Zpl},
    {"~SD", PrinterLanguage::Zpl},
    {"\x1b@", PrinterLanguage::EscPos},
}};

} // namespace

PrinterLanguage JobLanguage::Of(std::string_view firstBytes) {
    const std::size_t start = firstBytes.find_first_not_of(" \t\r\n");
    const std::string_view bytes =
        start == std::string_view::npos ? std::string_view() : firstBytes.substr(start);
    for (const Opening& opening : kOpenings) {
        if (bytes.substr(0, opening.bytes.size()) == opening.bytes) {
            return opening.language;
        }
    }
    return PrinterLanguage::Automatic;
}
