#include "printing/backends/device/device_backend.h"

#include "printing/backends/device/device_fault.h"
#include "printing/backends/device/device_line.h"
#include "printing/job/job_failure.h"

#include <string>
#include <utility>

DeviceBackend::DeviceBackend(const PrinterAddress& address, JobOptions options)
    : address_(address), options_(std::move(options)) {}

DeviceBackend::~DeviceBackend() {
    Abort();
}

void DeviceBackend::Fail(const DeviceFault& fault) const {
    std::string message = fault.what();
    if (line_) {
        const std::uint64_t delivered = line_->BytesDelivered();
        if (delivered > 0) {
            message += "; " + std::to_string(delivered) + " bytes had reached the device";
        }
    }
    throw JobFailure(fault.kind, message + ".");
}

void DeviceBackend::Open(std::optional<std::uint64_t>) {
    if (address_.scheme() != PrinterAddress::Scheme::File &&
        address_.scheme() != PrinterAddress::Scheme::Serial) {
        throw JobFailure(FailureKind::Unreachable,
                         "Only file: and serial: addresses are sent to a device, not " +
                             address_.Text() + ".");
    }
    try {
        line_ = address_.scheme() == PrinterAddress::Scheme::File
                    ? DeviceLine::OpenDevice(address_.device())
                    : DeviceLine::OpenSerial(address_.device(), address_.serial());
        line_->WatchStop(StopFlag());
    } catch (const DeviceFault& fault) {
        Fail(fault);
    }
}

void DeviceBackend::Write(std::string_view data) {
    try {
        line_->Write(data, options_.timeouts.stall);
    } catch (const DeviceFault& fault) {
        Fail(fault);
    }
}

// Nothing is heard before the device is open or after the job ended.
std::size_t DeviceBackend::Read(char* buffer, std::size_t capacity,
                                std::chrono::milliseconds wait) {
    if (!line_) {
        return 0;
    }
    try {
        return line_->Read(buffer, capacity, wait);
    } catch (const DeviceFault& fault) {
        Fail(fault);
    }
}

void DeviceBackend::Finish() {
    try {
        line_->Finish(options_.timeouts.stall);
    } catch (const DeviceFault& fault) {
        Fail(fault);
    }
    // Closed as it is: the last bytes may still be on their way to the reader.
    line_.reset();
}

// What the device has not taken yet is dropped rather than sent after the job was given
// up, so that the printer sees the job end short.
void DeviceBackend::Abort() {
    if (line_) {
        line_->Discard();
        line_.reset();
    }
}
