#pragma once

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <set>
#include <string>

// A printer whose jobs land as files: under wine, whose spooler hands jobs to CUPS, a
// private scheduler with a capturing queue (scripts/build-windows sets one up and names
// it in TOLVENMARK_CAPTURE_QUEUE, its capture folder in TOLVENMARK_CAPTURE_DIR).
struct CaptureQueue {
    std::string printer;
    std::filesystem::path folder;
};

struct CapturedJob {
    std::string bytes;
    std::string title;
    std::string queue;
};

// Tests that send jobs to the capturing queue; they skip without one, or fail with
// TOLVENMARK_REQUIRE_SPOOLER=1.
class WinCaptureQueueTest : public ::testing::Test {
protected:
    void SetUp() override;

    const std::string& Printer() const { return queue_->printer; }

    // The first job that arrived since the test began and was not taken yet; none when
    // nothing came in time.
    std::optional<CapturedJob> NextCapturedJob();

private:
    // The complete captures, job-N.prn, by job number.
    std::map<int, std::filesystem::path> CapturedFiles() const;

    std::optional<CaptureQueue> queue_;
    std::set<int> seen_;
};
