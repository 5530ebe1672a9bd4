#pragma once

#include "printing/capture/emulator_dialect.h"

// A receipt printer's ESC/POS status: DLE EOT n (n = 1 to 4) answered with one byte each,
// and GS a n, which turns automatic status back on (n != 0: one block at once and one at
// every change of state) or off (n = 0).
class EscPosDialect final : public EmulatorDialect {
public:
    void Take(std::string_view bytes, Printer& printer) override;
    std::string StateChanged(Emulation::State state) override;
    std::string Printed(const HeldWork&) override { return {}; }
    bool ReportsChanges() const override { return automaticStatus_; }

private:
    void Command(char n, Printer& printer);

    // The bytes of DLE EOT or GS a seen so far (at most two), waiting for n.
    std::string prefix_;
    bool automaticStatus_ = false;
};
