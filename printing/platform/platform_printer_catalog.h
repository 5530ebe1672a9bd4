#pragma once

#include "printing/direct/direct_options.h"
#include "printing/printer_catalog.h"

#include <memory>

// The installed printers as this platform keeps them: CUPS's queues, or on Windows the
// spooler's printers and the profile's default. The options' scheduler time-out bounds
// every question to CUPS; they are read at each look-up and must outlive the catalog.
std::unique_ptr<PrinterCatalog> MakePlatformPrinterCatalog(const DirectOptions& options);
