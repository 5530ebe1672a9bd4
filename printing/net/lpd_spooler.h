#pragma once

#include "printing/direct/direct_options.h"
#include "printing/direct/printer_address.h"
#include "printing/spooler.h"

#include <cstdint>
#include <memory>
#include <string>

class SpoolFile;
class TcpConnection;

// Raw jobs to a line printer daemon's queue (lpd://HOST/QUEUE). The protocol announces a
// file's size before its bytes, so the job is kept in a temporary file as it is written
// and handed over at EndDocument: the data file, then a control file that asks for it to
// be printed unfiltered. Every answer of the server is checked; a job that fails or is
// cancelled while it is being handed over is cut off before its last acknowledgement, so
// the server throws it away.
class LpdSpooler final : public Spooler {
public:
    LpdSpooler(const PrinterAddress& address, const DirectOptions& options);
    ~LpdSpooler() override;
    LpdSpooler(const LpdSpooler&) = delete;
    LpdSpooler& operator=(const LpdSpooler&) = delete;

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
    // The job's number in its file names, 1 to 999.
    int JobId() const override { return jobNumber_; }

private:
    bool Fail(const std::string& message);
    bool FailToSend(const std::string& reason);
    bool Ready() const { return !failed_ && connection_ != nullptr; }
    std::string Where() const;

    bool SendJob();
    bool SendReceiveJob();
    bool SendLine(const std::string& line);
    bool SendDataFile(const std::string& name);
    bool SendControlFile(const std::string& name, const std::string& contents);
    bool AwaitAcknowledgement(const std::string& step);

    PrinterAddress address_;
    DirectOptions options_;
    std::unique_ptr<TcpConnection> connection_;
    std::unique_ptr<SpoolFile> spool_;
    std::string documentName_;
    int jobNumber_ = 0;
    bool sendingBegan_ = false;
    std::uint64_t dataBytesSent_ = 0;
    bool failed_ = false;
    std::string lastError_;
};
