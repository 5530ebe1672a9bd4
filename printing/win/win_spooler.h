#pragma once

#include "printing/spooler.h"

#include <memory>
#include <string>

// Raw jobs through the Windows spooler (winspool): one document of level 1 with no output
// file and no data type named, so the queue's own data type applies (RAW on most queues);
// one page; one write. A job counts as sent only when the spooler accepted every step of
// it. A job that fails after its document was started is aborted (AbortPrinter drops its
// spool file), and one whose end is refused is deleted by its number, so no half-sent
// document ever prints.
class WinSpooler final : public Spooler {
public:
    WinSpooler();
    ~WinSpooler() override;
    WinSpooler(const WinSpooler&) = delete;
    WinSpooler& operator=(const WinSpooler&) = delete;

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
    // A printer HANDLE; the type is spelled out so that callers need no Windows header.
    struct PrinterCloser {
        void operator()(void* printer) const;
    };

    bool Fail(const std::string& reason);
    bool FailWithLastError();
    void AbortJob();
    void DeleteJob();

    std::unique_ptr<void, PrinterCloser> printer_;
    int jobId_ = 0;
    bool failed_ = false;
    bool documentOpen_ = false;
    bool pageOpen_ = false;
    std::string lastError_;
};
