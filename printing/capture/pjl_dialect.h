#pragma once

#include "printing/capture/emulator_dialect.h"

#include <vector>

// A PJL printer's status: INFO STATUS answered with the state's code, display and ONLINE;
// USTATUS DEVICE and JOB turned on and off (USTATUSOFF: both off); with JOB on, a job
// (JOB ... EOJ) is confirmed when it starts and, once held and printed, when it ends, with
// its form feeds as pages (1 without); with DEVICE on, a change of state is reported unasked.
// ECHO is echoed. Commands are lines that begin with @PJL (after a universal exit language
// command or a line end); they end with CR LF or LF; keywords in any case.
class PjlDialect final : public EmulatorDialect {
public:
    void Take(std::string_view bytes, Printer& printer) override;
    std::string StateChanged(Emulation::State state) override;
    std::string Printed(const HeldWork& work) override;
    bool ReportsChanges() const override { return deviceStatus_; }

private:
    struct OpenJob {
        std::string name;
        long pages = 0;
    };

    void EndLine(std::string_view line, Printer& printer);
    void Command(std::string_view line, Printer& printer);

    // The line so far, while it may still be a command: a longer line is none.
    std::string line_;
    bool longLine_ = false;
    // Bytes of the universal exit language command matched so far.
    std::size_t exitMatched_ = 0;
    std::vector<OpenJob> jobs_;
    // Jobs opened beyond the depth kept, which their EOJs close unconfirmed.
    std::size_t deeperJobs_ = 0;
    bool deviceStatus_ = false;
    bool jobStatus_ = false;
};
