#include "printing/backends/device/descriptor_printer_port.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <sys/ioctl.h>
#include <utility>
#ifdef __linux__
#include <linux/lp.h>
#endif

namespace {

template <typename Value> PrinterPort::Answer<Value> Refusal(int error) {
    return {std::nullopt, error, std::strerror(error)};
}

#ifdef __linux__
// The USB printer driver keeps at most 1023 bytes of a device ID, its length included.
constexpr std::size_t kDeviceIdRoom = 1024;
constexpr std::size_t kLengthBytes = 2;

// The USB printer driver's request for the device ID: number 1 of its 'P' group, with the
// room for the answer in the request itself.
unsigned long DeviceIdRequest(std::size_t room) {
    return _IOC(_IOC_READ, 'P', 1, room);
}

// 0, or the request's error.
int Ask(int descriptor, unsigned long request, void* answer) {
    int result = -1;
    do {
        result = ::ioctl(descriptor, request, answer);
    } while (result < 0 && errno == EINTR);
    return result < 0 ? errno : 0;
}
#endif

} // namespace

DescriptorPrinterPort::DescriptorPrinterPort(FileDescriptor descriptor)
    : descriptor_(std::move(descriptor)) {}

PrinterPort::Answer<std::string> DescriptorPrinterPort::DeviceIdBytes() {
#ifdef __linux__
    std::string bytes(kDeviceIdRoom, '\0');
    if (const int error = Ask(descriptor_.Get(), DeviceIdRequest(bytes.size()), bytes.data())) {
        return Refusal<std::string>(error);
    }
    // The driver fills only as much of the room as the ID's length says.
    const std::size_t length =
        static_cast<unsigned char>(bytes[0]) * 256u + static_cast<unsigned char>(bytes[1]);
    bytes.resize(std::clamp(length, kLengthBytes, bytes.size()));
    return {std::move(bytes), 0, {}};
#else
    return Refusal<std::string>(ENOTTY);
#endif
}

PrinterPort::Answer<std::uint8_t> DescriptorPrinterPort::StatusBits() {
#ifdef __linux__
    int status = 0;
    if (const int error = Ask(descriptor_.Get(), LPGETSTATUS, &status)) {
        return Refusal<std::uint8_t>(error);
    }
    return {static_cast<std::uint8_t>(status & 0xff), 0, {}};
#else
    return Refusal<std::uint8_t>(ENOTTY);
#endif
}
