#pragma once

#include "printing/cups/http_deadline.h"
#include "printing/direct/direct_options.h"
#include "printing/spooler.h"

#include <memory>
#include <string>

struct _http_s;

// Raw jobs through the CUPS scheduler. A job is one IPP Create-Job with one document of
// the raw format; it counts as sent only when the scheduler accepted all of it. A job
// that fails after it was created is cancelled, so no half-sent document ever prints.
// Every exchange with the scheduler must end within the options' scheduler time-out (a
// write: make progress within it); a scheduler that takes the connection and then says
// nothing fails the job with words that say so.
class CupsSpooler final : public Spooler {
public:
    // With the default options.
    CupsSpooler();
    // The options are read at each job and must outlive the spooler.
    explicit CupsSpooler(const DirectOptions& options);
    ~CupsSpooler() override;
    CupsSpooler(const CupsSpooler&) = delete;
    CupsSpooler& operator=(const CupsSpooler&) = delete;

    bool OpenPrinter(const std::string& printerName) override;
    bool StartDocument(const std::string& documentName) override;
    bool StartPage() override;
    bool Write(std::string_view data) override;
    bool EndPage() override;
    bool EndDocument() override;
    bool ClosePrinter() override;
    void CancelDocument() override;
    std::string LastError() const override { return lastError_; }
    int JobId() const override { return jobId_; }

private:
    struct ConnectionDeleter {
        void operator()(_http_s* connection) const;
    };

    bool Fail(const std::string& reason);
    // The library's words for the failure just seen, or that the scheduler fell silent.
    bool FailWithCupsError();
    std::string SchedulerError(const std::string& cupsError) const;
    bool FindQueue();
    bool CreateJob();
    bool SchedulerIsFull() const;
    void CancelJob();

    const DirectOptions& options_;
    // Declared before the connection, which it watches, so that it outlives it.
    std::unique_ptr<HttpDeadline> deadline_;
    std::unique_ptr<_http_s, ConnectionDeleter> connection_;
    std::string printerName_;
    std::string documentName_;
    int jobId_ = 0;
    int createStatus_ = 0;
    std::string createError_;
    bool failed_ = false;
    bool requestOpen_ = false;
    std::string lastError_;
};
