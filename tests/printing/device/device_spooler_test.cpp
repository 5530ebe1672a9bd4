#include "printing/raw_print.h"
#include "tests/printing/device/peer_reader.h"
#include "tests/printing/device/spooler_for.h"
#include "tests/support/temp_dir.h"

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

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

TEST(DeviceSpoolerTest, AFifoGetsA64MiBStreamByteForByte) {
    constexpr std::size_t Chunk = 1 << 20, Total = 64 * Chunk;
    Fifo fifo;
    PeerReader reader(fifo.ReaderEnd(), Total);
    DeviceSpooler spooler = SpoolerFor("file:" + fifo.path);
    ASSERT_TRUE(spooler.OpenPrinter("file:" + fifo.path)) << spooler.LastError();
    ASSERT_TRUE(spooler.StartDocument("doc") && spooler.StartPage());
    for (std::size_t offset = 0; offset < Total; offset += Chunk) {
        ASSERT_TRUE(spooler.Write(Pattern(offset, Chunk))) << spooler.LastError();
    }
    EXPECT_TRUE(spooler.EndPage() && spooler.EndDocument()) << spooler.LastError();
    EXPECT_TRUE(spooler.ClosePrinter());
    const std::string& received = reader.Received();
    ASSERT_EQ(received.size(), Total);
    for (std::size_t offset = 0; offset < Total; offset += Chunk) {
        ASSERT_EQ(received.compare(offset, Chunk, Pattern(offset, Chunk)), 0) << "at " << offset;
    }
}

// A reader that stops taking bytes and one that goes away: the job fails with the step,
// the reason and what had got through, and the program goes on (no SIGPIPE).
TEST(DeviceSpoolerTest, AReaderThatStopsOrLeavesFailsTheJobAndSaysHowFarItGot) {
    struct Case {
        PeerReader::AtLimit atLimit;
        const char* expected;
    };
    for (const Case& c : {Case{PeerReader::AtLimit::HoldOpen, "timed out: it took no data for 1 s"},
                          Case{PeerReader::AtLimit::Close, "the program reading it closed it"}}) {
        Fifo fifo;
        PeerReader reader(fifo.ReaderEnd(), 1000, c.atLimit);
        DeviceSpooler spooler = SpoolerFor("file:" + fifo.path, 1s);
        ASSERT_TRUE(spooler.OpenPrinter("") && spooler.StartDocument("doc") && spooler.StartPage());
        const auto start = Clock::now();
        // Written in pieces until the device gives up, so a closing reader is seen too.
        bool written = true;
        for (int piece = 0; piece < 64 && written; ++piece) {
            written = spooler.Write(std::string(1 << 20, 'x'));
        }
        EXPECT_FALSE(written);
        EXPECT_LT(Clock::now() - start, 4s);
        const std::string error = spooler.LastError();
        EXPECT_TRUE(Contains(error, "Writing to the device \"" + fifo.path + "\" ")) << error;
        EXPECT_TRUE(Contains(error, c.expected)) << error;
        EXPECT_TRUE(Contains(error, " bytes had reached the device.")) << error;
        EXPECT_FALSE(spooler.EndPage() || spooler.EndDocument() || spooler.ClosePrinter());
    }
}

TEST(DeviceSpoolerTest, AWriteErrorOfTheDeviceIsReported) {
    DeviceSpooler spooler = SpoolerFor("file:/dev/full");
    EXPECT_FALSE(modRawPrint::PrintStringRaw(spooler, "file:/dev/full", "data"));
    EXPECT_EQ(spooler.LastError(),
              "Writing to the device \"/dev/full\" failed: No space left on device.");
}

// Nothing but a character device or a FIFO with a reader is written to, and nothing is
// made; the refusal comes at once.
TEST(DeviceSpoolerTest, WhatIsNoDeviceIsRefusedAndLeftAsItWas) {
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
        DeviceSpooler spooler = SpoolerFor(c.address);
        EXPECT_FALSE(modRawPrint::PrintStringRaw(spooler, c.address, "data")) << c.address;
        EXPECT_TRUE(Contains(spooler.LastError(), c.expected)) << spooler.LastError();
    }
    EXPECT_LT(Clock::now() - start, 1s);
    EXPECT_EQ(ReadBytes(file), "kept");
    EXPECT_EQ(std::filesystem::last_write_time(file), fileTime);
    EXPECT_TRUE(std::filesystem::is_empty(dir.File("folder")));
    EXPECT_FALSE(std::filesystem::exists(missing));
}

} // namespace
