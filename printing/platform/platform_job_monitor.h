#pragma once

#include "printing/job/job_monitor.h"
#include "printing/job/job_options.h"

#include <memory>

// The job monitor for every printer target: a queue goes to the system's spooler (CUPS, or
// winspool on Windows), an address to the monitor its scheme's row names; a printer that
// says nothing after its bytes (socket, LPD, file:, serial:) can't be followed.
std::unique_ptr<JobMonitor> MakePlatformJobMonitor(const Timeouts& timeouts);
