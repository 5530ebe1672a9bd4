#include "printing/cups/ipp_spooler.h"

#include "printing/cups/cups_scheduler.h"
#include "printing/cups/ipp_document_format.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <cups/cups.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr const char* DefaultDocumentName = "Tolvenmark Document";

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

using CupsScheduler::Seconds;

} // namespace

void IppSpooler::ConnectionDeleter::operator()(http_t* connection) const {
    httpClose(connection);
}

IppSpooler::IppSpooler(const PrinterAddress& address, const DirectOptions& options)
    : address_(address), options_(options) {
    std::array<char, HTTP_MAX_URI> uri{};
    httpAssembleURI(HTTP_URI_CODING_ALL, uri.data(), static_cast<int>(uri.size()),
                    address.scheme() == PrinterAddress::Scheme::Ipps ? "ipps" : "ipp", nullptr,
                    address.host().c_str(), address.port(), address.queue().c_str());
    printerUri_ = uri.data();
}

IppSpooler::~IppSpooler() {
    ClosePrinter();
}

bool IppSpooler::Fail(const std::string& reason) {
    failed_ = true;
    lastError_ = reason;
    return false;
}

std::string IppSpooler::SentSoFar() const {
    if (bytesSent_ == 0) {
        return "no data had reached the printer";
    }
    return std::to_string(bytesSent_) + " bytes had reached the printer";
}

IppSpooler::Connection IppSpooler::Connect(std::string& why) const {
    const http_encryption_t encryption = address_.scheme() == PrinterAddress::Scheme::Ipps
                                             ? HTTP_ENCRYPTION_ALWAYS
                                             : HTTP_ENCRYPTION_IF_REQUESTED;
    // Made without connecting (time-out 0), so that the stall time-out is in force before
    // the first byte: a TLS handshake with a peer that never answers must end too.
    Connection connection(httpConnect2(address_.host().c_str(), address_.port(), nullptr, AF_UNSPEC,
                                       encryption, 1, 0, nullptr));
    if (!connection) {
        why = "the host " + address_.host() + " is unknown (" + cupsLastErrorString() + ")";
        return nullptr;
    }
    httpSetTimeout(connection.get(), std::chrono::duration<double>(options_.stallTimeout).count(),
                   GiveUp, nullptr);
    const auto started = std::chrono::steady_clock::now();
    if (httpReconnect2(connection.get(), static_cast<int>(options_.connectTimeout.count()),
                       nullptr) != 0) {
        const ipp_status_t status = cupsLastError();
        const std::string detail = cupsLastErrorString();
        const int error = httpError(connection.get());
        const bool tookAllTime =
            std::chrono::steady_clock::now() - started >= options_.connectTimeout;
        if (status == IPP_STATUS_ERROR_CUPS_PKI) {
            why = "the TLS handshake failed (" + detail + ")";
        } else if (error == ETIMEDOUT || tookAllTime) {
            why = "it timed out after " + Seconds(options_.connectTimeout);
        } else if (error == ENETUNREACH || error == EHOSTUNREACH) {
            why = "the host " + address_.host() + " is unreachable (" + detail + ")";
        } else if (error == ECONNREFUSED) {
            why = "the connection to port " + std::to_string(address_.port()) + " was refused";
        } else if (error == EHOSTDOWN) {
            // What libcups reports for a connection refused as well as for a host that is down.
            why = "the connection to port " + std::to_string(address_.port()) +
                  " was refused or the host is down";
        } else {
            why = detail;
        }
        return nullptr;
    }
    return connection;
}

IppSpooler::Message IppSpooler::NewRequest(int operation) const {
    return NewPrinterRequest(operation, printerUri_);
}

bool IppSpooler::OpenPrinter(const std::string& /*printerName*/) {
    ClosePrinter();
    failed_ = false;
    jobId_ = 0;
    jobPending_ = false;
    bytesSent_ = 0;
    lastError_.clear();
    formats_.clear();
    std::string why;
    connection_ = Connect(why);
    if (!connection_) {
        return Fail("Could not connect to the printer at " + printerUri_ + ": " + why + ".");
    }
    if (!ReadPrinterAttributes()) {
        connection_.reset();
        return false;
    }
    stage_ = Stage::Open;
    return true;
}

bool IppSpooler::ReadPrinterAttributes() {
    static constexpr std::array<const char*, 4> Requested{"document-format-supported",
                                                          "operations-supported", "printer-state",
                                                          "printer-state-reasons"};
    Message request = NewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(Requested.size()), nullptr, Requested.data());
    // cupsDoRequest frees the request.
    const Message response(
        cupsDoRequest(connection_.get(), request.release(), address_.queue().c_str()));
    const ipp_status_t status = cupsLastError();
    const std::string detail = cupsLastErrorString();
    if (!response || !Succeeded(status)) {
        return Fail("The printer at " + printerUri_ + " did not tell its attributes: " + detail +
                    ".");
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
    return true;
}

bool IppSpooler::StartDocument(const std::string& documentName) {
    if (failed_ || stage_ != Stage::Open) {
        return false;
    }
    documentName_ = documentName.empty() ? DefaultDocumentName : documentName;
    firstBytes_.clear();
    // A format the user gave is checked now, before anything is sent; the other choices
    // wait for the data's first bytes.
    if (!options_.documentFormat.empty()) {
        const IppDocumentFormat::Choice choice =
            IppDocumentFormat::Choose(options_.documentFormat, formats_, {});
        if (choice.format.empty()) {
            return Fail("Could not start the job on " + printerUri_ + ": " + choice.error + ".");
        }
    }
    stage_ = Stage::Collecting;
    return true;
}

bool IppSpooler::StartPage() {
    return !failed_ && (stage_ == Stage::Collecting || stage_ == Stage::Sending);
}

bool IppSpooler::Write(std::string_view data) {
    if (failed_) {
        return false;
    }
    if (stage_ == Stage::Collecting) {
        const std::size_t wanted = IppDocumentFormat::SignatureLength - firstBytes_.size();
        firstBytes_.append(data.substr(0, wanted));
        data.remove_prefix(std::min(wanted, data.size()));
        if (firstBytes_.size() < IppDocumentFormat::SignatureLength) {
            return true;
        }
        if (!BeginDocument()) {
            return false;
        }
    }
    if (stage_ != Stage::Sending) {
        return false;
    }
    return SendData(data);
}

bool IppSpooler::EndPage() {
    return StartPage();
}

bool IppSpooler::EndDocument() {
    if (failed_) {
        CancelJob();
        return false;
    }
    if (stage_ == Stage::Collecting && !BeginDocument()) {
        return false;
    }
    if (stage_ != Stage::Sending) {
        return false;
    }
    return FinishDocument();
}

bool IppSpooler::BeginDocument() {
    const IppDocumentFormat::Choice choice =
        IppDocumentFormat::Choose(options_.documentFormat, formats_, firstBytes_);
    if (choice.format.empty()) {
        stage_ = Stage::Done;
        return Fail("Could not start the job on " + printerUri_ + ": " + choice.error + ".");
    }
    const bool opened =
        createJobSupported_
            ? CreateJob() && OpenDocumentRequest(IPP_OP_SEND_DOCUMENT, choice.format)
            : OpenDocumentRequest(IPP_OP_PRINT_JOB, choice.format);
    if (!opened) {
        stage_ = Stage::Done;
        CancelJob();
        return false;
    }
    stage_ = Stage::Sending;
    const std::string firstBytes = std::move(firstBytes_);
    firstBytes_.clear();
    return SendData(firstBytes);
}

bool IppSpooler::RetryWhileBusy(int status, const std::string& detail, BusyWait& busy) {
    // A printer still busy with an earlier job answers server-error-busy; it is asked
    // again a few times, waiting longer each time, for no longer than the stall time-out.
    ++busy.tries;
    if (status == IPP_STATUS_ERROR_BUSY && busy.tries < BusyTries &&
        busy.waited + busy.next <= options_.stallTimeout) {
        std::this_thread::sleep_for(busy.next);
        busy.waited += busy.next;
        busy.next *= 2;
        return true;
    }
    if (status == IPP_STATUS_ERROR_BUSY) {
        return Fail("The printer at " + printerUri_ + " refused the job: it stayed busy (" +
                    std::to_string(busy.tries) + " tries in " + Seconds(busy.waited) + ").");
    }
    return Fail("The printer at " + printerUri_ + " refused the job: " + detail + ".");
}

bool IppSpooler::CreateJob() {
    for (BusyWait busy;;) {
        Message request = NewRequest(IPP_OP_CREATE_JOB);
        ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr,
                     documentName_.c_str());
        // cupsDoRequest frees the request.
        const Message response(
            cupsDoRequest(connection_.get(), request.release(), address_.queue().c_str()));
        const ipp_status_t status = cupsLastError();
        const std::string detail = cupsLastErrorString();
        if (response && Succeeded(status)) {
            jobId_ = ippGetInteger(ippFindAttribute(response.get(), "job-id", IPP_TAG_INTEGER), 0);
            if (jobId_ <= 0) {
                jobId_ = 0;
                return Fail("The printer at " + printerUri_ + " created the job without a number.");
            }
            jobPending_ = true;
            return true;
        }
        if (!RetryWhileBusy(status, detail, busy)) {
            return false;
        }
    }
}

bool IppSpooler::OpenDocumentRequest(int operation, const std::string& format) {
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
        if (cupsSendRequest(connection_.get(), request.get(), address_.queue().c_str(),
                            CUPS_LENGTH_VARIABLE) == HTTP_STATUS_CONTINUE) {
            return true;
        }
        // The printer answered before taking any data; its answer says why.
        const Message response(cupsGetResponse(connection_.get(), address_.queue().c_str()));
        const ipp_status_t status = cupsLastError();
        const std::string detail = cupsLastErrorString();
        if (!RetryWhileBusy(status, detail, busy)) {
            return false;
        }
    }
}

bool IppSpooler::SendData(std::string_view data) {
    if (data.empty()) {
        return true;
    }
    if (cupsWriteRequestData(connection_.get(), data.data(), data.size()) != HTTP_STATUS_CONTINUE) {
        const std::string detail = cupsLastErrorString();
        const int error = httpError(connection_.get());
        std::string why = detail;
        if (error == ETIMEDOUT) {
            why = "no progress for " + Seconds(options_.stallTimeout);
        } else if (error == EPIPE || error == ECONNRESET) {
            why = "the connection was reset";
        }
        return Fail("Sending the document to " + printerUri_ + " failed: " + why + "; " +
                    SentSoFar() + ".");
    }
    bytesSent_ += data.size();
    return true;
}

bool IppSpooler::FinishDocument() {
    stage_ = Stage::Done;
    const Message response(cupsGetResponse(connection_.get(), address_.queue().c_str()));
    const ipp_status_t status = cupsLastError();
    const std::string detail = cupsLastErrorString();
    if (!response || !Succeeded(status)) {
        std::string why = detail;
        if (status == IPP_STATUS_ERROR_DOCUMENT_FORMAT_NOT_SUPPORTED) {
            why = "the printer refused the format; " + detail;
        }
        Fail("The printer at " + printerUri_ + " did not accept the document: " + why + "; " +
             SentSoFar() + ".");
        CancelJob();
        return false;
    }
    if (jobId_ == 0) {
        // Print-Job: the number comes with the answer.
        jobId_ = ippGetInteger(ippFindAttribute(response.get(), "job-id", IPP_TAG_INTEGER), 0);
    }
    jobPending_ = false;
    return true;
}

bool IppSpooler::ClosePrinter() {
    if (stage_ == Stage::Sending) {
        CancelJob();
    }
    connection_.reset();
    stage_ = Stage::Closed;
    return true;
}

void IppSpooler::CancelDocument() {
    if (!failed_) {
        Fail("The job was cancelled because its data could not be read.");
    }
    CancelJob();
}

void IppSpooler::ResetConnection() {
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

void IppSpooler::CancelJob() {
    // The job is cancelled while its document request is still open: a printer takes the
    // end of the connection, even a reset at a chunk's end, for the end of the document,
    // and would start printing the cut-off data before a later Cancel-Job arrived. A
    // printer that serves one connection at a time is asked again once the document
    // connection is gone.
    const bool cutOff = stage_ == Stage::Sending;
    if (stage_ != Stage::Closed) {
        stage_ = Stage::Done;
    }
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

bool IppSpooler::SendCancelJob() const {
    std::string why;
    const Connection connection = Connect(why);
    if (!connection) {
        return false;
    }
    Message request = NewRequest(IPP_OP_CANCEL_JOB);
    ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", jobId_);
    // The job is given up either way; its own failure is what the user is told.
    const Message response(
        cupsDoRequest(connection.get(), request.release(), address_.queue().c_str()));
    return response && Succeeded(cupsLastError());
}
