#include "printing/ipp/ipp_status_client.h"

#include "printing/job/job_monitor.h"

#include <cups/cups.h>
#include <utility>

namespace {

JobState JobStateFrom(int state) {
    switch (state) {
    case IPP_JSTATE_PENDING:
        return JobState::Pending;
    case IPP_JSTATE_HELD:
        return JobState::Held;
    case IPP_JSTATE_PROCESSING:
        return JobState::Processing;
    case IPP_JSTATE_STOPPED:
        return JobState::Stopped;
    case IPP_JSTATE_CANCELED:
        return JobState::Canceled;
    case IPP_JSTATE_ABORTED:
        return JobState::Aborted;
    case IPP_JSTATE_COMPLETED:
        return JobState::Completed;
    default:
        break;
    }
    return JobState::Unknown;
}

PrinterState PrinterStateFrom(int state) {
    switch (state) {
    case IPP_PSTATE_IDLE:
        return PrinterState::Idle;
    case IPP_PSTATE_PROCESSING:
        return PrinterState::Processing;
    case IPP_PSTATE_STOPPED:
        return PrinterState::Stopped;
    default:
        break;
    }
    return PrinterState::Unknown;
}

std::string Text(ipp_t* message, const char* name) {
    ipp_attribute_t* attribute = ippFindAttribute(message, name, IPP_TAG_ZERO);
    const char* text = attribute ? ippGetString(attribute, 0, nullptr) : nullptr;
    return text ? text : "";
}

// The reasons other than "none", which only says there are none.
std::vector<std::string> Keywords(ipp_t* message, const char* name) {
    std::vector<std::string> keywords;
    ipp_attribute_t* attribute = ippFindAttribute(message, name, IPP_TAG_KEYWORD);
    for (int i = 0; attribute && i < ippGetCount(attribute); ++i) {
        const char* keyword = ippGetString(attribute, i, nullptr);
        if (keyword && std::string_view(keyword) != "none") {
            keywords.emplace_back(keyword);
        }
    }
    return keywords;
}

const char* const PrinterAttributes[] = {"printer-state", "printer-state-message",
                                         "printer-state-reasons", "printer-is-accepting-jobs"};
const char* const JobAttributes[] = {"job-id", "job-state", "job-printer-state-message"};
const char* const QueuedJobAttributes[] = {"job-id", "job-name", "job-originating-user-name",
                                           "job-state"};

} // namespace

void IppStatusClient::ConnectionDeleter::operator()(http_t* connection) const {
    httpClose(connection);
}

IppStatusClient::IppStatusClient(Connection connection, std::string printerUri,
                                 std::string resource, std::chrono::milliseconds timeout,
                                 std::string noAnswerMessage)
    : deadline_(timeout), connection_(std::move(connection)), printerUri_(std::move(printerUri)),
      resource_(std::move(resource)), noAnswerMessage_(std::move(noAnswerMessage)) {
    deadline_.Watch(connection_.get());
}

IppStatusClient::~IppStatusClient() = default;

IppStatusClient::Message IppStatusClient::NewRequest(int operation) const {
    return NewPrinterRequest(operation, printerUri_);
}

IppStatusClient::Message IppStatusClient::Exchange(Message request, bool jobMayBeGone) {
    // cupsDoRequest takes the request and frees it.
    Message response(cupsDoRequest(connection_.get(), request.release(), resource_.c_str()));
    const ipp_status_t status = cupsLastError();
    const std::string why = cupsLastErrorString();
    if (!response && deadline_.Passed()) {
        throw JobMonitorError(noAnswerMessage_);
    }
    if (jobMayBeGone && status == IPP_STATUS_ERROR_NOT_FOUND) {
        return nullptr;
    }
    if (!response || status > IPP_STATUS_OK_EVENTS_COMPLETE) {
        throw JobMonitorError(why.empty() ? noAnswerMessage_ : why);
    }
    return response;
}

PrinterStatus IppStatusClient::ReadPrinter(ipp_t* response) const {
    PrinterStatus status;
    status.state = PrinterStateFrom(
        ippGetInteger(ippFindAttribute(response, "printer-state", IPP_TAG_ENUM), 0));
    ipp_attribute_t* accepting =
        ippFindAttribute(response, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
    status.acceptingJobs = !accepting || ippGetBoolean(accepting, 0);
    status.message = Text(response, "printer-state-message");
    status.reasons = Keywords(response, "printer-state-reasons");
    return status;
}

PrinterStatus IppStatusClient::Printer() {
    Message request = NewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  std::size(PrinterAttributes), nullptr, PrinterAttributes);
    Message printer = Exchange(std::move(request), false);
    PrinterStatus status = ReadPrinter(printer.get());

    request = NewRequest(IPP_OP_GET_JOBS);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr,
                 "not-completed");
    ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  std::size(QueuedJobAttributes), nullptr, QueuedJobAttributes);
    Message jobs = Exchange(std::move(request), false);
    ReadJobs(jobs.get(), status);
    return status;
}

void IppStatusClient::ReadJobs(ipp_t* response, PrinterStatus& status) const {
    // Each job is one group of attributes, in no set order; groups are parted by a
    // separator (an attribute without a name).
    QueuedJob job;
    bool inJob = false;
    const auto finish = [&] {
        if (inJob && job.id > 0) {
            status.jobs.push_back(job);
        }
        job = QueuedJob{};
        inJob = false;
    };
    for (ipp_attribute_t* attribute = ippFirstAttribute(response); attribute;
         attribute = ippNextAttribute(response)) {
        const char* name = ippGetName(attribute);
        if (ippGetGroupTag(attribute) != IPP_TAG_JOB || !name) {
            finish();
            continue;
        }
        const std::string_view key = name;
        if (key == "job-id") {
            job.id = ippGetInteger(attribute, 0);
        } else if (key == "job-name" || key == "job-originating-user-name") {
            const char* text = ippGetString(attribute, 0, nullptr);
            (key == "job-name" ? job.name : job.user) = text ? text : "";
        } else if (key == "job-state") {
            job.state = JobStateFrom(ippGetInteger(attribute, 0));
        }
        inJob = true;
    }
    finish();
}

JobStatus IppStatusClient::Job(int jobId) {
    Message request = NewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", jobId);
    ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  std::size(JobAttributes), nullptr, JobAttributes);
    Message job = Exchange(std::move(request), true);

    request = NewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  std::size(PrinterAttributes), nullptr, PrinterAttributes);
    Message printer = Exchange(std::move(request), false);
    const PrinterStatus printerStatus = ReadPrinter(printer.get());

    JobStatus status;
    status.printerState = printerStatus.state;
    status.printerMessage = printerStatus.message;
    status.printerReasons = printerStatus.reasons;
    if (job) {
        status.state =
            JobStateFrom(ippGetInteger(ippFindAttribute(job.get(), "job-state", IPP_TAG_ENUM), 0));
        // The printer may have moved on since the job ended; what it said while it had the
        // job is the better why.
        if (status.printerMessage.empty()) {
            status.printerMessage = Text(job.get(), "job-printer-state-message");
        }
    }
    return status;
}
