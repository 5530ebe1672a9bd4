#pragma once

#include "printing/discovery/discovered_printer.h"
#include "printing/job/printer_target.h"

#include <optional>
#include <string>

// What the window makes of a printer the finder found.
namespace FoundPrinter {

// The printer a job goes to, or why none of its addresses is one.
struct Choice {
    std::optional<PrinterTarget> target;
    std::string fault;
};

// The first of its addresses that is a well-formed one, else the first queue name among
// them. A printer that talks back is asked in the language its address names, else in the
// one language of its own it names that the program asks in (a printer naming PCL and PJL is
// asked in PJL; one naming two such languages is left to tell by itself).
Choice TargetOf(const DiscoveredPrinter& printer);

} // namespace FoundPrinter
