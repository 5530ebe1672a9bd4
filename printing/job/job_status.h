#pragma once

#include <string>
#include <vector>

// What became of a job after the spooler took it, and how its printer stands, in the
// spooler's own terms (the IPP job and printer states, which CUPS, IPP printers and, in
// translation, Windows all report).

enum class JobState {
    Unknown,    // the spooler did not say, or no longer knows the job
    Pending,    // waiting its turn
    Held,       // kept back until someone releases it
    Processing, // being printed
    Stopped,    // being printed, but the printer has stopped
    Completed,
    Aborted, // given up by the printer or the system
    Canceled,
};

enum class PrinterState { Unknown, Idle, Processing, Stopped };

struct JobStatus {
    JobState state = JobState::Unknown;
    // The printer's state and its own words for it: printer-state-message, and the
    // printer-state-reasons keywords other than "none" (e.g. "offline-report",
    // "media-empty-error", "paused").
    PrinterState printerState = PrinterState::Unknown;
    std::string printerMessage;
    std::vector<std::string> printerReasons;

    // Completed, aborted or canceled: the job's state will not change again.
    bool Ended() const;
    // Whether a caller waiting for the job to end should stop waiting: it ended, or it
    // can't go on without someone's help (held, stopped, or waiting on a stopped printer).
    bool WaitIsOver() const;
};

// One job waiting at or being printed by a printer.
struct QueuedJob {
    int id = 0;
    std::string name;
    std::string user;
    JobState state = JobState::Unknown;
};

struct PrinterStatus {
    PrinterState state = PrinterState::Unknown;
    bool acceptingJobs = true;
    std::string message;
    std::vector<std::string> reasons;
    std::vector<QueuedJob> jobs;
};

namespace modJobStatus {

// "pending", "held", "printing", "stopped", "completed", "aborted", "canceled", "unknown".
std::string StateWord(JobState state);
// "idle", "printing", "stopped", "unknown".
std::string StateWord(PrinterState state);

// The printer's trouble in a user's words: its own message when it gave one, otherwise
// its reasons, each known keyword said plainly ("media-empty-error": "out of paper"),
// others as they are. Empty when all is well.
std::string PrinterTrouble(const std::string& message, const std::vector<std::string>& reasons);

// The job's state, and for a job that did not complete or can't go on, why:
// "printing", "completed", "stopped: the printer is not connected".
std::string Describe(const JobStatus& status);

} // namespace modJobStatus
