#pragma once

#include "printing/spooler.h"

#include <functional>
#include <memory>
#include <string>

// Raw jobs through the Windows spooler (winspool): one document of level 1 with no output
// file and the data type RAW, so the bytes reach the printer as they are whatever the
// queue's default data type is (a version-4 driver, which refuses RAW, gets XPS_PASS, the
// type it passes through unchanged); one page; one write. Names are UTF-8 and go to the
// spooler in their wide form. A job counts as sent only when the spooler accepted every
// step of it. A job that fails after its document was started is aborted: AbortPrinter
// deletes its spool file where the printer spools, so nothing of it prints; on a printer
// that prints directly, without spooling, it can't call back what was written, as those
// bytes have gone to the port already. One whose end is refused is deleted by its
// number.
class WinSpooler final : public Spooler {
public:
    // Starts the document on the open printer with the data type named: the job's number,
    // or 0 with the thread's last error set. StartDocumentOnSpooler is the spooler's own
    // call; a test may put a recorder around it.
    using DocumentStarter = std::function<unsigned long(
        void* printer, const std::wstring& documentName, const wchar_t* dataType)>;
    static unsigned long StartDocumentOnSpooler(void* printer, const std::wstring& documentName,
                                                const wchar_t* dataType);

    WinSpooler();
    explicit WinSpooler(DocumentStarter startDocument);
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

    DocumentStarter startDocument_;
    std::unique_ptr<void, PrinterCloser> printer_;
    int jobId_ = 0;
    bool failed_ = false;
    bool documentOpen_ = false;
    bool pageOpen_ = false;
    std::string lastError_;
};
