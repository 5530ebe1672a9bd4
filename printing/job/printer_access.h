#pragma once

#include "printing/job/job_options.h"

#include <atomic>
#include <memory>

class JobMonitor;
class PrinterBackend;
class PrinterCatalog;
class PrinterFinder;
class PrinterTarget;
struct DiscoveryOptions;
struct PrinterAnswer;

// Everything the program reaches printers through: the backend that serves one job to a
// target, the monitor that follows jobs afterwards, the list of the spooler's queues, and
// the search for printers. Each is made with the options of its own use, as values.
class PrinterAccess {
public:
    virtual ~PrinterAccess() = default;

    // The backend for one job to the target. Throws JobFailure when this platform can't
    // reach such a printer.
    virtual std::unique_ptr<PrinterBackend> Backend(const PrinterTarget& target,
                                                    const JobOptions& options) = 0;
    // How a printer reached by its address stands, asked without printing anything: in its
    // own language where it is known (never in a guessed one), through a USB printer's port,
    // through SNMP. Waits no longer than the options' time-outs, and ends its wait on the
    // printer soon after `stop` (which may be none) is set; says why where nothing told.
    virtual PrinterAnswer Ask(const PrinterTarget& target, const JobOptions& options,
                              const std::atomic<bool>* stop) = 0;
    virtual std::unique_ptr<JobMonitor> Monitor(const Timeouts& timeouts) = 0;
    virtual std::unique_ptr<PrinterCatalog> Catalog(const Timeouts& timeouts) = 0;
    // A search for printers in every place this platform has (DNS-SD, USB printer ports,
    // serial ports, the spooler's queues) and, where the options name a network, over SNMP.
    virtual std::unique_ptr<PrinterFinder> Finder(const DiscoveryOptions& options) = 0;
};
