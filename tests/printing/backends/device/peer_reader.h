#pragma once

#include "printing/backends/device/file_descriptor.h"

#include <atomic>
#include <cstddef>
#include <string>
#include <thread>

// The far end of a device, read on a thread of its own: it takes bytes until it has
// `limit` of them, then stops reading, and closes its end when told to. It gives up after
// a few seconds without data, so a test that goes wrong can't hang.
class PeerReader {
public:
    enum class AtLimit { HoldOpen, Close };

    PeerReader(FileDescriptor end, std::size_t limit, AtLimit atLimit = AtLimit::HoldOpen);
    ~PeerReader();
    PeerReader(const PeerReader&) = delete;
    PeerReader& operator=(const PeerReader&) = delete;

    int Descriptor() const { return end_.Get(); }
    // What came, once the reader has stopped.
    const std::string& Received();

private:
    void Run(std::size_t limit, AtLimit atLimit);

    FileDescriptor end_;
    std::atomic<bool> stop_{false};
    std::string received_;
    std::thread thread_;
};
