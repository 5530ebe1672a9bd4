#pragma once

#include <string>

struct CapturedJob;

// Where the listener tells what happens; the command line prints it.
class CaptureReport {
public:
    virtual ~CaptureReport() = default;

    // Listening on "socket 127.0.0.1:9100" or "LPD [::1]:515".
    virtual void Listening(const std::string& where) = 0;
    // A job kept whole, or cut off and kept as .partial (job.Complete() tells).
    virtual void Job(const CapturedJob& job) = 0;
    // A connection that left no job behind and went wrong: a refused LPD conversation, a
    // file that could not be written. Peer as in CapturedJob.
    virtual void Problem(const std::string& peer, const std::string& message) = 0;
};
