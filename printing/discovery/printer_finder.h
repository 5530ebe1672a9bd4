#pragma once

#include "printing/discovery/discovered_printer.h"
#include "printing/discovery/printer_source.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Looks for printers in every source at once, each on a thread of its own, and merges what
// they find into one row per printer: the same printer seen through several sources (a
// DNS-SD raw service, its IPP service, the spooler's queue for it) is one row with all its
// addresses, the raw one first (see PrinterRows). Find returns by the time-out, or soon
// after the stop, plus a short grace for the sources' last exchanges: a source that goes
// on longer is not waited for, and what it finds after that is dropped.
class PrinterFinder {
public:
    // Called with the rows so far each time one was added or changed, on a searching thread.
    using Changed = std::function<void(const std::vector<DiscoveredPrinter>& rows)>;

    explicit PrinterFinder(std::vector<std::unique_ptr<PrinterSource>> sources);

    // Searches every source until the time-out or the stop; returns the rows. `notes` gets
    // one line for each source that could not be searched, and why.
    std::vector<DiscoveredPrinter> Find(std::chrono::milliseconds timeout,
                                        const std::atomic<bool>* stop, const Changed& changed,
                                        std::vector<std::string>& notes);

private:
    struct Search;

    // Shared with the searching threads: a source that overran the time-out is not waited
    // for, and lives on until it ends.
    std::vector<std::shared_ptr<PrinterSource>> sources_;
};
