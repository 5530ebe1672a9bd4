#pragma once

#include "printing/backends/device/file_descriptor.h"
#include "printing/backends/device/printer_port.h"

// The printer port behind an open device, asked with the requests of Linux's printer
// drivers: the device ID (the USB printer driver only) and the status byte (the USB and
// the parallel port's). The descriptor is
// only asked, never written to. Elsewhere every request fails with ENOTTY.
class DescriptorPrinterPort final : public PrinterPort {
public:
    explicit DescriptorPrinterPort(FileDescriptor descriptor);

    Answer<std::string> DeviceIdBytes() override;
    Answer<std::uint8_t> StatusBits() override;

private:
    FileDescriptor descriptor_;
};
