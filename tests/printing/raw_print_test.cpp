#include "core/byte_source.h"
#include "core/file_error.h"
#include "printing/raw_print.h"
#include "tests/support/recording_spooler.h"
#include "tests/support/temp_dir.h"

#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>

namespace {

using Call = RecordingSpooler::Call;
using modRawPrint::PrintFileRaw;
using modRawPrint::PrintStreamRaw;
using modRawPrint::PrintStringRaw;
using modRawPrint::StreamChunkSize;
using modRawPrint::StreamJob;

// A stream that hands out its bytes in the pieces it is given, then fails when told to.
class PieceSource final : public ByteSource {
public:
    explicit PieceSource(std::vector<std::string> pieces, bool failAtEnd = false)
        : pieces_(std::move(pieces)), failAtEnd_(failAtEnd) {}

    std::size_t Read(char* buffer, std::size_t capacity) override {
        ++reads;
        if (next_ == pieces_.size()) {
            if (failAtEnd_) {
                throw FileError("pipe", "read", "Input/output error");
            }
            return 0;
        }
        const std::string& piece = pieces_[next_++];
        EXPECT_LE(piece.size(), capacity);
        std::copy(piece.begin(), piece.end(), buffer);
        return piece.size();
    }

    int reads = 0;

private:
    std::vector<std::string> pieces_;
    bool failAtEnd_;
    std::size_t next_ = 0;
};

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

TEST(RawPrintTest, ASmallFileJobIsOneWriteOfTheWholeFile) {
    TempDir dir;
    const std::string data = AllByteValues() + std::string(1000, '\0') + "\r\n\x1A tail";
    WriteBytes(dir.File("job.prn"), data);
    RecordingSpooler spooler;
    EXPECT_TRUE(PrintFileRaw(spooler, "Queue", dir.File("job.prn")));
    EXPECT_EQ(spooler.Calls(), JobCalls("Queue", data.size()));
    ASSERT_EQ(spooler.Written().size(), 1u);
    EXPECT_EQ(spooler.Written()[0], data);
}

TEST(RawPrintTest, ALargeFileIsSentPieceByPieceAsItIsRead) {
    TempDir dir;
    std::string data;
    while (data.size() < 3 * modRawPrint::StreamChunkSize + 1000) {
        data += AllByteValues();
    }
    WriteBytes(dir.File("large.prn"), data);
    RecordingSpooler spooler;
    EXPECT_TRUE(PrintFileRaw(spooler, "Queue", dir.File("large.prn")));
    ASSERT_EQ(spooler.Written().size(), 4u);
    std::string received;
    for (const std::string& piece : spooler.Written()) {
        EXPECT_LE(piece.size(), modRawPrint::StreamChunkSize);
        received += piece;
    }
    EXPECT_EQ(received, data);
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

// A stream goes out in one write per piece read, under the title given, and memory holds
// one piece at a time however long it is.
TEST(RawPrintTest, StreamJobWritesEachPieceAsItIsRead) {
    const std::vector<std::string> pieces = {AllByteValues(), std::string(StreamChunkSize, '\0'),
                                             "\r\n\x1A"};
    PieceSource source(pieces);
    RecordingSpooler spooler;
    EXPECT_EQ(PrintStreamRaw(spooler, "Zebra", source, "Label"), StreamJob::Sent);
    EXPECT_EQ(spooler.Written(), pieces);
    EXPECT_EQ(spooler.Calls()[1], (Call{"StartDocument", "Label"}));
    EXPECT_EQ(
        spooler.Operations(),
        (std::vector<std::string>{"OpenPrinter", "StartDocument", "StartPage", "Write", "Write",
                                  "Write", "EndPage", "EndDocument", "ClosePrinter"}));
}

TEST(RawPrintTest, EmptyStreamMakesNoJobAndTheTitleDefaults) {
    PieceSource empty({});
    RecordingSpooler spooler;
    EXPECT_EQ(PrintStreamRaw(spooler, "Zebra", empty), StreamJob::Empty);
    EXPECT_TRUE(spooler.Calls().empty());
    PieceSource one({"x"});
    EXPECT_EQ(PrintStreamRaw(spooler, "Zebra", one), StreamJob::Sent);
    EXPECT_EQ(spooler.Calls()[1], (Call{"StartDocument", "Tolvenmark Document"}));
    RecordingSpooler strings;
    EXPECT_TRUE(PrintStringRaw(strings, "Zebra", "x", "Codes"));
    EXPECT_EQ(strings.Calls()[1], (Call{"StartDocument", "Codes"}));
}

TEST(RawPrintTest, StreamFailuresCancelOrEndTheJob) {
    // A read that fails midway withdraws what was written and reports why.
    PieceSource broken({"first", "second"}, true);
    RecordingSpooler spooler;
    EXPECT_THROW(PrintStreamRaw(spooler, "Zebra", broken), FileError);
    EXPECT_EQ(spooler.Operations(),
              (std::vector<std::string>{"OpenPrinter", "StartDocument", "StartPage", "Write",
                                        "Write", "CancelDocument", "ClosePrinter"}));
    // A refused write stops the reading; the rest of the job is still walked.
    PieceSource refused({"first", "second", "third"});
    RecordingSpooler refusing;
    refusing.FailOn("Write");
    EXPECT_EQ(PrintStreamRaw(refusing, "Zebra", refused), StreamJob::NotSent);
    EXPECT_EQ(refused.reads, 1);
    EXPECT_EQ(refusing.Operations().back(), "ClosePrinter");
    // A printer that doesn't open gets nothing more.
    PieceSource unsent({"data"});
    RecordingSpooler closed;
    closed.FailOn("OpenPrinter");
    EXPECT_EQ(PrintStreamRaw(closed, "Gone", unsent), StreamJob::NotSent);
    EXPECT_EQ(closed.Operations(), std::vector<std::string>{"OpenPrinter"});
}

} // namespace

// Progress counts the bytes the spooler took; a stop between pieces withdraws the job
// instead of ending it, so nothing of it prints and no later piece is read.
TEST(RawPrintTest, ProgressCountsTakenBytesAndStopWithdrawsTheJob) {
    std::atomic<bool> stop{false};
    std::vector<std::uint64_t> reported;
    JobControl control;
    control.stop = &stop;
    control.progress = [&](std::uint64_t sent) {
        reported.push_back(sent);
        stop = reported.size() == 2;
    };
    PieceSource source({"abc", "defgh", "ij", "never read"});
    RecordingSpooler spooler;
    EXPECT_EQ(PrintStreamRaw(spooler, "Zebra", source, "Job", control), StreamJob::NotSent);
    EXPECT_EQ(reported, (std::vector<std::uint64_t>{3, 8}));
    EXPECT_EQ(source.reads, 3);
    EXPECT_EQ(spooler.Operations(),
              (std::vector<std::string>{"OpenPrinter", "StartDocument", "StartPage", "Write",
                                        "Write", "CancelDocument", "ClosePrinter"}));

    // Stopped before any byte: a file's or a string's job is withdrawn the same way.
    TempDir dir;
    WriteBytes(dir.File("job.prn"), "data");
    for (bool fromFile : {false, true}) {
        RecordingSpooler stopped;
        const bool sent = fromFile ? PrintFileRaw(stopped, "Q", dir.File("job.prn"), "J", control)
                                   : PrintStringRaw(stopped, "Q", "data", "J", control);
        EXPECT_FALSE(sent);
        EXPECT_TRUE(stopped.Written().empty());
        EXPECT_EQ(stopped.Operations().end()[-2], "CancelDocument");
    }
}
