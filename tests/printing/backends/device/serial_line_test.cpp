#include "tests/printing/backends/device/backend_for.h"
#include "tests/printing/backends/device/peer_reader.h"
#include "tests/printing/backends/device/pty_line.h"
#include "tests/support/temp_dir.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <gtest/gtest.h>
#include <optional>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

bool SameSettings(const termios& a, const termios& b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
           a.c_lflag == b.c_lflag && std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0 &&
           cfgetospeed(&a) == cfgetospeed(&b) && cfgetispeed(&a) == cfgetispeed(&b);
}

// The printer sends XOFF once the job's settings are in force; only flow=soft heeds it.
void PrinterSendsXoff(const PtyLine& line) {
    EXPECT_EQ(::write(line.printer.Get(), "\x13", 1), 1);
    std::this_thread::sleep_for(100ms);
}

// file: takes a terminal as it is set (here with XON/XOFF on), but with its output passed
// unchanged.
TEST(SerialLineTest, EveryByteValuePassesUnchangedAndTheLineIsPutBack) {
    for (const char* options : {"?baud=115200+bits=8+parity=none+flow=none", ""}) {
        PtyLine line;
        const termios before = line.Settings();
        const std::string data = "\n\r\x11\x13\xff\r\n" + AllByteValues() + AllByteValues();
        PeerReader reader(FileDescriptor(::dup(line.printer.Get())), data.size());
        const std::string address = (*options ? "serial:" : "file:") + line.path + options;
        DeviceBackend backend = BackendFor(address);
        backend.Open(std::nullopt);
        if (*options) {
            PrinterSendsXoff(line);
        }
        backend.Write(data);
        backend.Finish();
        EXPECT_EQ(reader.Received(), data) << address;
        EXPECT_TRUE(SameSettings(line.Settings(), before)) << address;
    }
}

TEST(SerialLineTest, TheJobRunsWithTheAddressesOptions) {
    struct Case {
        const char* options;
        speed_t speed;
        tcflag_t frame;
    };
    const Case cases[] = {
        {"", B9600, CS8},
        {"?baud=19200+stop=2", B19200, CS8 | CSTOPB},
        {"?baud=4800+flow=hard", B4800, CS8 | CRTSCTS},
    };
    for (const Case& c : cases) {
        PtyLine line;
        const termios before = line.Settings();
        DeviceBackend backend = BackendFor("serial:" + line.path + c.options);
        backend.Open(std::nullopt);
        const termios during = line.Settings();
        EXPECT_EQ(cfgetospeed(&during), c.speed) << c.options;
        EXPECT_EQ(during.c_cflag & (CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS), c.frame)
            << c.options;
        backend.Abort();
        EXPECT_TRUE(SameSettings(line.Settings(), before)) << c.options;
    }
}

TEST(SerialLineTest, AnXoffHoldsASoftFlowJobUntilTheStallTimeOut) {
    PtyLine line;
    const termios before = line.Settings();
    const std::string address = "serial:" + line.path + "?flow=soft";
    DeviceBackend backend = BackendFor(address, 1s);
    backend.Open(std::nullopt);
    PrinterSendsXoff(line);
    const std::optional<JobFailure> failure = Thrown([&] { backend.Write("held back"); });
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->kind(), FailureKind::TimedOut);
    EXPECT_EQ(failure->what(),
              "Writing to the device \"" + line.path + "\" timed out: it took no data for 1 s.");
    backend.Abort();
    EXPECT_TRUE(SameSettings(line.Settings(), before));
}

// The printer's reply, sent while the job waits, comes back on the line; silence gives
// nothing once the wait is over, and a stop ends the wait. A terminal named by file: keeps
// its line discipline, so its reply is a whole line.
TEST(SerialLineTest, WhatThePrinterSaysIsReadBackWithinTheWait) {
    struct Case {
        const char* scheme;
        std::string reply; // sent 100 ms into the wait
        std::chrono::milliseconds wait;
        bool stop;
    };
    const Case cases[] = {
        {"serial:", std::string("\x14\x00\xff\n", 4), 5s, false},
        {"file:", "ready\n", 5s, false},
        {"serial:", "", 200ms, false},
        {"serial:", "", 60s, true},
    };
    for (const Case& c : cases) {
        PtyLine line;
        std::atomic<bool> stop{c.stop};
        DeviceBackend backend = BackendFor(c.scheme + line.path);
        backend.WatchStop(&stop);
        backend.Open(std::nullopt);
        std::thread printer([&] {
            std::this_thread::sleep_for(100ms);
            EXPECT_EQ(::write(line.printer.Get(), c.reply.data(), c.reply.size()),
                      static_cast<ssize_t>(c.reply.size()));
        });
        const auto start = std::chrono::steady_clock::now();
        std::string heard;
        const std::optional<JobFailure> failure = Thrown([&] {
            char buffer[64];
            while (heard.size() < c.reply.size() || heard.empty()) {
                const std::size_t count = backend.Read(buffer, sizeof buffer, c.wait);
                if (count == 0) {
                    break;
                }
                heard.append(buffer, count);
            }
        });
        printer.join();
        EXPECT_LT(std::chrono::steady_clock::now() - start, 30s) << c.scheme << c.reply;
        EXPECT_EQ(heard, c.reply) << c.scheme;
        EXPECT_EQ(failure.has_value(), c.stop);
        if (failure) {
            EXPECT_EQ(failure->kind(), FailureKind::Stopped) << failure->what();
        }
        backend.Abort();
    }
}

// Refused before the line is touched, or (what the driver ignored) undone at once.
TEST(SerialLineTest, SettingsTheLineCantTakeAreRefusedAndTheLineIsLeftAsItWas) {
    struct Case {
        const char* options;
        const char* why;
    };
    const Case cases[] = {
        {"?baud=14400", "14400 baud is not a rate this system can set; use one of 50, 75, 110, "},
        {"?flow=dtrdsr", "DTR/DSR flow control is not available here; use flow=hard (RTS/CTS)"},
        // A pseudo-terminal always carries 8 bits without parity.
        {"?bits=7+parity=even", "its driver did not take 7 data bits and even parity."},
    };
    PtyLine line;
    const termios before = line.Settings();
    for (const Case& c : cases) {
        DeviceBackend backend = BackendFor("serial:" + line.path + c.options);
        const JobResult result = SendJob(backend, "data");
        ASSERT_TRUE(result.failure) << c.options;
        const std::string error = result.failure->what();
        EXPECT_EQ(result.failure->kind(), FailureKind::Refused) << error;
        EXPECT_EQ(error.rfind("Can't set up the serial line \"" + line.path + "\": " + c.why, 0),
                  0u)
            << error;
        EXPECT_TRUE(SameSettings(line.Settings(), before)) << c.options;
    }
}

} // namespace
