#pragma once

#include <array>
#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// One TCP connection to a printer, driven the way a job needs it: every wait is bounded
// by a time-out, so nothing blocks for ever. Each step runs the connection's own
// io_context only until its operation completes or its time is up; a step that fails
// leaves Reason() saying why in plain words and the connection aborted.
class TcpConnection {
public:
    enum class Reply { Byte, Closed, Failed };

    TcpConnection();
    ~TcpConnection();
    TcpConnection(const TcpConnection&) = delete;
    TcpConnection& operator=(const TcpConnection&) = delete;

    // Resolves the host (IPv4 and IPv6) and tries each of its addresses in turn until one
    // takes the connection, all within the time-out.
    bool Connect(const std::string& host, std::uint16_t port, std::chrono::milliseconds timeout);

    // Reads whatever the peer sends from now on and drops it, alongside every later step,
    // so that a printer talking back can never fill its send buffer and stall ours.
    void DiscardIncoming();

    // Sends every byte; fails when no byte could be sent for stallTimeout.
    bool Send(std::string_view data, std::chrono::milliseconds stallTimeout);

    // Waits for one byte from the peer (not while discarding).
    Reply ReceiveByte(unsigned char& byte, std::chrono::milliseconds timeout);

    // Tells the peer that nothing more will come (shuts down the sending side).
    bool FinishSending();

    // Waits until the peer closes its side (while discarding); a reset is a failure.
    bool AwaitClose(std::chrono::milliseconds timeout);

    // Cuts the connection off with a reset, so the peer can tell it was not completed.
    void Abort();

    // Closes the connection in the ordinary way.
    void Close();

    // The bytes handed to the connection so far.
    std::uint64_t BytesSent() const { return bytesSent_; }
    // Why the last step failed: "connection refused", "timed out after 1 s", ...
    const std::string& Reason() const { return reason_; }
    // Whether that failure was the peer resetting the connection.
    bool WasReset() const { return reset_; }

private:
    bool RunUntil(const bool& done, std::chrono::milliseconds timeout);
    void ReadNext();
    void FlushCancelled();
    bool Fail(std::string reason);
    std::string SendFailure(const std::error_code& error);

    asio::io_context io_;
    asio::ip::tcp::resolver resolver_;
    asio::ip::tcp::socket socket_;

    // The state of the operation in flight, kept here rather than on a step's stack, so
    // that a completion that comes after its step gave up touches nothing that is gone.
    bool done_ = false;
    std::error_code result_;
    std::size_t transferred_ = 0;
    asio::ip::tcp::resolver::results_type endpoints_;
    unsigned char replyByte_ = 0;
    // Socket operations started and not yet completed.
    int pendingOperations_ = 0;

    bool discarding_ = false;
    bool peerClosed_ = false;
    std::error_code incomingError_;
    std::array<char, 4096> incoming_{};

    std::uint64_t bytesSent_ = 0;
    std::string reason_;
    bool reset_ = false;
};

// A time-out as it is written in messages: "1 s", "0.5 s", "30 s".
std::string SecondsText(std::chrono::milliseconds duration);

// A failure after the job's bytes began to flow, with how many had been delivered:
// "the printer reset the connection after K bytes", "timed out after 1 s; K bytes had
// reached the printer".
std::string DescribeFailure(const TcpConnection& connection, std::uint64_t bytesDelivered);
