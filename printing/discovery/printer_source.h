#pragma once

#include "printing/discovery/discovered_printer.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

// One place printers are looked for: DNS-SD, the USB printer ports, the serial ports, the
// spooler's queues, an SNMP network. A source hands each printer over as it finds it.
class PrinterSource {
public:
    using Found = std::function<void(DiscoveredPrinter)>;

    virtual ~PrinterSource() = default;

    // What the source is called in a note ("DNS-SD").
    virtual std::string Name() const = 0;

    // Looks until the deadline, or until `stop` (which may be none) is set, and no longer:
    // each printer goes to `found` as it is found, on the searching thread. Returns why the
    // source could not be searched ("no Avahi daemon answers on the system bus"), empty when
    // it was.
    virtual std::string Search(std::chrono::steady_clock::time_point deadline,
                               const std::atomic<bool>* stop, const Found& found) = 0;

    // What the last search has to say besides its printers, one line each, worded to follow
    // the source's name ("1024 services were listed; 37 more were not looked at"); none by
    // default.
    virtual std::vector<std::string> Notes() const { return {}; }
};
