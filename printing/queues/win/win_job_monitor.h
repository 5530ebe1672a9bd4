#pragma once

#include "printing/job/job_monitor.h"
#include "printing/job/job_options.h"

// Follows jobs in the Windows spooler's queues: GetJobW (JOB_INFO_1: no device mode is
// needed) for a job's status bits and status text, GetPrinterW (PRINTER_INFO_2) for the printer's,
// EnumJobsW for the jobs waiting. The spooler deletes a job once it has printed (unless the queue
// is told to keep printed jobs), so a job it no longer knows has printed: Completed.
class WinJobMonitor final : public JobMonitor {
public:
    // Takes the time-outs every platform's monitor is made with; winspool's calls take
    // none.
    explicit WinJobMonitor(Timeouts = {}) {}

    bool CanFollow(const PrinterTarget& printer) const override;
    JobStatus Job(const PrinterTarget& printer, int jobId) override;
    PrinterStatus Printer(const PrinterTarget& printer) override;
};
