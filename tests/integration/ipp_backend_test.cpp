#include "printing/address/local_host_names.h"
#include "printing/backends/ipp/ipp_backend.h"
#include "printing/backends/ipp/ipp_job_monitor.h"
#include "printing/dnssd/avahi_host_lookup.h"
#include "printing/ipp/ipp_message.h"
#include "printing/job/job_driver.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_dir.h"

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cups/cups.h>
#include <filesystem>
#include <functional>
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

JobOptions Options(std::string format,
                   std::chrono::milliseconds stallTimeout = std::chrono::seconds(30)) {
    JobOptions options;
    options.documentFormat = std::move(format);
    options.timeouts.stall = stallTimeout;
    options.timeouts.connect = std::chrono::seconds(2);
    return options;
}

// The bytes as one job, in one write.
JobResult Send(IppBackend& backend, std::string_view data) {
    const JobControl control;
    return JobDriver(backend, control).SendBytes(data);
}

// What the failure says, or that there was none.
std::string Why(const JobResult& result) {
    return result.failure ? result.failure->what() : "no failure";
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

    // Hands each connection, numbered from 0, to the server, which returns when it is done
    // with it; a stop asks it to end.
    using Server = std::function<void(int client, int connection, const std::atomic<bool>& stop)>;
    void ServeWith(Server serve) {
        ::listen(socket_, 4);
        server_ = std::thread([this, serve] {
            for (int connection = 0; !stop_;) {
                pollfd waiting{socket_, POLLIN, 0};
                if (::poll(&waiting, 1, 50) <= 0) {
                    continue;
                }
                const int client = ::accept(socket_, nullptr, nullptr);
                serve(client, connection++, stop_);
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

class IppBackendTest : public testing::Test {
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

TEST_F(IppBackendTest, DocumentsArriveByteForByteInTheFormatDeclared) {
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
        IppBackend backend(c.strictPrinter ? *strict : *printer, Options(c.format));
        const JobResult result = Send(backend, c.data);
        ASSERT_TRUE(result.Sent()) << c.what << ": " << Why(result);
        const auto document = Document(c.strictPrinter ? strictDir : printerDir, result.jobId);
        ASSERT_TRUE(document) << c.what << ": job " << result.jobId << " was not kept";
        EXPECT_EQ(document->extension(), c.stored) << c.what;
        EXPECT_NE(document->filename().string().find("tolvenmark_document"), std::string::npos);
        EXPECT_EQ(ReadBytes(document->string()), c.data) << c.what;
    }
}

TEST_F(IppBackendTest, FormatsThePrinterDoesNotTakeAreRefusedBeforeSending) {
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
        IppBackend backend(*strict, Options(c.format));
        const JobResult result = Send(backend, c.data);
        EXPECT_FALSE(result.Sent());
        EXPECT_NE(Why(result).find(c.message), std::string::npos) << Why(result);
        EXPECT_EQ(result.failure ? result.failure->kind() : FailureKind::Stopped,
                  FailureKind::Refused);
        EXPECT_EQ(result.jobId, 0) << "a job was created for " << c.data;
    }
    EXPECT_EQ(Documents(strictDir), kept);
}

// A job cut off part-way is cancelled: the printer would otherwise print what it has (it
// takes the end of the connection for the end of the document) and answer the next job
// "busy" meanwhile.
TEST_F(IppBackendTest, CancelledJobPrintsNothingAndTheNextGoesThrough) {
    IppBackend cancelled(*strict, {});
    ASSERT_NO_THROW(cancelled.Open(std::nullopt));
    ASSERT_NO_THROW(cancelled.Write(Pcl + std::string(64 * 1024, 'x')));
    ASSERT_GT(cancelled.JobId(), 0);
    cancelled.Abort();
    EXPECT_THAT(FinalJobState(*strict, cancelled.JobId()),
                testing::AnyOf(IPP_JSTATE_CANCELED, IPP_JSTATE_ABORTED));

    IppBackend next(*strict, {});
    const JobResult result = Send(next, Pcl + "next");
    EXPECT_TRUE(result.Sent()) << Why(result);
    EXPECT_EQ(FinalJobState(*strict, result.jobId), IPP_JSTATE_COMPLETED);
}

TEST_F(IppBackendTest, BusyPrinterIsAskedAgainUntilItIsFree) {
    IppBackend first(*strict, {});
    ASSERT_NO_THROW(first.Open(std::nullopt));
    ASSERT_NO_THROW(first.Write(Pcl + "first"));
    auto second = std::async(std::launch::async, [this] {
        IppBackend backend(*strict, {});
        const JobResult result = Send(backend, Pcl + "second");
        return result.Sent() ? result.jobId : 0;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    EXPECT_NO_THROW(first.Finish());
    const int secondJob = second.get();
    ASSERT_GT(secondJob, 0);
    EXPECT_EQ(ReadBytes(Document(strictDir, secondJob).value_or("").string()), Pcl + "second");
}

TEST_F(IppBackendTest, LargeStreamArrivesByteForByte) {
    constexpr std::size_t Chunk = 1 << 20;
    const auto chunk = [](std::size_t index) {
        std::string bytes(Chunk, '\0');
        for (std::size_t i = 0; i < Chunk; ++i) {
            bytes[i] = static_cast<char>((i * 131 + index * 7) >> 3);
        }
        return index == 0 ? Pcl + bytes.substr(Pcl.size()) : bytes;
    };
    IppBackend backend(*strict, {});
    ASSERT_NO_THROW(backend.Open(std::nullopt));
    // The first bytes one at a time: the format is recognized across writes.
    const std::string first = chunk(0);
    for (std::size_t i = 0; i < 12; ++i) {
        ASSERT_NO_THROW(backend.Write(first.substr(i, 1)));
    }
    ASSERT_NO_THROW(backend.Write(first.substr(12)));
    for (std::size_t index = 1; index < 64; ++index) {
        ASSERT_NO_THROW(backend.Write(chunk(index))) << index;
    }
    ASSERT_NO_THROW(backend.Finish());
    const auto document = Document(strictDir, backend.JobId());
    ASSERT_TRUE(document);
    ASSERT_EQ(std::filesystem::file_size(*document), 64 * Chunk);
    const std::string stored = ReadBytes(document->string());
    for (std::size_t index = 0; index < 64; ++index) {
        ASSERT_EQ(stored.compare(index * Chunk, Chunk, chunk(index)), 0) << "chunk " << index;
    }
}

TEST_F(IppBackendTest, TlsReachesTheJobThrough) {
    IppBackend backend(Address("ipps://127.0.0.1:" + std::to_string(strict->port()) + "/ipp/print"),
                       {});
    const JobResult result = Send(backend, Pcl + "secret");
    ASSERT_TRUE(result.Sent()) << Why(result);
    EXPECT_EQ(ReadBytes(Document(strictDir, result.jobId).value_or("").string()), Pcl + "secret");
}

TEST_F(IppBackendTest, ConnectionFailuresSayWhyAndComeQuickly) {
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
        IppBackend backend(Address(std::string(c.scheme) + "://127.0.0.1:" +
                                   std::to_string(listener.port()) + "/ipp/print"),
                           Options("", std::chrono::seconds(1)));
        const auto started = Clock::now();
        const JobResult result = Send(backend, Pcl);
        // libcups gives a silent TLS peer about 10 s, whatever the stall time-out.
        EXPECT_LT(Clock::now() - started, std::chrono::seconds(15)) << c.what;
        EXPECT_NE(Why(result).find(c.message), std::string::npos) << c.what << ": " << Why(result);
        EXPECT_EQ(result.failure ? result.failure->kind() : FailureKind::Stopped,
                  FailureKind::Unreachable)
            << c.what;
    }
}

// An IPP printer that plays a script, one step for each request on its first connection
// (later ones, the withdrawal's Cancel-Job, are answered "Bad Request"): the misbehaving
// printers no real one can be made to be.
class ScriptedPrinter {
public:
    enum class Step { Attributes, Created, Garbage, Silent, ResetInBody, SilentAfterBody };

    explicit ScriptedPrinter(std::vector<Step> script) {
        listener_.ServeWith([script](int client, int connection, const std::atomic<bool>& stop) {
            if (connection > 0) {
                return Reply(client, "HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n\r\n");
            }
            for (const Step step : script) {
                if (!Play(client, step, stop)) {
                    return;
                }
            }
        });
    }
    int port() const { return listener_.port(); }

private:
    static void Reply(int client, const std::string& bytes) {
        ::send(client, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    }
    // Reads up to the end of the headers, and the body's first `bodyBytes` (all of it when
    // nothing is said); false when the connection ended first.
    static bool ReadRequest(int client, std::size_t bodyBytes) {
        std::string data;
        char buffer[65536];
        std::size_t headersEnd = std::string::npos;
        while (
            headersEnd == std::string::npos ||
            (bodyBytes > 0 && data.size() - headersEnd < bodyBytes && !Ended(data, headersEnd))) {
            const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
            if (got <= 0) {
                return false;
            }
            data.append(buffer, static_cast<std::size_t>(got));
            if (headersEnd == std::string::npos &&
                (headersEnd = data.find("\r\n\r\n")) != std::string::npos) {
                headersEnd += 4;
                if (data.find("100-continue") < headersEnd) {
                    Reply(client, "HTTP/1.1 100 Continue\r\n\r\n");
                }
            }
        }
        return true;
    }
    // Whether the body after the headers is complete: its length reached, or the last chunk.
    static bool Ended(const std::string& data, std::size_t headersEnd) {
        const std::size_t length = data.find("Content-Length: ");
        if (length < headersEnd) {
            return data.size() - headersEnd >= std::stoul(data.substr(length + 16));
        }
        return data.size() >= 5 && data.compare(data.size() - 5, 5, "0\r\n\r\n") == 0;
    }
    static std::string Answer(bool attributes) {
        IppMessage response(ippNew());
        ippSetVersion(response.get(), 2, 0);
        ippSetStatusCode(response.get(), IPP_STATUS_OK);
        ippSetRequestId(response.get(), 1);
        ippAddString(response.get(), IPP_TAG_OPERATION, IPP_TAG_CHARSET, "attributes-charset",
                     nullptr, "utf-8");
        ippAddString(response.get(), IPP_TAG_OPERATION, IPP_TAG_LANGUAGE,
                     "attributes-natural-language", nullptr, "en");
        if (attributes) {
            ippAddString(response.get(), IPP_TAG_PRINTER, IPP_TAG_MIMETYPE,
                         "document-format-supported", nullptr, "application/octet-stream");
            const int operations[] = {IPP_OP_PRINT_JOB, IPP_OP_CREATE_JOB, IPP_OP_SEND_DOCUMENT,
                                      IPP_OP_CANCEL_JOB, IPP_OP_GET_PRINTER_ATTRIBUTES};
            ippAddIntegers(response.get(), IPP_TAG_PRINTER, IPP_TAG_ENUM, "operations-supported", 5,
                           operations);
        } else {
            ippAddInteger(response.get(), IPP_TAG_JOB, IPP_TAG_INTEGER, "job-id", 7);
        }
        std::string body;
        ippWriteIO(
            &body,
            [](void* into, ipp_uchar_t* bytes, std::size_t count) -> ssize_t {
                static_cast<std::string*>(into)->append(reinterpret_cast<char*>(bytes), count);
                return static_cast<ssize_t>(count);
            },
            1, nullptr, response.get());
        return "HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\nContent-Length: " +
               std::to_string(body.size()) + "\r\n\r\n" + body;
    }
    static bool Play(int client, Step step, const std::atomic<bool>& stop) {
        const bool whole = step != Step::ResetInBody;
        if (!ReadRequest(client, whole ? std::string::npos : 65536)) {
            return false;
        }
        switch (step) {
        case Step::Attributes:
        case Step::Created:
            Reply(client, Answer(step == Step::Attributes));
            return true;
        case Step::Garbage:
            Reply(client, "HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\n"
                          "Content-Length: 8\r\n\r\ngarbage!");
            return true;
        case Step::ResetInBody: {
            const linger abort{1, 0};
            ::setsockopt(client, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
            return false;
        }
        case Step::Silent:
        case Step::SilentAfterBody:
            while (!stop) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            return false;
        }
        return false;
    }

    LoopbackListener listener_;
};

// Printers that stop answering, answer no IPP or cut the connection: each failure says what
// happened at which step, never a stale "Success" or an unrelated system error.
TEST(IppBackendFailureTest, EachFailureSaysWhatHappenedAtItsStep) {
    using Step = ScriptedPrinter::Step;
    const struct {
        const char* what;
        std::vector<Step> script;
        FailureKind kind;
        const char* message;
    } cases[] = {
        {"mute",
         {Step::Silent},
         FailureKind::TimedOut,
         "did not tell its attributes: no answer within 1 s."},
        {"no IPP in its answer",
         {Step::Garbage},
         FailureKind::Refused,
         "did not tell its attributes: its answer was no valid IPP response."},
        {"silent at Create-Job",
         {Step::Attributes, Step::Silent},
         FailureKind::TimedOut,
         "did not answer the job's creation: no answer within 1 s."},
        {"reset in the document",
         {Step::Attributes, Step::Created, Step::ResetInBody},
         FailureKind::Reset,
         "failed: the printer closed or reset the connection"},
        {"silent after the document",
         {Step::Attributes, Step::Created, Step::SilentAfterBody},
         FailureKind::TimedOut,
         "did not answer after the document: no answer within 1 s;"},
    };
    for (const auto& c : cases) {
        ScriptedPrinter printer(c.script);
        IppBackend backend(
            Address("ipp://127.0.0.1:" + std::to_string(printer.port()) + "/ipp/print"),
            Options("", std::chrono::seconds(1)));
        const JobResult result = Send(backend, std::string(4 << 20, 'x'));
        ASSERT_TRUE(result.failure) << c.what;
        EXPECT_EQ(result.failure->kind(), c.kind) << c.what << ": " << Why(result);
        EXPECT_NE(Why(result).find(c.message), std::string::npos) << c.what << ": " << Why(result);
    }
}

// A stop while a mute printer is asked ends the wait at once rather than at the stall
// time-out, which is far beyond this test's bound.
TEST(IppBackendFailureTest, AStopEndsTheWaitOnAMutePrinter) {
    ScriptedPrinter printer({ScriptedPrinter::Step::Silent});
    IppBackend backend(Address("ipp://127.0.0.1:" + std::to_string(printer.port()) + "/ipp/print"),
                       Options("", std::chrono::seconds(60)));
    std::atomic<bool> stop{false};
    JobControl control;
    control.stop = &stop;
    std::thread stopper([&stop] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        stop = true;
    });
    const auto started = Clock::now();
    const JobResult result = JobDriver(backend, control).SendBytes(Pcl);
    stopper.join();
    EXPECT_LT(Clock::now() - started, std::chrono::seconds(20));
    EXPECT_TRUE(result.StoppedByUser()) << Why(result);
}

// The job number the backend keeps is the printer's own: the monitor finds the job on the
// printer and follows it to its end; a number the printer never gave is unknown to it.
TEST_F(IppBackendTest, MonitorFollowsTheJobOnThePrinter) {
    const JobOptions options = Options("application/vnd.hp-pcl");
    IppBackend backend(*printer, options);
    const JobResult result = Send(backend, Pcl);
    ASSERT_TRUE(result.Sent()) << Why(result);
    IppJobMonitor monitor(options.timeouts);
    const PrinterTarget target = PrinterTarget::Direct(*printer);
    ASSERT_TRUE(monitor.CanFollow(target));

    const auto deadline = Clock::now() + std::chrono::seconds(30);
    JobStatus status = monitor.Job(target, result.jobId);
    while (!status.Ended() && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        status = monitor.Job(target, result.jobId);
    }
    EXPECT_EQ(status.state, JobState::Completed) << modJobStatus::Describe(status);
    EXPECT_NE(status.printerState, PrinterState::Unknown);
    EXPECT_EQ(monitor.Job(target, result.jobId + 1000).state, JobState::Unknown);
    const PrinterStatus printerStatus = monitor.Printer(target);
    EXPECT_NE(printerStatus.state, PrinterState::Unknown);
    EXPECT_TRUE(printerStatus.acceptingJobs);
    EXPECT_FALSE(monitor.CanFollow(PrinterTarget::Resolve("socket://127.0.0.1")));
    EXPECT_FALSE(monitor.CanFollow(PrinterTarget::Queue("ipp_named_queue")));
}

// A printer named by its ".local" host name is reached through DNS-SD, though the system's
// resolver knows no such name: the job and the monitor's questions both get there. The
// printer's own responder publishes the name (DIR/host-name) with 127.0.0.1.
TEST_F(IppBackendTest, LocalHostNameIsLookedUpThroughDnssd) {
    std::string host = ReadBytes(printerDir + "/host-name");
    host = host.substr(0, host.find('\n'));
    const ScopedEnvironment bus("DBUS_SYSTEM_BUS_ADDRESS",
                                ("unix:path=" + printerDir + "/bus").c_str());
    struct Installed {
        Installed() { LocalHostNames::Install(AvahiHostLookup::Find); }
        ~Installed() { LocalHostNames::Install(nullptr); }
    } const installed;
    const PrinterAddress local =
        Address("ipp://" + host + ":" + std::to_string(printer->port()) + "/ipp/print");
    const JobOptions options = Options("application/vnd.hp-pcl");
    IppBackend backend(local, options);
    const JobResult result = Send(backend, Pcl + "local");
    ASSERT_TRUE(result.Sent()) << Why(result);
    EXPECT_EQ(ReadBytes(Document(printerDir, result.jobId).value_or("").string()), Pcl + "local");
    EXPECT_NE(IppJobMonitor(options.timeouts).Job(PrinterTarget::Direct(local), result.jobId).state,
              JobState::Unknown);
}

} // namespace
