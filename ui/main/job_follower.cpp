#include "ui/main/job_follower.h"

#include "printing/job/job_monitor.h"

#include <QMetaObject>

namespace {

// A spooler that could not be asked this many times in a row about a job is not asked
// about it again; the status bar keeps what it last said.
constexpr int MaxFailedQuestions = 5;

} // namespace

JobFollower::JobFollower(JobMonitor& monitor, QObject* parent)
    : QObject(parent), monitor_(monitor), thread_(&JobFollower::Run, this) {}

JobFollower::~JobFollower() {
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void JobFollower::Follow(const PrinterTarget& printer, int jobId) {
    {
        const std::lock_guard lock(mutex_);
        next_ = Job{printer, jobId, 0};
    }
    wake_.notify_all();
}

void JobFollower::SetInterval(std::chrono::milliseconds interval) {
    const std::lock_guard lock(mutex_);
    interval_ = interval;
}

void JobFollower::Run() {
    std::optional<Job> current;
    std::unique_lock lock(mutex_);
    while (!quit_) {
        if (next_) {
            current = std::move(next_);
            next_.reset();
        }
        if (!current) {
            wake_.wait(lock, [this] { return quit_ || next_.has_value(); });
            continue;
        }
        lock.unlock();
        const bool again = Ask(*current);
        lock.lock();
        if (!again) {
            current.reset();
            continue;
        }
        wake_.wait_for(lock, interval_, [this] { return quit_ || next_.has_value(); });
    }
}

bool JobFollower::Ask(Job& job) {
    try {
        // A printer that says nothing after its connection closed has no job to follow.
        if (!monitor_.CanFollow(job.printer)) {
            return false;
        }
        const JobStatus status = monitor_.Job(job.printer, job.id);
        QMetaObject::invokeMethod(
            this,
            [this, printer = job.printer.Name(), id = job.id, status] {
                emit StatusSeen(printer, id, status);
            },
            Qt::QueuedConnection);
        job.failedQuestions = 0;
        return !status.WaitIsOver();
    } catch (const std::exception&) {
        // The spooler did not answer this time (JobMonitorError); it may next time.
        return ++job.failedQuestions < MaxFailedQuestions;
    }
}
