#pragma once

#include "printing/job/job_options.h"
#include "printing/job/printer_backend.h"
#include "printing/talkback/status_probe.h"

#include <memory>
#include <optional>
#include <string>

// A direct printer's job with the printer asked around it, in its own language: before the
// first byte whether it is ready (TalkOptions::check), after the last until it says the job
// is done (TalkOptions::confirm). The job's bytes go through unchanged and nothing is asked
// in their midst. Only a PJL job that is to be confirmed gets more: a JOB line before it and
// an EOJ line after it, both with the job's name, so that the printer can say which job
// ended.
//
// When the language is Automatic the printer is reached only with the job's first bytes,
// whose language is then the one asked in; a job in no language known is sent unasked.
class TalkingBackend final : public PrinterBackend {
public:
    TalkingBackend(std::unique_ptr<PrinterBackend> printer, PrinterLanguage language,
                   JobOptions options);

    bool NeedsLength() const override { return printer_->NeedsLength(); }
    void Open(std::optional<std::uint64_t> length) override;
    void Write(std::string_view data) override;
    std::size_t Read(char* buffer, std::size_t capacity, std::chrono::milliseconds wait) override;
    void Finish() override;
    void Abort() override;
    int JobId() const override { return printer_->JobId(); }
    std::string Confirmation() const override { return confirmation_; }

private:
    void Begin(std::string_view firstBytes);
    void Check();
    void Confirm();
    void ConfirmZpl();
    void ConfirmPjl();
    // A reading taken while the job is checked or confirmed: the printer must have answered
    // and must be able to print. `when` follows the reason, its separator included.
    void Expect(const ProbeReading& reading, std::string_view when) const;
    void PauseBeforeAsking() const;

    std::unique_ptr<PrinterBackend> printer_;
    PrinterLanguage language_;
    JobOptions options_;
    std::optional<std::uint64_t> length_;
    bool begun_ = false;
    std::optional<StatusProbe> probe_;
    std::string confirmation_;
};
