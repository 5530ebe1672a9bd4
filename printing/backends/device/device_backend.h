#pragma once

#include "printing/address/printer_address.h"
#include "printing/job/job_options.h"
#include "printing/job/printer_backend.h"

#include <memory>

struct DeviceFault;
class DeviceLine;

// Raw jobs straight to a device of this machine: file:DEVICE writes to a character device
// (a USB printer is /dev/usb/lpN on Linux) or a FIFO, serial:DEVICE?... to a serial line
// set up for the job and put back as it was afterwards. There is no queue and no job
// number: opening opens the device, a write sends as it is given, the finish waits until
// the device has taken everything. A job that fails part-way says how many bytes had
// reached the device; one that is withdrawn is cut off (a serial line's unsent output is
// dropped). What the printer says back is read from the same device (a USB printer's
// channel back, a serial printer's replies on its line); a FIFO is never read. On Windows
// every such address is refused.
class DeviceBackend final : public PrinterBackend {
public:
    DeviceBackend(const PrinterAddress& address, JobOptions options);
    ~DeviceBackend() override;
    DeviceBackend(const DeviceBackend&) = delete;
    DeviceBackend& operator=(const DeviceBackend&) = delete;

    void Open(std::optional<std::uint64_t> length) override;
    void Write(std::string_view data) override;
    std::size_t Read(char* buffer, std::size_t capacity, std::chrono::milliseconds wait) override;
    void Finish() override;
    void Abort() override;

private:
    // The fault as the job's failure, with what had reached the device.
    [[noreturn]] void Fail(const DeviceFault& fault) const;

    PrinterAddress address_;
    JobOptions options_;
    std::unique_ptr<DeviceLine> line_;
};
