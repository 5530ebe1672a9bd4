#pragma once

#include "printing/capture/capture_report.h"

#include <iosfwd>
#include <mutex>
#include <string>

class Inspection;

namespace CliArguments {
struct Request;
}

// tolvenmark-cli capture: a raw printer of its own on the ports the request names, which
// keeps every job in a folder and tells of each on standard output (one line, with
// --show also its token text and a line of its languages and counts as inspect gives them, with
// --quiet nothing) and of every problem on standard
// error. With --advertise it announces its first socket and LPD listeners over DNS-SD
// while it runs, and says on standard error what became of that.
class CaptureCommand : private CaptureReport {
public:
    CaptureCommand(std::ostream& out, std::ostream& err);

    // Listens until SIGINT or SIGTERM. 0 once stopped, 1 when it cannot listen.
    int Run(const CliArguments::Request& request);

private:
    void Listening(const std::string& where) override;
    void Job(const CapturedJob& job) override;
    void Problem(const std::string& peer, const std::string& message) override;
    // Writes the job's token text and hands its bytes to the inspection on the way; false when
    // the job could not be read whole.
    bool ShowBytes(const std::string& path, Inspection& inspection);
    // Where the listeners are announced (DnssdAdvertisement); said on standard error.
    void Advertised(const std::string& line);

    // The advertisement reports on a thread of its own: each line goes out whole.
    std::mutex output_;

    std::ostream& out_;
    std::ostream& err_;
    bool show_ = false;
    bool quiet_ = false;
};
