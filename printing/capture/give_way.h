#pragma once

#include "core/seconds_text.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>

// Who makes room when every place of the capture is taken. A single byte keeps a sender's
// stall time-out away, so senders that hold their connection silent or trickle a byte now
// and then would keep every later one out for good. Instead a newcomer takes the place of
// a sender that gives way: one that has sent nothing for the give-way time (a job begun
// or not), or that has been connected that long and brought less than MinBytesPerSecond
// on average. A sender that keeps its bytes coming never gives way. Platform-free.
class GiveWay {
public:
    using Clock = std::chrono::steady_clock;

    // What one connection has shown so far.
    struct Progress {
        Clock::time_point connected;
        // `connected` until the first byte.
        Clock::time_point lastByte;
        std::uint64_t bytes = 0;
    };

    static constexpr std::uint64_t MinBytesPerSecond = 1024;

    explicit GiveWay(std::chrono::milliseconds after) : after_(after) {}

    // When the sender gives way if nothing more comes from it.
    Clock::time_point YieldsAt(const Progress& progress) const {
        // Beyond a TiB no sender is slow; the bound keeps the time within the clock's range.
        const std::uint64_t bytes = std::min<std::uint64_t>(progress.bytes, std::uint64_t{1} << 40);
        const auto earnedTime = std::chrono::milliseconds(bytes * 1000 / MinBytesPerSecond);
        const Clock::time_point slowAt = progress.connected + std::max(after_, earnedTime);
        return std::min(progress.lastByte + after_, slowAt);
    }

    // Why it gives way at `now`, as the job's cut-off reason.
    std::string Reason(const Progress& progress, Clock::time_point now) const {
        const std::string why = now - progress.lastByte >= after_
                                    ? "no byte for " + SecondsText(after_)
                                    : std::to_string(progress.bytes) + " bytes in " +
                                          SecondsText(HeldFor(progress, now)) + ", too slow";
        return why + " while another sender waited";
    }

    // Of two that give way, whether `a` goes first: the slower on average, then the one
    // silent for longer.
    static bool GoesBefore(const Progress& a, const Progress& b, Clock::time_point now) {
        const double aTimesB = static_cast<double>(a.bytes) * HeldFor(b, now).count();
        const double bTimesA = static_cast<double>(b.bytes) * HeldFor(a, now).count();
        return aTimesB != bTimesA ? aTimesB < bTimesA : a.lastByte < b.lastByte;
    }

private:
    static std::chrono::milliseconds HeldFor(const Progress& progress, Clock::time_point now) {
        return std::max(
            std::chrono::milliseconds(1),
            std::chrono::duration_cast<std::chrono::milliseconds>(now - progress.connected));
    }

    std::chrono::milliseconds after_;
};
