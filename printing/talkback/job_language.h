#pragma once

#include "printing/address/printer_language.h"

#include <string_view>

// The language a job is written in, as far as its first bytes show it to the inspection's
// sniffer, when it is one its printer can be asked in (PJL, ZPL, ESC/POS). Anything else is
// Automatic: not known, so not asked.
namespace JobLanguage {

PrinterLanguage Of(std::string_view firstBytes);

} // namespace JobLanguage
