#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

// How tolvenmark-cli capture listens and what it keeps of each job.
struct CaptureOptions {
    enum class Protocol { Socket, Lpd };

    // One address to listen on: a socket printer's port (one connection, one job) or a
    // line printer daemon's.
    struct Endpoint {
        Protocol protocol = Protocol::Socket;
        // An IPv4 or IPv6 address, written without brackets.
        std::string address = "127.0.0.1";
        // 0 takes any free port; the listener says which.
        std::uint16_t port = 9100;
    };

    std::vector<Endpoint> endpoints;
    // The folder the jobs land in; empty for the current folder.
    std::string dir;
    // A job beyond this many bytes is cut off and kept as .partial.
    std::uint64_t maxSize = std::uint64_t{1} << 30;
    // How long a sender may send nothing before it is dropped.
    std::chrono::milliseconds stallTimeout{std::chrono::seconds(30)};
    // How long the jobs in progress may take to finish once the listener is told to stop.
    std::chrono::milliseconds stopGrace{std::chrono::seconds(5)};
    // Connections served at once; more wait in the system's accept queue.
    std::size_t maxConnections = 8;
};
