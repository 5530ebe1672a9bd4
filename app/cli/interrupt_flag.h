#pragma once

#include <atomic>

// The request to stop that Ctrl+C (SIGINT) or SIGTERM makes: raised from a signal handler,
// read by the command between the pieces of a job. Two lock-free atomics, so raising it is
// safe inside a handler.
class InterruptFlag {
public:
    // Records the signal and asks the job in progress to stop. Safe in a signal handler.
    void Raise(int signalNumber) noexcept;

    bool Raised() const noexcept { return stop_.load(); }
    // The signal that raised the flag; 0 while it is down.
    int Signal() const noexcept { return signal_.load(); }
    // The exit status of a command ended by that signal, as a shell reports one: 128 + its
    // number (130 for SIGINT, 143 for SIGTERM).
    int ExitStatus() const noexcept { return 128 + Signal(); }
    // What the raw-job procedures watch (JobControl::stop).
    const std::atomic<bool>* Stop() const noexcept { return &stop_; }

private:
    static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
                  "a signal handler may only touch lock-free atomics");

    std::atomic<int> signal_{0};
    std::atomic<bool> stop_{false};
};
