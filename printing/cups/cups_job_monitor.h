#pragma once

#include "printing/direct/direct_options.h"
#include "printing/job_monitor.h"

#include <memory>

class IppStatusClient;

// Follows jobs in the CUPS scheduler's queues: each call asks the scheduler anew on a
// connection of its own (Get-Job-Attributes, Get-Printer-Attributes, Get-Jobs), bounded
// by the scheduler time-out of the options, which are read at each call and must outlive
// the monitor.
class CupsJobMonitor final : public JobMonitor {
public:
    explicit CupsJobMonitor(const DirectOptions& options);

    bool CanFollow(const std::string& printer) const override;
    JobStatus Job(const std::string& printer, int jobId) override;
    PrinterStatus Printer(const std::string& printer) override;

private:
    std::unique_ptr<IppStatusClient> Connect(const std::string& printer) const;

    const DirectOptions& options_;
};
