// The capture listener in this process, with Tolvenmark's own backends as senders: the
// form in which it runs on Windows too, where the command line is not built.
#include "printing/backends/lpd/lpd_backend.h"
#include "printing/backends/socket/socket_backend.h"
#include "printing/capture/capture_listener.h"
#include "printing/capture/capture_report.h"
#include "printing/capture/captured_job.h"
#include "printing/job/job_driver.h"
#include "tests/support/temp_dir.h"

#include <algorithm>
#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <asio/write.hpp>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace {

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

} // namespace
