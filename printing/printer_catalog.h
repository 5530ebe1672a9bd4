#pragma once

#include <stdexcept>
#include <string>
#include <vector>

// The platform's installed printers, as the printer list sees them.
class PrinterCatalog {
public:
    virtual ~PrinterCatalog() = default;

    // The printers' names in the platform's own order; each is the name a job is sent to.
    // Throws PrinterCatalogError when the platform can't say.
    virtual std::vector<std::string> PrinterNames() = 0;

    // The default printer's name as the platform stores it (not yet upper-cased), or an
    // empty string when there is none. Throws PrinterCatalogError when it can't be read.
    virtual std::string DefaultPrinterName() = 0;

    // Starts the platform's settings for the named printer without waiting for them;
    // false when nothing could be started. The name is passed as one argument, never
    // through a shell.
    virtual bool OpenPrinterSettings(const std::string& printerName) = 0;
};

class PrinterCatalogError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
