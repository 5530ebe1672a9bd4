#include "printing/platform/platform_printer_catalog.h"

#ifdef _WIN32
#include "printing/win/win_printer_catalog.h"
#else
#include "printing/cups/cups_printer_catalog.h"
#endif

std::unique_ptr<PrinterCatalog> MakePlatformPrinterCatalog() {
#ifdef _WIN32
    return std::make_unique<WinPrinterCatalog>();
#else
    return std::make_unique<CupsPrinterCatalog>();
#endif
}
