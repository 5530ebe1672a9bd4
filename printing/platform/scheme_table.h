#pragma once

#include "printing/address/printer_address.h"
#include "printing/job/job_options.h"

#include <memory>

class JobMonitor;
class PrinterBackend;

// One row per way of reaching a printer by its address: the backend that serves its jobs
// and the monitor that follows them afterwards. A new way of reaching printers is one
// backend and one row here.
struct SchemeRoute {
    PrinterAddress::Scheme scheme;
    // Nothing when this platform does not reach such printers directly; `refusal` says
    // what to do instead.
    std::unique_ptr<PrinterBackend> (*backend)(const PrinterAddress&, const JobOptions&);
    // Nothing when the printer says nothing once it has taken the bytes.
    std::unique_ptr<JobMonitor> (*monitor)(const Timeouts&);
    const char* refusal;
    // Whether what the printer says comes back on the job's own connection, so that it can be
    // asked in its language around the job.
    bool talks;
};

// The row of the scheme; every scheme has one.
const SchemeRoute& RouteFor(PrinterAddress::Scheme scheme);
