#pragma once

#include "printing/address/printer_language.h"
#include "printing/talkback/status_report.h"

#include <string>
#include <string_view>

// A printer's state in plain words, as the command line and the windows say it: "ready",
// or its conditions ("paper out, cover open") followed by the printer's own display text.
// A label printer's cover is its head.
namespace StatusWords {

std::string_view Word(StatusReport::Condition condition, PrinterLanguage language);
std::string Describe(const StatusReport& state, PrinterLanguage language);

} // namespace StatusWords
