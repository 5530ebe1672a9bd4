#include "printing/backends/device/port_report.h"

// A printer on Windows is asked through its queue, not through a port of its own.
PortReport ReadPortReport(const std::string&) {
    PortReport report;
    report.Note(PortReport::Problem::NotAvailable,
                "printer ports can't be asked on this system; ask the printer's queue");
    return report;
}
