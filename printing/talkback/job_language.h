#pragma once

#include "printing/address/printer_language.h"

#include <string_view>

// The language a job is written in, as far as its first bytes show it: a PJL job begins
// with the universal exit or "@PJL", a ZPL one with a format or a tilde command, an ESC/POS
// one with ESC @ (initialize). Anything else is Automatic: not known, so not asked.
namespace JobLanguage {

PrinterLanguage Of(std::string_view firstBytes);

} // namespace JobLanguage
