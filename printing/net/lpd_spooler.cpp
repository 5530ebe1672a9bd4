#include "printing/net/lpd_spooler.h"

#include "printing/direct/lpd_protocol.h"
#include "printing/net/spool_file.h"
#include "printing/net/tcp_connection.h"

#include <asio/ip/host_name.hpp>
#include <atomic>
#include <cstdlib>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;
const char* const kDefaultDocumentName = "Tolvenmark Document";
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

LpdSpooler::LpdSpooler(const PrinterAddress& address, const DirectOptions& options)
    : address_(address), options_(options) {}

LpdSpooler::~LpdSpooler() {
    ClosePrinter();
}

std::string LpdSpooler::Where() const {
    return "the LPD server at " + address_.HostForUrl() + " port " +
           std::to_string(address_.port()) + " (queue " + address_.queue() + ")";
}

bool LpdSpooler::Fail(const std::string& message) {
    failed_ = true;
    lastError_ = message;
    spool_.reset();
    if (connection_) {
        // Cut off without the last acknowledgement, so the server drops what it has.
        connection_->Abort();
    }
    return false;
}

bool LpdSpooler::FailToSend(const std::string& reason) {
    return Fail("Could not send the job to " + Where() + ": " + reason + ".");
}

bool LpdSpooler::OpenPrinter(const std::string&) {
    ClosePrinter();
    failed_ = false;
    lastError_.clear();
    jobNumber_ = 0;
    sendingBegan_ = false;
    dataBytesSent_ = 0;
    connection_ = std::make_unique<TcpConnection>();
    if (!connection_->Connect(address_.host(), address_.port(), options_.connectTimeout)) {
        return Fail("Could not connect to " + Where() + ": " + connection_->Reason() + ".");
    }
    return true;
}

bool LpdSpooler::StartDocument(const std::string& documentName) {
    if (!Ready()) {
        return false;
    }
    documentName_ = documentName.empty() ? kDefaultDocumentName : documentName;
    spool_ = std::make_unique<SpoolFile>();
    if (!spool_->Open()) {
        return Fail("Could not make a temporary file for the job: " + spool_->Error() + ".");
    }
    jobNumber_ = NextJobNumber();
    return true;
}

bool LpdSpooler::StartPage() {
    return Ready() && spool_ != nullptr;
}

bool LpdSpooler::Write(std::string_view data) {
    if (!Ready() || !spool_) {
        return false;
    }
    if (!spool_->Append(data)) {
        return Fail("Could not keep the job's data in a temporary file: " + spool_->Error() + ".");
    }
    return true;
}

bool LpdSpooler::EndPage() {
    return Ready() && spool_ != nullptr;
}

bool LpdSpooler::EndDocument() {
    if (!Ready() || !spool_) {
        return false;
    }
    sendingBegan_ = true;
    if (!SendJob()) {
        return false;
    }
    spool_.reset();
    connection_->Close();
    connection_.reset();
    return true;
}

bool LpdSpooler::SendJob() {
    const std::string host = ThisHostName();
    const std::string dataFile = lpd::DataFileName(jobNumber_, host);
    const std::string controlFile = lpd::ControlFileName(jobNumber_, host);

    if (!SendReceiveJob()) {
        return false;
    }
    // The data file goes first: a server may start printing as soon as the control file
    // is complete.
    return SendDataFile(dataFile) &&
           SendControlFile(controlFile, lpd::BuildControlFile({host, UserName(), documentName_,
                                                               documentName_, dataFile}));
}

bool LpdSpooler::SendReceiveJob() {
    // A server that takes jobs only from privileged ports closes the connection at once or
    // answers the command with a refusal; to us a close and a reset look alike here.
    const std::string refused =
        std::string("the LPD server refused the job; ") + kPrivilegedPortHint;
    if (!connection_->Send(lpd::ReceiveJobCommand(address_.queue()), options_.stallTimeout)) {
        return FailToSend(connection_->WasReset() ? refused : connection_->Reason());
    }
    unsigned char answer = 0;
    switch (connection_->ReceiveByte(answer, options_.stallTimeout)) {
    case TcpConnection::Reply::Byte:
        if (answer == lpd::kAccepted) {
            return true;
        }
        return FailToSend("the LPD server refused the job (code " + std::to_string(answer) +
                          "); the queue may not exist, or " + kPrivilegedPortHint);
    case TcpConnection::Reply::Closed:
        return FailToSend(refused);
    case TcpConnection::Reply::Failed:
        break;
    }
    return FailToSend(connection_->WasReset() ? refused : connection_->Reason());
}

bool LpdSpooler::SendLine(const std::string& line) {
    if (!connection_->Send(line, options_.stallTimeout)) {
        return FailToSend(DescribeFailure(*connection_, dataBytesSent_));
    }
    return true;
}

bool LpdSpooler::SendDataFile(const std::string& name) {
    if (!SendLine(lpd::ReceiveDataFileSubcommand(spool_->Size(), name)) ||
        !AwaitAcknowledgement("data file")) {
        return false;
    }
    if (!spool_->Rewind()) {
        return Fail(
            "Could not read the job's data back from its temporary file: " + spool_->Error() + ".");
    }
    std::string chunk;
    chunk.reserve(kChunkSize);
    while (dataBytesSent_ < spool_->Size()) {
        if (!spool_->ReadChunk(chunk, kChunkSize)) {
            return Fail("Could not read the job's data back from its temporary file: " +
                        spool_->Error() + ".");
        }
        if (chunk.empty()) {
            return Fail("Could not read the job's data back from its temporary file: it ended "
                        "before all of its bytes.");
        }
        if (!connection_->Send(chunk, options_.stallTimeout)) {
            return FailToSend(DescribeFailure(*connection_, dataBytesSent_));
        }
        dataBytesSent_ += chunk.size();
    }
    return SendLine(std::string(1, '\0')) && AwaitAcknowledgement("data");
}

bool LpdSpooler::SendControlFile(const std::string& name, const std::string& contents) {
    return SendLine(lpd::ReceiveControlFileSubcommand(contents.size(), name)) &&
           AwaitAcknowledgement("control file") && SendLine(contents + '\0') &&
           AwaitAcknowledgement("control file's contents");
}

bool LpdSpooler::AwaitAcknowledgement(const std::string& step) {
    unsigned char answer = 0;
    const std::string delivered = dataBytesSent_ == 0 ? ""
                                                      : "; " + std::to_string(dataBytesSent_) +
                                                            " bytes had reached the printer";
    switch (connection_->ReceiveByte(answer, options_.stallTimeout)) {
    case TcpConnection::Reply::Byte:
        if (answer == lpd::kAccepted) {
            return true;
        }
        return FailToSend("the LPD server refused the " + step + " (code " +
                          std::to_string(answer) + ")" + delivered);
    case TcpConnection::Reply::Closed:
        return FailToSend("the LPD server closed the connection instead of acknowledging the " +
                          step + delivered);
    case TcpConnection::Reply::Failed:
        break;
    }
    return FailToSend(DescribeFailure(*connection_, dataBytesSent_));
}

bool LpdSpooler::ClosePrinter() {
    if (connection_ && sendingBegan_) {
        // A hand-over that never completed.
        connection_->Abort();
    }
    spool_.reset();
    connection_.reset();
    return true;
}

void LpdSpooler::CancelDocument() {
    if (!failed_) {
        failed_ = true;
        lastError_ = "The job was cancelled because its data could not be read.";
    }
    spool_.reset();
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
}
