#pragma once

#include "printing/capture/capture_options.h"

#include <cstdint>
#include <string>

// What the listener tells of one job it kept. Everything a sender named (queue, job,
// user, host) is already made safe to print: it never names a file.
struct CapturedJob {
    CaptureOptions::Protocol protocol = CaptureOptions::Protocol::Socket;
    std::uint64_t number = 0;
    // The sender's address and port: "127.0.0.1:51234", "[::1]:51234".
    std::string peer;
    std::uint64_t size = 0;
    // Where its bytes are: DIR/job-N.prn, or DIR/job-N.prn.partial when it was cut off.
    std::string path;
    // Why it was cut off; empty for a whole job.
    std::string cutOff;
    // LPD only: the queue it was sent to, and its control file's job name, user and host.
    std::string queue;
    std::string jobName;
    std::string user;
    std::string host;

    bool Complete() const { return cutOff.empty(); }
};
