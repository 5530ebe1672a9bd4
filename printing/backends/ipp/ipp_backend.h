#pragma once

#include "printing/address/printer_address.h"
#include "printing/ipp/http_deadline.h"
#include "printing/ipp/ipp_message.h"
#include "printing/job/job_failure.h"
#include "printing/job/job_options.h"
#include "printing/job/printer_backend.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct _http_s;
struct _ipp_s;

// Raw jobs straight to an IPP printer (ipp:// and ipps:// addresses), past any queue.
// Opening connects to the printer and asks which formats it takes; the job is one
// Create-Job with one Send-Document (or one Print-Job where the printer has no
// Create-Job), its data streamed as it is written. The declared format is chosen by
// IppDocumentFormat, which may need the data's first bytes: the job is created at the
// first write that brings enough of them, or at the finish. A job counts as sent only
// when the printer accepted the whole document; one that fails or is withdrawn after it
// was created is cancelled on the printer, which would otherwise keep it and stay busy.
class IppBackend final : public PrinterBackend {
public:
    IppBackend(const PrinterAddress& address, JobOptions options);
    ~IppBackend() override;
    IppBackend(const IppBackend&) = delete;
    IppBackend& operator=(const IppBackend&) = delete;

    void Open(std::optional<std::uint64_t> length) override;
    void Write(std::string_view data) override;
    void Finish() override;
    void Abort() override;
    int JobId() const override { return jobId_; }

private:
    struct ConnectionDeleter {
        void operator()(_http_s* connection) const;
    };
    using Connection = std::unique_ptr<_http_s, ConnectionDeleter>;
    using Message = IppMessage;

    // Where the job stands.
    enum class Stage {
        Closed,     // no printer open
        Collecting, // the printer's formats known; the document's first bytes are kept
                    // until the format is chosen
        Sending,    // the document request is open and takes the data as it comes
        Done,       // the document was finished or given up
    };

    // Throws JobFailure when the printer can't be reached.
    Connection Connect() const;
    void ReadPrinterAttributes();
    Message NewRequest(int operation) const;
    void BeginDocument();
    // How long a busy printer has been waited for, and how long the next wait is.
    struct BusyWait {
        int tries = 0;
        std::chrono::milliseconds waited{0};
        std::chrono::milliseconds next{500};
    };
    // Waits and returns while the printer may be asked again; else throws the refusal.
    void RetryWhileBusy(int status, const std::string& detail, BusyWait& busy) const;
    void CreateJob();
    void OpenDocumentRequest(int operation, const std::string& format);
    void SendData(std::string_view data);
    void FinishDocument();
    // Why an exchange on the job's connection brought no usable answer, and its kind.
    struct Silence {
        FailureKind kind;
        std::string why;
    };
    Silence Unanswered(int status, const std::string& detail) const;
    // Throws that the printer did not do the step ("tell its attributes"), and why.
    [[noreturn]] void FailUnanswered(const std::string& step, int status, const std::string& detail,
                                     const std::string& after = {}) const;
    // The kind of the failure the document connection just saw: no progress within the
    // stall time-out, the connection cut, or else `answered`, the printer's own answer.
    FailureKind ConnectionFailureKind(FailureKind answered) const;
    void ResetConnection();
    bool SendCancelJob() const;
    std::string SentSoFar() const;

    PrinterAddress address_;
    JobOptions options_;
    std::string printerUri_;
    // Declared before the connection, which it watches, so that it outlives it.
    std::unique_ptr<HttpDeadline> deadline_;
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
};
