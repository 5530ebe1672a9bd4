#pragma once

#include "printing/job/job_options.h"

#include <memory>

class JobMonitor;
class PrinterBackend;
class PrinterCatalog;
class PrinterTarget;

// Everything the program reaches printers through: the backend that serves one job to a
// target, the monitor that follows jobs afterwards, and the list of the spooler's queues.
// Each is made with the options of its own use, as values.
class PrinterAccess {
public:
    virtual ~PrinterAccess() = default;

    // The backend for one job to the target. Throws JobFailure when this platform can't
    // reach such a printer.
    virtual std::unique_ptr<PrinterBackend> Backend(const PrinterTarget& target,
                                                    const JobOptions& options) = 0;
    virtual std::unique_ptr<JobMonitor> Monitor(const Timeouts& timeouts) = 0;
    virtual std::unique_ptr<PrinterCatalog> Catalog(const Timeouts& timeouts) = 0;
};
