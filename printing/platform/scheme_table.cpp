#include "printing/platform/scheme_table.h"

#include "printing/backends/device/device_backend.h"
#include "printing/backends/lpd/lpd_backend.h"
#include "printing/backends/socket/socket_backend.h"
#include "printing/job/job_monitor.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#ifndef _WIN32
#include "printing/backends/ipp/ipp_backend.h"
#include "printing/backends/ipp/ipp_job_monitor.h"
#endif

namespace {

template <typename Backend>
std::unique_ptr<PrinterBackend> Make(const PrinterAddress& address, const JobOptions& options) {
    return std::make_unique<Backend>(address, options);
}

template <typename Monitor> std::unique_ptr<JobMonitor> Follow(const Timeouts& timeouts) {
    return std::make_unique<Monitor>(timeouts);
}

using Scheme = PrinterAddress::Scheme;

#ifdef _WIN32
constexpr const char* IppRefusal = "ipp:// and ipps:// printers are not reached directly on "
                                   "Windows: add the printer to Windows and use its queue.";
#endif

const std::array<SchemeRoute, 6> Routes{{
    {Scheme::Socket, Make<SocketBackend>, nullptr, nullptr, true},
    {Scheme::Lpd, Make<LpdBackend>, nullptr, nullptr, false},
#ifdef _WIN32
    {Scheme::Ipp, nullptr, nullptr, IppRefusal, false},
    {Scheme::Ipps, nullptr, nullptr, IppRefusal, false},
#else
    {Scheme::Ipp, Make<IppBackend>, Follow<IppJobMonitor>, nullptr, false},
    {Scheme::Ipps, Make<IppBackend>, Follow<IppJobMonitor>, nullptr, false},
#endif
    // On Windows the device backend itself refuses, with words that point to a queue.
    {Scheme::File, Make<DeviceBackend>, nullptr, nullptr, true},
    {Scheme::Serial, Make<DeviceBackend>, nullptr, nullptr, true},
}};

} // namespace

const SchemeRoute& RouteFor(PrinterAddress::Scheme scheme) {
    const auto row = std::find_if(Routes.begin(), Routes.end(), [scheme](const SchemeRoute& route) {
        return route.scheme == scheme;
    });
    if (row == Routes.end()) {
        throw std::logic_error("a printer address scheme without a row in the scheme table");
    }
    return *row;
}
