#pragma once

#include "printing/printer_catalog.h"

#include <memory>

// The installed printers as this platform keeps them: CUPS's queues, or on Windows the
// spooler's printers and the profile's default.
std::unique_ptr<PrinterCatalog> MakePlatformPrinterCatalog();
