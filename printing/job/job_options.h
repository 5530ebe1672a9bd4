#pragma once

#include <chrono>
#include <string>

// How long each kind of wait on a printer or spooler may last. Every exchange is bounded
// by one of them, so nothing waits for ever.
struct Timeouts {
    // How long a connection may take to be made.
    std::chrono::milliseconds connect{std::chrono::seconds(10)};
    // How long a write may make no progress before the job is given up.
    std::chrono::milliseconds stall{std::chrono::seconds(30)};
    // How long the system's print scheduler (CUPS) may take to answer: a scheduler that
    // takes the connection and never answers must not hold a job or a look-up for ever.
    std::chrono::milliseconds scheduler{std::chrono::seconds(15)};

    // Every wait bounded by the same time-out, as --timeout asks.
    static Timeouts All(std::chrono::milliseconds timeout) { return {timeout, timeout, timeout}; }
};

// What one job carries besides its bytes. Copied into every backend that serves the job:
// nothing refers to options that someone may change later.
struct JobOptions {
    // The name every job carries in the spooler unless the caller gives it another.
    static constexpr const char* DefaultTitle = "Tolvenmark Document";

    // The job's name in the spooler or printer.
    std::string title = DefaultTitle;
    // The MIME type to declare to an IPP printer; empty to choose from the data.
    std::string documentFormat;
    Timeouts timeouts;
};
