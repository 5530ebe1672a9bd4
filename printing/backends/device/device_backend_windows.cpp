#include "printing/backends/device/device_backend.h"
#include "printing/job/job_failure.h"

#include <utility>

// Devices are not opened on Windows: a printer there is reached through a queue of the
// Windows spooler, which the program already sends to.
class DeviceLine {};

DeviceBackend::DeviceBackend(const PrinterAddress& address, JobOptions options)
    : address_(address), options_(std::move(options)) {}

DeviceBackend::~DeviceBackend() = default;

void DeviceBackend::Open(std::optional<std::uint64_t>) {
    throw JobFailure(FailureKind::Unreachable,
                     "file: and serial: addresses are not supported on Windows; add the printer "
                     "to Windows and use its queue.");
}

// Nothing is ever open to write to, read from, finish or withdraw.
void DeviceBackend::Write(std::string_view) {}

std::size_t DeviceBackend::Read(char*, std::size_t, std::chrono::milliseconds) {
    return 0;
}

void DeviceBackend::Finish() {}

void DeviceBackend::Abort() {}
