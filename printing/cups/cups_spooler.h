#pragma once

#include "printing/spooler.h"

#include <memory>
#include <string>

struct _http_s;
struct cups_dest_s;

// Raw jobs through the CUPS scheduler. A job is one IPP Create-Job with one document of
// the raw format; it counts as sent only when the scheduler accepted all of it. A job
// that fails after it was created is cancelled, so no half-sent document ever prints.
class CupsSpooler final : public Spooler {
public:
    CupsSpooler();
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
    struct DestinationDeleter {
        void operator()(cups_dest_s* destination) const;
    };
    struct ConnectionDeleter {
        void operator()(_http_s* connection) const;
    };

    bool Fail(const std::string& reason);
    bool FailWithCupsError();
    void CancelJob();

    std::unique_ptr<cups_dest_s, DestinationDeleter> destination_;
    std::unique_ptr<_http_s, ConnectionDeleter> connection_;
    std::string printerName_;
    std::string documentName_;
    int jobId_ = 0;
    bool failed_ = false;
    bool requestOpen_ = false;
    std::string lastError_;
};
