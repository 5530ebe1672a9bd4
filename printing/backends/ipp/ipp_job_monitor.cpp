#include "printing/backends/ipp/ipp_job_monitor.h"

#include "core/seconds_text.h"
#include "printing/address/printer_address.h"
#include "printing/ipp/http_address_list.h"
#include "printing/ipp/ipp_status_client.h"

#include <array>
#include <cups/cups.h>

namespace {

bool IsIpp(const PrinterAddress& address) {
    return address.scheme() == PrinterAddress::Scheme::Ipp ||
           address.scheme() == PrinterAddress::Scheme::Ipps;
}

} // namespace

IppJobMonitor::IppJobMonitor(Timeouts timeouts) : timeouts_(timeouts) {}

bool IppJobMonitor::CanFollow(const PrinterTarget& printer) const {
    return !printer.IsQueue() && IsIpp(printer.Address());
}

std::unique_ptr<IppStatusClient> IppJobMonitor::Connect(const PrinterTarget& printer) const {
    if (!CanFollow(printer)) {
        throw JobMonitorError("Only ipp:// and ipps:// printers are asked about their jobs.");
    }
    const PrinterAddress& address = printer.Address();
    const bool secure = address.scheme() == PrinterAddress::Scheme::Ipps;
    std::array<char, HTTP_MAX_URI> uri{};
    httpAssembleURI(HTTP_URI_CODING_ALL, uri.data(), static_cast<int>(uri.size()),
                    secure ? "ipps" : "ipp", nullptr, address.host().c_str(), address.port(),
                    address.queue().c_str());
    const HttpAddressList addresses(address.host(), address.port(), timeouts_.connect);
    IppStatusClient::Connection connection(
        httpConnect2(address.host().c_str(), address.port(), addresses.get(), AF_UNSPEC,
                     secure ? HTTP_ENCRYPTION_ALWAYS : HTTP_ENCRYPTION_IF_REQUESTED, 1,
                     static_cast<int>(timeouts_.connect.count()), nullptr));
    if (!connection) {
        throw JobMonitorError(std::string("Could not connect to the printer at ") + uri.data() +
                              ": " + cupsLastErrorString() + ".");
    }
    return std::make_unique<IppStatusClient>(
        std::move(connection), uri.data(), address.queue().empty() ? "/" : address.queue(),
        timeouts_.stall,
        std::string("The printer at ") + uri.data() + " did not answer within " +
            SecondsText(timeouts_.stall) + ".");
}

JobStatus IppJobMonitor::Job(const PrinterTarget& printer, int jobId) {
    return Connect(printer)->Job(jobId);
}

PrinterStatus IppJobMonitor::Printer(const PrinterTarget& printer) {
    return Connect(printer)->Printer();
}
