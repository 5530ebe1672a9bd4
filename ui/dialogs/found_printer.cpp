#include "ui/dialogs/found_printer.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace {

// The languages a printer is asked about its state in, found by the names finders give them.
constexpr std::array<PrinterLanguage, 3> AskedIn{PrinterLanguage::EscPos, PrinterLanguage::Zpl,
                                                 PrinterLanguage::Pjl};

bool SameNoCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

bool Names(const DiscoveredPrinter& printer, PrinterLanguage language) {
    return std::any_of(printer.languages.begin(), printer.languages.end(),
                       [language](const std::string& name) {
                           return SameNoCase(name, PrinterLanguageName::TitleOf(language)) ||
                                  SameNoCase(name, PrinterLanguageName::NameOf(language));
                       });
}

PrinterLanguage OwnLanguage(const DiscoveredPrinter& printer) {
    PrinterLanguage found = PrinterLanguage::Automatic;
    for (const PrinterLanguage language : AskedIn) {
        if (Names(printer, language)) {
            if (found != PrinterLanguage::Automatic) {
                return PrinterLanguage::Automatic;
            }
            found = language;
        }
    }
    return found;
}

// Only the printers whose replies come back the way their jobs go are asked in a language.
bool TakesLanguage(PrinterAddress::Scheme scheme) {
    using Scheme = PrinterAddress::Scheme;
    return scheme == Scheme::Socket || scheme == Scheme::File || scheme == Scheme::Serial;
}

PrinterTarget Direct(const PrinterAddress& address, const DiscoveredPrinter& printer) {
    if (address.language() != PrinterLanguage::Automatic || !TakesLanguage(address.scheme())) {
        return PrinterTarget::Direct(address);
    }
    return PrinterTarget::Direct(address.WithLanguage(OwnLanguage(printer)));
}

} // namespace

namespace FoundPrinter {

Choice TargetOf(const DiscoveredPrinter& printer) {
    std::vector<std::string> names{printer.address};
    names.insert(names.end(), printer.otherAddresses.begin(), printer.otherAddresses.end());
    Choice choice;
    for (const std::string& name : names) {
        if (!PrinterAddress::IsAddress(name)) {
            continue;
        }
        ParsedPrinterAddress parsed = PrinterAddress::Parse(name);
        if (parsed.address) {
            choice.target = Direct(*parsed.address, printer);
            return choice;
        }
        choice.fault = choice.fault.empty() ? parsed.error : choice.fault;
    }
    const auto queue = std::find_if(names.begin(), names.end(), [](const std::string& name) {
        return !name.empty() && !PrinterAddress::IsAddress(name);
    });
    if (queue != names.end()) {
        choice.target = PrinterTarget::Queue(*queue);
    } else if (choice.fault.empty()) {
        choice.fault = "The printer was found without an address.";
    }
    return choice;
}

} // namespace FoundPrinter
