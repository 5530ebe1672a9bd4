#include "printing/job/job_status.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    JobStatus status;
    std::string described;
    bool waitIsOver;
};

// What the window and the command line say of a job, and whether --wait stops there.
TEST(JobStatusTest, DescribesTheStateWithThePrintersTroubleAndKnowsWhenWaitingEnds) {
    const std::vector<Case> cases = {
        {{JobState::Processing, PrinterState::Processing, "", {"none"}}, "printing", false},
        {{JobState::Pending, PrinterState::Processing, "", {}}, "pending", false},
        {{JobState::Completed, PrinterState::Idle, "Ready", {"offline-report"}}, "completed", true},
        {{JobState::Stopped, PrinterState::Stopped, "", {"offline-report"}},
         "stopped: the printer is not connected",
         true},
        {{JobState::Pending, PrinterState::Stopped, "", {"paused", "media-empty-error"}},
         "stopped: the printer is paused, out of paper",
         true},
        {{JobState::Aborted, PrinterState::Idle, "Backend failed", {"none"}},
         "aborted: Backend failed",
         true},
        {{JobState::Held, PrinterState::Idle, "", {"cups-special-reason"}},
         "held: cups-special-reason",
         true},
        {{JobState::Canceled, PrinterState::Idle, "Jammed", {}}, "canceled", true},
        {{JobState::Unknown, PrinterState::Unknown, "", {}}, "unknown", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(modJobStatus::Describe(c.status), c.described);
        EXPECT_EQ(c.status.WaitIsOver(), c.waitIsOver) << c.described;
    }
}

} // namespace
