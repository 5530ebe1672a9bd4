#pragma once

#include "printing/job_monitor.h"

// Follows jobs in the Windows spooler's queues: GetJobW (JOB_INFO_1: no device mode is
// needed) for a job's status bits and status text, GetPrinterW (PRINTER_INFO_2) for the printer's,
// EnumJobsW for the jobs waiting. The spooler deletes a job once it has printed (unless the queue
// is told to keep printed jobs), so a job it no longer knows has printed: Completed.
class WinJobMonitor final : public JobMonitor {
public:
    bool CanFollow(const std::string& printer) const override;
    JobStatus Job(const std::string& printer, int jobId) override;
    PrinterStatus Printer(const std::string& printer) override;
};
