#include "printing/net/tcp_connection.h"

#include "core/seconds_text.h"
#include "printing/address/local_host_names.h"

#include <algorithm>
#include <asio/error.hpp>
#include <thread>

#ifdef __linux__
#include <linux/sockios.h>
#include <sys/ioctl.h>
#endif

namespace {

bool IsHostUnknown(const std::error_code& error) {
    return error == asio::error::host_not_found || error == asio::error::host_not_found_try_again ||
           error == asio::error::no_data || error == asio::error::no_recovery;
}

bool IsUnreachable(const std::error_code& error) {
    return error == asio::error::network_unreachable || error == asio::error::host_unreachable ||
           error == asio::error::network_down;
}

bool IsReset(const std::error_code& error) {
    return error == asio::error::connection_reset || error == asio::error::broken_pipe ||
           error == asio::error::connection_aborted;
}

std::string ConnectFailure(const std::error_code& error) {
    if (error == asio::error::connection_refused) {
        return "connection refused";
    }
    if (IsUnreachable(error)) {
        return "unreachable";
    }
    return error.message();
}

} // namespace

TcpConnection::TcpConnection() : resolver_(io_), socket_(io_) {}

TcpConnection::~TcpConnection() {
    Close();
}

bool TcpConnection::Fail(std::string reason) {
    reason_ = std::move(reason);
    // Asked before the connection goes, for the message's count of what the printer took.
    unacknowledgedAtFailure_ = QueryUnacknowledged();
    Abort();
    return false;
}

bool TcpConnection::FailTimedOut(std::chrono::milliseconds timeout, const std::string& waitingFor) {
    timedOut_ = true;
    return Fail("timed out after " + SecondsText(timeout) + waitingFor);
}

// Runs in slices, so that a stop is seen within one of them.
template <typename Done>
bool TcpConnection::RunUntil(Done done, std::chrono::milliseconds timeout) {
    constexpr std::chrono::milliseconds Slice{100};
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline || (stop_ != nullptr && stop_->load())) {
            return false;
        }
        if (io_.stopped()) {
            io_.restart();
        }
        io_.run_one_for(std::min<std::chrono::steady_clock::duration>(deadline - now, Slice));
    }
    return true;
}

void TcpConnection::FlushCancelled() {
    // The completions of cancelled socket operations come soon after the close (at once on
    // Linux, through the completion port on Windows); run them now, while every buffer
    // they name still exists. A resolver that is still waiting for the system is left
    // alone: its completion only writes members.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    io_.restart();
    io_.poll();
    while (pendingOperations_ > 0 && std::chrono::steady_clock::now() < deadline) {
        if (io_.stopped()) {
            io_.restart();
        }
        io_.run_one_for(std::chrono::milliseconds(100));
    }
}

// The addresses a lookup gave, as endpoints; one that is no address is passed over.
std::vector<asio::ip::tcp::endpoint>
TcpConnection::Endpoints(const std::vector<std::string>& addresses, std::uint16_t port) {
    std::vector<asio::ip::tcp::endpoint> endpoints;
    for (const std::string& text : addresses) {
        std::error_code error;
        const asio::ip::address address = asio::ip::make_address(text, error);
        if (!error) {
            endpoints.emplace_back(address, port);
        }
    }
    return endpoints;
}

bool TcpConnection::ResolveHost(const std::string& host, std::uint16_t port,
                                std::chrono::milliseconds timeout, const std::string& localFailure,
                                std::vector<asio::ip::tcp::endpoint>& endpoints) {
    done_ = false;
    resolver_.async_resolve(
        host, std::to_string(port), asio::ip::tcp::resolver::numeric_service,
        [this](const std::error_code& error, asio::ip::tcp::resolver::results_type results) {
            result_ = error;
            endpoints_ = std::move(results);
            done_ = true;
        });
    if (!RunUntil([this] { return done_; }, timeout)) {
        resolver_.cancel();
        FlushCancelled();
        return false;
    }
    if (result_) {
        // The system knows no such name; a ".local" name's lookup may say why.
        const std::string why = IsHostUnknown(result_) ? "host unknown" : result_.message();
        return Fail(localFailure.empty() ? why : why + " (DNS-SD: " + localFailure + ")");
    }
    for (const auto& entry : endpoints_) {
        endpoints.push_back(entry.endpoint());
    }
    return true;
}

bool TcpConnection::Connect(const std::string& host, std::uint16_t port,
                            std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const auto remaining = [deadline] {
        return std::max(std::chrono::milliseconds(0),
                        std::chrono::duration_cast<std::chrono::milliseconds>(
                            deadline - std::chrono::steady_clock::now()));
    };

    reason_.clear();
    // A ".local" name is looked up through DNS-SD first, within the same time; the
    // system's resolver gets every other name and what that lookup could not answer.
    const LocalHostNames::Answer local = LocalHostNames::Resolve(host, timeout);
    std::vector<asio::ip::tcp::endpoint> endpoints = Endpoints(local.addresses, port);
    if (endpoints.empty()) {
        if (remaining().count() == 0) {
            return FailTimedOut(timeout, " waiting for DNS-SD to find " + host);
        }
        if (!ResolveHost(host, port, remaining(), local.failure, endpoints)) {
            return reason_.empty() ? FailTimedOut(timeout) : false;
        }
    }
    // The first address's failure says most about the printer; a later one is only tried.
    std::string firstFailure;
    for (const auto& endpoint : endpoints) {
        std::error_code ignored;
        socket_.close(ignored);
        done_ = false;
        ++pendingOperations_;
        socket_.async_connect(endpoint, [this](const std::error_code& error) {
            --pendingOperations_;
            result_ = error;
            done_ = true;
        });
        if (!RunUntil([this] { return done_; }, remaining())) {
            return FailTimedOut(timeout);
        }
        if (!result_) {
            bytesSent_ = 0;
            reason_.clear();
            return true;
        }
        if (firstFailure.empty()) {
            firstFailure = ConnectFailure(result_);
        }
    }
    return Fail(firstFailure.empty() ? "host unknown" : firstFailure);
}

void TcpConnection::ReadIncoming() {
    if (!reading_) {
        reading_ = true;
        ReadNext();
    }
}

void TcpConnection::ReadNext() {
    ++pendingOperations_;
    socket_.async_read_some(asio::buffer(incoming_),
                            [this](const std::error_code& error, std::size_t count) {
                                --pendingOperations_;
                                kept_.append(incoming_.data(), count);
                                if (kept_.size() > KeptIncoming) {
                                    kept_.erase(0, kept_.size() - KeptIncoming);
                                }
                                if (error == asio::error::eof) {
                                    peerClosed_ = true;
                                } else if (error) {
                                    incomingError_ = error;
                                } else {
                                    ReadNext();
                                }
                            });
}

std::size_t TcpConnection::TakeIncoming(char* buffer, std::size_t capacity,
                                        std::chrono::milliseconds wait) {
    if (reading_ && socket_.is_open()) {
        // What already arrived is handed over at once, even without a wait.
        if (io_.stopped()) {
            io_.restart();
        }
        io_.poll();
        RunUntil([this] { return !kept_.empty() || peerClosed_ || incomingError_; }, wait);
    }
    const std::size_t count = std::min(capacity, kept_.size());
    kept_.copy(buffer, count);
    kept_.erase(0, count);
    return count;
}

std::string TcpConnection::SendFailure(const std::error_code& error) {
    if (IsReset(error)) {
        reset_ = true;
        return "the printer reset the connection";
    }
    return error.message();
}

bool TcpConnection::Send(std::string_view data, std::chrono::milliseconds stallTimeout) {
    while (!data.empty()) {
        if (incomingError_) {
            return Fail(SendFailure(incomingError_));
        }
        done_ = false;
        ++pendingOperations_;
        socket_.async_write_some(asio::buffer(data.data(), data.size()),
                                 [this](const std::error_code& error, std::size_t count) {
                                     --pendingOperations_;
                                     result_ = error;
                                     transferred_ = count;
                                     done_ = true;
                                 });
        if (!RunUntil([this] { return done_; }, stallTimeout)) {
            return FailTimedOut(stallTimeout);
        }
        if (result_) {
            return Fail(SendFailure(result_));
        }
        bytesSent_ += transferred_;
        data.remove_prefix(transferred_);
    }
    return true;
}

TcpConnection::Reply TcpConnection::ReceiveByte(unsigned char& byte,
                                                std::chrono::milliseconds timeout) {
    done_ = false;
    ++pendingOperations_;
    socket_.async_read_some(asio::buffer(&replyByte_, 1),
                            [this](const std::error_code& error, std::size_t count) {
                                --pendingOperations_;
                                result_ = error;
                                transferred_ = count;
                                done_ = true;
                            });
    if (!RunUntil([this] { return done_; }, timeout)) {
        FailTimedOut(timeout);
        return Reply::Failed;
    }
    if (result_ == asio::error::eof) {
        reason_ = "the connection was closed";
        Close();
        return Reply::Closed;
    }
    if (result_) {
        Fail(SendFailure(result_));
        return Reply::Failed;
    }
    byte = replyByte_;
    return Reply::Byte;
}

bool TcpConnection::FinishSending() {
    // A close that came before our last byte is no printer's word that it took the job:
    // one that closed its side at once and reads nothing would otherwise look done.
    if (reading_) {
        if (io_.stopped()) {
            io_.restart();
        }
        io_.poll();
        closedBeforeEnd_ = peerClosed_;
    }
    std::error_code error;
    socket_.shutdown(asio::ip::tcp::socket::shutdown_send, error);
    if (error) {
        return Fail(SendFailure(error));
    }
    return true;
}

bool TcpConnection::AwaitClose(std::chrono::milliseconds timeout) {
    ReadIncoming();
    if (!RunUntil([this] { return peerClosed_ || incomingError_; }, timeout)) {
        return FailTimedOut(timeout, " waiting for the printer to close the connection");
    }
    if (incomingError_) {
        return Fail(SendFailure(incomingError_));
    }
    if (closedBeforeEnd_) {
        return Fail("the printer closed its side of the connection before the job was complete");
    }
    if (!AwaitAcknowledged(timeout)) {
        return Fail("the printer closed its side of the connection without taking the last " +
                    std::to_string(QueryUnacknowledged().value_or(0)) + " bytes");
    }
    Close();
    return true;
}

std::optional<std::uint64_t> TcpConnection::QueryUnacknowledged() const {
#ifdef __linux__
    int queued = 0;
    // asio gives the descriptor only to a socket that may change; asking the kernel
    // about its queue changes nothing.
    auto& socket = const_cast<asio::ip::tcp::socket&>(socket_);
    if (socket.is_open() && ::ioctl(socket.native_handle(), SIOCOUTQ, &queued) == 0) {
        return static_cast<std::uint64_t>(queued);
    }
#endif
    return std::nullopt;
}

std::optional<std::uint64_t> TcpConnection::Unacknowledged() const {
    return socket_.is_open() ? QueryUnacknowledged() : unacknowledgedAtFailure_;
}

// The peer's kernel acknowledges what its program will read: bytes it never took stay in
// our output queue. Waits until the queue is empty, as long as it shrinks within every
// time-out.
bool TcpConnection::AwaitAcknowledged(std::chrono::milliseconds timeout) {
    constexpr std::chrono::milliseconds Interval{10};
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (std::optional<std::uint64_t> queued = QueryUnacknowledged(); queued && *queued > 0;) {
        if (std::chrono::steady_clock::now() >= deadline || (stop_ != nullptr && stop_->load())) {
            return false;
        }
        std::this_thread::sleep_for(Interval);
        const std::optional<std::uint64_t> now = QueryUnacknowledged();
        if (now && *now < *queued) {
            deadline = std::chrono::steady_clock::now() + timeout;
        }
        queued = now;
    }
    return true;
}

void TcpConnection::Abort() {
    if (socket_.is_open()) {
        std::error_code ignored;
        socket_.cancel(ignored);
        // A zero linger time makes the close a reset rather than an orderly end.
        socket_.set_option(asio::socket_base::linger(true, 0), ignored);
        socket_.close(ignored);
    }
    FlushCancelled();
}

void TcpConnection::Close() {
    if (socket_.is_open()) {
        std::error_code ignored;
        socket_.close(ignored);
    }
    FlushCancelled();
}

std::string DescribeFailure(const TcpConnection& connection, std::uint64_t bytesSent) {
    // What our side handed over is more than the printer took by what it never
    // acknowledged; where the system can't tell, the count says only what was sent.
    const std::optional<std::uint64_t> unacknowledged = connection.Unacknowledged();
    const std::uint64_t taken =
        unacknowledged ? bytesSent - std::min(bytesSent, *unacknowledged) : bytesSent;
    const std::string count = std::to_string(taken);
    if (connection.WasReset()) {
        return connection.Reason() + " after " + count + " bytes";
    }
    if (taken == 0) {
        return connection.Reason();
    }
    return connection.Reason() + "; " + count +
           (unacknowledged ? " bytes had reached the printer" : " bytes had been sent");
}
