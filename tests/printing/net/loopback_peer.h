#pragma once

#include "printing/job/job_result.h"

#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <atomic>
#include <cstdint>
#include <functional>
#include <future>
#include <string>
#include <string_view>
#include <thread>

class PrinterBackend;

// A printer or server on the loopback interface for one test: it listens on a free port,
// takes one connection and plays its part in a thread of its own. Parts that hold the
// connection open wait for Released(), which comes when the peer is destroyed.
class LoopbackPeer {
public:
    using Part = std::function<void(asio::ip::tcp::socket&, LoopbackPeer&)>;

    // host is "127.0.0.1" or "::1".
    LoopbackPeer(const std::string& host, Part part);
    ~LoopbackPeer();
    LoopbackPeer(const LoopbackPeer&) = delete;
    LoopbackPeer& operator=(const LoopbackPeer&) = delete;

    std::uint16_t Port() const { return port_; }
    // Whether a client has connected.
    bool Accepted() const { return accepted_; }
    // Waits until the part has played out.
    void Join();
    void WaitForRelease() { released_.wait(); }

private:
    asio::io_context io_;
    asio::ip::tcp::acceptor acceptor_;
    std::uint16_t port_ = 0;
    std::atomic<bool> accepted_{false};
    std::promise<void> release_;
    std::shared_future<void> released_;
    std::thread thread_;
};

// Reads until the other side ends the stream; how it ended: "eof", "reset" or the error.
std::string ReadToEnd(asio::ip::tcp::socket& socket, std::string& into);

// A port on which nothing listens (it was free a moment ago).
std::uint16_t ClosedPort();

// Bytes for a test stream: a pattern that repeats only after many megabytes.
std::string PatternBytes(std::size_t count);

// Sends the bytes as one job through the job driver, read from a stream that gives them
// in pieces of pieceSize, as a pipe would; atEnd, if any, runs when the stream is read to
// its end.
JobResult SendJob(PrinterBackend& backend, std::string_view bytes, std::size_t pieceSize,
                  const std::function<void()>& atEnd = {});
