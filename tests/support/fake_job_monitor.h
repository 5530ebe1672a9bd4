#pragma once

#include "printing/job/job_monitor.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

// A job monitor that answers from a script and records the jobs it was asked about. It is
// asked on another thread than the test's; a question beyond the script waits until the
// test adds answers or closes the monitor (then it fails).
class FakeJobMonitor final : public JobMonitor {
public:
    // An answer; none stands for a spooler that did not answer (JobMonitorError).
    using Answer = std::optional<JobStatus>;

    ~FakeJobMonitor() override { Close(); }

    void Add(std::initializer_list<Answer> answers) {
        {
            const std::lock_guard lock(mutex_);
            answers_.insert(answers_.end(), answers);
        }
        changed_.notify_all();
    }
    void Close() {
        {
            const std::lock_guard lock(mutex_);
            closed_ = true;
        }
        changed_.notify_all();
    }
    std::vector<std::pair<std::string, int>> Asked() const {
        const std::lock_guard lock(mutex_);
        return asked_;
    }

    bool follows = true;
    bool CanFollow(const PrinterTarget&) const override { return follows; }

    JobStatus Job(const PrinterTarget& printer, int jobId) override {
        std::unique_lock lock(mutex_);
        asked_.emplace_back(printer.Name(), jobId);
        changed_.wait(lock, [this] { return !answers_.empty() || closed_; });
        if (answers_.empty() || !answers_.front()) {
            if (!answers_.empty()) {
                answers_.pop_front();
            }
            throw JobMonitorError("The scheduler did not answer.");
        }
        const JobStatus status = *answers_.front();
        answers_.pop_front();
        return status;
    }

    PrinterStatus Printer(const PrinterTarget&) override {
        throw JobMonitorError("the windows do not ask for a printer's state");
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Answer> answers_;
    std::vector<std::pair<std::string, int>> asked_;
    bool closed_ = false;
};
