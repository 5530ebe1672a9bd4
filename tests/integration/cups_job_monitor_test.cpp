#include "printing/job/job_driver.h"
#include "printing/queues/cups/cups_backend.h"
#include "printing/queues/cups/cups_job_monitor.h"
#include "tests/support/private_spooler.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

namespace {

using PrivateSpooler::SecondQueue;

class CupsJobMonitorTest : public PrivateSpoolerTest {
protected:
    int Send(const std::string& queue, const std::string& title = JobOptions::DefaultTitle) {
        JobOptions options;
        options.title = title;
        CupsBackend backend(queue, options);
        const JobControl control;
        const JobResult result = JobDriver(backend, control).SendBytes(std::string("\x1B") + "E");
        EXPECT_TRUE(result.Sent()) << (result.failure ? result.failure->what() : "");
        return result.jobId;
    }

    // Asks until the job's wait is over, for no longer than a generous ceiling.
    JobStatus WaitForJob(const std::string& queue, int jobId) {
        const auto ceiling = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        JobStatus status = monitor.Job(PrinterTarget::Queue(queue), jobId);
        while (!status.WaitIsOver() && std::chrono::steady_clock::now() < ceiling) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            status = monitor.Job(PrinterTarget::Queue(queue), jobId);
        }
        return status;
    }

    CupsJobMonitor monitor{Timeouts{}};
};

TEST_F(CupsJobMonitorTest, JobOnAWorkingQueueCompletes) {
    const int jobId = Send(SecondQueue);
    ASSERT_GT(jobId, 0);
    const JobStatus status = WaitForJob(SecondQueue, jobId);
    EXPECT_EQ(status.state, JobState::Completed) << modJobStatus::Describe(status);
    EXPECT_TRUE(monitor.CanFollow(PrinterTarget::Queue(SecondQueue)));
}

// A stopped queue keeps the job pending: the wait is over, and the printer's status
// lists the job with its name and user.
TEST_F(CupsJobMonitorTest, DisabledQueueKeepsTheJobWaitingAndListsIt) {
    ASSERT_TRUE(
        PrivateSpooler::Admin(std::string("cupsdisable -r 'Paused for a test' ") + SecondQueue));
    const int jobId = Send(SecondQueue, "Waiting Job");
    const JobStatus status = monitor.Job(PrinterTarget::Queue(SecondQueue), jobId);
    const PrinterStatus printer = monitor.Printer(PrinterTarget::Queue(SecondQueue));
    PrivateSpooler::Admin(std::string("cancel -a ") + SecondQueue);
    ASSERT_TRUE(PrivateSpooler::Admin(std::string("cupsenable ") + SecondQueue));

    EXPECT_EQ(status.state, JobState::Pending);
    EXPECT_EQ(status.printerState, PrinterState::Stopped);
    EXPECT_TRUE(status.WaitIsOver());
    EXPECT_EQ(modJobStatus::Describe(status), "stopped: Paused for a test");
    EXPECT_EQ(printer.state, PrinterState::Stopped);
    EXPECT_TRUE(std::ranges::find(printer.reasons, "paused") != printer.reasons.end());
    const auto listed = std::ranges::find(printer.jobs, jobId, &QueuedJob::id);
    ASSERT_NE(listed, printer.jobs.end());
    EXPECT_EQ(listed->name, "Waiting Job");
    EXPECT_EQ(listed->state, JobState::Pending);
    EXPECT_FALSE(listed->user.empty());
}

TEST_F(CupsJobMonitorTest, BackendOutcomesReachTheirJobStates) {
    struct Case {
        const char* queue;
        const char* query;
        JobState state;
        PrinterState printer;
        const char* described;
    };
    const Case cases[] = {
        {"TM_Fail", "mode=fail", JobState::Aborted, PrinterState::Idle, "aborted: "},
        {"TM_Hold", "mode=hold", JobState::Held, PrinterState::Idle, "held"},
        {"TM_Stop", "mode=stop&reason=offline-report&message=Printer+not+connected.",
         JobState::Pending, PrinterState::Stopped, "stopped: Printer not connected."},
    };
    for (const Case& c : cases) {
        const PrivateSpooler::ScopedCaptureQueue queue(c.queue, c.query);
        ASSERT_TRUE(queue.Made()) << c.queue;
        const int jobId = Send(c.queue);
        const JobStatus status = WaitForJob(c.queue, jobId);
        EXPECT_EQ(status.state, c.state) << c.queue << ": " << modJobStatus::Describe(status);
        EXPECT_EQ(status.printerState, c.printer) << c.queue;
        EXPECT_TRUE(modJobStatus::Describe(status).starts_with(c.described))
            << c.queue << ": " << modJobStatus::Describe(status);
    }
}

// A slow printer's job is seen printing, with the reason the backend reports, and can be
// cancelled while it prints: nothing of it is captured.
TEST_F(CupsJobMonitorTest, SlowJobIsSeenPrintingAndCancelled) {
    const PrivateSpooler::ScopedCaptureQueue queue(
        "TM_Slow", "mode=slow&seconds=60&reason=media-empty-warning");
    ASSERT_TRUE(queue.Made());
    const int jobId = Send("TM_Slow");
    const auto ceiling = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    const PrinterTarget slow = PrinterTarget::Queue("TM_Slow");
    JobStatus status = monitor.Job(slow, jobId);
    // The backend reports the reason a moment after the job has started.
    while ((status.state != JobState::Processing || status.printerReasons.empty()) &&
           std::chrono::steady_clock::now() < ceiling) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        status = monitor.Job(slow, jobId);
    }
    EXPECT_EQ(status.state, JobState::Processing);
    EXPECT_EQ(status.printerState, PrinterState::Processing);
    EXPECT_EQ(modJobStatus::Describe(status), "printing: out of paper");

    ASSERT_TRUE(PrivateSpooler::Admin("cancel TM_Slow-" + std::to_string(jobId)));
    EXPECT_EQ(WaitForJob("TM_Slow", jobId).state, JobState::Canceled);
    EXPECT_FALSE(std::filesystem::exists(dir + "/out/job-" + std::to_string(jobId) + ".prn"));
}

TEST_F(CupsJobMonitorTest, UnknownQueueThrows) {
    const PrinterTarget unknown = PrinterTarget::Queue("No_Such_Queue");
    EXPECT_THROW(monitor.Printer(unknown), JobMonitorError);
    EXPECT_THROW(monitor.Job(unknown, 1), JobMonitorError);
}

} // namespace
