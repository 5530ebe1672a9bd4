#include "printing/backends/socket/socket_backend.h"

#include "printing/net/tcp_connection.h"

#include <utility>

SocketBackend::SocketBackend(const PrinterAddress& address, JobOptions options)
    : address_(address), options_(std::move(options)) {}

SocketBackend::~SocketBackend() {
    Abort();
}

std::string SocketBackend::Where() const {
    return "the printer at " + address_.HostForUrl() + " port " + std::to_string(address_.port());
}

void SocketBackend::Fail(const std::string& what, FailureKind usual) {
    const FailureKind kind = connection_->TimedOut()   ? FailureKind::TimedOut
                             : connection_->WasReset() ? FailureKind::Reset
                                                       : usual;
    throw JobFailure(kind, what + " " + Where() + ": " +
                               DescribeFailure(*connection_, connection_->BytesSent()) + ".");
}

void SocketBackend::Open(std::optional<std::uint64_t>) {
    Abort();
    connection_ = std::make_unique<TcpConnection>();
    connection_->WatchStop(StopFlag());
    if (!connection_->Connect(address_.host(), address_.port(), options_.timeouts.connect)) {
        Fail("Could not connect to", FailureKind::Unreachable);
    }
    connection_->ReadIncoming();
}

void SocketBackend::Write(std::string_view data) {
    if (!connection_->Send(data, options_.timeouts.stall)) {
        Fail("Could not send to", FailureKind::Reset);
    }
}

std::size_t SocketBackend::Read(char* buffer, std::size_t capacity,
                                std::chrono::milliseconds wait) {
    return connection_ ? connection_->TakeIncoming(buffer, capacity, wait) : 0;
}

void SocketBackend::Finish() {
    // The printer learns that the job is complete from the end of the stream; it closes
    // its side once it has taken everything.
    if (!connection_->FinishSending() || !connection_->AwaitClose(options_.timeouts.stall)) {
        Fail("Could not complete the job on", FailureKind::Reset);
    }
    connection_.reset();
}

void SocketBackend::Abort() {
    if (connection_) {
        // A job that was never finished must not look complete to the printer.
        connection_->Abort();
        connection_.reset();
    }
}
