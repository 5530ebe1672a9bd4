#include "printing/platform/platform_spooler.h"

#include "printing/device/device_spooler.h"
#include "printing/direct/refused_address_spooler.h"
#include "printing/direct/routing_spooler.h"
#include "printing/net/lpd_spooler.h"
#include "printing/net/socket_spooler.h"

#ifdef _WIN32
#include "printing/win/win_spooler.h"
using QueueSpooler = WinSpooler;
#else
#include "printing/cups/cups_spooler.h"
#include "printing/cups/ipp_spooler.h"
using QueueSpooler = CupsSpooler;
#endif

namespace {

std::unique_ptr<Spooler> IppSpoolerFor(const PrinterAddress& address,
                                       const DirectOptions& options) {
#ifdef _WIN32
    (void)address;
    (void)options;
    return std::make_unique<RefusedAddressSpooler>(
        "ipp:// and ipps:// printers are not reached directly on Windows: add the printer to "
        "Windows and use its queue.");
#else
    return std::make_unique<IppSpooler>(address, options);
#endif
}

std::unique_ptr<Spooler> DirectSpoolerFor(const PrinterAddress& address,
                                          const DirectOptions& options) {
    switch (address.scheme()) {
    case PrinterAddress::Scheme::Socket:
        return std::make_unique<SocketSpooler>(address, options);
    case PrinterAddress::Scheme::Lpd:
        return std::make_unique<LpdSpooler>(address, options);
    case PrinterAddress::Scheme::Ipp:
    case PrinterAddress::Scheme::Ipps:
        return IppSpoolerFor(address, options);
    case PrinterAddress::Scheme::File:
    case PrinterAddress::Scheme::Serial:
        break;
    }
    return std::make_unique<DeviceSpooler>(address, options);
}

// The spooler of the system's queues; CUPS reads the scheduler time-out from the options.
std::unique_ptr<Spooler> QueueSpoolerFor(const DirectOptions& options) {
#ifdef _WIN32
    (void)options;
    return std::make_unique<QueueSpooler>();
#else
    return std::make_unique<QueueSpooler>(options);
#endif
}

} // namespace

std::unique_ptr<Spooler> MakePlatformSpooler(const DirectOptions& options) {
    return std::make_unique<RoutingSpooler>(
        QueueSpoolerFor(options),
        [&options](const PrinterAddress& address) { return DirectSpoolerFor(address, options); });
}
