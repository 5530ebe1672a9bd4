#include "printing/backends/lpd/lpd_backend.h"
#include "tests/printing/net/loopback_peer.h"
#include "tests/support/temp_dir.h"

#include <asio/read.hpp>
#include <asio/write.hpp>
#include <chrono>
#include <gtest/gtest.h>
#include <regex>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// The points at which an LPD server answers, and "right after the connection is made".
enum class Step { Connect, ReceiveJob, DataFile, Data, ControlFile, ControlContents, None };

// What a strict receiver saw of one job, and every way the client broke the protocol.
struct ReceivedJob {
    std::string data;
    std::string control;
    std::string dataName;
    std::string controlName;
    std::string ending;
    std::vector<std::string> faults;
};

// A line printer daemon that checks every byte of the protocol. At the step `at` it
// answers `answer` instead of 0, or (answer < 0) closes the connection instead.
class StrictReceiver {
public:
    StrictReceiver(std::string queue, Step at = Step::None, int answer = 0)
        : queue_(std::move(queue)), at_(at), answer_(answer),
          peer_("127.0.0.1", [this](asio::ip::tcp::socket& s, LoopbackPeer&) { Serve(s); }) {}

    std::string Address() const {
        return "lpd://127.0.0.1:" + std::to_string(peer_.Port()) + "/" + queue_;
    }
    bool Connected() const { return peer_.Accepted(); }
    const ReceivedJob& Job() {
        peer_.Join();
        return job_;
    }

private:
    void Serve(asio::ip::tcp::socket& socket) {
        if (at_ == Step::Connect) {
            return;
        }
        std::string line;
        if (!ReadLine(socket, line)) {
            return;
        }
        if (line != "\x02" + queue_) {
            job_.faults.push_back("receive-job line: " + line);
        }
        if (!Answer(socket, Step::ReceiveJob)) {
            return;
        }
        for (int file = 0; file < 2; ++file) {
            if (!ReadLine(socket, line) || !ReceiveFile(socket, line)) {
                return;
            }
        }
        std::string rest;
        job_.ending = ReadToEnd(socket, rest);
        if (!rest.empty()) {
            job_.faults.push_back("bytes after the control file");
        }
    }

    bool ReceiveFile(asio::ip::tcp::socket& socket, const std::string& line) {
        const std::size_t space = line.find(' ');
        const bool isData = line[0] == '\x03';
        if ((line[0] != '\x02' && !isData) || space == std::string::npos ||
            line.find_first_not_of("0123456789", 1) != space) {
            job_.faults.push_back("subcommand line: " + line);
            return false;
        }
        (isData ? job_.dataName : job_.controlName) = line.substr(space + 1);
        if (!Answer(socket, isData ? Step::DataFile : Step::ControlFile)) {
            return false;
        }
        std::string contents(std::stoull(line.substr(1, space - 1)) + 1, '\0');
        std::error_code error;
        asio::read(socket, asio::buffer(contents), error);
        if (error || contents.back() != '\0') {
            job_.faults.push_back("file not followed by its count of bytes and a 0 byte");
            return false;
        }
        contents.pop_back();
        (isData ? job_.data : job_.control) = std::move(contents);
        return Answer(socket, isData ? Step::Data : Step::ControlContents);
    }

    bool ReadLine(asio::ip::tcp::socket& socket, std::string& line) {
        line.clear();
        char c = 0;
        std::error_code error;
        while (asio::read(socket, asio::buffer(&c, 1), error) == 1 && c != '\n') {
            line += c;
        }
        if (error) {
            job_.ending = error == asio::error::eof ? "eof" : "reset";
            return false;
        }
        return !line.empty();
    }

    bool Answer(asio::ip::tcp::socket& socket, Step step) {
        if (step != at_) {
            asio::write(socket, asio::buffer("\0", 1));
            return true;
        }
        if (answer_ >= 0) {
            const char code = static_cast<char>(answer_);
            asio::write(socket, asio::buffer(&code, 1));
            std::string rest;
            job_.ending = ReadToEnd(socket, rest);
        }
        return false;
    }

    std::string queue_;
    Step at_;
    int answer_;
    ReceivedJob job_;
    LoopbackPeer peer_;
};

JobOptions QuickOptions(const std::string& title = "d") {
    JobOptions options;
    options.title = title;
    options.timeouts.connect = 2s;
    options.timeouts.stall = 1s;
    return options;
}

PrinterAddress AddressOf(const StrictReceiver& server) {
    return *PrinterAddress::Parse(server.Address()).address;
}

std::string Failure(const JobResult& result) {
    return result.failure ? result.failure->what() : "";
}

TEST(LpdBackendTest, ServerReceivesDataByteExactWithARawControlFile) {
    StrictReceiver server("raw_queue");
    LpdBackend backend(AddressOf(server), QuickOptions("Labels 7"));
    std::string nulRich(300000, '\0');
    nulRich.replace(1000, 256, AllByteValues());
    const std::string data = AllByteValues() + nulRich + "\r\n\x1b";

    const JobResult result = SendJob(backend, data, 4096);
    ASSERT_TRUE(result.Sent()) << Failure(result);
    const ReceivedJob& job = server.Job();

    EXPECT_TRUE(job.faults.empty()) << job.faults.front();
    EXPECT_EQ(job.ending, "eof");
    EXPECT_TRUE(job.data == data);
    // This host in H and in both file names; the data file printed raw (l) and removed (U).
    const std::regex controlFile("H([^\\n]{1,31})\\nP[^\\n]{1,31}\\nJLabels 7\\n"
                                 "l(dfA\\d{3}\\1)\\nU\\2\\nNLabels 7\\n");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(job.control, match, controlFile)) << job.control;
    EXPECT_EQ(job.dataName, match[2]);
    EXPECT_EQ(job.controlName, "cfA" + job.dataName.substr(3));
    EXPECT_EQ(std::stoi(job.dataName.substr(3, 3)), result.jobId);
}

TEST(LpdBackendTest, A64MiBJobArrivesWhole) {
    StrictReceiver server("raw_queue");
    JobOptions options = QuickOptions("Big");
    options.timeouts.stall = 10s;
    LpdBackend backend(AddressOf(server), options);
    const std::string data = PatternBytes(64 << 20);

    const JobResult result = SendJob(backend, data, 1 << 20);
    ASSERT_TRUE(result.Sent()) << Failure(result);
    const ReceivedJob& job = server.Job();
    EXPECT_TRUE(job.faults.empty()) << job.faults.front();
    EXPECT_TRUE(job.data == data);
}

// Servers that refuse or drop the job at one step: the job fails, says which step and
// why, and is cut off without its last acknowledgement.
TEST(LpdBackendTest, RefusedOrDroppedStepFailsTheJob) {
    const struct {
        Step at;
        int answer;
        std::vector<const char*> expected;
    } cases[] = {
        {Step::Connect, -1, {"refused the job; it may accept only privileged source ports"}},
        {Step::ReceiveJob, 1, {"refused the job (code 1)", "privileged source ports (below 1024)"}},
        {Step::DataFile, -1, {"closed the connection instead of acknowledging the data file"}},
        {Step::Data, 2, {"refused the data (code 2)", "; 5 bytes had reached the printer"}},
        {Step::ControlFile, 1, {"refused the control file (code 1)"}},
        {Step::ControlContents, 3, {"refused the control file's contents (code 3)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected.front());
        StrictReceiver server("q", c.at, c.answer);
        LpdBackend backend(AddressOf(server), QuickOptions());

        const JobResult result = SendJob(backend, "hello", 5);
        const ReceivedJob& job = server.Job();

        EXPECT_TRUE(job.faults.empty()) << job.faults.front();
        ASSERT_TRUE(result.failure);
        EXPECT_EQ(result.failure->kind(), FailureKind::Refused);
        EXPECT_NE(Failure(result).find("Could not send the job to the LPD server at "
                                       "127.0.0.1 port " +
                                       server.Address().substr(16, 5)),
                  std::string::npos);
        for (const char* text : c.expected) {
            EXPECT_NE(Failure(result).find(text), std::string::npos) << Failure(result);
        }
        if (c.answer > 0) {
#ifdef _WIN32
            // Under wine an abortive close now and then reaches the peer as an orderly one
            // when other tests load the machine; the job still never counts as printed.
            EXPECT_TRUE(job.ending == "reset" || job.ending == "eof") << job.ending;
#else
            EXPECT_EQ(job.ending, "reset");
#endif
        }
    }
}

// The server is reached only once the job's length is known: a slow stream never holds
// an idle connection open.
TEST(LpdBackendTest, ServerIsReachedOnlyAfterTheStreamEnds) {
    StrictReceiver server("q");
    LpdBackend backend(AddressOf(server), QuickOptions());
    bool connectedEarly = true;

    const JobResult result = SendJob(backend, "spooled first", 4, [&] {
        std::this_thread::sleep_for(200ms);
        connectedEarly = server.Connected();
    });
    const ReceivedJob& job = server.Job();

    EXPECT_TRUE(result.Sent()) << Failure(result);
    EXPECT_FALSE(connectedEarly);
    EXPECT_EQ(job.data, "spooled first");
}

} // namespace
