// The capture listener in this process, with Tolvenmark's own backends as senders: the
// form in which it runs on Windows too, where the command line is not built.
#include "printing/backends/lpd/lpd_backend.h"
#include "printing/backends/socket/socket_backend.h"
#include "printing/capture/capture_listener.h"
#include "printing/capture/capture_report.h"
#include "printing/capture/captured_job.h"
#include "printing/job/job_driver.h"
#include "printing/talkback/esc_pos_status.h"
#include "tests/printing/talkback/seen.h"
#include "tests/support/temp_dir.h"

#include <algorithm>
#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <asio/read.hpp>
#include <asio/write.hpp>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace {

using namespace std::string_literals;

class RecordedReport : public CaptureReport {
public:
    void Listening(const std::string& where) override {
        ports.push_back(where.substr(where.rfind(':') + 1));
    }
    void Job(const CapturedJob& job) override {
        const std::lock_guard<std::mutex> lock(mutex);
        jobs.push_back(job);
    }
    void Problem(const std::string&, const std::string& message) override {
        const std::lock_guard<std::mutex> lock(mutex);
        problems.push_back(message);
    }
    std::size_t JobCount() {
        const std::lock_guard<std::mutex> lock(mutex);
        return jobs.size();
    }
    // Whether a job with these bytes was kept whole.
    bool KeptWhole(const std::string& bytes) {
        const std::lock_guard<std::mutex> lock(mutex);
        return std::any_of(jobs.begin(), jobs.end(), [&bytes](const CapturedJob& job) {
            return job.Complete() && ReadBytes(job.path) == bytes;
        });
    }

    std::vector<std::string> ports;
    std::mutex mutex;
    std::vector<CapturedJob> jobs;
    std::vector<std::string> problems;
};

// Whether the job was sent, or why not.
std::string Send(PrinterBackend& backend, const std::string& bytes) {
    const JobControl control;
    const JobResult result = JobDriver(backend, control).SendBytes(bytes);
    return result.Sent() ? "sent" : result.failure->what();
}

// Waits until the report holds a job with these bytes, for a while only a hang outlasts.
bool WaitUntilKeptWhole(RecordedReport& report, const std::string& bytes) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!report.KeptWhole(bytes) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return report.KeptWhole(bytes);
}

// A sender of our own on the io_context of the test's thread; each step is bounded by a
// wait only a hang outlasts.
class TestSender {
public:
    explicit TestSender(const std::string& port) : socket_(io_) {
        socket_.connect(asio::ip::tcp::endpoint(asio::ip::make_address("127.0.0.1"),
                                                static_cast<std::uint16_t>(std::stoi(port))));
    }
    // Whether all the bytes went.
    bool Send(const std::string& bytes) {
        std::size_t sent = 0;
        asio::async_write(socket_, asio::buffer(bytes),
                          [&sent](const std::error_code&, std::size_t count) { sent = count; });
        Run();
        return sent == bytes.size();
    }
    // The next `count` bytes, or those that came.
    std::string Read(std::size_t count) {
        std::string bytes(count, '\0');
        std::size_t read = 0;
        asio::async_read(socket_, asio::buffer(bytes),
                         [&read](const std::error_code&, std::size_t count) { read = count; });
        Run();
        bytes.resize(read);
        return bytes;
    }
    void Close() { socket_.close(); }

private:
    void Run() {
        io_.restart();
        io_.run_for(std::chrono::seconds(60));
        if (!io_.stopped()) {
            socket_.cancel();
            io_.run();
        }
    }

    asio::io_context io_;
    asio::ip::tcp::socket socket_;
};

TEST(CaptureListenerTest, KeepsASocketAndAnLpdJobAndStopsOnSigterm) {
    TempDir dir;
    CaptureOptions options;
    options.endpoints = {{CaptureOptions::Protocol::Socket, "127.0.0.1", 0},
                         {CaptureOptions::Protocol::Lpd, "127.0.0.1", 0}};
    options.dir = dir.Path().string();
    RecordedReport report;
    CaptureListener listener(options, report);
    listener.Listen();
    ASSERT_EQ(report.ports.size(), 2u);
    int stoppedBy = 0;
    std::thread serving([&] { stoppedBy = listener.Run(); });

    const JobOptions job;
    SocketBackend socket(*PrinterAddress::Parse("socket://127.0.0.1:" + report.ports[0]).address,
                         job);
    LpdBackend lpd(*PrinterAddress::Parse("lpd://127.0.0.1:" + report.ports[1] + "/q").address,
                   job);
    EXPECT_EQ(Send(socket, AllByteValues()), "sent");
    EXPECT_EQ(Send(lpd, AllByteValues() + "lpd"), "sent");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (report.JobCount() < 2 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::raise(SIGTERM);
    serving.join();

    EXPECT_EQ(stoppedBy, SIGTERM);
    EXPECT_TRUE(report.problems.empty()) << report.problems.front();
    ASSERT_EQ(report.jobs.size(), 2u);
    for (const CapturedJob& job : report.jobs) {
        const bool lpdJob = job.protocol == CaptureOptions::Protocol::Lpd;
        EXPECT_TRUE(job.Complete()) << job.cutOff;
        EXPECT_EQ(ReadBytes(job.path), lpdJob ? AllByteValues() + "lpd" : AllByteValues());
        EXPECT_EQ(job.queue, lpdJob ? "q" : "");
    }
}

// With every place taken, silent and trickling senders give way to a good job, while a
// sender that keeps its bytes coming keeps its place.
TEST(CaptureListenerTest, SilentAndTricklingSendersGiveWay) {
    TempDir dir;
    CaptureOptions options;
    options.endpoints = {{CaptureOptions::Protocol::Socket, "127.0.0.1", 0}};
    options.dir = dir.Path().string();
    options.maxConnections = 16;
    options.giveWayAfter = std::chrono::seconds(1);
    RecordedReport report;
    CaptureListener listener(options, report);
    listener.Listen();
    std::thread serving([&] { listener.Run(); });

    asio::io_context io;
    const asio::ip::tcp::endpoint capture(asio::ip::make_address("127.0.0.1"),
                                          static_cast<std::uint16_t>(std::stoi(report.ports[0])));
    std::vector<asio::ip::tcp::socket> senders; // steady, 8 trickling, 50 silent, good
    for (int sender = 0; sender < 60; ++sender) {
        senders.emplace_back(io).connect(capture);
    }
    asio::write(senders.back(), asio::buffer("good", 4));
    senders.back().close();
    std::string steady;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!report.KeptWhole("good") && std::chrono::steady_clock::now() < deadline) {
        steady.append(4096, 's');
        asio::write(senders[0], asio::buffer(steady.data(), 4096));
        for (int trickling = 1; trickling <= 8; ++trickling) {
            std::error_code gone;
            asio::write(senders[trickling], asio::buffer("x", 1), gone);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    senders.clear();
    while (!report.KeptWhole(steady) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::raise(SIGTERM);
    serving.join();

    EXPECT_TRUE(report.KeptWhole("good"));
    EXPECT_TRUE(report.KeptWhole(steady));
}

// An emulated printer answers on the sender's own connection, in the state its file says at
// each query, while the job's bytes are kept as they came.
TEST(CaptureListenerTest, AnEmulatedPrinterAnswersOnTheSameConnection) {
    TempDir dir;
    TempDir stateDir;
    const std::string stateFile = stateDir.File("state");
    CaptureOptions options;
    options.endpoints = {{CaptureOptions::Protocol::Socket, "127.0.0.1", 0}};
    options.dir = dir.Path().string();
    options.emulation.language = Emulation::Language::EscPos;
    options.emulation.state = Emulation::State::PaperOut;
    options.emulation.stateFile = stateFile;
    RecordedReport report;
    CaptureListener listener(options, report);
    listener.Listen();
    std::thread serving([&] { listener.Run(); });

    TestSender sender(report.ports[0]);
    std::string sent;
    const auto ask = [&](const std::string& before) {
        sent += before + EscPosStatus::AllQueries();
        EXPECT_TRUE(sender.Send(before + EscPosStatus::AllQueries()));
        return Seen(EscPosStatus::Read(sender.Read(4)).state);
    };
    EXPECT_EQ(ask("\x1b@Total 4.20\n"), "Offline PaperOut NearEnd"); // no file yet
    WriteBytes(stateFile, "cover-open\n");
    EXPECT_EQ(ask(AllByteValues()), "Offline Cover");
    WriteBytes(stateFile, "jammed\n");
    EXPECT_EQ(ask("\x1dV\x00"s), "Offline Cover");
    sender.Close();
    EXPECT_TRUE(WaitUntilKeptWhole(report, sent));
    std::raise(SIGTERM);
    serving.join();
}

// A sender that asks and never reads: the replies beyond a few are dropped, and the
// connection is read on, so its whole job is kept.
TEST(CaptureListenerTest, ASenderThatNeverReadsStillHasItsJobKept) {
    TempDir dir;
    CaptureOptions options;
    options.endpoints = {{CaptureOptions::Protocol::Socket, "127.0.0.1", 0}};
    options.dir = dir.Path().string();
    options.emulation.language = Emulation::Language::Zpl;
    RecordedReport report;
    CaptureListener listener(options, report);
    listener.Listen();
    std::thread serving([&] { listener.Run(); });

    std::string job;
    for (int query = 0; query < (1 << 20); ++query) {
        job += "~HS"; // about 100 bytes of reply each
    }
    TestSender sender(report.ports[0]);
    EXPECT_TRUE(sender.Send(job));
    sender.Close();
    EXPECT_TRUE(WaitUntilKeptWhole(report, job));
    std::raise(SIGTERM);
    serving.join();
}

} // namespace
