#pragma once

#include "printing/direct/direct_options.h"
#include "printing/job_monitor.h"

#include <memory>

// The job monitor for every printer name the platform spooler takes: a queue name goes
// to the system's spooler (CUPS, or winspool on Windows), an ipp:// or ipps:// address
// to the printer itself; socket, LPD, file: and serial: printers say nothing after the
// bytes are sent and can't be followed. The options must outlive the monitor.
std::unique_ptr<JobMonitor> MakePlatformJobMonitor(const DirectOptions& options);
