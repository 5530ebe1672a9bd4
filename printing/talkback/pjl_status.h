#pragma once

#include "printing/talkback/status_report.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// A PJL printer's status, both ways: the commands that ask for it and a reader of the
// replies, which the printer frames with a form feed. The reader takes the bytes as they
// arrive, in any pieces, and hands back each whole reply it understands; echoes and replies
// to other questions are passed over. No I/O here: the caller writes and reads.
class PjlStatus {
public:
    // One reply read back.
    struct Reply {
        enum class Kind {
            Device,     // INFO STATUS, USTATUS DEVICE or USTATUS TIMED: `state`, `code`, `tray`
            JobStarted, // USTATUS JOB START: `jobName`
            JobEnded,   // USTATUS JOB END: `jobName`, `pages`, `result`
            Cut,        // a reply ran past the limit without its form feed; its bytes dropped
        };
        Kind kind = Kind::Device;
        StatusReport state;
        int code = 0;        // the printer's status code, 0 when it gave none
        int tray = 0;        // the empty tray of a paper-out code, 0 when none
        std::string jobName; // as the printer echoed it, quotes removed
        int pages = -1;      // pages of an ended job, -1 when not said
        std::string result;  // RESULT of an ended job (OK, USER_CANCELED, ...), empty when not said
    };

    // A reply longer than this is not one the printer meant; it is cut and reported.
    static constexpr std::size_t kReplyLimit = 4096;

    // Asks once for the device's status (answered by an INFO STATUS reply).
    static std::string StatusQuery();
    // Asks the printer to report its device status and its jobs' starts and ends unasked.
    static std::string UnsolicitedOn();
    // The lines that open and close a job named `name` (to put inside the job's PJL header
    // and trailer), so that USTATUS JOB confirms it by that name.
    static std::string JobLine(std::string_view name);
    static std::string EndOfJobLine(std::string_view name);
    // What goes before a job that the printer is to confirm by name (its JOB line, with the
    // job's end to be reported), and after it (its EOJ line), each between universal exits.
    static std::string JobHeader(std::string_view name);
    static std::string JobTrailer(std::string_view name);
    // The name as it goes between the quotes, and so as the printer gives it back: quotes and
    // control bytes would end or break the command, so they are replaced; long names are cut.
    static std::string SafeName(std::string_view name);

    // Takes the next bytes read from the printer; returns the replies they completed.
    std::vector<Reply> Feed(std::string_view bytes);

private:
    std::string pending_;
    bool skippingToFormFeed_ = false;
};
