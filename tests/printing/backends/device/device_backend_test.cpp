#include "tests/printing/backends/device/backend_for.h"
#include "tests/printing/backends/device/peer_reader.h"
#include "tests/support/temp_dir.h"

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A FIFO in a fresh folder, with a reader on it when asked.
struct Fifo {
    TempDir dir;
    std::string path = dir.File("printer");
    Fifo() { EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0); }
    // Read and write, so that the reader's end never sees an end of file between jobs.
    FileDescriptor ReaderEnd() const { return FileDescriptor(::open(path.c_str(), O_RDWR)); }
};

// 0, 1, ..., 255 over and over, shifted every 64 KiB so that a block in the wrong place
// shows.
std::string Pattern(std::size_t offset, std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((offset + i) + ((offset + i) >> 16));
    }
    return bytes;
}

TEST(DeviceBackendTest, AFifoGetsA64MiBStreamByteForByte) {
    constexpr std::size_t Chunk = 1 << 20, Total = 64 * Chunk;
    Fifo fifo;
    PeerReader reader(fifo.ReaderEnd(), Total);
    DeviceBackend backend = BackendFor("file:" + fifo.path);
    backend.Open(std::nullopt);
    for (std::size_t offset = 0; offset < Total; offset += Chunk) {
        backend.Write(Pattern(offset, Chunk));
    }
    backend.Finish();
    const std::string& received = reader.Received();
    ASSERT_EQ(received.size(), Total);
    for (std::size_t offset = 0; offset < Total; offset += Chunk) {
        ASSERT_EQ(received.compare(offset, Chunk, Pattern(offset, Chunk)), 0) << "at " << offset;
    }
}

// A reader that stops taking bytes and one that goes away: the job fails with the step,
// the reason and what had got through, and the program goes on (no SIGPIPE).
TEST(DeviceBackendTest, AReaderThatStopsOrLeavesFailsTheJobAndSaysHowFarItGot) {
    struct Case {
        PeerReader::AtLimit atLimit;
        const char* expected;
        FailureKind kind;
    };
    for (const Case& c : {Case{PeerReader::AtLimit::HoldOpen, "timed out: it took no data for 1 s",
                               FailureKind::TimedOut},
                          Case{PeerReader::AtLimit::Close, "the program reading it closed it",
                               FailureKind::Reset}}) {
        Fifo fifo;
        PeerReader reader(fifo.ReaderEnd(), 1000, c.atLimit);
        DeviceBackend backend = BackendFor("file:" + fifo.path, 1s);
        backend.Open(std::nullopt);
        const auto start = Clock::now();
        // Written in pieces until the device gives up, so a closing reader is seen too.
        const std::optional<JobFailure> failure = Thrown([&] {
            for (int piece = 0; piece < 64; ++piece) {
                backend.Write(std::string(1 << 20, 'x'));
            }
        });
        backend.Abort();
        ASSERT_TRUE(failure);
        EXPECT_LT(Clock::now() - start, 4s);
        const std::string error = failure->what();
        EXPECT_EQ(failure->kind(), c.kind) << error;
        EXPECT_TRUE(Contains(error, "Writing to the device \"" + fifo.path + "\" ")) << error;
        EXPECT_TRUE(Contains(error, c.expected)) << error;
        EXPECT_TRUE(Contains(error, " bytes had reached the device.")) << error;
    }
}

// The job is over only once the reader has it: one that leaves with bytes unread fails the
// finish, one that read everything before it left does not. The FIFO is never read back,
// which would take the bytes from the reader.
TEST(DeviceBackendTest, AReaderThatLeavesBeforeReadingEverythingFailsTheFinish) {
    for (const bool readsAll : {true, false}) {
        Fifo fifo;
        FileDescriptor reader = fifo.ReaderEnd();
        DeviceBackend backend = BackendFor("file:" + fifo.path);
        backend.Open(std::nullopt);
        backend.Write("data");
        char buffer[4];
        EXPECT_EQ(backend.Read(buffer, sizeof buffer, 100ms), 0u);
        if (readsAll) {
            EXPECT_EQ(::read(reader.Get(), buffer, sizeof buffer), 4);
        }
        reader = FileDescriptor();
        const std::optional<JobFailure> failure = Thrown([&] { backend.Finish(); });
        backend.Abort();
        ASSERT_EQ(failure.has_value(), !readsAll) << (failure ? failure->what() : "");
        if (failure) {
            EXPECT_EQ(failure->kind(), FailureKind::Reset);
            EXPECT_EQ(failure->what(), "Waiting for the device \"" + fifo.path +
                                           "\" to take the last data failed: the program "
                                           "reading it closed it before reading everything.");
        }
    }
}

TEST(DeviceBackendTest, AWriteErrorOfTheDeviceIsReported) {
    DeviceBackend backend = BackendFor("file:/dev/full");
    const JobResult result = SendJob(backend, "data");
    ASSERT_TRUE(result.failure);
    EXPECT_EQ(result.failure->kind(), FailureKind::Refused);
    EXPECT_STREQ(result.failure->what(),
                 "Writing to the device \"/dev/full\" failed: No space left on device.");
}

// Nothing but a character device or a FIFO with a reader is written to, and nothing is
// made; the refusal comes at once.
TEST(DeviceBackendTest, WhatIsNoDeviceIsRefusedAndLeftAsItWas) {
    const Fifo fifo;
    TempDir dir;
    const std::string file = dir.File("file.prn"), missing = dir.File("missing");
    WriteBytes(file, "kept");
    std::filesystem::create_directory(dir.File("folder"));
    const auto fileTime = std::filesystem::last_write_time(file);
    struct Case {
        std::string address;
        std::string expected;
    };
    const Case cases[] = {
        {"file:" + file,
         "\"" + file + "\": it is a regular file, not a character device or a FIFO."},
        {"file:" + dir.File("folder"), ": it is a directory, not a character device or a FIFO."},
        {"file:" + missing, "\"" + missing + "\": it does not exist."},
        {"serial:/dev/null", "Can't set up the serial line \"/dev/null\": it is not a terminal."},
        {"file:" + fifo.path, "\"" + fifo.path + "\": no program is reading the FIFO."},
    };
    const auto start = Clock::now();
    for (const Case& c : cases) {
        DeviceBackend backend = BackendFor(c.address);
        const JobResult result = SendJob(backend, "data");
        ASSERT_TRUE(result.failure) << c.address;
        EXPECT_EQ(result.failure->kind(), FailureKind::Unreachable) << c.address;
        EXPECT_TRUE(Contains(result.failure->what(), c.expected)) << result.failure->what();
    }
    EXPECT_LT(Clock::now() - start, 1s);
    EXPECT_EQ(ReadBytes(file), "kept");
    EXPECT_EQ(std::filesystem::last_write_time(file), fileTime);
    EXPECT_TRUE(std::filesystem::is_empty(dir.File("folder")));
    EXPECT_FALSE(std::filesystem::exists(missing));
}

} // namespace
