#pragma once

#include "printing/job/job_monitor.h"
#include "printing/job/job_options.h"

#include <memory>

class IppStatusClient;

// Follows jobs in the CUPS scheduler's queues: each call asks the scheduler anew on a
// connection of its own (Get-Job-Attributes, Get-Printer-Attributes, Get-Jobs), bounded
// by the scheduler time-out.
class CupsJobMonitor final : public JobMonitor {
public:
    explicit CupsJobMonitor(Timeouts timeouts);

    // True for the scheduler's queues.
    bool CanFollow(const PrinterTarget& printer) const override;
    JobStatus Job(const PrinterTarget& printer, int jobId) override;
    PrinterStatus Printer(const PrinterTarget& printer) override;

private:
    std::unique_ptr<IppStatusClient> Connect(const PrinterTarget& printer) const;

    Timeouts timeouts_;
};
