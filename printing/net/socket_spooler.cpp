#include "printing/net/socket_spooler.h"

#include "printing/net/tcp_connection.h"

SocketSpooler::SocketSpooler(const PrinterAddress& address, const DirectOptions& options)
    : address_(address), options_(options) {}

SocketSpooler::~SocketSpooler() {
    ClosePrinter();
}

std::string SocketSpooler::Where() const {
    return "the printer at " + address_.HostForUrl() + " port " + std::to_string(address_.port());
}

bool SocketSpooler::Fail(const std::string& what) {
    failed_ = true;
    documentOpen_ = false;
    lastError_ =
        what + " " + Where() + ": " + DescribeFailure(*connection_, connection_->BytesSent()) + ".";
    connection_->Abort();
    return false;
}

bool SocketSpooler::OpenPrinter(const std::string&) {
    ClosePrinter();
    failed_ = false;
    lastError_.clear();
    connection_ = std::make_unique<TcpConnection>();
    if (!connection_->Connect(address_.host(), address_.port(), options_.connectTimeout)) {
        return Fail("Could not connect to");
    }
    connection_->DiscardIncoming();
    return true;
}

bool SocketSpooler::StartDocument(const std::string&) {
    if (!Ready()) {
        return false;
    }
    documentOpen_ = true;
    return true;
}

bool SocketSpooler::StartPage() {
    return Ready() && documentOpen_;
}

bool SocketSpooler::Write(std::string_view data) {
    if (!Ready() || !documentOpen_) {
        return false;
    }
    if (!connection_->Send(data, options_.stallTimeout)) {
        return Fail("Could not send to");
    }
    return true;
}

bool SocketSpooler::EndPage() {
    return Ready() && documentOpen_;
}

bool SocketSpooler::EndDocument() {
    if (!Ready() || !documentOpen_) {
        return false;
    }
    documentOpen_ = false;
    // The printer learns that the job is complete from the end of the stream; it closes
    // its side once it has taken everything.
    if (!connection_->FinishSending()) {
        return Fail("Could not complete the job on");
    }
    if (!connection_->AwaitClose(options_.stallTimeout)) {
        return Fail("Could not complete the job on");
    }
    connection_.reset();
    return true;
}

bool SocketSpooler::ClosePrinter() {
    if (connection_ && documentOpen_) {
        // A document that was never ended must not look complete to the printer.
        connection_->Abort();
    }
    documentOpen_ = false;
    connection_.reset();
    return true;
}

void SocketSpooler::CancelDocument() {
    if (!failed_) {
        failed_ = true;
        lastError_ = "The job was cancelled because its data could not be read.";
    }
    documentOpen_ = false;
    if (connection_) {
        connection_->Abort();
    }
}
