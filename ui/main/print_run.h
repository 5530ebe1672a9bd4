#pragma once

#include "ui/main/print_progress.h"

#include <QObject>
#include <QStringList>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

class Spooler;

// One print run: every file that is a plain file goes to one printer as its own raw job,
// in order, on a thread of the run's own, so the window goes on answering meanwhile. The
// run has the spooler to itself from Start until Finished: nothing else may use it then.
// What the run has to say reaches the thread that made it, through its event loop, as the
// signals below.
class PrintRun final : public QObject {
    Q_OBJECT
public:
    PrintRun(Spooler& spooler, std::string printer, std::vector<std::string> paths,
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

signals:
    // Where the run stands: as each file starts, and a few times a second while it goes.
    void Progress(const PrintProgress& progress);
    // The spooler took a job and numbered it.
    void JobTaken(const std::string& printer, int jobId);
    // The run is over. One line for each file that could not be sent and why; a job the
    // run was stopped in is no failure.
    void Finished(const QStringList& failures);

private:
    void Run();
    // The plain files among the run's paths, as the run starts.
    std::vector<std::string> FilesToSend() const;
    // Sends one file; its failure in words, or nothing when it went or was stopped.
    QString SendFile(const std::string& path, int file, int files);
    void ReportProgress(const PrintProgress& progress, bool always);
    // Runs the call on the thread that made the run, when its event loop comes to it; never
    // after the run is gone.
    template <typename Call> void Post(Call call) {
        QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
    }

    Spooler& spooler_;
    const std::string printer_;
    const std::vector<std::string> paths_;
    std::atomic<bool> stop_{false};
    // When Progress was last posted; only the run's thread uses it.
    std::int64_t lastProgressMs_ = 0;
    std::thread thread_;
};
