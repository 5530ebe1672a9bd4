#pragma once

#include "printing/capture/emulator_dialect.h"

// A label printer's ZPL status: ~HS answered with its three strings, ~HQES with the error
// and warning flags. A format (^XA ... ^XZ) goes into the buffer, with the labels its ^PQ
// asks for (1 without), and counts there until it has been printed. Commands are found by
// their prefix and two letters, in any case; the prefixes are the defaults (^ and ~).
class ZplDialect final : public EmulatorDialect {
public:
    void Take(std::string_view bytes, Printer& printer) override;
    std::string StateChanged(Emulation::State) override { return {}; }
    std::string Printed(const HeldWork&) override { return {}; }
    bool ReportsChanges() const override { return false; }

private:
    enum class Reading { Text, Code, Parameter, Quantity };

    void Read(char c, Printer& printer);
    void Command(Printer& printer);

    Reading reading_ = Reading::Text;
    // The prefix and the letters of the command being read, then its two-letter parameter
    // (~HQ).
    std::string code_;
    std::string parameter_;
    bool inFormat_ = false;
    long quantity_ = 0; // ^PQ as far as read; 0 for none
    int quantityDigits_ = 0;
};
