#pragma once

#include "printing/address/printer_language.h"
#include "printing/talkback/status_report.h"

#include <string>
#include <vector>

// What a direct printer said when it was asked how it stands, gathered from every source
// that could be asked without printing anything: its own language, a USB printer's port,
// an SNMP agent.
struct PrinterAnswer {
    // Whether any source answered; `state` holds what they said together.
    bool told = false;
    StatusReport state;
    // The language the printer was asked in; Automatic when it was asked in none.
    PrinterLanguage language = PrinterLanguage::Automatic;
    // The sources that answered, in words ("ZPL", "the USB port", "SNMP").
    std::vector<std::string> sources;
    // What the printer says it is (a device ID's maker and model, an SNMP description).
    std::string description;
    // Why a source said nothing, and how to let it: one sentence each.
    std::vector<std::string> notes;
};
