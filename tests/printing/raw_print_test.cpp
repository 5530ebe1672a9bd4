#include "core/file_error.h"
#include "printing/raw_print.h"
#include "tests/support/recording_spooler.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

using Call = RecordingSpooler::Call;
using modRawPrint::PrintFileRaw;
using modRawPrint::PrintStringRaw;

std::vector<Call> JobCalls(const std::string& printer, std::size_t size) {
    return {{"OpenPrinter", printer}, {"StartDocument", "Tolvenmark Document"},
            {"StartPage", ""},        {"Write", std::to_string(size) + " bytes"},
            {"EndPage", ""},          {"EndDocument", ""},
            {"ClosePrinter", ""}};
}

TEST(RawPrintTest, StringJobMakesTheSevenCallsInOrder) {
    RecordingSpooler spooler;
    const std::string data = std::string("\x1B"
                                         "E",
                                         2) +
                             AllByteValues();
    EXPECT_TRUE(PrintStringRaw(spooler, "LaserJet 4", data));
    EXPECT_EQ(spooler.Calls(), JobCalls("LaserJet 4", data.size()));
    ASSERT_EQ(spooler.Written().size(), 1u);
    EXPECT_EQ(spooler.Written()[0], data);
}

TEST(RawPrintTest, FileJobSendsTheWholeFileInOneWrite) {
    TempDir dir;
    const std::string data = AllByteValues() + std::string(1000, '\0') + "\r\n\x1A tail";
    WriteBytes(dir.File("job.prn"), data);
    RecordingSpooler spooler;
    EXPECT_TRUE(PrintFileRaw(spooler, "Queue", dir.File("job.prn")));
    EXPECT_EQ(spooler.Calls(), JobCalls("Queue", data.size()));
    ASSERT_EQ(spooler.Written().size(), 1u);
    EXPECT_EQ(spooler.Written()[0], data);
}

TEST(RawPrintTest, EmptyDataStillMakesACompleteJob) {
    TempDir dir;
    WriteBytes(dir.File("empty.prn"), "");
    RecordingSpooler strings;
    EXPECT_TRUE(PrintStringRaw(strings, "Queue", ""));
    EXPECT_EQ(strings.Calls(), JobCalls("Queue", 0));
    RecordingSpooler files;
    EXPECT_TRUE(PrintFileRaw(files, "Queue", dir.File("empty.prn")));
    EXPECT_EQ(files.Calls(), JobCalls("Queue", 0));
}

TEST(RawPrintTest, NoJobWhenThePrinterDoesNotOpen) {
    TempDir dir;
    WriteBytes(dir.File("job.prn"), "data");
    for (bool fromFile : {false, true}) {
        RecordingSpooler spooler;
        spooler.FailOn("OpenPrinter");
        const bool sent = fromFile ? PrintFileRaw(spooler, "Gone", dir.File("job.prn"))
                                   : PrintStringRaw(spooler, "Gone", "data");
        EXPECT_FALSE(sent);
        EXPECT_EQ(spooler.Calls(), (std::vector<Call>{{"OpenPrinter", "Gone"}}));
    }
}

// A refused step is reported, yet every later step is still made so the spooler can clean
// up: the job as a whole is then not sent.
TEST(RawPrintTest, EveryFailingStepIsFollowedByTheRestAndFailsTheJob) {
    TempDir dir;
    WriteBytes(dir.File("job.prn"), "data");
    for (const char* step :
         {"StartDocument", "StartPage", "Write", "EndPage", "EndDocument", "ClosePrinter"}) {
        for (bool fromFile : {false, true}) {
            RecordingSpooler spooler;
            spooler.FailOn(step);
            const bool sent = fromFile ? PrintFileRaw(spooler, "Queue", dir.File("job.prn"))
                                       : PrintStringRaw(spooler, "Queue", "data");
            EXPECT_FALSE(sent) << step;
            EXPECT_EQ(spooler.Calls(), JobCalls("Queue", 4)) << step;
            EXPECT_EQ(spooler.LastError(), std::string(step) + " refused");
        }
    }
}

TEST(RawPrintTest, UnreadableFileCancelsTheJobAndThrows) {
    TempDir dir;
    for (const std::string& path : {dir.File("missing.prn"), dir.Path().string()}) {
        RecordingSpooler spooler;
        EXPECT_THROW(PrintFileRaw(spooler, "Queue", path), FileError) << path;
        EXPECT_EQ(spooler.Operations(),
                  (std::vector<std::string>{"OpenPrinter", "StartDocument", "StartPage",
                                            "CancelDocument", "ClosePrinter"}));
        EXPECT_TRUE(spooler.Written().empty());
    }
}

} // namespace
