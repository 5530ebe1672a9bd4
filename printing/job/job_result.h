#pragma once

#include "printing/job/job_failure.h"

#include <cstdint>
#include <optional>
#include <string>

// What became of one raw job, as the job driver hands it back.
struct JobResult {
    enum class Outcome {
        Sent,   // the printer or spooler accepted every byte and the job's end
        Empty,  // a stream without a byte: no job was made
        Failed, // `failure` says how and why
    };

    Outcome outcome = Outcome::Failed;
    std::optional<JobFailure> failure;
    // The spooler's or printer's number for the job, 0 when it keeps none.
    int jobId = 0;
    // The bytes the printer or spooler took.
    std::uint64_t bytesSent = 0;
    // What the printer itself said of the finished job ("printed", "sent, printer ready"),
    // empty when it was not asked.
    std::string confirmation;

    bool Sent() const { return outcome == Outcome::Sent; }
    bool StoppedByUser() const { return failure && failure->kind() == FailureKind::Stopped; }
};
