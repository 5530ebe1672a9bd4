#pragma once

#include "printing/job/job_options.h"
#include "printing/printer_catalog.h"

// The printers of the Windows spooler: the local ones and the connections to shared
// printers, in the spooler's order; the default from the user's profile; the property
// pages of the system's printer user interface. Names are UTF-8, read and handed on
// through the wide calls, so every name is the printer's own.
class WinPrinterCatalog final : public PrinterCatalog {
public:
    // Takes the time-outs every platform's catalog is made with; winspool's calls take
    // none.
    explicit WinPrinterCatalog(Timeouts = {}) {}

    std::vector<std::string> PrinterNames() override;

    // The name part of the profile's "device" value ("name,driver,port"). The profile
    // rule gives it upper-cased already, which the printer list's case-blind comparison
    // takes as it is.
    std::string DefaultPrinterName() override;

    // Starts rundll32 with the printer user interface's property pages for the name, and
    // does not wait for it.
    bool OpenPrinterSettings(const std::string& printerName) override;
};
