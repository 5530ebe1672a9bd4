#include "printing/queues/win/win_job_monitor.h"

#include "core/win_text.h"
#include "printing/queues/win/win_error.h"
#include "printing/queues/win/win_printer_handle.h"

#include <optional>
#include <utility>
#include <vector>
#include <windows.h>
#include <winspool.h>

namespace {

WinPrinterHandle OpenForReading(const PrinterTarget& printer) {
    WinPrinterHandle handle;
    const std::string refusal = handle.Open(printer.Name());
    if (!refusal.empty()) {
        throw JobMonitorError(refusal);
    }
    return handle;
}

// The spooler's answer in a buffer of the size it asks for, asked again while the answer
// grows between the calls; nothing when it failed (GetLastError says why).
template <typename Call> std::optional<std::vector<BYTE>> Ask(Call call) {
    std::vector<BYTE> buffer;
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD needed = 0;
        // Some spoolers (wine's) fail a call without setting an error of their own.
        SetLastError(ERROR_SUCCESS);
        if (call(buffer.empty() ? nullptr : buffer.data(), static_cast<DWORD>(buffer.size()),
                 &needed)) {
            return buffer;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed <= buffer.size()) {
            return std::nullopt;
        }
        buffer.resize(needed);
    }
    return std::nullopt;
}

std::string Text(const wchar_t* text) {
    return text ? WinText::Utf8(text) : std::string();
}

// The printer's status bits as IPP printer-state-reasons keywords, which the wording of
// job_status says plainly.
std::vector<std::string> Reasons(DWORD status) {
    static constexpr std::pair<DWORD, const char*> Keywords[] = {
        {PRINTER_STATUS_PAUSED, "paused"},
        {PRINTER_STATUS_OFFLINE, "offline-report"},
        {PRINTER_STATUS_NOT_AVAILABLE, "offline-report"},
        {PRINTER_STATUS_PAPER_OUT, "media-empty-error"},
        {PRINTER_STATUS_PAPER_JAM, "media-jam-error"},
        {PRINTER_STATUS_MANUAL_FEED, "media-needed-report"},
        {PRINTER_STATUS_PAPER_PROBLEM, "media-needed-error"},
        {PRINTER_STATUS_DOOR_OPEN, "door-open-error"},
        {PRINTER_STATUS_NO_TONER, "toner-empty-error"},
        {PRINTER_STATUS_TONER_LOW, "toner-low-report"},
        {PRINTER_STATUS_OUTPUT_BIN_FULL, "output-area-full-error"},
        {PRINTER_STATUS_OUT_OF_MEMORY, "out-of-memory-error"},
        {PRINTER_STATUS_USER_INTERVENTION, "user-intervention-required"},
        {PRINTER_STATUS_ERROR, "other-error"},
    };
    std::vector<std::string> reasons;
    for (const auto& [bit, keyword] : Keywords) {
        if ((status & bit) != 0 && (reasons.empty() || reasons.back() != keyword)) {
            reasons.emplace_back(keyword);
        }
    }
    return reasons;
}

constexpr DWORD PrinterStopping = PRINTER_STATUS_PAUSED | PRINTER_STATUS_OFFLINE |
                                  PRINTER_STATUS_NOT_AVAILABLE | PRINTER_STATUS_ERROR |
                                  PRINTER_STATUS_PAPER_OUT | PRINTER_STATUS_PAPER_JAM |
                                  PRINTER_STATUS_PAPER_PROBLEM | PRINTER_STATUS_DOOR_OPEN |
                                  PRINTER_STATUS_NO_TONER | PRINTER_STATUS_USER_INTERVENTION;
constexpr DWORD PrinterWorking =
    PRINTER_STATUS_PRINTING | PRINTER_STATUS_PROCESSING | PRINTER_STATUS_BUSY;

PrinterState StateOfPrinter(DWORD status, DWORD jobs) {
    if ((status & PrinterStopping) != 0) {
        return PrinterState::Stopped;
    }
    if ((status & PrinterWorking) != 0 || jobs > 0) {
        return PrinterState::Processing;
    }
    return PrinterState::Idle;
}

JobState StateOfJob(DWORD status) {
    if ((status & (JOB_STATUS_PRINTED | JOB_STATUS_COMPLETE)) != 0) {
        return JobState::Completed;
    }
    if ((status & (JOB_STATUS_DELETING | JOB_STATUS_DELETED)) != 0) {
        return JobState::Canceled;
    }
    if ((status & (JOB_STATUS_ERROR | JOB_STATUS_OFFLINE | JOB_STATUS_PAPEROUT |
                   JOB_STATUS_BLOCKED_DEVQ | JOB_STATUS_USER_INTERVENTION)) != 0) {
        return JobState::Stopped;
    }
    if ((status & JOB_STATUS_PAUSED) != 0) {
        return JobState::Held;
    }
    if ((status & (JOB_STATUS_PRINTING | JOB_STATUS_SPOOLING)) != 0) {
        return JobState::Processing;
    }
    return JobState::Pending;
}

PrinterStatus ReadPrinter(HANDLE printer) {
    const std::optional<std::vector<BYTE>> info =
        Ask([printer](BYTE* buffer, DWORD size, DWORD* needed) {
            return GetPrinterW(printer, 2, buffer, size, needed);
        });
    if (!info || info->size() < sizeof(PRINTER_INFO_2W)) {
        throw JobMonitorError(LastWinErrorText());
    }
    const auto& printerInfo = *reinterpret_cast<const PRINTER_INFO_2W*>(info->data());
    PrinterStatus status;
    status.state = StateOfPrinter(printerInfo.Status, printerInfo.cJobs);
    status.reasons = Reasons(printerInfo.Status);
    status.acceptingJobs = (printerInfo.Status & PRINTER_STATUS_PENDING_DELETION) == 0;
    return status;
}

} // namespace

bool WinJobMonitor::CanFollow(const PrinterTarget& printer) const {
    return printer.IsQueue() && !printer.Name().empty();
}

JobStatus WinJobMonitor::Job(const PrinterTarget& printer, int jobId) {
    const WinPrinterHandle handle = OpenForReading(printer);
    const PrinterStatus printerStatus = ReadPrinter(handle.Get());
    JobStatus status;
    status.printerState = printerStatus.state;
    status.printerReasons = printerStatus.reasons;
    const std::optional<std::vector<BYTE>> info =
        Ask([&handle, jobId](BYTE* buffer, DWORD size, DWORD* needed) {
            return GetJobW(handle.Get(), static_cast<DWORD>(jobId), 1, buffer, size, needed);
        });
    if (!info || info->size() < sizeof(JOB_INFO_1W)) {
        // The spooler forgets a job once it has printed it, unless the queue keeps
        // printed jobs; a job it took and no longer lists has printed.
        // Windows says so with ERROR_INVALID_PARAMETER, wine with no error at all.
        const DWORD error = GetLastError();
        if (error == ERROR_INVALID_PARAMETER || error == ERROR_SUCCESS) {
            status.state = JobState::Completed;
            return status;
        }
        throw JobMonitorError(LastWinErrorText());
    }
    const auto& jobInfo = *reinterpret_cast<const JOB_INFO_1W*>(info->data());
    status.state = StateOfJob(jobInfo.Status);
    status.printerMessage = Text(jobInfo.pStatus);
    return status;
}

PrinterStatus WinJobMonitor::Printer(const PrinterTarget& printer) {
    const WinPrinterHandle handle = OpenForReading(printer);
    PrinterStatus status = ReadPrinter(handle.Get());
    DWORD count = 0;
    const std::optional<std::vector<BYTE>> jobs =
        Ask([&handle, &count](BYTE* buffer, DWORD size, DWORD* needed) {
            return EnumJobsW(handle.Get(), 0, 0xFFFF, 1, buffer, size, needed, &count);
        });
    if (!jobs) {
        // Wine's spooler fails the count of no jobs without an error.
        if (GetLastError() == ERROR_SUCCESS) {
            return status;
        }
        throw JobMonitorError(LastWinErrorText());
    }
    const auto* list = reinterpret_cast<const JOB_INFO_1W*>(jobs->data());
    for (DWORD i = 0; i < count; ++i) {
        const JobState state = StateOfJob(list[i].Status);
        if (state == JobState::Completed || state == JobState::Canceled) {
            continue;
        }
        status.jobs.push_back(QueuedJob{static_cast<int>(list[i].JobId), Text(list[i].pDocument),
                                        Text(list[i].pUserName), state});
    }
    return status;
}
