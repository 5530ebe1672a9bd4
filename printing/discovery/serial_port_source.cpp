#include "printing/discovery/serial_port_source.h"

#include "printing/address/printer_address.h"
#include "printing/discovery/device_folder.h"

#include <array>
#include <filesystem>
#include <set>
#include <utility>

namespace {

// The kinds of serial device, in the order they are listed, and whether a device of the
// kind is there only when a UART is behind it.
struct PortKind {
    std::string_view prefix;
    bool needsUart;
};
constexpr std::array kPortKinds = {
    PortKind{"ttyUSB", false}, // USB serial adapters
    PortKind{"ttyACM", false}, // USB devices that are serial ports of their own
    PortKind{"ttyS", true},    // the machine's own ports, made whether there or not
};

// What a path comes to once its links are followed; the path itself where it can't be.
std::string Resolved(const std::string& path) {
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::canonical(path, error);
    return error ? path : resolved.string();
}

bool Over(std::chrono::steady_clock::time_point deadline, const std::atomic<bool>* stop) {
    return std::chrono::steady_clock::now() >= deadline || (stop != nullptr && stop->load());
}

} // namespace

SerialPortSource::SerialPortSource(std::string deviceFolder, DevicePorts ports)
    : folder_(std::move(deviceFolder)), ports_(std::move(ports)) {}

std::string SerialPortSource::Search(std::chrono::steady_clock::time_point deadline,
                                     const std::atomic<bool>* stop, const Found& found) {
    std::set<std::string> listed; // the ports listed, their links followed
    std::size_t count = 0;
    DeviceFolder byId((std::filesystem::path(folder_) / "serial" / "by-id").string());
    for (const std::string& name : byId.Names(kPortLimit)) {
        if (Over(deadline, stop)) {
            return {};
        }
        const std::string path = byId.PathOf(name);
        const std::string device = Resolved(path);
        if (std::filesystem::exists(device) && listed.insert(device).second) {
            found(PortAt(path, device, name));
            ++count;
        }
    }
    DeviceFolder devices(folder_);
    for (const PortKind& kind : kPortKinds) {
        for (const std::string& name : devices.Numbered(kind.prefix, kPortLimit)) {
            if (Over(deadline, stop) || count >= kPortLimit) {
                return {};
            }
            const std::string path = devices.PathOf(name);
            const std::string device = Resolved(path);
            if (listed.count(device) != 0 || (kind.needsUart && !ports_.hasUart(path))) {
                continue;
            }
            listed.insert(device);
            found(PortAt(path, device, {}));
            ++count;
        }
    }
    return devices.Error();
}

DiscoveredPrinter SerialPortSource::PortAt(const std::string& path, const std::string& device,
                                           std::string name) const {
    DiscoveredPrinter port;
    const ParsedPrinterAddress parsed = PrinterAddress::Parse("serial:" + path);
    // A by-id name the address can't carry is printed to by the device it links to.
    const ParsedPrinterAddress address =
        parsed.address ? parsed : PrinterAddress::Parse("serial:" + device);
    if (!address.address) {
        return port;
    }
    port.address = address.address->Text();
    port.name = std::move(name);
    port.foundBy = {"serial"};
    if (const DevicePermission permission = ports_.permission(device); !permission.granted) {
        port.problem = PermissionProblem(device, permission);
    }
    return port;
}
