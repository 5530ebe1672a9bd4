#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// One way of reaching a printer, serving one job: the bytes out, what the printer says
// back, and the end of the job. The life of the job (its progress, a stop, a failure and
// its wording, withdrawing what was left behind) is the job driver's, written once for
// every backend; a backend only moves bytes and says when it can't.
//
// Every step that fails throws JobFailure with the kind and the printer's or spooler's own
// words; the driver then calls Abort and nothing else. Every wait inside a step is bounded
// by the job's time-outs.
class PrinterBackend {
public:
    virtual ~PrinterBackend() = default;

    // The job's stop flag, which another thread may set while a step waits on the printer:
    // a backend whose steps can wait long (a printer that takes no data, or never closes)
    // looks at it (StopFlag) while it waits and fails the step soon after it is set, so
    // that a stop never waits out a time-out. Given before Open; may be none.
    void WatchStop(const std::atomic<bool>* stop) { stop_ = stop; }

    // Whether the backend must know the job's length before it reaches the printer (an
    // LPD server is told each file's size first). The driver then keeps the job's bytes
    // aside until their end, and opens the backend with their count.
    virtual bool NeedsLength() const { return false; }

    // Reaches the printer and begins the job. `length` is the job's size in bytes when
    // NeedsLength() asked for it, else nothing.
    virtual void Open(std::optional<std::uint64_t> length) = 0;

    // Hands the bytes on; returns once the printer or spooler took them.
    virtual void Write(std::string_view data) = 0;

    // Whatever the printer has said since the last call, waiting up to `wait` for the first
    // byte of it; empty when it said nothing. A printer that never talks back says nothing.
    virtual std::size_t Read(char* buffer, std::size_t capacity, std::chrono::milliseconds wait) {
        (void)buffer;
        (void)capacity;
        (void)wait;
        return 0;
    }

    // Ends the job in order: returns once the printer or spooler accepted all of it.
    virtual void Finish() = 0;

    // Withdraws the job: what the backend or its spooler still holds of it never prints,
    // and a printer taking bytes straight from us is cut off so it can tell the job is
    // incomplete. Harmless at any point, before Open, after a failure, twice.
    virtual void Abort() = 0;

    // The spooler's or printer's number for the job, or 0 when it keeps none.
    virtual int JobId() const { return 0; }

    // What the printer itself said of the finished job, in words ("printed"), or nothing
    // when it was not asked.
    virtual std::string Confirmation() const { return {}; }

protected:
    const std::atomic<bool>* StopFlag() const { return stop_; }

private:
    const std::atomic<bool>* stop_ = nullptr;
};
