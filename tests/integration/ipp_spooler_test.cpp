#include "printing/cups/ipp_job_monitor.h"
#include "printing/cups/ipp_spooler.h"
#include "printing/raw_print.h"
#include "tests/support/temp_dir.h"

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cups/cups.h>
#include <filesystem>
#include <future>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

// The printers are private ippeveprinter instances that ctest starts before these tests
// (scripts/test-ipp-printer) in TOLVENMARK_IPP_PRINTERS_DIR: "open" lists
// application/octet-stream, "strict" only PDF and PCL. Each keeps job N's document as
// DIR/spool/N-*.EXT.
namespace {

using modRawPrint::PrintStringRaw;
using Clock = std::chrono::steady_clock;

std::string NulRich() {
    std::string bytes;
    for (int i = 0; i < 4096; ++i) {
        bytes += std::string(7, '\0') + static_cast<char>(i * 37);
    }
    return bytes;
}

const std::string Pcl = "\x1B"
                        "E";

DirectOptions Options(std::string format,
                      std::chrono::milliseconds stallTimeout = std::chrono::seconds(30)) {
    DirectOptions options;
    options.documentFormat = std::move(format);
    options.stallTimeout = stallTimeout;
    options.connectTimeout = std::chrono::seconds(2);
    return options;
}

PrinterAddress Address(const std::string& uri) {
    return *PrinterAddress::Parse(uri).address;
}

// A loopback port that nobody listens on, or one that a test listener serves.
class LoopbackListener {
public:
    LoopbackListener() : socket_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~LoopbackListener() {
        stop_ = true;
        if (server_.joinable()) {
            server_.join();
        }
        ::close(socket_);
    }

    // Answers each connection as a plain HTTP server answers bytes it can't parse, or not
    // at all.
    void Serve(bool answer) {
        ::listen(socket_, 4);
        server_ = std::thread([this, answer] {
            while (!stop_) {
                pollfd waiting{socket_, POLLIN, 0};
                if (::poll(&waiting, 1, 50) <= 0) {
                    continue;
                }
                const int client = ::accept(socket_, nullptr, nullptr);
                if (answer) {
                    static const std::string reply = "HTTP/1.1 400 Bad Request\r\nContent-Length: "
                                                     "0\r\nConnection: close\r\n\r\n";
                    ::send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
                }
                while (!stop_ && !answer) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                }
                ::close(client);
            }
        });
    }

    int port() const { return port_; }

private:
    int socket_;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread server_;
};

class IppSpoolerTest : public testing::Test {
protected:
    void SetUp() override {
        const char* printers = std::getenv("TOLVENMARK_IPP_PRINTERS_DIR");
        printerDir = std::string(printers != nullptr ? printers : "") + "/open";
        strictDir = std::string(printers != nullptr ? printers : "") + "/strict";
        if (printers == nullptr || !std::filesystem::exists(printerDir + "/uri") ||
            !std::filesystem::exists(strictDir + "/uri")) {
            const std::string why =
                "no test IPP printers run (run the tests through ctest, as root, with Debian "
                "packages cups-ipp-utils, dbus and avahi-daemon installed)";
            const char* required = std::getenv("TOLVENMARK_REQUIRE_SPOOLER");
            if (required != nullptr && std::string(required) == "1") {
                FAIL() << why;
            }
            GTEST_SKIP() << why;
        }
        printer = Address(Uri(printerDir));
        strict = Address(Uri(strictDir));
    }

    static std::string Uri(const std::string& dir) {
        std::string uri = ReadBytes(dir + "/uri");
        return uri.substr(0, uri.find('\n'));
    }

    // The stored document of the job; the empty N-*.prn beside it is the output of the
    // printer's print command.
    static std::optional<std::filesystem::path> Document(const std::string& dir, int jobId) {
        const std::string prefix = std::to_string(jobId) + "-";
        for (const auto& entry : std::filesystem::directory_iterator(dir + "/spool")) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with(prefix) && entry.path().extension() != ".prn") {
                return entry.path();
            }
        }
        return std::nullopt;
    }

    static std::size_t Documents(const std::string& dir) {
        std::size_t count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(dir + "/spool")) {
            count += entry.path().extension() != ".prn";
        }
        return count;
    }

    // The job's state once it has ended (completed, cancelled or aborted), or the state it
    // is still in after some seconds.
    static ipp_jstate_t FinalJobState(const PrinterAddress& address, int jobId) {
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        for (;;) {
            const ipp_jstate_t state = JobState(address, jobId);
            if (state >= IPP_JSTATE_CANCELED || Clock::now() > deadline) {
                return state;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

    static ipp_jstate_t JobState(const PrinterAddress& address, int jobId) {
        http_t* http = httpConnect2(address.host().c_str(), address.port(), nullptr, AF_UNSPEC,
                                    HTTP_ENCRYPTION_IF_REQUESTED, 1, 5000, nullptr);
        ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                     address.Text().c_str());
        ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", jobId);
        ipp_t* response = cupsDoRequest(http, request, address.queue().c_str());
        const auto state = static_cast<ipp_jstate_t>(
            ippGetInteger(ippFindAttribute(response, "job-state", IPP_TAG_ENUM), 0));
        ippDelete(response);
        httpClose(http);
        return state;
    }

    std::string printerDir;
    std::string strictDir;
    std::optional<PrinterAddress> printer;
    std::optional<PrinterAddress> strict;
};

TEST_F(IppSpoolerTest, DocumentsArriveByteForByteInTheFormatDeclared) {
    struct Case {
        const char* what;
        bool strictPrinter;
        std::string format;
        std::string data;
        const char* stored; // the extension the printer files the document under
    };
    // This printer's application/octet-stream takes only data it can type itself, so that
    // data starts as PDF does.
    const std::vector<Case> cases{
        {"octet-stream", false, "", "%PDF-" + AllByteValues() + NulRich(), ".pdf"},
        {"format given", false, "application/vnd.hp-pcl", AllByteValues() + NulRich(), ".pcl"},
        {"PCL recognized", true, "", Pcl + AllByteValues() + NulRich(), ".pcl"},
        {"PJL recognized", true, "", "\x1B%-12345X@PJL\r\n" + AllByteValues(), ".pcl"},
        {"shorter than a signature", true, "", Pcl, ".pcl"},
    };
    for (const Case& c : cases) {
        IppSpooler spooler(c.strictPrinter ? *strict : *printer, Options(c.format));
        ASSERT_TRUE(PrintStringRaw(spooler, "ignored", c.data))
            << c.what << ": " << spooler.LastError();
        const auto document = Document(c.strictPrinter ? strictDir : printerDir, spooler.JobId());
        ASSERT_TRUE(document) << c.what << ": job " << spooler.JobId() << " was not kept";
        EXPECT_EQ(document->extension(), c.stored) << c.what;
        EXPECT_NE(document->filename().string().find("tolvenmark_document"), std::string::npos);
        EXPECT_EQ(ReadBytes(document->string()), c.data) << c.what;
    }
}

TEST_F(IppSpoolerTest, FormatsThePrinterDoesNotTakeAreRefusedBeforeSending) {
    struct Case {
        std::string format;
        std::string data;
        const char* message;
    };
    const std::vector<Case> cases{
        {"", "plain text, no signature",
         "application/octet-stream and the data has no signature of a format it takes; it "
         "takes: application/pdf, application/vnd.hp-pcl"},
        {"application/postscript", Pcl + "data",
         "the printer refused the format application/postscript; it takes: application/pdf, "
         "application/vnd.hp-pcl"},
    };
    const std::size_t kept = Documents(strictDir);
    for (const Case& c : cases) {
        IppSpooler spooler(*strict, Options(c.format));
        EXPECT_FALSE(PrintStringRaw(spooler, "ignored", c.data));
        EXPECT_NE(spooler.LastError().find(c.message), std::string::npos) << spooler.LastError();
        EXPECT_EQ(spooler.JobId(), 0) << "a job was created for " << c.data;
    }
    EXPECT_EQ(Documents(strictDir), kept);
}

// A job cut off part-way is cancelled: the printer would otherwise print what it has (it
// takes the end of the connection for the end of the document) and answer the next job
// "busy" meanwhile.
TEST_F(IppSpoolerTest, CancelledJobPrintsNothingAndTheNextGoesThrough) {
    IppSpooler cancelled(*strict, {});
    ASSERT_TRUE(cancelled.OpenPrinter("ignored") && cancelled.StartDocument("Cut") &&
                cancelled.StartPage());
    ASSERT_TRUE(cancelled.Write(Pcl + std::string(64 * 1024, 'x'))) << cancelled.LastError();
    ASSERT_GT(cancelled.JobId(), 0);
    cancelled.CancelDocument();
    cancelled.ClosePrinter();
    EXPECT_THAT(FinalJobState(*strict, cancelled.JobId()),
                testing::AnyOf(IPP_JSTATE_CANCELED, IPP_JSTATE_ABORTED));

    IppSpooler next(*strict, {});
    EXPECT_TRUE(PrintStringRaw(next, "ignored", Pcl + "next")) << next.LastError();
    EXPECT_EQ(FinalJobState(*strict, next.JobId()), IPP_JSTATE_COMPLETED);
}

TEST_F(IppSpoolerTest, BusyPrinterIsAskedAgainUntilItIsFree) {
    IppSpooler first(*strict, {});
    ASSERT_TRUE(first.OpenPrinter("ignored") && first.StartDocument("First") && first.StartPage() &&
                first.Write(Pcl + "first"));
    auto second = std::async(std::launch::async, [this] {
        IppSpooler spooler(*strict, {});
        return PrintStringRaw(spooler, "ignored", Pcl + "second") ? spooler.JobId() : 0;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    EXPECT_TRUE(first.EndPage() && first.EndDocument()) << first.LastError();
    first.ClosePrinter();
    const int secondJob = second.get();
    ASSERT_GT(secondJob, 0);
    EXPECT_EQ(ReadBytes(Document(strictDir, secondJob).value_or("").string()), Pcl + "second");
}

TEST_F(IppSpoolerTest, LargeStreamArrivesByteForByte) {
    constexpr std::size_t Chunk = 1 << 20;
    const auto chunk = [](std::size_t index) {
        std::string bytes(Chunk, '\0');
        for (std::size_t i = 0; i < Chunk; ++i) {
            bytes[i] = static_cast<char>((i * 131 + index * 7) >> 3);
        }
        return index == 0 ? Pcl + bytes.substr(Pcl.size()) : bytes;
    };
    IppSpooler spooler(*strict, {});
    ASSERT_TRUE(spooler.OpenPrinter("ignored") && spooler.StartDocument("Large") &&
                spooler.StartPage());
    // The first bytes one at a time: the format is recognized across writes.
    const std::string first = chunk(0);
    for (std::size_t i = 0; i < 12; ++i) {
        ASSERT_TRUE(spooler.Write(first.substr(i, 1))) << spooler.LastError();
    }
    ASSERT_TRUE(spooler.Write(first.substr(12))) << spooler.LastError();
    for (std::size_t index = 1; index < 64; ++index) {
        ASSERT_TRUE(spooler.Write(chunk(index))) << index << ": " << spooler.LastError();
    }
    ASSERT_TRUE(spooler.EndPage() && spooler.EndDocument()) << spooler.LastError();
    spooler.ClosePrinter();
    const auto document = Document(strictDir, spooler.JobId());
    ASSERT_TRUE(document);
    ASSERT_EQ(std::filesystem::file_size(*document), 64 * Chunk);
    const std::string stored = ReadBytes(document->string());
    for (std::size_t index = 0; index < 64; ++index) {
        ASSERT_EQ(stored.compare(index * Chunk, Chunk, chunk(index)), 0) << "chunk " << index;
    }
}

TEST_F(IppSpoolerTest, TlsReachesTheJobThrough) {
    IppSpooler spooler(Address("ipps://127.0.0.1:" + std::to_string(strict->port()) + "/ipp/print"),
                       {});
    ASSERT_TRUE(PrintStringRaw(spooler, "ignored", Pcl + "secret")) << spooler.LastError();
    EXPECT_EQ(ReadBytes(Document(strictDir, spooler.JobId()).value_or("").string()),
              Pcl + "secret");
}

TEST_F(IppSpoolerTest, ConnectionFailuresSayWhyAndComeQuickly) {
    struct Case {
        const char* what;
        const char* scheme;
        std::optional<bool> answer; // nothing: nobody listens
        const char* message;
    };
    const std::vector<Case> cases{
        {"nobody listens", "ipp", std::nullopt, "was refused"},
        {"TLS to a plain server", "ipps", true, "the TLS handshake failed"},
        {"TLS to a silent peer", "ipps", false, "the TLS handshake failed"},
    };
    for (const Case& c : cases) {
        LoopbackListener listener;
        if (c.answer) {
            listener.Serve(*c.answer);
        }
        const DirectOptions options = Options("", std::chrono::seconds(1));
        IppSpooler spooler(Address(std::string(c.scheme) + "://127.0.0.1:" +
                                   std::to_string(listener.port()) + "/ipp/print"),
                           options);
        const auto started = Clock::now();
        EXPECT_FALSE(PrintStringRaw(spooler, "ignored", Pcl));
        // libcups gives a silent TLS peer about 10 s, whatever the stall time-out.
        EXPECT_LT(Clock::now() - started, std::chrono::seconds(15)) << c.what;
        EXPECT_NE(spooler.LastError().find(c.message), std::string::npos)
            << c.what << ": " << spooler.LastError();
    }
}

// The job number the spooler keeps is the printer's own: the monitor finds the job on the
// printer and follows it to its end; a number the printer never gave is unknown to it.
TEST_F(IppSpoolerTest, MonitorFollowsTheJobOnThePrinter) {
    const DirectOptions options = Options("application/vnd.hp-pcl");
    IppSpooler spooler(*printer, options);
    ASSERT_TRUE(PrintStringRaw(spooler, printer->Text(), Pcl)) << spooler.LastError();
    IppJobMonitor monitor(options);
    ASSERT_TRUE(monitor.CanFollow(printer->Text()));

    const auto deadline = Clock::now() + std::chrono::seconds(30);
    JobStatus status = monitor.Job(printer->Text(), spooler.JobId());
    while (!status.Ended() && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        status = monitor.Job(printer->Text(), spooler.JobId());
    }
    EXPECT_EQ(status.state, JobState::Completed) << modJobStatus::Describe(status);
    EXPECT_NE(status.printerState, PrinterState::Unknown);
    EXPECT_EQ(monitor.Job(printer->Text(), spooler.JobId() + 1000).state, JobState::Unknown);
    const PrinterStatus printerStatus = monitor.Printer(printer->Text());
    EXPECT_NE(printerStatus.state, PrinterState::Unknown);
    EXPECT_TRUE(printerStatus.acceptingJobs);
    EXPECT_FALSE(monitor.CanFollow("socket://127.0.0.1"));
}

} // namespace
