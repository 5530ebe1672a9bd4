#pragma once

#include "printing/backends/device/printer_port.h"
#include "printing/talkback/device_id.h"
#include "printing/talkback/status_report.h"

#include <optional>
#include <string>

// What a printer port says of its printer: who made it and what it speaks (its device ID)
// and whether it has paper, is online and free of faults (its status byte). Either may be
// missing; `problem` and `reason` then say why, for the first step that failed.
struct PortReport {
    enum class Problem {
        None,
        NotAvailable,     // this system has no printer ports to ask
        Missing,          // nothing at the path, or the printer was unplugged
        PermissionDenied, // the user may not open or ask it
        Busy,             // another program (a job, a spooler) has the port open
        NotAPrinterPort,  // a terminal, /dev/null, a FIFO: it knows neither request
        NotSupported,     // it answered one request and does not know the other
        NoAnswer,         // the printer did not answer the request
        UnreadableId,     // a device ID came, but it makes no sense
        Failed,           // any other error of the system
    };

    std::optional<DeviceId> deviceId;
    std::optional<StatusReport> status;
    Problem problem = Problem::None;
    // The problem in words, to follow the device's name: "it is not a printer port
    // (Inappropriate ioctl for device)"; empty when there is none.
    std::string reason;

    // What an error number of a request or of opening the device means here.
    static Problem ProblemOf(int error);
    // Keeps the problem unless one was noted already: the first says most.
    void Note(Problem found, std::string words);
};

// Asks the port for its device ID, then for its status byte; each is asked whatever the
// other answered.
PortReport ReadPortReport(PrinterPort& port);

// Asks the printer port at `devicePath` (Linux: a USB printer, /dev/usb/lpN, or a parallel
// one, /dev/lpN). The device is opened read-only and non-blocking and nothing is written
// to it; what is no character device is not opened, and a terminal is not asked. While a
// job holds a USB printer, its port is Busy. Each request is bounded by the driver (a USB
// printer's by 5 s). Elsewhere (Windows, systems other than Linux): NotAvailable.
PortReport ReadPortReport(const std::string& devicePath);
