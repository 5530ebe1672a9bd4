#include "printing/backends/ipp/ipp_backend.h"

#include "core/seconds_text.h"
#include "printing/backends/ipp/ipp_document_format.h"
#include "printing/ipp/http_address_list.h"
#include "printing/job/stoppable_pause.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <cups/cups.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace {

// A busy printer is asked this many times in all, waiting twice as long each time.
constexpr int BusyTries = 5;

// Any of the successful-ok statuses means the printer did what was asked.
bool Succeeded(ipp_status_t status) {
    return status <= IPP_STATUS_OK_EVENTS_COMPLETE;
}

// Reads and writes that make no progress for the stall time fail instead of waiting on.
int GiveUp(http_t*, void*) {
    return 0;
}

} // namespace

void IppBackend::ConnectionDeleter::operator()(http_t* connection) const {
    httpClose(connection);
}

IppBackend::IppBackend(const PrinterAddress& address, JobOptions options)
    : address_(address), options_(std::move(options)) {
    std::array<char, HTTP_MAX_URI> uri{};
    httpAssembleURI(HTTP_URI_CODING_ALL, uri.data(), static_cast<int>(uri.size()),
                    address.scheme() == PrinterAddress::Scheme::Ipps ? "ipps" : "ipp", nullptr,
                    address.host().c_str(), address.port(), address.queue().c_str());
    printerUri_ = uri.data();
}

IppBackend::~IppBackend() {
    Abort();
}

std::string IppBackend::SentSoFar() const {
    if (bytesSent_ == 0) {
        return "no data had been sent";
    }
    // What libcups handed to the connection; the printer may not have taken all of it.
    return std::to_string(bytesSent_) + " bytes had been sent";
}

IppBackend::Connection IppBackend::Connect() const {
    const auto fail = [this](FailureKind kind, const std::string& why) {
        return JobFailure(kind,
                          "Could not connect to the printer at " + printerUri_ + ": " + why + ".");
    };
    const http_encryption_t encryption = address_.scheme() == PrinterAddress::Scheme::Ipps
                                             ? HTTP_ENCRYPTION_ALWAYS
                                             : HTTP_ENCRYPTION_IF_REQUESTED;
    const Timeouts& timeouts = options_.timeouts;
    const auto started = std::chrono::steady_clock::now();
    // A ".local" name's addresses come from DNS-SD, within the connect time-out.
    const HttpAddressList addresses(address_.host(), address_.port(), timeouts.connect);
    // Made without connecting (time-out 0), so that the stall time-out is in force before
    // the first byte: a TLS handshake with a peer that never answers must end too.
    Connection connection(httpConnect2(address_.host().c_str(), address_.port(), addresses.get(),
                                       AF_UNSPEC, encryption, 1, 0, nullptr));
    if (!connection) {
        const std::string local =
            addresses.LookupFailure().empty() ? "" : "; DNS-SD: " + addresses.LookupFailure();
        throw fail(FailureKind::Unreachable, "the host " + address_.host() + " is unknown (" +
                                                 cupsLastErrorString() + local + ")");
    }
    httpSetTimeout(connection.get(), std::chrono::duration<double>(timeouts.stall).count(), GiveUp,
                   nullptr);
    const auto left =
        std::max(std::chrono::milliseconds(1),
                 timeouts.connect - std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now() - started));
    if (httpReconnect2(connection.get(), static_cast<int>(left.count()), nullptr) == 0) {
        return connection;
    }
    const ipp_status_t status = cupsLastError();
    const std::string detail = cupsLastErrorString();
    const int error = httpError(connection.get());
    const bool tookAllTime = std::chrono::steady_clock::now() - started >= timeouts.connect;
    if (status == IPP_STATUS_ERROR_CUPS_PKI) {
        throw fail(FailureKind::Unreachable, "the TLS handshake failed (" + detail + ")");
    }
    if (error == ETIMEDOUT || tookAllTime) {
        throw fail(FailureKind::TimedOut, "it timed out after " + SecondsText(timeouts.connect));
    }
    if (error == ENETUNREACH || error == EHOSTUNREACH) {
        throw fail(FailureKind::Unreachable,
                   "the host " + address_.host() + " is unreachable (" + detail + ")");
    }
    if (error == ECONNREFUSED) {
        throw fail(FailureKind::Unreachable,
                   "the connection to port " + std::to_string(address_.port()) + " was refused");
    }
    if (error == EHOSTDOWN) {
        // What libcups reports for a connection refused as well as for a host that is down.
        throw fail(FailureKind::Unreachable, "the connection to port " +
                                                 std::to_string(address_.port()) +
                                                 " was refused or the host is down");
    }
    throw fail(FailureKind::Unreachable, detail);
}

IppBackend::Message IppBackend::NewRequest(int operation) const {
    return NewPrinterRequest(operation, printerUri_);
}

// The library's last status may be an earlier success ("successful-ok") or an unrelated
// system error when an exchange simply got no answer, so what the connection itself saw
// is read first: the deadline passed, the connection was cut, or the answer was no IPP.
IppBackend::Silence IppBackend::Unanswered(int status, const std::string& detail) const {
    const int error = connection_ ? httpError(connection_.get()) : 0;
    if ((deadline_ && deadline_->Passed()) || error == ETIMEDOUT) {
        return {FailureKind::TimedOut, "no answer within " + SecondsText(options_.timeouts.stall)};
    }
    if (error == EPIPE || error == ECONNRESET) {
        return {FailureKind::Reset, "the connection was reset"};
    }
    // An answer at the HTTP level ("Not Found", "Bad Request") says why itself.
    if (!Succeeded(static_cast<ipp_status_t>(status)) && status != IPP_STATUS_ERROR_INTERNAL) {
        return {FailureKind::Refused, detail};
    }
    // What the library records when it could not parse the answer.
    if (error == EINVAL) {
        return {FailureKind::Refused, "its answer was no valid IPP response"};
    }
    if (error != 0) {
        return {FailureKind::Reset, std::strerror(error)};
    }
    // No error recorded at all: the printer ended the connection without an answer.
    return {FailureKind::Reset, "the printer closed or reset the connection"};
}

void IppBackend::FailUnanswered(const std::string& step, int status, const std::string& detail,
                                const std::string& after) const {
    const Silence silence = Unanswered(status, detail);
    throw JobFailure(silence.kind, "The printer at " + printerUri_ + " did not " + step + ": " +
                                       silence.why + after + ".");
}

FailureKind IppBackend::ConnectionFailureKind(FailureKind answered) const {
    const int error = connection_ ? httpError(connection_.get()) : 0;
    if (error == ETIMEDOUT) {
        return FailureKind::TimedOut;
    }
    if (error == EPIPE || error == ECONNRESET) {
        return FailureKind::Reset;
    }
    return answered;
}

void IppBackend::Open(std::optional<std::uint64_t> /*length*/) {
    connection_ = Connect();
    // Every later exchange on the job's connection is bounded by the stall time-out and
    // cut short by the user's stop; the cancel's own connection is not, so a withdrawn job
    // is still cancelled.
    deadline_ = std::make_unique<HttpDeadline>(options_.timeouts.stall);
    deadline_->WatchStop(StopFlag());
    deadline_->Watch(connection_.get());
    ReadPrinterAttributes();
    documentName_ = options_.title.empty() ? JobOptions::DefaultTitle : options_.title;
    // A format the user gave is checked now, before anything is sent; the other choices
    // wait for the data's first bytes.
    if (!options_.documentFormat.empty()) {
        const IppDocumentFormat::Choice choice =
            IppDocumentFormat::Choose(options_.documentFormat, formats_, {});
        if (choice.format.empty()) {
            throw JobFailure(FailureKind::Refused, "Could not start the job on " + printerUri_ +
                                                       ": " + choice.error + ".");
        }
    }
    stage_ = Stage::Collecting;
}

void IppBackend::ReadPrinterAttributes() {
    static constexpr std::array<const char*, 4> Requested{"document-format-supported",
                                                          "operations-supported", "printer-state",
                                                          "printer-state-reasons"};
    Message request = NewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(Requested.size()), nullptr, Requested.data());
    // cupsDoRequest frees the request.
    deadline_->Restart();
    const Message response(
        cupsDoRequest(connection_.get(), request.release(), address_.queue().c_str()));
    const ipp_status_t status = cupsLastError();
    const std::string detail = cupsLastErrorString();
    if (!response) {
        FailUnanswered("tell its attributes", status, detail);
    }
    if (!Succeeded(status)) {
        throw JobFailure(FailureKind::Refused, "The printer at " + printerUri_ +
                                                   " did not tell its attributes: " + detail + ".");
    }
    ipp_attribute_t* formats =
        ippFindAttribute(response.get(), "document-format-supported", IPP_TAG_MIMETYPE);
    for (int i = 0; i < ippGetCount(formats); ++i) {
        formats_.emplace_back(ippGetString(formats, i, nullptr));
    }
    // Print-Job is the one operation every IPP printer has; Create-Job is optional.
    ipp_attribute_t* operations =
        ippFindAttribute(response.get(), "operations-supported", IPP_TAG_ENUM);
    createJobSupported_ = ippContainsInteger(operations, IPP_OP_CREATE_JOB) != 0 &&
                          ippContainsInteger(operations, IPP_OP_SEND_DOCUMENT) != 0;
}

void IppBackend::Write(std::string_view data) {
    if (stage_ == Stage::Collecting) {
        const std::size_t wanted = IppDocumentFormat::SignatureLength - firstBytes_.size();
        firstBytes_.append(data.substr(0, wanted));
        data.remove_prefix(std::min(wanted, data.size()));
        if (firstBytes_.size() < IppDocumentFormat::SignatureLength) {
            return;
        }
        BeginDocument();
    }
    SendData(data);
}

void IppBackend::Finish() {
    if (stage_ == Stage::Collecting) {
        BeginDocument();
    }
    FinishDocument();
    connection_.reset();
    stage_ = Stage::Closed;
}

void IppBackend::BeginDocument() {
    // Until the document request is open nothing of the document has reached the
    // printer: a failure on the way has no document to cut off.
    stage_ = Stage::Done;
    const IppDocumentFormat::Choice choice =
        IppDocumentFormat::Choose(options_.documentFormat, formats_, firstBytes_);
    if (choice.format.empty()) {
        throw JobFailure(FailureKind::Refused,
                         "Could not start the job on " + printerUri_ + ": " + choice.error + ".");
    }
    if (createJobSupported_) {
        CreateJob();
        OpenDocumentRequest(IPP_OP_SEND_DOCUMENT, choice.format);
    } else {
        OpenDocumentRequest(IPP_OP_PRINT_JOB, choice.format);
    }
    stage_ = Stage::Sending;
    const std::string firstBytes = std::move(firstBytes_);
    firstBytes_.clear();
    SendData(firstBytes);
}

void IppBackend::RetryWhileBusy(int status, const std::string& detail, BusyWait& busy) const {
    // A printer still busy with an earlier job answers server-error-busy; it is asked
    // again a few times, waiting longer each time, for no longer than the stall time-out.
    ++busy.tries;
    if (status == IPP_STATUS_ERROR_BUSY && busy.tries < BusyTries &&
        busy.waited + busy.next <= options_.timeouts.stall) {
        PauseUnlessStopped(busy.next, StopFlag());
        busy.waited += busy.next;
        busy.next *= 2;
        return;
    }
    if (status == IPP_STATUS_ERROR_BUSY) {
        throw JobFailure(FailureKind::NotReady, "The printer at " + printerUri_ +
                                                    " refused the job: it stayed busy (" +
                                                    std::to_string(busy.tries) + " tries in " +
                                                    SecondsText(busy.waited) + ").");
    }
    throw JobFailure(ConnectionFailureKind(FailureKind::Refused),
                     "The printer at " + printerUri_ + " refused the job: " + detail + ".");
}

void IppBackend::CreateJob() {
    for (BusyWait busy;;) {
        Message request = NewRequest(IPP_OP_CREATE_JOB);
        ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr,
                     documentName_.c_str());
        // cupsDoRequest frees the request.
        deadline_->Restart();
        const Message response(
            cupsDoRequest(connection_.get(), request.release(), address_.queue().c_str()));
        const ipp_status_t status = cupsLastError();
        const std::string detail = cupsLastErrorString();
        if (response && Succeeded(status)) {
            jobId_ = ippGetInteger(ippFindAttribute(response.get(), "job-id", IPP_TAG_INTEGER), 0);
            if (jobId_ <= 0) {
                jobId_ = 0;
                throw JobFailure(FailureKind::Refused, "The printer at " + printerUri_ +
                                                           " created the job without a number.");
            }
            jobPending_ = true;
            return;
        }
        if (!response) {
            FailUnanswered("answer the job's creation", status, detail);
        }
        RetryWhileBusy(status, detail, busy);
    }
}

void IppBackend::OpenDocumentRequest(int operation, const std::string& format) {
    for (BusyWait busy;;) {
        Message request = NewRequest(operation);
        if (operation == IPP_OP_SEND_DOCUMENT) {
            ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", jobId_);
        } else {
            ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr,
                         documentName_.c_str());
        }
        ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "document-name", nullptr,
                     documentName_.c_str());
        ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr,
                     format.c_str());
        if (operation == IPP_OP_SEND_DOCUMENT) {
            ippAddBoolean(request.get(), IPP_TAG_OPERATION, "last-document", 1);
        }
        // The length is not known in advance: the data goes in chunks as it is written.
        deadline_->Restart();
        if (cupsSendRequest(connection_.get(), request.get(), address_.queue().c_str(),
                            CUPS_LENGTH_VARIABLE) == HTTP_STATUS_CONTINUE) {
            return;
        }
        // The printer answered before taking any data; its answer says why.
        deadline_->Restart();
        const Message response(cupsGetResponse(connection_.get(), address_.queue().c_str()));
        const ipp_status_t status = cupsLastError();
        const std::string detail = cupsLastErrorString();
        if (!response) {
            FailUnanswered("answer the document's request", status, detail);
        }
        RetryWhileBusy(status, detail, busy);
    }
}

void IppBackend::SendData(std::string_view data) {
    if (data.empty()) {
        return;
    }
    deadline_->Restart();
    if (cupsWriteRequestData(connection_.get(), data.data(), data.size()) != HTTP_STATUS_CONTINUE) {
        const Silence silence = Unanswered(cupsLastError(), cupsLastErrorString());
        const int error = httpError(connection_.get());
        const std::string why = error == ETIMEDOUT || (deadline_ && deadline_->Passed())
                                    ? "no progress for " + SecondsText(options_.timeouts.stall)
                                    : silence.why;
        // A write that fails for any other reason is the connection failing all the same.
        throw JobFailure(ConnectionFailureKind(FailureKind::Reset),
                         "Sending the document to " + printerUri_ + " failed: " + why + "; " +
                             SentSoFar() + ".");
    }
    bytesSent_ += data.size();
}

void IppBackend::FinishDocument() {
    stage_ = Stage::Done;
    deadline_->Restart();
    const Message response(cupsGetResponse(connection_.get(), address_.queue().c_str()));
    const ipp_status_t status = cupsLastError();
    const std::string detail = cupsLastErrorString();
    if (!response) {
        FailUnanswered("answer after the document", status, detail, "; " + SentSoFar());
    }
    if (!Succeeded(status)) {
        const std::string why = status == IPP_STATUS_ERROR_DOCUMENT_FORMAT_NOT_SUPPORTED
                                    ? "the printer refused the format; " + detail
                                    : detail;
        throw JobFailure(FailureKind::Refused, "The printer at " + printerUri_ +
                                                   " did not accept the document: " + why + "; " +
                                                   SentSoFar() + ".");
    }
    if (jobId_ == 0) {
        // Print-Job: the number comes with the answer.
        jobId_ = ippGetInteger(ippFindAttribute(response.get(), "job-id", IPP_TAG_INTEGER), 0);
    }
    jobPending_ = false;
}

void IppBackend::ResetConnection() {
    // Ends the document connection with a reset: an orderly close (or a TLS goodbye) can
    // look to a printer like the end of a complete document, a reset cannot.
    const int socket = connection_ ? httpGetFd(connection_.get()) : -1;
    if (socket >= 0) {
        const linger abort{1, 0};
        setsockopt(socket, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        // Closes the socket under libcups; the descriptor stays open on /dev/null, so
        // that httpClose's TLS goodbye and close reach nothing.
        const int nothing = open("/dev/null", O_RDWR | O_CLOEXEC);
        if (nothing >= 0) {
            dup2(nothing, socket);
            close(nothing);
        }
    }
    connection_.reset();
}

void IppBackend::Abort() {
    // The job is cancelled while its document request is still open: a printer takes the
    // end of the connection, even a reset at a chunk's end, for the end of the document,
    // and would start printing the cut-off data before a later Cancel-Job arrived. A
    // printer that serves one connection at a time is asked again once the document
    // connection is gone.
    const bool cutOff = stage_ == Stage::Sending;
    stage_ = Stage::Closed;
    const bool cancelled = jobPending_ && SendCancelJob();
    if (cutOff) {
        ResetConnection();
    }
    connection_.reset();
    if (jobPending_ && !cancelled) {
        SendCancelJob();
    }
    jobPending_ = false;
}

bool IppBackend::SendCancelJob() const {
    Connection connection;
    try {
        connection = Connect();
    } catch (const JobFailure&) {
        return false;
    }
    Message request = NewRequest(IPP_OP_CANCEL_JOB);
    ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", jobId_);
    // The job is given up either way; its own failure is what the user is told.
    const Message response(
        cupsDoRequest(connection.get(), request.release(), address_.queue().c_str()));
    return response && Succeeded(cupsLastError());
}
