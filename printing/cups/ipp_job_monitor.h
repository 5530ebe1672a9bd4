#pragma once

#include "printing/direct/direct_options.h"
#include "printing/job_monitor.h"

#include <memory>

class IppStatusClient;

// Follows jobs on IPP printers reached by their address (ipp://, ipps://): each call asks
// the printer itself, on a connection of its own, for the job the printer numbered (the
// number IppSpooler::JobId() keeps) and for its own state. The connect and stall time-outs
// of the options bound it; the options are read at each call and must outlive the monitor.
class IppJobMonitor final : public JobMonitor {
public:
    explicit IppJobMonitor(const DirectOptions& options);

    // True for well-formed ipp:// and ipps:// addresses.
    bool CanFollow(const std::string& printer) const override;
    JobStatus Job(const std::string& printer, int jobId) override;
    PrinterStatus Printer(const std::string& printer) override;

private:
    std::unique_ptr<IppStatusClient> Connect(const std::string& printer) const;

    const DirectOptions& options_;
};
