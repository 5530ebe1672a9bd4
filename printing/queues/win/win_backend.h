#pragma once

#include "printing/job/job_options.h"
#include "printing/job/printer_backend.h"
#include "printing/queues/win/win_printer_handle.h"

#include <functional>
#include <string>

// Raw jobs through the Windows spooler (winspool): one document of level 1 with no output
// file and the data type RAW, so the bytes reach the printer as they are whatever the
// queue's default data type is (a version-4 driver, which refuses RAW, gets XPS_PASS, the
// type it passes through unchanged); one page. Names are UTF-8 and go to the spooler in
// their wide form. A job counts as sent only when the spooler accepted every step of it.
// A job withdrawn after its document was started is aborted: AbortPrinter deletes its
// spool file where the printer spools, so nothing of it prints; on a printer that prints
// directly, without spooling, it can't call back what was written, as those bytes have
// gone to the port already. One whose end is refused is deleted by its number.
class WinBackend final : public PrinterBackend {
public:
    // Starts the document on the open printer with the data type named: the job's number,
    // or 0 with the thread's last error set. StartDocumentOnSpooler is the spooler's own
    // call; a test may put a recorder around it.
    using DocumentStarter = std::function<unsigned long(
        void* printer, const std::wstring& documentName, const wchar_t* dataType)>;
    static unsigned long StartDocumentOnSpooler(void* printer, const std::wstring& documentName,
                                                const wchar_t* dataType);

    WinBackend(std::string queueName, JobOptions options);
    WinBackend(std::string queueName, JobOptions options, DocumentStarter startDocument);
    ~WinBackend() override;
    WinBackend(const WinBackend&) = delete;
    WinBackend& operator=(const WinBackend&) = delete;

    void Open(std::optional<std::uint64_t> length) override;
    void Write(std::string_view data) override;
    void Finish() override;
    void Abort() override;
    int JobId() const override { return jobId_; }

private:
    std::string queueName_;
    JobOptions options_;
    DocumentStarter startDocument_;
    WinPrinterHandle printer_;
    int jobId_ = 0;
    bool documentOpen_ = false;
};
