#include "printing/cups/cups_spooler.h"

#include "printing/cups/cups_scheduler.h"
#include "printing/cups/ipp_message.h"

#include <algorithm>
#include <cups/cups.h>
#include <thread>

void CupsSpooler::ConnectionDeleter::operator()(http_t* connection) const {
    httpClose(connection);
}

namespace {

const DirectOptions DefaultOptions;

// A scheduler with no room for another job is asked again after a pause that doubles
// from the first to the longest, for no longer than the limit in all.
constexpr std::chrono::milliseconds FirstRoomPause{500};
constexpr std::chrono::milliseconds LongestRoomPause{5000};
constexpr std::chrono::minutes RoomWaitLimit{3};

} // namespace

CupsSpooler::CupsSpooler() : CupsSpooler(DefaultOptions) {}

CupsSpooler::CupsSpooler(const DirectOptions& options) : options_(options) {}

CupsSpooler::~CupsSpooler() {
    ClosePrinter();
}

bool CupsSpooler::Fail(const std::string& reason) {
    failed_ = true;
    lastError_ = reason;
    return false;
}

bool CupsSpooler::FailWithCupsError() {
    return Fail(SchedulerError(cupsLastErrorString()));
}

std::string CupsSpooler::SchedulerError(const std::string& cupsError) const {
    if (deadline_ && deadline_->Passed()) {
        return CupsScheduler::SilentMessage(deadline_->Timeout());
    }
    return cupsError;
}

bool CupsSpooler::OpenPrinter(const std::string& printerName) {
    ClosePrinter();
    failed_ = false;
    jobId_ = 0;
    lastError_.clear();
    printerName_ = printerName;
    // An empty name would make CUPS pick its default printer: never send there by accident.
    if (printerName.empty()) {
        return Fail("No printer name was given.");
    }
    // A connection of the job's own, so that a failed job can be dropped mid-request
    // without disturbing the library's shared connection, and every wait on it is bounded.
    const std::chrono::milliseconds timeout = options_.schedulerTimeout;
    deadline_ = std::make_unique<HttpDeadline>(timeout);
    connection_.reset(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                   static_cast<int>(timeout.count()), nullptr));
    if (!connection_) {
        return Fail(CupsScheduler::NoAnswerMessage());
    }
    deadline_->Watch(connection_.get());
    return FindQueue();
}

// The queue must exist before a job is made for it. It is asked on the job's own
// connection, which the deadline bounds: the library's look-up by name also asks for the
// default printer, on a connection of its own that no deadline of ours reaches.
bool CupsSpooler::FindQueue() {
    IppMessage request =
        NewPrinterRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, CupsScheduler::QueueUri(printerName_));
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-name");
    deadline_->Restart();
    // cupsDoRequest frees the request.
    const IppMessage response(cupsDoRequest(connection_.get(), request.release(), "/"));
    const ipp_status_t status = cupsLastError();
    if (status <= IPP_STATUS_OK_EVENTS_COMPLETE) {
        return true;
    }
    const std::string reason = SchedulerError(cupsLastErrorString());
    connection_.reset();
    if (status == IPP_STATUS_ERROR_NOT_FOUND) {
        return Fail("There is no printer named \"" + printerName_ + "\".");
    }
    return Fail(reason);
}

bool CupsSpooler::StartDocument(const std::string& documentName) {
    if (failed_ || !connection_) {
        return false;
    }
    documentName_ = documentName;
    std::chrono::milliseconds pause = FirstRoomPause;
    const auto giveUp = std::chrono::steady_clock::now() + RoomWaitLimit;
    while (!CreateJob() && SchedulerIsFull() && std::chrono::steady_clock::now() + pause < giveUp) {
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, LongestRoomPause);
    }
    if (jobId_ == 0) {
        return Fail(createError_);
    }
    return true;
}

bool CupsSpooler::CreateJob() {
    deadline_->Restart();
    cups_option_t* options = nullptr;
    int optionCount = cupsAddOption("raw", "true", 0, &options);
    jobId_ = cupsCreateJob(connection_.get(), printerName_.c_str(), documentName_.c_str(),
                           optionCount, options);
    createStatus_ = cupsLastError();
    createError_ = SchedulerError(cupsLastErrorString());
    cupsFreeOptions(optionCount, options);
    return jobId_ != 0;
}

// The scheduler refuses a job while it holds as many as it may take ("Too many active
// jobs."); it has room again once a job has printed.
bool CupsSpooler::SchedulerIsFull() const {
    return createStatus_ == IPP_STATUS_ERROR_TOO_MANY_JOBS ||
           (createStatus_ == IPP_STATUS_ERROR_NOT_POSSIBLE &&
            createError_.find("Too many") != std::string::npos);
}

bool CupsSpooler::StartPage() {
    if (failed_ || jobId_ == 0) {
        return false;
    }
    // Never CUPS_FORMAT_AUTO: unknown bytes would be typed as text and filtered or refused.
    deadline_->Restart();
    const http_status_t status = cupsStartDocument(connection_.get(), printerName_.c_str(), jobId_,
                                                   documentName_.c_str(), CUPS_FORMAT_RAW, 1);
    if (status != HTTP_STATUS_CONTINUE) {
        return FailWithCupsError();
    }
    requestOpen_ = true;
    return true;
}

bool CupsSpooler::Write(std::string_view data) {
    if (failed_ || !requestOpen_) {
        return false;
    }
    deadline_->Restart();
    if (cupsWriteRequestData(connection_.get(), data.data(), data.size()) != HTTP_STATUS_CONTINUE) {
        return FailWithCupsError();
    }
    return true;
}

bool CupsSpooler::EndPage() {
    return !failed_ && requestOpen_;
}

bool CupsSpooler::EndDocument() {
    if (failed_) {
        CancelJob();
        return false;
    }
    if (!requestOpen_) {
        return false;
    }
    requestOpen_ = false;
    deadline_->Restart();
    // Any of the successful-ok statuses means the scheduler took the whole document.
    if (cupsFinishDocument(connection_.get(), printerName_.c_str()) >
        IPP_STATUS_OK_EVENTS_COMPLETE) {
        const bool result = FailWithCupsError();
        CancelJob();
        return result;
    }
    return true;
}

bool CupsSpooler::ClosePrinter() {
    if (requestOpen_) {
        CancelJob();
    }
    connection_.reset();
    return true;
}

void CupsSpooler::CancelDocument() {
    if (!failed_) {
        Fail("The job was cancelled because its data could not be read.");
    }
    CancelJob();
}

void CupsSpooler::CancelJob() {
    // Dropping the connection ends an unfinished document request without completing it;
    // the job itself is then cancelled on a fresh connection, bounded like every other.
    requestOpen_ = false;
    connection_.reset();
    if (jobId_ == 0) {
        return;
    }
    HttpDeadline deadline(options_.schedulerTimeout);
    const std::unique_ptr<_http_s, ConnectionDeleter> connection(
        httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                     static_cast<int>(deadline.Timeout().count()), nullptr));
    if (connection) {
        deadline.Watch(connection.get());
        cupsCancelJob2(connection.get(), printerName_.c_str(), jobId_, 0);
    }
}
