#include "printing/queues/cups/cups_job_monitor.h"

#include "printing/ipp/ipp_status_client.h"
#include "printing/queues/cups/cups_scheduler.h"

#include <cups/cups.h>

CupsJobMonitor::CupsJobMonitor(Timeouts timeouts) : timeouts_(timeouts) {}

bool CupsJobMonitor::CanFollow(const PrinterTarget& printer) const {
    return printer.IsQueue() && !printer.Name().empty();
}

std::unique_ptr<IppStatusClient> CupsJobMonitor::Connect(const PrinterTarget& printer) const {
    if (!printer.IsQueue()) {
        throw JobMonitorError("Only the print scheduler's queues are asked about their jobs.");
    }
    if (printer.Name().empty()) {
        throw JobMonitorError("No printer name was given.");
    }
    const std::chrono::milliseconds timeout = timeouts_.scheduler;
    IppStatusClient::Connection connection(
        httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                     static_cast<int>(timeout.count()), nullptr));
    if (!connection) {
        throw JobMonitorError(CupsScheduler::NoAnswerMessage());
    }
    return std::make_unique<IppStatusClient>(std::move(connection),
                                             CupsScheduler::QueueUri(printer.Name()), "/", timeout,
                                             CupsScheduler::SilentMessage(timeout));
}

JobStatus CupsJobMonitor::Job(const PrinterTarget& printer, int jobId) {
    return Connect(printer)->Job(jobId);
}

PrinterStatus CupsJobMonitor::Printer(const PrinterTarget& printer) {
    return Connect(printer)->Printer();
}
