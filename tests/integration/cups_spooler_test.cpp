#include "core/file_error.h"
#include "printing/cups/cups_spooler.h"
#include "printing/raw_print.h"
#include "tests/support/private_spooler.h"
#include "tests/support/temp_dir.h"

#include <chrono>
#include <cstdlib>
#include <cups/cups.h>

namespace {

using modRawPrint::PrintFileRaw;
using modRawPrint::PrintStringRaw;
using PrivateSpooler::CapturedBytes;
using PrivateSpooler::DefaultQueue;
using PrivateSpooler::SecondQueue;

class CupsSpoolerTest : public PrivateSpoolerTest {};

std::string NulRich() {
    std::string bytes;
    for (int i = 0; i < 4096; ++i) {
        bytes += std::string(7, '\0') + static_cast<char>(i * 37);
    }
    return bytes;
}

TEST_F(CupsSpoolerTest, StringArrivesByteForByteWithTheDocumentName) {
    CupsSpooler spooler;
    const std::string data = AllByteValues() + NulRich();
    ASSERT_TRUE(PrintStringRaw(spooler, DefaultQueue, data)) << spooler.LastError();
    ASSERT_GT(spooler.JobId(), 0);
    const std::optional<std::string> captured = CapturedBytes(spooler.JobId());
    ASSERT_TRUE(captured) << "job " << spooler.JobId() << " never arrived";
    EXPECT_EQ(captured->size(), data.size());
    EXPECT_EQ(*captured, data);
    EXPECT_EQ(PrivateSpooler::CapturedTitle(spooler.JobId()), "Tolvenmark Document");
    EXPECT_EQ(PrivateSpooler::CapturedQueue(spooler.JobId()), DefaultQueue);
}

TEST_F(CupsSpoolerTest, FileArrivesByteForByteOnTheNamedQueue) {
    TempDir temp;
    const std::string data = NulRich() + AllByteValues() +
                             "\r\n\x1A"
                             "after EOF";
    WriteBytes(temp.File("job.prn"), data);
    CupsSpooler spooler;
    ASSERT_TRUE(PrintFileRaw(spooler, SecondQueue, temp.File("job.prn"))) << spooler.LastError();
    const std::optional<std::string> captured = CapturedBytes(spooler.JobId());
    ASSERT_TRUE(captured);
    EXPECT_EQ(*captured, data);
    EXPECT_EQ(PrivateSpooler::CapturedQueue(spooler.JobId()), SecondQueue);
}

TEST_F(CupsSpoolerTest, UnknownAndEmptyNamesCreateNoJob) {
    const int waiting = PrivateSpooler::ActiveJobs(DefaultQueue);
    for (const char* name : {"No_Such_Queue", ""}) {
        CupsSpooler spooler;
        EXPECT_FALSE(PrintStringRaw(spooler, name,
                                    "\x1B"
                                    "E"))
            << name;
        EXPECT_EQ(spooler.JobId(), 0) << name;
        EXPECT_FALSE(spooler.LastError().empty()) << name;
    }
    // The empty name must not have reached the default queue either.
    EXPECT_EQ(PrivateSpooler::ActiveJobs(DefaultQueue), waiting);
}

TEST_F(CupsSpoolerTest, RejectingQueueFailsTheJob) {
    ASSERT_TRUE(PrivateSpooler::Admin(std::string("cupsreject ") + SecondQueue));
    CupsSpooler spooler;
    const bool sent = PrintStringRaw(spooler, SecondQueue, "data");
    const std::string why = spooler.LastError();
    ASSERT_TRUE(PrivateSpooler::Admin(std::string("cupsaccept ") + SecondQueue));
    EXPECT_FALSE(sent);
    EXPECT_FALSE(why.empty());
}

// CUPS refuses a document without data: the job is reported as not sent and is
// cancelled, rather than left waiting in the queue for a document that never comes.
TEST_F(CupsSpoolerTest, EmptyDataIsRefusedAndLeavesNoJobBehind) {
    TempDir temp;
    WriteBytes(temp.File("empty.prn"), "");
    const int waiting = PrivateSpooler::ActiveJobs(DefaultQueue);
    CupsSpooler strings;
    EXPECT_FALSE(PrintStringRaw(strings, DefaultQueue, ""));
    EXPECT_GT(strings.JobId(), 0);
    CupsSpooler files;
    EXPECT_FALSE(PrintFileRaw(files, DefaultQueue, temp.File("empty.prn")));
    EXPECT_EQ(PrivateSpooler::ActiveJobs(DefaultQueue), waiting);
}

TEST_F(CupsSpoolerTest, UnreadableFileCancelsTheOpenJob) {
    TempDir temp;
    const int waiting = PrivateSpooler::ActiveJobs(DefaultQueue);
    CupsSpooler spooler;
    EXPECT_THROW(PrintFileRaw(spooler, DefaultQueue, temp.File("vanished.prn")), FileError);
    EXPECT_GT(spooler.JobId(), 0);
    EXPECT_EQ(PrivateSpooler::ActiveJobs(DefaultQueue), waiting);
    // The spooler is usable again for the next job.
    EXPECT_TRUE(PrintStringRaw(spooler, DefaultQueue, "next")) << spooler.LastError();
    EXPECT_EQ(CapturedBytes(spooler.JobId()), "next");
}

TEST_F(CupsSpoolerTest, NoSchedulerFailsQuickly) {
    const std::string nowhere = dir + "/nobody-listens.sock";
    cupsSetServer(nowhere.c_str());
    CupsSpooler spooler;
    const auto started = std::chrono::steady_clock::now();
    const bool sent = PrintStringRaw(spooler, DefaultQueue, "data");
    const auto took = std::chrono::steady_clock::now() - started;
    cupsSetServer((dir + "/cups.sock").c_str());
    EXPECT_FALSE(sent);
    EXPECT_FALSE(spooler.LastError().empty());
    EXPECT_LT(took, std::chrono::seconds(5));
}

// A scheduler with room for one job refuses a second while the first prints ("Too many
// active jobs."): the second waits for room and is sent, rather than dropped. It needs a
// scheduler of its own, limited to one job.
TEST_F(CupsSpoolerTest, FullSchedulerIsWaitedForRatherThanDroppingTheJob) {
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
    cupsSetServer(full.File("cups.sock").c_str());

    CupsSpooler first;
    CupsSpooler second;
    const bool firstSent = PrintStringRaw(first, "Slow", "one");
    const bool secondSent = PrintStringRaw(second, "Slow", "two");
    cupsSetServer((dir + "/cups.sock").c_str());

    EXPECT_TRUE(firstSent) << first.LastError();
    EXPECT_TRUE(secondSent) << second.LastError();
    EXPECT_GT(second.JobId(), first.JobId());
}

} // namespace
