#pragma once

#include "printing/address/printer_language.h"
#include "printing/talkback/device_id.h"

#include <string>
#include <vector>

// The languages a device ID names, as a list of printers shows them.
namespace LanguageNames {

// By their usual names ("ESC/POS", "ZPL", "PCL", "PostScript"), in the printer's order;
// where it names none we know, its command sets as it writes them.
std::vector<std::string> Of(const DeviceId& id);

// The first of its languages a printer is asked in; Automatic when it names none.
PrinterLanguage Askable(const DeviceId& id);

} // namespace LanguageNames
