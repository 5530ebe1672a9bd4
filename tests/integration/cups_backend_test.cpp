#include "core/byte_source.h"
#include "core/file_error.h"
#include "core/file_reader.h"
#include "printing/job/job_driver.h"
#include "printing/queues/cups/cups_backend.h"
#include "tests/support/private_spooler.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_dir.h"

#include <chrono>
#include <cstdlib>
#include <cups/cups.h>
#include <thread>

namespace {

using PrivateSpooler::CapturedBytes;
using PrivateSpooler::DefaultQueue;
using PrivateSpooler::SecondQueue;

class CupsBackendTest : public PrivateSpoolerTest {};

std::string NulRich() {
    std::string bytes;
    for (int i = 0; i < 4096; ++i) {
        bytes += std::string(7, '\0') + static_cast<char>(i * 37);
    }
    return bytes;
}

// The bytes as one job to the queue, in one write.
JobResult Send(const std::string& queue, std::string_view data) {
    CupsBackend backend(queue, {});
    const JobControl control;
    return JobDriver(backend, control).SendBytes(data);
}

// What the failure says, or that there was none.
std::string Why(const JobResult& result) {
    return result.failure ? result.failure->what() : "no failure";
}

// Yields nothing more: the rest of the job's data can't be read.
class UnreadableRest final : public ByteSource {
public:
    std::size_t Read(char* /*buffer*/, std::size_t /*capacity*/) override {
        throw FileError("job.prn", "read", "Input/output error");
    }
};

TEST_F(CupsBackendTest, StringArrivesByteForByteWithTheDocumentName) {
    const std::string data = AllByteValues() + NulRich();
    const JobResult result = Send(DefaultQueue, data);
    ASSERT_TRUE(result.Sent()) << Why(result);
    ASSERT_GT(result.jobId, 0);
    const std::optional<std::string> captured = CapturedBytes(result.jobId);
    ASSERT_TRUE(captured) << "job " << result.jobId << " never arrived";
    EXPECT_EQ(captured->size(), data.size());
    EXPECT_EQ(*captured, data);
    EXPECT_EQ(PrivateSpooler::CapturedTitle(result.jobId), "Tolvenmark Document");
    EXPECT_EQ(PrivateSpooler::CapturedQueue(result.jobId), DefaultQueue);
}

TEST_F(CupsBackendTest, FileInManyWritesArrivesByteForByteOnTheNamedQueue) {
    TempDir temp;
    const std::string data = NulRich() + AllByteValues() +
                             "\r\n\x1A"
                             "after EOF";
    WriteBytes(temp.File("job.prn"), data);
    FileReader file(temp.File("job.prn"));
    std::string chunk(4096, '\0');
    const std::size_t first = file.Read(chunk.data(), chunk.size());
    CupsBackend backend(SecondQueue, {});
    const JobControl control;
    const JobResult result = JobDriver(backend, control).SendSource(file, chunk, first);
    ASSERT_TRUE(result.Sent()) << Why(result);
    const std::optional<std::string> captured = CapturedBytes(result.jobId);
    ASSERT_TRUE(captured);
    EXPECT_EQ(*captured, data);
    EXPECT_EQ(PrivateSpooler::CapturedQueue(result.jobId), SecondQueue);
}

TEST_F(CupsBackendTest, UnknownAndEmptyNamesCreateNoJob) {
    const int waiting = PrivateSpooler::ActiveJobs(DefaultQueue);
    for (const char* name : {"No_Such_Queue", ""}) {
        const JobResult result = Send(name, "\x1B"
                                            "E");
        EXPECT_FALSE(result.Sent()) << name;
        EXPECT_EQ(result.jobId, 0) << name;
        ASSERT_TRUE(result.failure) << name;
        EXPECT_EQ(result.failure->kind(), FailureKind::Unreachable) << name << ": " << Why(result);
    }
    // The empty name must not have reached the default queue either.
    EXPECT_EQ(PrivateSpooler::ActiveJobs(DefaultQueue), waiting);
}

TEST_F(CupsBackendTest, RejectingQueueFailsTheJob) {
    ASSERT_TRUE(PrivateSpooler::Admin(std::string("cupsreject ") + SecondQueue));
    const JobResult result = Send(SecondQueue, "data");
    ASSERT_TRUE(PrivateSpooler::Admin(std::string("cupsaccept ") + SecondQueue));
    EXPECT_FALSE(result.Sent());
    ASSERT_TRUE(result.failure);
    EXPECT_EQ(result.failure->kind(), FailureKind::NotReady) << Why(result);
    EXPECT_FALSE(std::string(result.failure->what()).empty());
}

// CUPS refuses a document without data: the job is reported as not sent and is
// cancelled, rather than left waiting in the queue for a document that never comes.
TEST_F(CupsBackendTest, EmptyDataIsRefusedAndLeavesNoJobBehind) {
    const int waiting = PrivateSpooler::ActiveJobs(DefaultQueue);
    const JobResult result = Send(DefaultQueue, "");
    EXPECT_FALSE(result.Sent());
    EXPECT_GT(result.jobId, 0);
    EXPECT_EQ(PrivateSpooler::ActiveJobs(DefaultQueue), waiting);
}

TEST_F(CupsBackendTest, UnreadableDataCancelsTheOpenJob) {
    const int waiting = PrivateSpooler::ActiveJobs(DefaultQueue);
    std::string chunk = "first piece";
    UnreadableRest rest;
    CupsBackend backend(DefaultQueue, {});
    const JobControl control;
    const JobResult result = JobDriver(backend, control).SendSource(rest, chunk, chunk.size());
    ASSERT_TRUE(result.failure);
    EXPECT_EQ(result.failure->kind(), FailureKind::InputUnreadable);
    EXPECT_GT(result.jobId, 0);
    EXPECT_EQ(PrivateSpooler::ActiveJobs(DefaultQueue), waiting);
}

TEST_F(CupsBackendTest, NoSchedulerFailsQuickly) {
    const std::string nowhere = dir + "/nobody-listens.sock";
    cupsSetServer(nowhere.c_str());
    const auto started = std::chrono::steady_clock::now();
    const JobResult result = Send(DefaultQueue, "data");
    const auto took = std::chrono::steady_clock::now() - started;
    cupsSetServer((dir + "/cups.sock").c_str());
    EXPECT_FALSE(result.Sent());
    ASSERT_TRUE(result.failure);
    EXPECT_EQ(result.failure->kind(), FailureKind::Unreachable);
    EXPECT_NE(Why(result).find(nowhere), std::string::npos) << Why(result);
    EXPECT_LT(took, std::chrono::seconds(5));
}

// A scheduler with room for one job refuses a second while the first prints ("Too many
// active jobs."): the second waits for room and is sent, rather than dropped. It needs a
// scheduler of its own, limited to one job. The user reads German: the scheduler words
// its refusals in the language the client asks in.
TEST_F(CupsBackendTest, FullSchedulerIsWaitedForRatherThanDroppingTheJob) {
    TempDir full;
    const std::string spooler = TOLVENMARK_TEST_SPOOLER;
    ASSERT_EQ(std::system(("TOLVENMARK_SPOOLER_MAX_JOBS=1 " + spooler + " start " +
                           full.Path().string() + " 'Slow?mode=slow&seconds=2' >/dev/null")
                              .c_str()),
              0);
    struct Stop {
        std::string command;
        ~Stop() { [[maybe_unused]] const int ignored = std::system(command.c_str()); }
    } stop{spooler + " stop " + full.Path().string()};
    const ScopedEnvironment german("LC_ALL", "de_DE.UTF-8");

    JobResult first;
    JobResult second;
    // The library reads the user's language once per thread.
    std::thread([&] {
        cupsSetServer(full.File("cups.sock").c_str());
        first = Send("Slow", "one");
        second = Send("Slow", "two");
    }).join();

    EXPECT_TRUE(first.Sent()) << Why(first);
    EXPECT_TRUE(second.Sent()) << Why(second);
    EXPECT_GT(second.jobId, first.jobId);
}

} // namespace
