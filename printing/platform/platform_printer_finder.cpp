#include "printing/platform/platform_printer_finder.h"

#include "printing/discovery/spooler_source.h"

#ifdef _WIN32
#include "printing/dnssd_win/dnsapi_library.h"
#include "printing/dnssd_win/win_dnssd_source.h"
#include "printing/queues/win/win_printer_catalog.h"
#else
#include "printing/backends/device/uart_probe.h"
#include "printing/discovery/serial_port_source.h"
#include "printing/discovery/usb_printer_source.h"
#include "printing/dnssd/dnssd_source.h"
#include "printing/queues/cups/cups_printer_catalog.h"
#include "printing/snmp/snmp_network_source.h"
#endif

namespace {

// A place this system has no way of searching: said in the notes, never searched.
class UnsearchedSource final : public PrinterSource {
public:
    UnsearchedSource(std::string name, std::string why)
        : name_(std::move(name)), why_(std::move(why)) {}
    std::string Name() const override { return name_; }
    std::string Search(std::chrono::steady_clock::time_point, const std::atomic<bool>*,
                       const Found&) override {
        return why_;
    }

private:
    std::string name_;
    std::string why_;
};

Timeouts SchedulerWait(std::chrono::milliseconds timeout) {
    Timeouts timeouts;
    timeouts.scheduler = timeout;
    return timeouts;
}

#ifdef _WIN32
std::vector<SpoolerQueue> ListQueues(std::chrono::milliseconds timeout) {
    std::vector<SpoolerQueue> queues;
    for (std::string& name : WinPrinterCatalog(SchedulerWait(timeout)).PrinterNames()) {
        queues.push_back({std::move(name), {}, {}, {}, {}});
    }
    return queues;
}
#else
std::vector<SpoolerQueue> ListQueues(std::chrono::milliseconds timeout) {
    std::vector<SpoolerQueue> queues;
    for (CupsPrinterCatalog::Queue& queue : CupsPrinterCatalog(SchedulerWait(timeout)).Queues()) {
        queues.push_back({std::move(queue.name), std::move(queue.deviceUri), std::move(queue.info),
                          std::move(queue.makeAndModel), std::move(queue.location)});
    }
    return queues;
}
#endif

#ifdef __linux__
DevicePorts SystemPorts() {
    return {[](const std::string& path) { return ReadPortReport(path); }, DevicePermission::Of,
            HasUart};
}
#endif

} // namespace

std::unique_ptr<PrinterFinder> MakePlatformPrinterFinder(const DiscoveryOptions& options) {
    std::vector<std::unique_ptr<PrinterSource>> sources;
#ifdef _WIN32
    sources.push_back(std::make_unique<WinDnssdSource>(DnsapiLibrary::System()));
#else
    sources.push_back(std::make_unique<DnssdSource>());
#endif
#ifdef __linux__
    sources.push_back(std::make_unique<UsbPrinterSource>("/dev/usb", SystemPorts()));
    sources.push_back(std::make_unique<SerialPortSource>("/dev", SystemPorts()));
#endif
    sources.push_back(std::make_unique<SpoolerSource>(ListQueues));
    if (options.snmpNetwork) {
#ifdef _WIN32
        sources.push_back(
            std::make_unique<UnsearchedSource>("SNMP", "SNMP is not asked on this system"));
#else
        sources.push_back(std::make_unique<SnmpNetworkSource>(*options.snmpNetwork, options.snmp));
#endif
    }
    return std::make_unique<PrinterFinder>(std::move(sources));
}
