#pragma once

#include "printing/cups/ipp_message.h"
#include "printing/direct/direct_options.h"
#include "printing/direct/printer_address.h"
#include "printing/spooler.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct _http_s;
struct _ipp_s;

// Raw jobs straight to an IPP printer (ipp:// and ipps:// addresses), past any queue.
// Open printer connects to the printer and asks which formats it takes; the job is one
// Create-Job with one Send-Document (or one Print-Job where the printer has no
// Create-Job), its data streamed as it is written. The declared format is chosen by
// IppDocumentFormat, which may need the data's first bytes: the job is created at the
// first write that brings enough of them, or at end document. A job counts as sent only
// when the printer accepted the whole document; one that fails or is cancelled after it
// was created is cancelled on the printer, which would otherwise keep it and stay busy.
class IppSpooler final : public Spooler {
public:
    IppSpooler(const PrinterAddress& address, const DirectOptions& options);
    ~IppSpooler() override;
    IppSpooler(const IppSpooler&) = delete;
    IppSpooler& operator=(const IppSpooler&) = delete;

    // The name is the address text; the address given at construction is what is used.
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
    using Connection = std::unique_ptr<_http_s, ConnectionDeleter>;
    using Message = IppMessage;

    // Where the job stands; every step checks it, so a step out of turn does nothing.
    enum class Stage {
        Closed,     // no printer open
        Open,       // connected, the printer's formats known
        Collecting, // document started; its first bytes are kept until the format is chosen
        Sending,    // the document request is open and takes the data as it comes
        Done,       // the document was finished or given up
    };

    bool Fail(const std::string& reason);
    Connection Connect(std::string& why) const;
    bool ReadPrinterAttributes();
    Message NewRequest(int operation) const;
    bool BeginDocument();
    // How long a busy printer has been waited for, and how long the next wait is.
    struct BusyWait {
        int tries = 0;
        std::chrono::milliseconds waited{0};
        std::chrono::milliseconds next{500};
    };
    bool RetryWhileBusy(int status, const std::string& detail, BusyWait& busy);
    bool CreateJob();
    bool OpenDocumentRequest(int operation, const std::string& format);
    bool SendData(std::string_view data);
    bool FinishDocument();
    void ResetConnection();
    void CancelJob();
    bool SendCancelJob() const;
    std::string SentSoFar() const;

    PrinterAddress address_;
    DirectOptions options_;
    std::string printerUri_;
    Connection connection_;
    std::vector<std::string> formats_;
    bool createJobSupported_ = false;
    std::string documentName_;
    std::string firstBytes_;
    Stage stage_ = Stage::Closed;
    int jobId_ = 0;
    // The printer holds a job of ours that has not taken its whole document yet.
    bool jobPending_ = false;
    std::uint64_t bytesSent_ = 0;
    bool failed_ = false;
    std::string lastError_;
};
