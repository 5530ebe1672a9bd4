#include "printing/backends/device/uart_probe.h"

#include "printing/backends/device/file_descriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <unistd.h>

#ifdef __linux__
#include <filesystem>
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

#ifdef __linux__
namespace {

// The UART type the kernel gives the port: 0 (PORT_UNKNOWN) for none.
bool SysfsSaysUart(const std::string& devicePath) {
    std::error_code error;
    const std::filesystem::path device = std::filesystem::canonical(devicePath, error);
    if (error) {
        return false;
    }
    std::ifstream type("/sys/class/tty/" + device.filename().string() + "/type");
    int number = PORT_UNKNOWN;
    return type >> number && number != PORT_UNKNOWN;
}

} // namespace
#endif

bool HasUart(const std::string& devicePath) {
#ifndef __linux__
    (void)devicePath;
    return false;
#else
    int descriptor = -1;
    do {
        descriptor = ::open(devicePath.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    } while (descriptor < 0 && errno == EINTR);
    if (descriptor < 0) {
        return (errno == EACCES || errno == EPERM) && SysfsSaysUart(devicePath);
    }
    const FileDescriptor opened(descriptor);
    serial_struct info{};
    return ::ioctl(opened.Get(), TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
#endif
}
