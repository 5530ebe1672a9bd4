#pragma once

#include "printing/address/printer_address.h"
#include "printing/job/job_failure.h"
#include "printing/job/job_options.h"
#include "printing/job/printer_backend.h"

#include <memory>
#include <string>

class TcpConnection;

// Raw jobs to a printer's AppSocket port (socket://HOST:9100): the job's bytes go down
// one TCP connection as they are written, and whatever the printer sends back is read
// alongside, its latest words kept for Read. The job counts as printed only when every
// byte was sent and the printer then closed the connection in the ordinary way; a job
// that fails or is withdrawn part-way is cut off with a reset, so the printer can tell it
// is incomplete. An AppSocket printer has no job numbers.
class SocketBackend final : public PrinterBackend {
public:
    SocketBackend(const PrinterAddress& address, JobOptions options);
    ~SocketBackend() override;
    SocketBackend(const SocketBackend&) = delete;
    SocketBackend& operator=(const SocketBackend&) = delete;

    void Open(std::optional<std::uint64_t> length) override;
    void Write(std::string_view data) override;
    // What the printer sent back since the last call, of its last 64 KiB.
    std::size_t Read(char* buffer, std::size_t capacity, std::chrono::milliseconds wait) override;
    void Finish() override;
    void Abort() override;

private:
    // `usual` is the kind of a failure that was neither a time-out nor a reset.
    [[noreturn]] void Fail(const std::string& what, FailureKind usual);
    std::string Where() const;

    PrinterAddress address_;
    JobOptions options_;
    // Held from Open until the job is finished or withdrawn.
    std::unique_ptr<TcpConnection> connection_;
};
