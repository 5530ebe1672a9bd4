#include "tests/printing/backends/device/peer_reader.h"

#include <algorithm>
#include <chrono>
#include <poll.h>
#include <unistd.h>

PeerReader::PeerReader(FileDescriptor end, std::size_t limit, AtLimit atLimit)
    : end_(std::move(end)), thread_([this, limit, atLimit] { Run(limit, atLimit); }) {}

PeerReader::~PeerReader() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
}

const std::string& PeerReader::Received() {
    if (thread_.joinable()) {
        thread_.join();
    }
    return received_;
}

void PeerReader::Run(std::size_t limit, AtLimit atLimit) {
    using Clock = std::chrono::steady_clock;
    auto lastData = Clock::now();
    char buffer[65536];
    while (!stop_ && received_.size() < limit &&
           Clock::now() - lastData < std::chrono::seconds(5)) {
        pollfd ready{end_.Get(), POLLIN, 0};
        if (::poll(&ready, 1, 50) <= 0) {
            continue;
        }
        const ssize_t count =
            ::read(end_.Get(), buffer, std::min(sizeof buffer, limit - received_.size()));
        if (count <= 0) {
            break;
        }
        received_.append(buffer, static_cast<std::size_t>(count));
        lastData = Clock::now();
    }
    if (atLimit == AtLimit::Close) {
        end_ = FileDescriptor();
    }
}
