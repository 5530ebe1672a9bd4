#include "printing/backends/lpd/lpd_backend.h"

#include "printing/backends/lpd/lpd_protocol.h"
#include "printing/net/tcp_connection.h"

#include <asio/ip/host_name.hpp>
#include <atomic>
#include <cstdlib>
#include <stdexcept>
#include <utility>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace {

const char* const kPrivilegedPortHint = "it may accept only privileged source ports (below 1024)";

// Job numbers of one program run count up from a start that differs between runs, so
// that two programs sending to one server at once are unlikely to pick the same files.
int NextJobNumber() {
#ifdef _WIN32
    static std::atomic<int> counter{_getpid()};
#else
    static std::atomic<int> counter{static_cast<int>(getpid())};
#endif
    return counter++ % 999 + 1;
}

std::string ThisHostName() {
    std::error_code error;
    std::string name = asio::ip::host_name(error);
    return error || name.empty() ? std::string("localhost") : name;
}

std::string UserName() {
    for (const char* variable : {"USER", "LOGNAME", "USERNAME"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return "user";
}

} // namespace

LpdBackend::LpdBackend(const PrinterAddress& address, JobOptions options)
    : address_(address), options_(std::move(options)) {}

LpdBackend::~LpdBackend() {
    Abort();
}

std::string LpdBackend::Where() const {
    return "the LPD server at " + address_.HostForUrl() + " port " +
           std::to_string(address_.port()) + " (queue " + address_.queue() + ")";
}

void LpdBackend::FailToSend(FailureKind kind, const std::string& reason) {
    throw JobFailure(kind, "Could not send the job to " + Where() + ": " + reason + ".");
}

// The connection itself failed: it ran out of time, or it broke off.
void LpdBackend::FailOnConnection() {
    FailToSend(connection_->TimedOut() ? FailureKind::TimedOut : FailureKind::Reset,
               DescribeFailure(*connection_, dataBytesSent_));
}

void LpdBackend::Open(std::optional<std::uint64_t> length) {
    if (!length) {
        throw std::invalid_argument("An LPD job is opened with its length.");
    }
    Abort();
    jobNumber_ = 0;
    sendingBegan_ = false;
    length_ = *length;
    dataBytesSent_ = 0;
    connection_ = std::make_unique<TcpConnection>();
    connection_->WatchStop(StopFlag());
    if (!connection_->Connect(address_.host(), address_.port(), options_.timeouts.connect)) {
        throw JobFailure(connection_->TimedOut() ? FailureKind::TimedOut : FailureKind::Unreachable,
                         "Could not connect to " + Where() + ": " + connection_->Reason() + ".");
    }
    jobNumber_ = NextJobNumber();
    host_ = ThisHostName();
    dataFile_ = lpd::DataFileName(jobNumber_, host_);
    sendingBegan_ = true;
    SendReceiveJob();
    // The data file goes first: a server may start printing as soon as the control file
    // is complete.
    SendLine(lpd::ReceiveDataFileSubcommand(length_, dataFile_));
    AwaitAcknowledgement("data file");
}

void LpdBackend::SendReceiveJob() {
    // A server that takes jobs only from privileged ports closes the connection at once or
    // answers the command with a refusal; to us a close and a reset look alike here.
    const std::string refused =
        std::string("the LPD server refused the job; ") + kPrivilegedPortHint;
    if (connection_->Send(lpd::ReceiveJobCommand(address_.queue()), options_.timeouts.stall)) {
        unsigned char answer = 0;
        switch (connection_->ReceiveByte(answer, options_.timeouts.stall)) {
        case TcpConnection::Reply::Byte:
            if (answer == lpd::kAccepted) {
                return;
            }
            FailToSend(FailureKind::Refused,
                       "the LPD server refused the job (code " + std::to_string(answer) +
                           "); the queue may not exist, or " + kPrivilegedPortHint);
        case TcpConnection::Reply::Closed:
            FailToSend(FailureKind::Refused, refused);
        case TcpConnection::Reply::Failed:
            break;
        }
    }
    if (connection_->WasReset()) {
        FailToSend(FailureKind::Refused, refused);
    }
    FailOnConnection();
}

void LpdBackend::SendLine(const std::string& line) {
    if (!connection_->Send(line, options_.timeouts.stall)) {
        FailOnConnection();
    }
}

void LpdBackend::Write(std::string_view data) {
    if (data.size() > length_ - dataBytesSent_) {
        throw std::length_error("An LPD job was given more bytes than its length.");
    }
    if (!connection_->Send(data, options_.timeouts.stall)) {
        FailOnConnection();
    }
    dataBytesSent_ += data.size();
}

void LpdBackend::Finish() {
    if (dataBytesSent_ != length_) {
        throw std::length_error("An LPD job was given fewer bytes than its length.");
    }
    SendLine(std::string(1, '\0'));
    AwaitAcknowledgement("data");

    const std::string controlFile = lpd::ControlFileName(jobNumber_, host_);
    const std::string documentName =
        options_.title.empty() ? std::string(JobOptions::DefaultTitle) : options_.title;
    const std::string contents =
        lpd::BuildControlFile({host_, UserName(), documentName, documentName, dataFile_});
    SendLine(lpd::ReceiveControlFileSubcommand(contents.size(), controlFile));
    AwaitAcknowledgement("control file");
    SendLine(contents + '\0');
    AwaitAcknowledgement("control file's contents");

    connection_->Close();
    connection_.reset();
}

void LpdBackend::AwaitAcknowledgement(const std::string& step) {
    unsigned char answer = 0;
    const std::string delivered = dataBytesSent_ == 0 ? ""
                                                      : "; " + std::to_string(dataBytesSent_) +
                                                            " bytes had reached the printer";
    switch (connection_->ReceiveByte(answer, options_.timeouts.stall)) {
    case TcpConnection::Reply::Byte:
        if (answer == lpd::kAccepted) {
            return;
        }
        FailToSend(FailureKind::Refused, "the LPD server refused the " + step + " (code " +
                                             std::to_string(answer) + ")" + delivered);
    case TcpConnection::Reply::Closed:
        // The server ended the exchange on purpose rather than take the step.
        FailToSend(FailureKind::Refused,
                   "the LPD server closed the connection instead of acknowledging the " + step +
                       delivered);
    case TcpConnection::Reply::Failed:
        break;
    }
    FailOnConnection();
}

void LpdBackend::Abort() {
    if (!connection_) {
        return;
    }
    // Nothing was sent before the job was handed over: an ordinary close tells the server
    // nothing. Once the hand-over began, only a cut-off connection makes it discard.
    if (sendingBegan_) {
        connection_->Abort();
    } else {
        connection_->Close();
    }
    connection_.reset();
}
