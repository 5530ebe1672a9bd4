#pragma once

#include "printing/ipp/http_deadline.h"
#include "printing/job/job_failure.h"
#include "printing/job/job_options.h"
#include "printing/job/printer_backend.h"

#include <memory>
#include <string>

struct _http_s;

// Raw jobs through the CUPS scheduler, to one of its queues. A job is one IPP Create-Job
// with one document of the raw format; it counts as sent only when the scheduler accepted
// all of it. A job that fails after it was created is cancelled, so no half-sent document
// ever prints. Every exchange with the scheduler must end within the options' scheduler
// time-out (a write: make progress within it); a scheduler that takes the connection and
// then says nothing fails the job with words that say so.
class CupsBackend final : public PrinterBackend {
public:
    CupsBackend(std::string queueName, JobOptions options);
    ~CupsBackend() override;
    CupsBackend(const CupsBackend&) = delete;
    CupsBackend& operator=(const CupsBackend&) = delete;

    void Open(std::optional<std::uint64_t> length) override;
    void Write(std::string_view data) override;
    void Finish() override;
    void Abort() override;
    int JobId() const override { return jobId_; }

private:
    struct ConnectionDeleter {
        void operator()(_http_s* connection) const;
    };

    // The library's words for the failure just seen, or that the scheduler fell silent,
    // which is then the failure's kind whatever `kind` says.
    JobFailure SchedulerFailure(FailureKind kind) const;
    std::string SchedulerError(const std::string& cupsError) const;
    void FindQueue();
    void CreateJobWhenThereIsRoom();
    bool CreateJob();
    bool SchedulerIsFull() const;

    std::string queueName_;
    JobOptions options_;
    // Declared before the connection, which it watches, so that it outlives it.
    std::unique_ptr<HttpDeadline> deadline_;
    std::unique_ptr<_http_s, ConnectionDeleter> connection_;
    int jobId_ = 0;
    // The scheduler holds a job of ours that has not taken its whole document yet.
    bool jobPending_ = false;
    int createStatus_ = 0;
    std::string createError_;
};
