#include "printing/cups/cups_job_monitor.h"

#include "printing/cups/cups_scheduler.h"
#include "printing/cups/ipp_status_client.h"

#include <cups/cups.h>

CupsJobMonitor::CupsJobMonitor(const DirectOptions& options) : options_(options) {}

bool CupsJobMonitor::CanFollow(const std::string& printer) const {
    return !printer.empty();
}

std::unique_ptr<IppStatusClient> CupsJobMonitor::Connect(const std::string& printer) const {
    if (printer.empty()) {
        throw JobMonitorError("No printer name was given.");
    }
    const std::chrono::milliseconds timeout = options_.schedulerTimeout;
    IppStatusClient::Connection connection(
        httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                     static_cast<int>(timeout.count()), nullptr));
    if (!connection) {
        throw JobMonitorError(CupsScheduler::NoAnswerMessage());
    }
    return std::make_unique<IppStatusClient>(std::move(connection),
                                             CupsScheduler::QueueUri(printer), "/", timeout,
                                             CupsScheduler::SilentMessage(timeout));
}

JobStatus CupsJobMonitor::Job(const std::string& printer, int jobId) {
    return Connect(printer)->Job(jobId);
}

PrinterStatus CupsJobMonitor::Printer(const std::string& printer) {
    return Connect(printer)->Printer();
}
