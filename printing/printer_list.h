#pragma once

#include <string>

class ListTarget;
class PrinterCatalog;

namespace modTools {

// The entry shown when no printer is installed. It is never selected.
inline constexpr const char* NoPrinterEntry = "(No Printer Installed)";

// The default printer's name, upper-cased, or an empty string when there is none.
// Throws PrinterCatalogError when the platform can't tell.
std::string GetDefaultPrinterName(PrinterCatalog& catalog);

// Fills the list with the printers in the platform's order and selects the default one
// (compared without regard to case; the later of two equal names wins), else the first.
// With no printers, only the placeholder entry, unselected. False when anything failed
// on the way: the entries added so far stay and nothing is selected.
bool FillPrinterList(PrinterCatalog& catalog, ListTarget& target);

} // namespace modTools
