#include "printing/queues/cups/cups_backend.h"

#include "printing/ipp/ipp_message.h"
#include "printing/job/stoppable_pause.h"
#include "printing/queues/cups/cups_scheduler.h"

#include <algorithm>
#include <cups/cups.h>
#include <utility>

void CupsBackend::ConnectionDeleter::operator()(http_t* connection) const {
    httpClose(connection);
}

namespace {

// A scheduler with no room for another job is asked again after a pause that doubles
// from the first to the longest, for no longer than the limit in all.
constexpr std::chrono::milliseconds FirstRoomPause{500};
constexpr std::chrono::milliseconds LongestRoomPause{5000};
constexpr std::chrono::minutes RoomWaitLimit{3};

// Any of the successful-ok statuses means the scheduler did what was asked.
bool Succeeded(ipp_status_t status) {
    return status <= IPP_STATUS_OK_EVENTS_COMPLETE;
}

} // namespace

CupsBackend::CupsBackend(std::string queueName, JobOptions options)
    : queueName_(std::move(queueName)), options_(std::move(options)) {}

CupsBackend::~CupsBackend() {
    Abort();
}

JobFailure CupsBackend::SchedulerFailure(FailureKind kind) const {
    if (deadline_ && deadline_->Passed()) {
        kind = FailureKind::TimedOut;
    }
    return {kind, SchedulerError(cupsLastErrorString())};
}

std::string CupsBackend::SchedulerError(const std::string& cupsError) const {
    if (deadline_ && deadline_->Passed()) {
        return CupsScheduler::SilentMessage(deadline_->Timeout());
    }
    return cupsError;
}

void CupsBackend::Open(std::optional<std::uint64_t> /*length*/) {
    // An empty name would make CUPS pick its default printer: never send there by accident.
    if (queueName_.empty()) {
        throw JobFailure(FailureKind::Unreachable, "No printer name was given.");
    }
    // A connection of the job's own, so that a failed job can be dropped mid-request
    // without disturbing the library's shared connection, and every wait on it is bounded.
    const std::chrono::milliseconds timeout = options_.timeouts.scheduler;
    deadline_ = std::make_unique<HttpDeadline>(timeout);
    deadline_->WatchStop(StopFlag());
    connection_.reset(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                   static_cast<int>(timeout.count()), nullptr));
    if (!connection_) {
        throw JobFailure(FailureKind::Unreachable, CupsScheduler::NoAnswerMessage());
    }
    deadline_->Watch(connection_.get());
    FindQueue();
    CreateJobWhenThereIsRoom();
    // Never CUPS_FORMAT_AUTO: unknown bytes would be typed as text and filtered or refused.
    deadline_->Restart();
    const http_status_t status = cupsStartDocument(connection_.get(), queueName_.c_str(), jobId_,
                                                   options_.title.c_str(), CUPS_FORMAT_RAW, 1);
    if (status != HTTP_STATUS_CONTINUE) {
        throw SchedulerFailure(FailureKind::Refused);
    }
}

// The queue must exist before a job is made for it. It is asked on the job's own
// connection, which the deadline bounds: the library's look-up by name also asks for the
// default printer, on a connection of its own that no deadline of ours reaches.
void CupsBackend::FindQueue() {
    IppMessage request =
        NewPrinterRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, CupsScheduler::QueueUri(queueName_));
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-name");
    deadline_->Restart();
    // cupsDoRequest frees the request.
    const IppMessage response(cupsDoRequest(connection_.get(), request.release(), "/"));
    const ipp_status_t status = cupsLastError();
    if (Succeeded(status)) {
        return;
    }
    const JobFailure failure =
        SchedulerFailure(response ? FailureKind::Refused : FailureKind::Unreachable);
    connection_.reset();
    if (status == IPP_STATUS_ERROR_NOT_FOUND) {
        throw JobFailure(FailureKind::Unreachable,
                         "There is no printer named \"" + queueName_ + "\".");
    }
    throw failure;
}

// Creates the job, asking again while the scheduler has no room for it.
void CupsBackend::CreateJobWhenThereIsRoom() {
    std::chrono::milliseconds pause = FirstRoomPause;
    const auto giveUp = std::chrono::steady_clock::now() + RoomWaitLimit;
    while (!CreateJob() && SchedulerIsFull() && std::chrono::steady_clock::now() + pause < giveUp) {
        PauseUnlessStopped(pause, StopFlag());
        pause = std::min(pause * 2, LongestRoomPause);
    }
    if (jobId_ != 0) {
        return;
    }
    FailureKind kind = FailureKind::Refused;
    if (deadline_->Passed()) {
        kind = FailureKind::TimedOut;
    } else if (SchedulerIsFull() || createStatus_ == IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS) {
        kind = FailureKind::NotReady;
    }
    throw JobFailure(kind, createError_);
}

// The Create-Job is made as the library makes it, but asked in English: the scheduler words
// its answers in the request's language, and a full scheduler's refusal is recognised by
// its words (see SchedulerIsFull), whatever language the user reads.
bool CupsBackend::CreateJob() {
    IppMessage request = NewPrinterRequest(IPP_OP_CREATE_JOB, CupsScheduler::QueueUri(queueName_));
    ipp_attribute_t* language =
        ippFindAttribute(request.get(), "attributes-natural-language", IPP_TAG_LANGUAGE);
    ippSetString(request.get(), &language, 0, "en");
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr,
                 options_.title.c_str());
    cups_option_t* options = nullptr;
    const int optionCount = cupsAddOption("raw", "true", 0, &options);
    cupsEncodeOptions2(request.get(), optionCount, options, IPP_TAG_OPERATION);
    cupsEncodeOptions2(request.get(), optionCount, options, IPP_TAG_JOB);
    cupsFreeOptions(optionCount, options);
    deadline_->Restart();
    // cupsDoRequest frees the request.
    const IppMessage response(cupsDoRequest(connection_.get(), request.release(), "/"));
    createStatus_ = cupsLastError();
    createError_ = SchedulerError(cupsLastErrorString());
    jobId_ = 0;
    if (response && Succeeded(static_cast<ipp_status_t>(createStatus_))) {
        jobId_ = std::max(
            ippGetInteger(ippFindAttribute(response.get(), "job-id", IPP_TAG_INTEGER), 0), 0);
    }
    jobPending_ = jobId_ != 0;
    return jobPending_;
}

// The scheduler refuses a job while it holds as many as it may take ("Too many active
// jobs."); it has room again once a job has printed.
bool CupsBackend::SchedulerIsFull() const {
    return createStatus_ == IPP_STATUS_ERROR_TOO_MANY_JOBS ||
           (createStatus_ == IPP_STATUS_ERROR_NOT_POSSIBLE &&
            createError_.find("Too many") != std::string::npos);
}

void CupsBackend::Write(std::string_view data) {
    deadline_->Restart();
    if (cupsWriteRequestData(connection_.get(), data.data(), data.size()) != HTTP_STATUS_CONTINUE) {
        throw SchedulerFailure(httpError(connection_.get()) != 0 ? FailureKind::Reset
                                                                 : FailureKind::Refused);
    }
}

void CupsBackend::Finish() {
    deadline_->Restart();
    if (!Succeeded(cupsFinishDocument(connection_.get(), queueName_.c_str()))) {
        throw SchedulerFailure(FailureKind::Refused);
    }
    jobPending_ = false;
    connection_.reset();
}

void CupsBackend::Abort() {
    // Dropping the connection ends an unfinished document request without completing it;
    // the job itself is then cancelled on a fresh connection, bounded like every other.
    connection_.reset();
    if (!jobPending_) {
        return;
    }
    jobPending_ = false;
    HttpDeadline deadline(options_.timeouts.scheduler);
    const std::unique_ptr<_http_s, ConnectionDeleter> connection(
        httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                     static_cast<int>(deadline.Timeout().count()), nullptr));
    if (connection) {
        deadline.Watch(connection.get());
        cupsCancelJob2(connection.get(), queueName_.c_str(), jobId_, 0);
    }
}
