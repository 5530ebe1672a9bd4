#include "printing/job/job_status.h"

#include <array>
#include <string_view>
#include <utility>

namespace {

// Reason keywords carry their severity as a suffix; the plain words don't depend on it.
std::string_view WithoutSeverity(std::string_view reason) {
    for (const std::string_view suffix : {"-error", "-warning", "-report"}) {
        if (reason.size() > suffix.size() && reason.ends_with(suffix)) {
            return reason.substr(0, reason.size() - suffix.size());
        }
    }
    return reason;
}

std::string ReasonInWords(std::string_view reason) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 12> Words{{
        {"offline", "the printer is not connected"},
        {"media-empty", "out of paper"},
        {"media-needed", "out of paper"},
        {"media-jam", "paper jam"},
        {"door-open", "a cover is open"},
        {"cover-open", "a cover is open"},
        {"toner-empty", "out of toner"},
        {"marker-supply-empty", "out of ink or toner"},
        {"paused", "the printer is paused"},
        {"connecting-to-device", "connecting to the printer"},
        {"timed-out", "the printer does not answer"},
        {"shutdown", "the printer is shutting down"},
    }};
    const std::string_view keyword = WithoutSeverity(reason);
    for (const auto& [key, words] : Words) {
        if (keyword == key) {
            return std::string(words);
        }
    }
    return std::string(reason);
}

} // namespace

bool JobStatus::Ended() const {
    return state == JobState::Completed || state == JobState::Aborted ||
           state == JobState::Canceled;
}

bool JobStatus::WaitIsOver() const {
    return Ended() || state == JobState::Held || state == JobState::Stopped ||
           (state == JobState::Pending && printerState == PrinterState::Stopped);
}

namespace modJobStatus {

std::string StateWord(JobState state) {
    switch (state) {
    case JobState::Pending:
        return "pending";
    case JobState::Held:
        return "held";
    case JobState::Processing:
        return "printing";
    case JobState::Stopped:
        return "stopped";
    case JobState::Completed:
        return "completed";
    case JobState::Aborted:
        return "aborted";
    case JobState::Canceled:
        return "canceled";
    case JobState::Unknown:
        break;
    }
    return "unknown";
}

std::string StateWord(PrinterState state) {
    switch (state) {
    case PrinterState::Idle:
        return "idle";
    case PrinterState::Processing:
        return "printing";
    case PrinterState::Stopped:
        return "stopped";
    case PrinterState::Unknown:
        break;
    }
    return "unknown";
}

std::string PrinterTrouble(const std::string& message, const std::vector<std::string>& reasons) {
    if (!message.empty()) {
        return message;
    }
    std::string words;
    for (const std::string& reason : reasons) {
        if (reason.empty() || reason == "none") {
            continue;
        }
        if (!words.empty()) {
            words += ", ";
        }
        words += ReasonInWords(reason);
    }
    return words;
}

std::string Describe(const JobStatus& status) {
    // A job waiting at a printer that stopped goes nowhere until someone acts: to the
    // user it has stopped, though the spooler still counts it as pending.
    const bool waitsAtStoppedPrinter =
        status.state == JobState::Pending && status.printerState == PrinterState::Stopped;
    std::string text = StateWord(waitsAtStoppedPrinter ? JobState::Stopped : status.state);
    // A completed or canceled job needs no why; every other state may be waiting on the
    // printer, and says on what.
    if (status.state == JobState::Completed || status.state == JobState::Canceled) {
        return text;
    }
    const std::string trouble = PrinterTrouble(status.printerMessage, status.printerReasons);
    if (!trouble.empty()) {
        text += ": ";
        text += trouble;
    }
    return text;
}

} // namespace modJobStatus
