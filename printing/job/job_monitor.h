#pragma once

#include "printing/job/job_status.h"
#include "printing/job/printer_target.h"

#include <stdexcept>
#include <string>

// Follows jobs after the spooler took them, and tells how a printer stands. Each call asks
// the spooler anew and returns within the spooler's time-out; calls may come from a thread
// other than the one that sent the job, but not from two threads at once.
class JobMonitor {
public:
    virtual ~JobMonitor() = default;

    // Whether jobs sent to this printer can be followed at all. A socket or LPD printer
    // says nothing after its connection closed: its job is done when its bytes are.
    virtual bool CanFollow(const PrinterTarget& printer) const = 0;

    // Where the job the spooler numbered jobId on the printer stands now. Throws
    // JobMonitorError when the spooler can't be asked or does not answer in time.
    virtual JobStatus Job(const PrinterTarget& printer, int jobId) = 0;

    // The printer's state, its reasons and the jobs waiting at it. Throws JobMonitorError.
    virtual PrinterStatus Printer(const PrinterTarget& printer) = 0;
};

class JobMonitorError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
