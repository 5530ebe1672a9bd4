#pragma once

#include "printing/address/printer_address.h"
#include "printing/job/job_failure.h"
#include "printing/job/job_options.h"
#include "printing/job/printer_backend.h"

#include <cstdint>
#include <memory>
#include <string>

class TcpConnection;

// Raw jobs to a line printer daemon's queue (lpd://HOST/QUEUE). The protocol announces a
// file's size before its bytes, so the job's length is known before the server is
// reached: Open announces the data file, Write hands its bytes over, and Finish ends it
// and sends a control file that asks for it to be printed unfiltered. Every answer of the
// server is checked; a job that fails or is withdrawn once the hand-over began is cut off
// before its last acknowledgement, so the server throws it away.
class LpdBackend final : public PrinterBackend {
public:
    LpdBackend(const PrinterAddress& address, JobOptions options);
    ~LpdBackend() override;
    LpdBackend(const LpdBackend&) = delete;
    LpdBackend& operator=(const LpdBackend&) = delete;

    bool NeedsLength() const override { return true; }
    void Open(std::optional<std::uint64_t> length) override;
    void Write(std::string_view data) override;
    void Finish() override;
    void Abort() override;
    // The job's number in its file names, 1 to 999.
    int JobId() const override { return jobNumber_; }

private:
    [[noreturn]] void FailToSend(FailureKind kind, const std::string& reason);
    [[noreturn]] void FailOnConnection();
    std::string Where() const;

    void SendReceiveJob();
    void SendLine(const std::string& line);
    void AwaitAcknowledgement(const std::string& step);

    PrinterAddress address_;
    JobOptions options_;
    // Held from Open until the job is finished or withdrawn.
    std::unique_ptr<TcpConnection> connection_;
    std::string host_;
    std::string dataFile_;
    int jobNumber_ = 0;
    bool sendingBegan_ = false;
    std::uint64_t length_ = 0;
    std::uint64_t dataBytesSent_ = 0;
};
