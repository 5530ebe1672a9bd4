#pragma once

#include "printing/direct/direct_options.h"
#include "printing/direct/printer_address.h"
#include "printing/spooler.h"

#include <memory>
#include <string>

class TcpConnection;

// Raw jobs to a printer's AppSocket port (socket://HOST:9100): the job's bytes go down
// one TCP connection as they are written, and whatever the printer sends back is read and
// dropped. The job counts as printed only when every byte was sent and the printer then
// closed the connection in the ordinary way; a job that fails or is cancelled part-way is
// cut off with a reset, so the printer can tell it is incomplete.
class SocketSpooler final : public Spooler {
public:
    SocketSpooler(const PrinterAddress& address, const DirectOptions& options);
    ~SocketSpooler() override;
    SocketSpooler(const SocketSpooler&) = delete;
    SocketSpooler& operator=(const SocketSpooler&) = delete;

    // The printer name is the address text; the address given at construction is used.
    bool OpenPrinter(const std::string& printerName) override;
    bool StartDocument(const std::string& documentName) override;
    bool StartPage() override;
    bool Write(std::string_view data) override;
    bool EndPage() override;
    bool EndDocument() override;
    bool ClosePrinter() override;
    void CancelDocument() override;
    std::string LastError() const override { return lastError_; }
    // An AppSocket printer has no job numbers.
    int JobId() const override { return 0; }

private:
    bool Fail(const std::string& what);
    bool Ready() const { return !failed_ && connection_ != nullptr; }
    std::string Where() const;

    PrinterAddress address_;
    DirectOptions options_;
    std::unique_ptr<TcpConnection> connection_;
    bool documentOpen_ = false;
    bool failed_ = false;
    std::string lastError_;
};
