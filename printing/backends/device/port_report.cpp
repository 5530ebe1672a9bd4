#include "printing/backends/device/port_report.h"

#include "printing/talkback/port_status.h"

#include <array>
#include <cerrno>
#include <utility>

namespace {

using Problem = PortReport::Problem;

struct ErrorMeaning {
    int error;
    Problem problem;
};

// What the printer drivers answer: the USB printer driver and the parallel port's answer
// ENOTTY and EINVAL to a request they don't know (so does everything that is no printer
// port), ENODEV once the printer is unplugged, EBUSY to a second open, EIO, ETIMEDOUT or
// EPIPE when the printer did not answer.
constexpr std::array kErrorMeanings = {
    ErrorMeaning{ENOENT, Problem::Missing},
    ErrorMeaning{ENODEV, Problem::Missing},
    ErrorMeaning{ENXIO, Problem::Missing},
    ErrorMeaning{EACCES, Problem::PermissionDenied},
    ErrorMeaning{EPERM, Problem::PermissionDenied},
    ErrorMeaning{EBUSY, Problem::Busy},
    ErrorMeaning{ENOTTY, Problem::NotAPrinterPort},
    ErrorMeaning{EINVAL, Problem::NotAPrinterPort},
    ErrorMeaning{ENOSYS, Problem::NotAPrinterPort},
    ErrorMeaning{EOPNOTSUPP, Problem::NotAPrinterPort},
    ErrorMeaning{EIO, Problem::NoAnswer},
    ErrorMeaning{ETIMEDOUT, Problem::NoAnswer},
    ErrorMeaning{EPIPE, Problem::NoAnswer},
    ErrorMeaning{EPROTO, Problem::NoAnswer},
};

// A request the port failed. One it does not know means no printer port, unless the port
// answered the other request: then it is a port without this one (a parallel port gives
// no device ID).
template <typename Value>
void NoteFailure(PortReport& report, const std::string& what,
                 const PrinterPort::Answer<Value>& answer, bool otherAnswered) {
    const Problem problem = PortReport::ProblemOf(answer.error);
    if (problem != Problem::NotAPrinterPort) {
        report.Note(problem, "can't read " + what + ": " + answer.words);
    } else if (otherAnswered) {
        report.Note(Problem::NotSupported, "it does not give " + what + " (" + answer.words + ")");
    } else {
        report.Note(problem, "it is not a printer port (" + answer.words + ")");
    }
}

} // namespace

PortReport::Problem PortReport::ProblemOf(int error) {
    for (const ErrorMeaning& meaning : kErrorMeanings) {
        if (meaning.error == error) {
            return meaning.problem;
        }
    }
    return Problem::Failed;
}

void PortReport::Note(Problem found, std::string words) {
    if (problem == Problem::None) {
        problem = found;
        reason = std::move(words);
    }
}

PortReport ReadPortReport(PrinterPort& port) {
    const PrinterPort::Answer<std::string> id = port.DeviceIdBytes();
    const PrinterPort::Answer<std::uint8_t> bits = port.StatusBits();
    PortReport report;
    if (id.value) {
        report.deviceId = DeviceId::FromPort(*id.value);
        if (!report.deviceId) {
            report.Note(Problem::UnreadableId, "its device ID makes no sense");
        }
    } else {
        NoteFailure(report, "its device ID", id, bits.value.has_value());
    }
    if (bits.value) {
        report.status = PortStatus::Read(*bits.value);
    } else {
        NoteFailure(report, "its status", bits, id.value.has_value());
    }
    return report;
}
