#include "core/byte_source.h"
#include "core/file_error.h"
#include "printing/job/printer_target.h"
#include "printing/job/raw_print.h"
#include "tests/support/recording_printers.h"
#include "tests/support/temp_dir.h"

#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>

namespace {

using Call = RecordingPrinters::Call;
using modRawPrint::PrintFileRaw;
using modRawPrint::PrintStreamRaw;
using modRawPrint::PrintStringRaw;
using modRawPrint::StreamChunkSize;
using Operations = std::vector<std::string>;

const PrinterTarget Queue = PrinterTarget::Queue("Queue");

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
    return {{"Open", printer}, {"Write", std::to_string(size) + " bytes"}, {"Finish", ""}};
}

// Strings, small files and empty data: one write each, the bytes unchanged.
TEST(JobDriverTest, StringsAndFilesAreOneCompleteJobEachEvenWhenEmpty) {
    TempDir dir;
    const std::string data = AllByteValues() + std::string(1000, '\0') + "\r\n\x1A tail";
    WriteBytes(dir.File("job.prn"), data);
    WriteBytes(dir.File("empty.prn"), "");
    for (const std::string& content : {data, std::string()}) {
        const std::string path = dir.File(content.empty() ? "empty.prn" : "job.prn");
        RecordingPrinters files;
        const JobResult result = PrintFileRaw(files, Queue, path);
        EXPECT_TRUE(result.Sent());
        EXPECT_EQ(result.jobId, 1);
        EXPECT_EQ(files.Calls(), JobCalls("Queue", content.size()));
        EXPECT_EQ(files.Written(), Operations{content});
        RecordingPrinters strings;
        EXPECT_TRUE(PrintStringRaw(strings, Queue, content).Sent());
        EXPECT_EQ(strings.Calls(), JobCalls("Queue", content.size()));
        EXPECT_EQ(strings.Written(), Operations{content});
    }
}

TEST(JobDriverTest, ALargeFileIsSentPieceByPieceAsItIsRead) {
    TempDir dir;
    std::string data;
    while (data.size() < 3 * StreamChunkSize + 1000) {
        data += AllByteValues();
    }
    WriteBytes(dir.File("large.prn"), data);
    RecordingPrinters printers;
    EXPECT_EQ(PrintFileRaw(printers, Queue, dir.File("large.prn")).bytesSent, data.size());
    ASSERT_EQ(printers.Written().size(), 4u);
    std::string received;
    for (const std::string& piece : printers.Written()) {
        EXPECT_LE(piece.size(), StreamChunkSize);
        received += piece;
    }
    EXPECT_EQ(received, data);
}

// Any failing step fails the job with the backend's words and kind, and the backend is
// told to withdraw it; nothing is written after a refusal.
TEST(JobDriverTest, AFailingStepWithdrawsTheJobAndSaysWhy) {
    TempDir dir;
    WriteBytes(dir.File("job.prn"), "data");
    const struct {
        const char* step;
        Operations operations;
    } cases[] = {
        {"Open", {"Open", "Abort"}},
        {"Write", {"Open", "Write", "Abort"}},
        {"Finish", {"Open", "Write", "Finish", "Abort"}},
    };
    for (const auto& c : cases) {
        for (bool fromFile : {false, true}) {
            RecordingPrinters printers;
            printers.FailOn(c.step);
            const JobResult result = fromFile ? PrintFileRaw(printers, Queue, dir.File("job.prn"))
                                              : PrintStringRaw(printers, Queue, "data");
            EXPECT_FALSE(result.Sent()) << c.step;
            EXPECT_EQ(printers.Operations(), c.operations) << c.step;
            ASSERT_TRUE(result.failure);
            EXPECT_EQ(result.failure->kind(), FailureKind::Refused);
            EXPECT_EQ(std::string(result.failure->what()), std::string(c.step) + " refused");
        }
    }
}

// A file that can't be read makes no job; one whose read fails midway is withdrawn. Both
// fail as unreadable input, in the file's own words.
TEST(JobDriverTest, UnreadableDataFailsAsSuchAndLeavesNothingBehind) {
    TempDir dir;
    for (const std::string& path : {dir.File("missing.prn"), dir.Path().string()}) {
        RecordingPrinters printers;
        const JobResult result = PrintFileRaw(printers, Queue, path);
        ASSERT_TRUE(result.failure) << path;
        EXPECT_EQ(result.failure->kind(), FailureKind::InputUnreadable);
        EXPECT_NE(std::string(result.failure->what()).find(path), std::string::npos);
        EXPECT_TRUE(printers.Calls().empty());
    }
    PieceSource broken({"first", "second"}, true);
    RecordingPrinters printers;
    const JobResult result = PrintStreamRaw(printers, Queue, broken);
    ASSERT_TRUE(result.failure);
    EXPECT_EQ(result.failure->kind(), FailureKind::InputUnreadable);
    EXPECT_EQ(printers.Operations(), (Operations{"Open", "Write", "Write", "Abort"}));
}

// A stream goes out in one write per piece read, under the title given; an empty one
// makes no job.
TEST(JobDriverTest, StreamJobWritesEachPieceAsItIsRead) {
    const Operations pieces = {AllByteValues(), std::string(StreamChunkSize, '\0'), "\r\n\x1A"};
    PieceSource source(pieces);
    RecordingPrinters printers;
    JobOptions options;
    options.title = "Label";
    EXPECT_TRUE(PrintStreamRaw(printers, Queue, source, options).Sent());
    EXPECT_EQ(printers.Written(), pieces);
    EXPECT_EQ(printers.Options().at(0).title, "Label");
    EXPECT_EQ(printers.Operations(), (Operations{"Open", "Write", "Write", "Write", "Finish"}));

    PieceSource empty({});
    RecordingPrinters none;
    EXPECT_EQ(PrintStreamRaw(none, Queue, empty).outcome, JobResult::Outcome::Empty);
    EXPECT_TRUE(none.Calls().empty());
}

// A backend that needs the count is opened only once the source has ended, with the
// count, and then gets the same bytes in pieces.
TEST(JobDriverTest, ABackendThatNeedsTheLengthIsOpenedAfterTheSourceEnded) {
    const Operations pieces = {"abc", std::string(StreamChunkSize, 'x'), "de"};
    PieceSource source(pieces);
    RecordingPrinters printers;
    printers.needLength = true;
    EXPECT_TRUE(PrintStreamRaw(printers, Queue, source).Sent());
    EXPECT_EQ(source.reads, 4);
    const std::size_t total = 3 + StreamChunkSize + 2;
    EXPECT_EQ(printers.Calls().front(),
              (Call{"Open", "Queue, " + std::to_string(total) + " bytes"}));
    std::string received;
    for (const std::string& piece : printers.Written()) {
        received += piece;
    }
    EXPECT_EQ(received, pieces[0] + pieces[1] + pieces[2]);
    EXPECT_EQ(printers.Operations().back(), "Finish");
}

} // namespace

// Progress counts the bytes the backend took; a stop between pieces withdraws the job
// instead of ending it, so nothing of it prints and no later piece is read.
TEST(JobDriverTest, ProgressCountsTakenBytesAndStopWithdrawsTheJob) {
    std::atomic<bool> stop{false};
    std::vector<std::uint64_t> reported;
    JobControl control;
    control.stop = &stop;
    control.progress = [&](std::uint64_t sent) {
        reported.push_back(sent);
        stop = reported.size() == 2;
    };
    PieceSource source({"abc", "defgh", "ij", "never read"});
    RecordingPrinters printers;
    const JobResult result = PrintStreamRaw(printers, Queue, source, {}, control);
    EXPECT_TRUE(result.StoppedByUser());
    EXPECT_EQ(reported, (std::vector<std::uint64_t>{3, 8}));
    EXPECT_EQ(source.reads, 3);
    EXPECT_EQ(printers.Operations(), (Operations{"Open", "Write", "Write", "Abort"}));

    // Stopped before any byte: nothing reaches the printer at all.
    TempDir dir;
    WriteBytes(dir.File("job.prn"), "data");
    for (bool fromFile : {false, true}) {
        RecordingPrinters stopped;
        const JobResult job = fromFile
                                  ? PrintFileRaw(stopped, Queue, dir.File("job.prn"), {}, control)
                                  : PrintStringRaw(stopped, Queue, "data", {}, control);
        EXPECT_TRUE(job.StoppedByUser());
        EXPECT_TRUE(stopped.Written().empty());
        EXPECT_EQ(stopped.Operations(), Operations{"Abort"});
    }
}
