#pragma once

#include "printing/capture/emulation.h"

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
    // Connections served at once. When all are taken, a newcomer gets the place of one that
    // gives way (GiveWay); while none does, newcomers wait in the system's accept queue.
    // Each place costs a socket and a job file's descriptor, and at most an LPD control
    // file in memory (LpdConversation::MaxControlFileSize).
    std::size_t maxConnections = 256;
    // A sender gives way when it has sent nothing for this long, or has been connected this
    // long and is too slow (GiveWay).
    std::chrono::milliseconds giveWayAfter{std::chrono::seconds(2)};
    // With a language, the socket listeners answer status queries as a printer of that
    // language would; LPD carries no replies.
    Emulation emulation;
};
