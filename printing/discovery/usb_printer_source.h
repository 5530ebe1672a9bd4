#pragma once

#include "printing/discovery/device_ports.h"
#include "printing/discovery/printer_source.h"

// The USB printers of this machine: each printer port of the folder (lpN; on Linux,
// /dev/usb), as a file: address with the language its device ID names where it is one a
// printer is asked in, its maker and model, and the languages it speaks. A port the user
// may not open, or that another program holds, is listed with what to do about it.
class UsbPrinterSource final : public PrinterSource {
public:
    // At most this many ports are asked.
    static constexpr std::size_t kPortLimit = 64;

    UsbPrinterSource(std::string folder, DevicePorts ports);

    std::string Name() const override { return "USB"; }
    std::string Search(std::chrono::steady_clock::time_point deadline,
                       const std::atomic<bool>* stop, const Found& found) override;

private:
    DiscoveredPrinter PrinterAt(const std::string& path) const;

    std::string folder_;
    DevicePorts ports_;
};
