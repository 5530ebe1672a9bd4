#pragma once

#include <gtest/gtest.h>
#include <optional>
#include <string>

// The private CUPS scheduler that ctest starts for the integration tests (scripts/
// test-spooler). Its folder comes from TOLVENMARK_SPOOLER_DIR; clients reach it through
// CUPS_SERVER, which ctest sets too.
namespace PrivateSpooler {

inline constexpr const char* DefaultQueue = "Tolvenmark_Capture";
inline constexpr const char* SecondQueue = "Tolvenmark_Second";

// The spooler's folder when it is running, else nothing and `why` says what is missing.
std::optional<std::string> Dir(std::string& why);

// True when a missing spooler must fail the test instead of skipping it (CI).
bool Required();

// The bytes the capture backend kept for the job, once it has finished; nothing when the
// job did not arrive within the time allowed.
std::optional<std::string> CapturedBytes(int jobId);
std::string CapturedTitle(int jobId);
std::string CapturedQueue(int jobId);

// How many jobs the queue still holds (pending, held or printing).
int ActiveJobs(const std::string& queue);

// Runs a CUPS administration command (lpadmin, cupsreject, ...) against the spooler;
// true when it exits 0.
bool Admin(const std::string& commandLine);

// A queue whose capture backend behaves as the device URI query says (tools/capture-
// backend: mode=fail, stop, hold or slow, reason=, message=), made for one test and
// deleted with its jobs after it, so the shared queue list stays as other tests expect.
class ScopedCaptureQueue {
public:
    ScopedCaptureQueue(std::string name, const std::string& query);
    ~ScopedCaptureQueue();
    ScopedCaptureQueue(const ScopedCaptureQueue&) = delete;
    ScopedCaptureQueue& operator=(const ScopedCaptureQueue&) = delete;

    bool Made() const { return made_; }
    const std::string& Name() const { return name_; }

private:
    std::string name_;
    bool made_ = false;
};

} // namespace PrivateSpooler

// Base for tests that need the private spooler: skips them with the reason when it is not
// running, or fails them when TOLVENMARK_REQUIRE_SPOOLER=1.
class PrivateSpoolerTest : public testing::Test {
protected:
    void SetUp() override;
    std::string dir;
};
