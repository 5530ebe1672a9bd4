#pragma once

#include "printing/job/job_result.h"
#include "printing/job/printer_target.h"
#include "ui/main/print_progress.h"

#include <QObject>
#include <QStringList>
#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class PrinterAccess;

// One print run: every file that is a plain file goes to one printer as its own raw job,
// in order, or the codes of the code box go as one job, on a thread of the run's own, so
// the window goes on answering however long the printer takes. Each job has a backend of
// its own. What the run has to say reaches the thread that made it, through its event
// loop, as the signals below.
class PrintRun final : public QObject {
    Q_OBJECT
public:
    // The codes of the code box, as one job.
    struct Codes {
        std::string bytes;
    };

    PrintRun(PrinterAccess& printers, PrinterTarget printer, std::vector<std::string> paths,
             QObject* parent = nullptr);
    PrintRun(PrinterAccess& printers, PrinterTarget printer, Codes codes,
             QObject* parent = nullptr);
    // Stops the run and waits for its thread: the job in progress is withdrawn first.
    ~PrintRun() override;

    PrintRun(const PrintRun&) = delete;
    PrintRun& operator=(const PrintRun&) = delete;

    void Start();
    // Withdraws the job in progress before its next piece and sends nothing more. The run
    // still ends with Finished.
    void Stop();
    bool StopRequested() const { return stop_.load(); }
    const PrinterTarget& Printer() const { return printer_; }

signals:
    // Where the run stands: as each file starts, and a few times a second while it goes.
    void Progress(const PrintProgress& progress);
    // The spooler took a job and numbered it.
    void JobTaken(const PrinterTarget& printer, int jobId);
    // The job of the file (or of the codes: an empty name) was withdrawn at the user's stop.
    void JobWithdrawn(const QString& name);
    // The run is over. One line for each file that could not be sent and why (for the
    // codes, the reason alone); a job the run was stopped in is no failure.
    void Finished(const QStringList& failures);

private:
    void Run();
    // The plain files among the run's paths, as the run starts.
    std::vector<std::string> FilesToSend() const;
    // Sends one file; its failure in words, or nothing when it went or was stopped.
    QString SendFile(const std::string& path, int file, int files);
    QString SendCodes(const std::string& bytes);
    // What the job's result leaves to say: nothing when it went or was stopped.
    std::optional<std::string> Outcome(const JobResult& result, const QString& name);
    void ReportProgress(const PrintProgress& progress, bool always);
    // Runs the call on the thread that made the run, when its event loop comes to it; never
    // after the run is gone.
    template <typename Call> void Post(Call call) {
        QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
    }

    PrinterAccess& printers_;
    const PrinterTarget printer_;
    const std::vector<std::string> paths_;
    const std::optional<Codes> codes_;
    std::atomic<bool> stop_{false};
    // When Progress was last posted; only the run's thread uses it.
    std::int64_t lastProgressMs_ = 0;
    std::thread thread_;
};
