#pragma once

#include <array>
#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One TCP connection to a printer, driven the way a job needs it: every wait is bounded
// by a time-out, so nothing blocks for ever. Each step runs the connection's own
// io_context only until its operation completes or its time is up; a step that fails
// leaves Reason() saying why in plain words, WasReset() or TimedOut() saying what kind of
// failure it was, and the connection aborted.
class TcpConnection {
public:
    enum class Reply { Byte, Closed, Failed };

    // The most of what the peer sent that is kept for TakeIncoming: the printer's latest
    // words, not everything it ever said.
    static constexpr std::size_t KeptIncoming = 64 * 1024;

    TcpConnection();
    ~TcpConnection();
    TcpConnection(const TcpConnection&) = delete;
    TcpConnection& operator=(const TcpConnection&) = delete;

    // A flag that ends any wait soon after it is set, as a time-out would: the step fails
    // and the connection is cut off.
    void WatchStop(const std::atomic<bool>* stop) { stop_ = stop; }

    // Resolves the host (IPv4 and IPv6; a ".local" name through LocalHostNames first) and
    // tries each of its addresses in turn until one takes the connection, all within the
    // time-out.
    bool Connect(const std::string& host, std::uint16_t port, std::chrono::milliseconds timeout);

    // Reads whatever the peer sends from now on, alongside every later step, so that a
    // printer talking back can never fill its send buffer and stall ours. The last
    // KeptIncoming bytes of it wait for TakeIncoming; older ones are dropped.
    void ReadIncoming();

    // What the peer sent that is still kept, at most `capacity` bytes of it, waiting up to
    // `wait` for a first byte when none is kept; 0 when nothing came. Only while reading
    // incoming bytes, and only until the connection is closed.
    std::size_t TakeIncoming(char* buffer, std::size_t capacity, std::chrono::milliseconds wait);

    // Sends every byte; fails when no byte could be sent for stallTimeout.
    bool Send(std::string_view data, std::chrono::milliseconds stallTimeout);

    // Waits for one byte from the peer (not while reading incoming bytes).
    Reply ReceiveByte(unsigned char& byte, std::chrono::milliseconds timeout);

    // Tells the peer that nothing more will come (shuts down the sending side).
    bool FinishSending();

    // Waits until the peer closes its side, reading what it still sends; a reset is a
    // failure, and so is a close that came before FinishSending.
    bool AwaitClose(std::chrono::milliseconds timeout);

    // Cuts the connection off with a reset, so the peer can tell it was not completed.
    void Abort();

    // Closes the connection in the ordinary way.
    void Close();

    // The bytes handed to the connection so far.
    std::uint64_t BytesSent() const { return bytesSent_; }
    // Why the last step failed: "connection refused", "timed out after 1 s", ...
    const std::string& Reason() const { return reason_; }
    // The bytes handed over that the peer has not acknowledged yet (at the last failure,
    // once the connection is gone); nothing where the system does not tell (not Linux).
    std::optional<std::uint64_t> Unacknowledged() const;
    // Whether that failure was the peer resetting the connection.
    bool WasReset() const { return reset_; }
    // Whether that failure was a step running out of its time.
    bool TimedOut() const { return timedOut_; }

private:
    template <typename Done> bool RunUntil(Done done, std::chrono::milliseconds timeout);
    static std::vector<asio::ip::tcp::endpoint> Endpoints(const std::vector<std::string>& addresses,
                                                          std::uint16_t port);
    // The system's addresses for the host; false when it has none (Reason() says why) or
    // gave no answer in time (Reason() empty).
    bool ResolveHost(const std::string& host, std::uint16_t port, std::chrono::milliseconds timeout,
                     const std::string& localFailure,
                     std::vector<asio::ip::tcp::endpoint>& endpoints);
    void ReadNext();
    void FlushCancelled();
    bool Fail(std::string reason);
    std::optional<std::uint64_t> QueryUnacknowledged() const;
    bool AwaitAcknowledged(std::chrono::milliseconds timeout);
    bool FailTimedOut(std::chrono::milliseconds timeout, const std::string& waitingFor = "");
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

    bool reading_ = false;
    bool peerClosed_ = false;
    // The peer closed its side before FinishSending.
    bool closedBeforeEnd_ = false;
    std::optional<std::uint64_t> unacknowledgedAtFailure_;
    std::error_code incomingError_;
    std::array<char, 4096> incoming_{};
    std::string kept_;

    const std::atomic<bool>* stop_ = nullptr;
    std::uint64_t bytesSent_ = 0;
    std::string reason_;
    bool reset_ = false;
    bool timedOut_ = false;
};

// A failure after the job's bytes began to flow, with how many of the bytes sent the
// printer took (what it acknowledged, where the system tells; else "had been sent"):
// "the printer reset the connection after K bytes", "timed out after 1 s; K bytes had
// reached the printer".
std::string DescribeFailure(const TcpConnection& connection, std::uint64_t bytesSent);
