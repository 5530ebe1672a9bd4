#include "printing/discovery/spooler_source.h"

#include "printing/address/printer_address.h"
#include "printing/printer_catalog.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

using Scheme = PrinterAddress::Scheme;

// The device addresses a queue is listed with. Not file: (a CUPS file: device is a file
// that a job overwrites), nor a device of a scheme this program has no backend for (usb:,
// dnssd:), whose printer is reached through the queue alone.
constexpr std::array kDeviceSchemes = {Scheme::Socket, Scheme::Lpd, Scheme::Ipp, Scheme::Ipps,
                                       Scheme::Serial};

// The smallest wait the spooler is given, however little time is left.
constexpr std::chrono::milliseconds kLeastWait{100};

std::string DeviceAddress(const std::string& uri) {
    if (!PrinterAddress::IsAddress(uri)) {
        return {};
    }
    const ParsedPrinterAddress parsed = PrinterAddress::Parse(uri);
    if (!parsed.address || std::find(kDeviceSchemes.begin(), kDeviceSchemes.end(),
                                     parsed.address->scheme()) == kDeviceSchemes.end()) {
        return {};
    }
    return parsed.address->Text();
}

} // namespace

SpoolerSource::SpoolerSource(List list) : list_(std::move(list)) {}

std::string SpoolerSource::Search(std::chrono::steady_clock::time_point deadline,
                                  const std::atomic<bool>* stop, const Found& found) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    std::vector<SpoolerQueue> queues;
    try {
        queues = list_(std::max(left, kLeastWait));
    } catch (const PrinterCatalogError& error) {
        return error.what();
    }
    for (const SpoolerQueue& queue : queues) {
        if (stop != nullptr && stop->load()) {
            break;
        }
        DiscoveredPrinter printer;
        printer.address = queue.name;
        if (const std::string device = DeviceAddress(queue.deviceUri); !device.empty()) {
            printer.otherAddresses.push_back(device);
        }
        printer.name = queue.info.empty() ? queue.name : queue.info;
        printer.model = queue.model;
        printer.location = queue.location;
        printer.foundBy = {"spooler"};
        found(std::move(printer));
    }
    return {};
}
