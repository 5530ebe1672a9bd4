#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

// What the caller of a raw job may watch and steer while the job's bytes go out. A job
// runs on one thread; `stop` may be set from any other, or from a signal handler.
struct JobControl {
    // Called after each piece the spooler took, with the job's bytes taken so far.
    std::function<void(std::uint64_t bytesSent)> progress;
    // Set to stop the job before its next piece: the document is cancelled (what the
    // spooler holds of it never prints), the printer closed, and the job reports failure.
    // A piece already inside the spooler's write finishes first.
    const std::atomic<bool>* stop = nullptr;

    bool StopRequested() const { return stop != nullptr && stop->load(); }
    void Report(std::uint64_t bytesSent) const {
        if (progress) {
            progress(bytesSent);
        }
    }
};
