#pragma once

#include "printing/job/job_monitor.h"
#include "printing/job/job_options.h"

#include <memory>

class IppStatusClient;

// Follows jobs on IPP printers reached by their address (ipp://, ipps://): each call asks
// the printer itself, on a connection of its own, for the job the printer numbered (the
// number IppBackend::JobId() keeps) and for its own state. The connect and stall time-outs
// bound it.
class IppJobMonitor final : public JobMonitor {
public:
    explicit IppJobMonitor(Timeouts timeouts);

    // True for printers reached by an ipp:// or ipps:// address.
    bool CanFollow(const PrinterTarget& printer) const override;
    JobStatus Job(const PrinterTarget& printer, int jobId) override;
    PrinterStatus Printer(const PrinterTarget& printer) override;

private:
    std::unique_ptr<IppStatusClient> Connect(const PrinterTarget& printer) const;

    Timeouts timeouts_;
};
