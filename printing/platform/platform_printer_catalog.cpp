#include "printing/platform/platform_printer_catalog.h"

#ifdef _WIN32
#include "printing/win/win_printer_catalog.h"
#else
#include "printing/cups/cups_printer_catalog.h"
#endif

std::unique_ptr<PrinterCatalog> MakePlatformPrinterCatalog(const DirectOptions& options) {
#ifdef _WIN32
    static_cast<void>(options);
    return std::make_unique<WinPrinterCatalog>();
#else
    return std::make_unique<CupsPrinterCatalog>(options);
#endif
}
