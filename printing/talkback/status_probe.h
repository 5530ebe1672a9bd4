#pragma once

#include "printing/address/printer_language.h"
#include "printing/talkback/pjl_status.h"
#include "printing/talkback/status_report.h"

#include <atomic>
#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <string_view>

class PrinterBackend;

// What one status question brought back from the printer.
struct ProbeReading {
    enum class Verdict {
        Answered, // `state` (and for ZPL the counts) hold the reply
        Silent,   // not a byte came back before the deadline
        Garbled,  // bytes came back, but no reply of the language asked in
    };
    Verdict verdict = Verdict::Silent;
    StatusReport state;
    // A label printer's formats not yet printed and labels left in its batch.
    long formatsInBuffer = 0;
    long labelsRemaining = 0;
    // What was heard when it was no reply, as it came (cut to a few dozen bytes).
    std::string heard;

    bool Answered() const { return verdict == Verdict::Answered; }
};

// Asks a printer how it stands, in its own language, over a backend that is open: writes the
// query, then reads until the reply is whole or the wait is over, never longer. Bytes the
// printer sent before the question are passed over first. The replies of a PJL printer
// that say a job ended are kept as they come, for the job's confirmation. Reads are bounded
// in bytes too: a printer that floods the line is garbled, not read for ever.
class StatusProbe {
public:
    StatusProbe(PrinterBackend& backend, PrinterLanguage language,
                const std::atomic<bool>* stop = nullptr);

    ProbeReading Ask(std::chrono::milliseconds wait);

    // The RESULT a PJL printer gave for the end of the job of this name ("OK" when it gave
    // none), or nothing while it has not said that the job ended.
    std::optional<std::string> EndedJob(std::string_view name) const;

    // Why the reading told nothing, in words that name the query ("the printer did not answer
    // the ZPL status query (~HS) within 10 s").
    std::string Unanswered(const ProbeReading& reading, std::chrono::milliseconds wait) const;

    // The query a language is asked in, by name.
    static std::string_view QueryName(PrinterLanguage language);

private:
    using Clock = std::chrono::steady_clock;

    ProbeReading AskEscPos(Clock::time_point deadline);
    ProbeReading AskZpl(Clock::time_point deadline, std::chrono::milliseconds wait);
    ProbeReading AskPjl(Clock::time_point deadline);
    // Reads until `feed` says the reply is whole (true) or the deadline passes (false).
    template <typename Feed> bool Listen(Clock::time_point deadline, std::string& heard, Feed feed);
    void PassOverEarlierBytes();
    void TakePjl(std::string_view bytes, std::optional<PjlStatus::Reply>& device);

    PrinterBackend& backend_;
    PrinterLanguage language_;
    const std::atomic<bool>* stop_;
    PjlStatus pjl_;
    std::map<std::string, std::string, std::less<>> endedJobs_;
};
