#pragma once

#include "printing/direct/printer_address.h"
#include "printing/spooler.h"

#include <functional>
#include <memory>
#include <string>

// The one spooler the program sends through. A printer name written as an address
// (socket://, lpd://, ipp://, ipps://, file:, serial:) is served by a spooler made for that
// address for the one job; any other name is a queue of the system's spooler. A malformed
// address fails at OpenPrinter with a message that names the fault, and nothing is sent.
class RoutingSpooler final : public Spooler {
public:
    // Makes the spooler that serves one address; it may refuse the address in its own
    // OpenPrinter, for a scheme this platform can't serve.
    using DirectFactory = std::function<std::unique_ptr<Spooler>(const PrinterAddress&)>;

    RoutingSpooler(Spooler& queues, DirectFactory direct);
    // The same, owning the spooler of the queues.
    RoutingSpooler(std::unique_ptr<Spooler> queues, DirectFactory direct);

    bool OpenPrinter(const std::string& printerName) override;
    bool StartDocument(const std::string& documentName) override;
    bool StartPage() override;
    bool Write(std::string_view data) override;
    bool EndPage() override;
    bool EndDocument() override;
    bool ClosePrinter() override;
    void CancelDocument() override;
    std::string LastError() const override;
    int JobId() const override;

private:
    std::unique_ptr<Spooler> ownedQueues_;
    Spooler& queues_;
    DirectFactory direct_;
    std::unique_ptr<Spooler> directSpooler_;
    // The spooler serving the job that was opened last; none after a malformed address.
    Spooler* active_ = nullptr;
    std::string addressError_;
};
