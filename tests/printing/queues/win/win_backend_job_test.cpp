#include "core/file_reader.h"
#include "printing/job/job_driver.h"
#include "printing/job/raw_print.h"
#include "printing/printer_list.h"
#include "printing/queues/win/win_backend.h"
#include "printing/queues/win/win_error.h"
#include "printing/queues/win/win_job_monitor.h"
#include "printing/queues/win/win_printer_catalog.h"
#include "tests/support/temp_dir.h"
#include "tests/support/win_capture_queue.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>
#include <windows.h>

namespace {

namespace fs = std::filesystem;

class WinBackendJobTest : public WinCaptureQueueTest {};

// The bytes as one job, as the program sends them.
JobResult SendJob(WinBackend& backend, std::string_view data) {
    return JobDriver(backend, JobControl{}).SendBytes(data);
}

std::string FailureOf(const JobResult& result) {
    return result.failure ? result.failure->what() : "";
}

TEST_F(WinBackendJobTest, StringReachesThePrinterByteForByte) {
    const std::string data = std::string("\x1B"
                                         "E\r\n\0\x1A",
                                         6) +
                             AllByteValues() + AllByteValues();
    WinBackend backend(Printer(), {});
    const JobResult result = SendJob(backend, data);
    ASSERT_TRUE(result.Sent()) << FailureOf(result);
    EXPECT_GT(result.jobId, 0);
    const std::optional<CapturedJob> job = NextCapturedJob();
    ASSERT_TRUE(job) << "no job arrived";
    EXPECT_EQ(job->bytes, data);
    EXPECT_EQ(job->title, "Tolvenmark Document");
}

// The job is followed until it has printed: the spooler either still lists it as printed
// or has forgotten it, which the monitor takes for printed too. A printer it does not
// have is an error, not a state.
TEST_F(WinBackendJobTest, MonitorFollowsTheJobUntilItHasPrinted) {
    WinBackend backend(Printer(), {});
    const JobResult result = SendJob(backend, "\x1B"
                                              "E");
    ASSERT_TRUE(result.Sent()) << FailureOf(result);
    const PrinterTarget printer = PrinterTarget::Queue(Printer());
    WinJobMonitor monitor;
    ASSERT_TRUE(monitor.CanFollow(printer));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    JobStatus status = monitor.Job(printer, result.jobId);
    while (!status.Ended() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        status = monitor.Job(printer, result.jobId);
    }
    EXPECT_EQ(status.state, JobState::Completed) << modJobStatus::Describe(status);
    EXPECT_TRUE(NextCapturedJob());
    EXPECT_NE(monitor.Printer(printer).state, PrinterState::Unknown);
    EXPECT_THROW(
        monitor.Printer(PrinterTarget::Queue("Tolvenmark test printer that does not exist")),
        JobMonitorError);
}

// Files are read in binary mode: no CR LF translation, no stop at a Ctrl+Z.
TEST_F(WinBackendJobTest, FileReachesThePrinterByteForByte) {
    TempDir dir;
    std::string data(3 * 1024 * 1024 + 17, '\0');
    std::mt19937 random(7);
    std::generate(data.begin(), data.end(), [&] { return static_cast<char>(random()); });
    data.replace(0, 5, "\n\r\n\x1A\x1A");
    WriteBytes(dir.File("job.prn"), data);
    WinBackend backend(Printer(), {});
    FileReader file(dir.File("job.prn"));
    std::string chunk(modRawPrint::StreamChunkSize, '\0');
    const std::size_t first = file.Read(chunk.data(), chunk.size());
    const JobResult result = JobDriver(backend, JobControl{}).SendSource(file, chunk, first);
    ASSERT_TRUE(result.Sent()) << FailureOf(result);
    const std::optional<CapturedJob> job = NextCapturedJob();
    ASSERT_TRUE(job) << "no job arrived";
    EXPECT_EQ(job->bytes.size(), data.size());
    EXPECT_TRUE(job->bytes == data);
    EXPECT_EQ(job->title, "Tolvenmark Document");
}

TEST_F(WinBackendJobTest, TheCatalogListsThePrinter) {
    WinPrinterCatalog catalog;
    const std::vector<std::string> names = catalog.PrinterNames();
    EXPECT_NE(std::find(names.begin(), names.end(), Printer()), names.end());
}

// Queues whose names the ANSI code page best-fits onto each other's: scripts/build-windows
// makes them beside the capturing queue, capturing into the same folder.
TEST_F(WinBackendJobTest, JobsLandInTheQueueOfTheirOwnName) {
    WinPrinterCatalog catalog;
    const std::vector<std::string> names = catalog.PrinterNames();
    for (const std::string name :
         {"Lab", "Lab_O", "\xEF\xBC\xAC\xEF\xBD\x81\xEF\xBD\x82", "Lab_\xCE\xA9"}) {
        EXPECT_EQ(std::count(names.begin(), names.end(), name), 1) << name;
        WinBackend backend(name, {});
        const JobResult result = SendJob(backend, "to " + name);
        ASSERT_TRUE(result.Sent()) << FailureOf(result);
        const std::optional<CapturedJob> job = NextCapturedJob();
        ASSERT_TRUE(job) << "no job arrived for " << name;
        EXPECT_EQ(job->queue, name);
        EXPECT_EQ(job->bytes, "to " + name);
    }
}

// Every document names its data type: RAW, or for a driver that refuses RAW (a version-4
// one) XPS_PASS. wine's spooler takes RAW from any queue and has no print processor for
// XPS_PASS (its EndDocPrinter then fails with ERROR_INSUFFICIENT_BUFFER), so such a driver
// is played in front of it: refusing as the case says, and passing what it takes on as
// RAW, unchanged, as a version-4 driver passes XPS_PASS.
TEST_F(WinBackendJobTest, DocumentsAreRawOrPassedThroughUnchanged) {
    struct Case {
        std::set<std::wstring> refused;
        unsigned long refusal;
        std::vector<std::wstring> tried;
        bool sent;
    };
    const Case cases[] = {
        {{}, 0, {L"RAW"}, true},
        {{L"RAW"}, ERROR_INVALID_DATATYPE, {L"RAW", L"XPS_PASS"}, true},
        {{L"RAW", L"XPS_PASS"}, ERROR_INVALID_DATATYPE, {L"RAW", L"XPS_PASS"}, false},
        {{L"RAW"}, ERROR_ACCESS_DENIED, {L"RAW"}, false},
    };
    for (const Case& test : cases) {
        std::vector<std::wstring> tried;
        WinBackend backend(
            Printer(), {},
            [&](void* printer, const std::wstring& name, const wchar_t* dataType) -> unsigned long {
                tried.emplace_back(dataType);
                if (test.refused.count(dataType) != 0) {
                    SetLastError(test.refusal);
                    return 0;
                }
                return WinBackend::StartDocumentOnSpooler(printer, name, L"RAW");
            });
        const std::string data = "\x1B"
                                 "E" +
                                 std::to_string(test.refused.size());
        const JobResult result = SendJob(backend, data);
        EXPECT_EQ(result.Sent(), test.sent) << FailureOf(result);
        EXPECT_EQ(tried, test.tried);
        if (test.sent) {
            const std::optional<CapturedJob> job = NextCapturedJob();
            ASSERT_TRUE(job) << "no job arrived";
            EXPECT_EQ(job->bytes, data);
        } else {
            EXPECT_EQ(FailureOf(result), WinErrorText(test.refusal));
            EXPECT_EQ(result.failure->kind(), FailureKind::Refused);
        }
    }
}

} // namespace
