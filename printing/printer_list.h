#pragma once

#include <optional>
#include <string>
#include <vector>

class ListTarget;
class PrinterCatalog;

namespace modTools {

// The entry shown when no printer is installed. It is never selected.
inline constexpr const char* NoPrinterEntry = "(No Printer Installed)";

// The default printer's name, upper-cased, or an empty string when there is none.
// Throws PrinterCatalogError when the platform can't tell.
std::string GetDefaultPrinterName(PrinterCatalog& catalog);

// The entry the default printer stands at: the last name that equals the default without
// regard to case. Nothing when there is no default or it is not among the names.
std::optional<std::size_t> DefaultPrinterIndex(const std::vector<std::string>& names,
                                               const std::string& defaultName);

// Fills the list with the printers in the platform's order and selects the default one
// (compared without regard to case; the later of two equal names wins), else the first.
// With no printers, only the placeholder entry, unselected. False when anything failed
// on the way: the entries added so far stay and nothing is selected.
bool FillPrinterList(PrinterCatalog& catalog, ListTarget& target);

} // namespace modTools
