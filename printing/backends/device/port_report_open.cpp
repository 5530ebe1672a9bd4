#include "printing/backends/device/descriptor_printer_port.h"
#include "printing/backends/device/file_descriptor.h"
#include "printing/backends/device/port_report.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

using Problem = PortReport::Problem;

PortReport Refused(Problem problem, std::string reason) {
    PortReport report;
    report.Note(problem, std::move(reason));
    return report;
}

PortReport CantOpen(int error) {
    const std::string words = std::strerror(error);
    if (error == ENOENT) {
        return Refused(Problem::Missing, "it does not exist");
    }
    if (error == EBUSY) {
        return Refused(Problem::Busy, "it is in use (" + words + "): a job may be printing to it");
    }
    return Refused(PortReport::ProblemOf(error), "can't open it: " + words);
}

PortReport NoCharacterDevice() {
    return Refused(Problem::NotAPrinterPort, "it is not a printer port (no character device)");
}

} // namespace

PortReport ReadPortReport(const std::string& devicePath) {
#ifndef __linux__
    (void)devicePath;
    return Refused(Problem::NotAvailable, "printer ports can't be asked on this system");
#else
    struct stat status {};
    if (::stat(devicePath.c_str(), &status) != 0) {
        return CantOpen(errno);
    }
    // A FIFO would wait for a writer, a regular file has nothing to say.
    if (!S_ISCHR(status.st_mode)) {
        return NoCharacterDevice();
    }
    int descriptor = -1;
    do {
        descriptor = ::open(devicePath.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    } while (descriptor < 0 && errno == EINTR);
    if (descriptor < 0) {
        return CantOpen(errno);
    }
    FileDescriptor opened(descriptor);
    // The path may have been replaced between the look and the open.
    if (::fstat(opened.Get(), &status) != 0 || !S_ISCHR(status.st_mode)) {
        return NoCharacterDevice();
    }
    // A terminal (a serial line, a console) has no printer port to ask.
    if (::isatty(opened.Get()) == 1) {
        return Refused(Problem::NotAPrinterPort, "it is a terminal, not a printer port");
    }
    DescriptorPrinterPort port(std::move(opened));
    return ReadPortReport(port);
#endif
}
