#pragma once

#include "printing/job/job_status.h"
#include "printing/job/printer_target.h"

#include <QObject>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

class JobMonitor;

// Follows the last job the spooler took: asks the monitor where it stands about once an
// interval, on a thread of its own (a question may take as long as the spooler's time-out),
// until its state will not change by itself any more. A newer job replaces the one
// followed. What it learns reaches the thread that made it, through its event loop.
class JobFollower final : public QObject {
    Q_OBJECT
public:
    explicit JobFollower(JobMonitor& monitor, QObject* parent = nullptr);
    // Ends the thread, after the question it may be waiting on.
    ~JobFollower() override;

    JobFollower(const JobFollower&) = delete;
    JobFollower& operator=(const JobFollower&) = delete;

    // Follows this job from now on, in place of any other.
    void Follow(const PrinterTarget& printer, int jobId);
    void SetInterval(std::chrono::milliseconds interval);

signals:
    void StatusSeen(const std::string& printer, int jobId, const JobStatus& status);

private:
    struct Job {
        PrinterTarget printer;
        int id = 0;
        int failedQuestions = 0;
    };

    void Run();
    // Asks about the job once; whether to ask again.
    bool Ask(Job& job);

    JobMonitor& monitor_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool quit_ = false;
    std::optional<Job> next_;
    std::chrono::milliseconds interval_{1000};
    std::thread thread_;
};
