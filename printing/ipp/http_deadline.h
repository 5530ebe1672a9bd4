#pragma once

#include <atomic>
#include <chrono>

struct _http_s;

// A bound on waiting for a peer that took the connection but does not answer. Once it
// watches a connection, every read and write on it fails when the deadline has passed;
// the wait is cut into short slices, so the library's own retries can't stretch it.
// The connection must not outlive the deadline, which must not move while it watches.
class HttpDeadline {
public:
    explicit HttpDeadline(std::chrono::milliseconds timeout);
    HttpDeadline(const HttpDeadline&) = delete;
    HttpDeadline& operator=(const HttpDeadline&) = delete;

    // Bounds the connection's waits by this deadline.
    void Watch(_http_s* connection);
    // The time-out starts anew from now: called before each exchange.
    void Restart();
    bool Passed() const;
    // A flag that cuts the waits short as a passed deadline does, soon after it is set.
    void WatchStop(const std::atomic<bool>* stop) { stop_ = stop; }
    std::chrono::milliseconds Timeout() const { return timeout_; }

private:
    static int StillWaiting(_http_s* connection, void* deadline);

    std::chrono::milliseconds timeout_;
    std::chrono::steady_clock::time_point end_;
    const std::atomic<bool>* stop_ = nullptr;
};
