#include "printing/talkback/talking_backend.h"

#include "core/seconds_text.h"
#include "printing/job/job_failure.h"
#include "printing/job/stoppable_pause.h"
#include "printing/talkback/job_language.h"
#include "printing/talkback/pjl_status.h"
#include "printing/talkback/status_words.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// How often a printer that is still printing the job is asked again.
constexpr std::chrono::milliseconds kConfirmInterval = 500ms;

// Whether what a printer says while a job waits has stayed the same too long: the wait for
// its confirmation ends when the printer shows no progress for the stall time-out.
class Unchanged {
public:
    explicit Unchanged(std::chrono::milliseconds limit) : limit_(limit) {}

    // Takes what the printer said now; true once it has said the same for over the limit.
    bool For(const std::string& said) {
        if (said != last_) {
            last_ = said;
            since_ = Clock::now();
            return false;
        }
        return Clock::now() - since_ > limit_;
    }

private:
    std::chrono::milliseconds limit_;
    std::optional<std::string> last_;
    Clock::time_point since_ = Clock::now();
};

std::string Plural(long count, std::string_view thing) {
    return std::to_string(count) + " " + std::string(thing) + (count == 1 ? "" : "s");
}

} // namespace

TalkingBackend::TalkingBackend(std::unique_ptr<PrinterBackend> printer, PrinterLanguage language,
                               JobOptions options)
    : printer_(std::move(printer)), language_(language), options_(std::move(options)) {}

void TalkingBackend::Open(std::optional<std::uint64_t> length) {
    length_ = length;
    if (language_ != PrinterLanguage::Automatic) {
        Begin({});
    }
}

void TalkingBackend::Write(std::string_view data) {
    if (!begun_) {
        Begin(data);
    }
    printer_->Write(data);
}

std::size_t TalkingBackend::Read(char* buffer, std::size_t capacity,
                                 std::chrono::milliseconds wait) {
    return printer_->Read(buffer, capacity, wait);
}

// Reaches the printer and asks it what the options want asked, before the job's first byte.
void TalkingBackend::Begin(std::string_view firstBytes) {
    begun_ = true;
    if (language_ == PrinterLanguage::Automatic) {
        language_ = JobLanguage::Of(firstBytes);
    }
    printer_->WatchStop(StopFlag());
    printer_->Open(length_);
    if (!PrinterLanguageName::Speaks(language_)) {
        if (options_.talk.check) {
            const std::string why = language_ == PrinterLanguage::None
                                        ? "the printer's language is given as none"
                                        : "the printer's language is not known";
            throw JobFailure(FailureKind::Refused,
                             why + ", so it was not asked whether it is ready and nothing was "
                                   "sent (give its language: escpos, zpl or pjl)");
        }
        return;
    }
    probe_.emplace(*printer_, language_, StopFlag());
    if (options_.talk.check) {
        Check();
    }
    if (options_.talk.confirm && language_ == PrinterLanguage::Pjl) {
        printer_->Write(PjlStatus::JobHeader(options_.title));
    }
}

void TalkingBackend::Check() {
    Expect(probe_->Ask(options_.timeouts.connect), ", so nothing was sent");
}

void TalkingBackend::Expect(const ProbeReading& reading, std::string_view when) const {
    if (!reading.Answered()) {
        const FailureKind kind = reading.verdict == ProbeReading::Verdict::Silent
                                     ? FailureKind::TimedOut
                                     : FailureKind::Refused;
        throw JobFailure(kind, probe_->Unanswered(reading, options_.timeouts.connect) +
                                   std::string(when));
    }
    if (reading.state.Blocked()) {
        throw JobFailure(FailureKind::NotReady,
                         "the printer reports " + StatusWords::Describe(reading.state, language_) +
                             std::string(when));
    }
}

void TalkingBackend::Finish() {
    if (!begun_) {
        Begin({});
    }
    if (options_.talk.confirm) {
        Confirm();
    }
    printer_->Finish();
}

void TalkingBackend::Abort() {
    printer_->Abort();
}

void TalkingBackend::Confirm() {
    switch (language_) {
    case PrinterLanguage::EscPos:
        // A receipt printer says how it stands, not what became of the job: the job is
        // sent and the printer ready, no more.
        Expect(probe_->Ask(options_.timeouts.connect), " after the job was sent");
        confirmation_ = "sent, printer ready";
        return;
    case PrinterLanguage::Zpl:
        ConfirmZpl();
        return;
    case PrinterLanguage::Pjl:
        ConfirmPjl();
        return;
    default:
        confirmation_ = "sent; not confirmed, as the printer's language is not known";
        return;
    }
}

void TalkingBackend::PauseBeforeAsking() const {
    PauseUnlessStopped(kConfirmInterval, StopFlag());
}

// Done when the printer holds no format of it and no label of its batch is left. A printer
// whose counts stay still for the stall time-out is given up on.
void TalkingBackend::ConfirmZpl() {
    constexpr std::string_view when = " while the job waited to be printed";
    Unchanged unchanged(options_.timeouts.stall);
    for (;;) {
        const ProbeReading reading = probe_->Ask(options_.timeouts.connect);
        Expect(reading, when);
        if (reading.formatsInBuffer == 0 && reading.labelsRemaining == 0) {
            confirmation_ = "printed";
            return;
        }
        const std::string holds = Plural(reading.formatsInBuffer, "format") + " and " +
                                  Plural(reading.labelsRemaining, "label");
        if (unchanged.For(holds)) {
            throw JobFailure(FailureKind::TimedOut,
                             "the job was sent, but the printer still holds " + holds + " after " +
                                 SecondsText(options_.timeouts.stall) + " without progress");
        }
        PauseBeforeAsking();
    }
}

// Done when the printer says the job of this name ended. The wait ends when its state has
// not changed for the stall time-out.
void TalkingBackend::ConfirmPjl() {
    constexpr std::string_view when = " while the job waited to be printed";
    const std::string name = PjlStatus::SafeName(options_.title);
    printer_->Write(PjlStatus::JobTrailer(options_.title));
    Unchanged unchanged(options_.timeouts.stall);
    for (;;) {
        const ProbeReading reading = probe_->Ask(options_.timeouts.connect);
        if (const std::optional<std::string> result = probe_->EndedJob(name)) {
            if (*result != "OK") {
                throw JobFailure(FailureKind::Refused,
                                 "the printer says the job ended with " + *result);
            }
            confirmation_ = "printed";
            return;
        }
        Expect(reading, when);
        if (unchanged.For(reading.state.display)) {
            throw JobFailure(FailureKind::TimedOut,
                             "the job was sent, but the printer has not said that it ended after " +
                                 SecondsText(options_.timeouts.stall));
        }
        PauseBeforeAsking();
    }
}
