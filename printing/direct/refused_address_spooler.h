#pragma once

#include "printing/spooler.h"

#include <string>

// Serves an address this platform can't reach: every step fails, and the reason says
// what to do instead. Nothing is sent.
class RefusedAddressSpooler final : public Spooler {
public:
    explicit RefusedAddressSpooler(std::string reason) : reason_(std::move(reason)) {}

    bool OpenPrinter(const std::string&) override { return false; }
    bool StartDocument(const std::string&) override { return false; }
    bool StartPage() override { return false; }
    bool Write(std::string_view) override { return false; }
    bool EndPage() override { return false; }
    bool EndDocument() override { return false; }
    bool ClosePrinter() override { return false; }
    void CancelDocument() override {}
    std::string LastError() const override { return reason_; }
    int JobId() const override { return 0; }

private:
    std::string reason_;
};
