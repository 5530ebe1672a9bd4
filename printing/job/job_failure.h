#pragma once

#include <stdexcept>
#include <string>

// What kind of thing stopped a job, so that callers can act on it (an exit status, which
// list a window names the file in) without reading the sentence.
enum class FailureKind {
    Refused,          // the spooler or the printer refused the job or one of its steps
    Unreachable,      // the printer or spooler could not be reached or opened
    TimedOut,         // a step made no progress within its time-out
    Reset,            // the connection was cut off part-way through the job
    Stopped,          // the user stopped the job
    InputUnreadable,  // the job's own data could not be read
    MalformedAddress, // the printer's address is not one that can be used
    NotReady,         // the printer is there but can't take the job now
};

// Why a job failed: its kind, and a sentence in the printer's or spooler's own words that
// says which step failed and what had reached the printer. Thrown by printer backends;
// the job driver catches it, withdraws the job and hands it to the caller as a value.
class JobFailure : public std::runtime_error {
public:
    JobFailure(FailureKind kind, const std::string& message)
        : std::runtime_error(message), kind_(kind) {}

    FailureKind kind() const { return kind_; }

    // The one wording of a job the user stopped.
    static JobFailure Stopped();

private:
    FailureKind kind_;
};
