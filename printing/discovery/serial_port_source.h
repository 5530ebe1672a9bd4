#pragma once

#include "printing/discovery/device_ports.h"
#include "printing/discovery/printer_source.h"

#include <set>

// The serial ports of this machine that exist, as serial: addresses, under the device
// folder (on Linux, /dev): first the names serial/by-id gives USB adapters (which stay the
// same whichever port the adapter is plugged into), then ttyUSB*, ttyACM*, and ttyS* where
// a UART is behind it; each port once, by its by-id name where it has one. A port the user
// may not open is listed with what to do about it. Nothing is opened but a ttyS* device,
// to ask its driver for its UART.
class SerialPortSource final : public PrinterSource {
public:
    // At most this many ports are listed.
    static constexpr std::size_t kPortLimit = 256;

    SerialPortSource(std::string deviceFolder, DevicePorts ports);

    std::string Name() const override { return "serial"; }
    std::string Search(std::chrono::steady_clock::time_point deadline,
                       const std::atomic<bool>* stop, const Found& found) override;

private:
    DiscoveredPrinter PortAt(const std::string& path, const std::string& device,
                             std::string name) const;

    std::string folder_;
    DevicePorts ports_;
};
