// The built tolvenmark-cli capture against senders of every kind: Tolvenmark's own direct
// printing, and plain connections that misbehave. After each bad sender a good job still
// arrives, and nothing is written outside the jobs folder.
#include "core/notation.h"
#include "core/safe_text.h"
#include "tests/support/capture_process.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_dir.h"

#include <asio/connect.hpp>
#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <asio/read.hpp>
#include <asio/write.hpp>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <regex>

namespace {

using namespace std::string_literals;
using asio::ip::tcp;

// A plain sender: a blocking connection made by the test itself.
class Sender {
public:
    explicit Sender(std::uint16_t port) : socket_(io_) {
        socket_.connect(tcp::endpoint(asio::ip::make_address("127.0.0.1"), port));
    }
    void Send(const std::string& bytes) { asio::write(socket_, asio::buffer(bytes)); }
    // The next byte the receiver answers, or -1 when it closed instead.
    int Answer() {
        unsigned char byte = 0;
        std::error_code error;
        asio::read(socket_, asio::buffer(&byte, 1), error);
        return error ? -1 : byte;
    }
    void Close() { socket_.close(); }

private:
    asio::io_context io_;
    tcp::socket socket_;
};

std::string PatternBytes(std::size_t count) {
    std::string bytes(count, '\0');
    std::uint32_t state = 12345;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 24);
    }
    return bytes;
}

// Only jobs (whole or partial) in the jobs folder, and only that folder and the
// outputs around it.
void ExpectNothingOutsideTheJobs(const CaptureProcess& capture) {
    for (const auto& entry : std::filesystem::directory_iterator(capture.Around().Path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "jobs" || name == "out" || name == "err") << name;
    }
    const std::regex job("job-[0-9]+\\.prn(\\.partial)?");
    for (const auto& entry : std::filesystem::directory_iterator(capture.JobsDir())) {
        EXPECT_TRUE(std::regex_match(entry.path().filename().string(), job)) << entry.path();
    }
}

// A label and a receipt that select their code pages, for capture --show's language line.
const std::string Label = "^XA^CI28^FDGr\xc3\xb6\xc3\x9f"
                          "e^FS^XZ";
const std::string Receipt = "\x1b@\x1bt\x13Gr\x94\xe1"
                            "e\n\x1dV0";

TEST(CaptureBinaryTest, TolvenmarksOwnDirectPrintingArrivesUnchanged) {
    CaptureProcess capture(TOLVENMARK_CLI, {"--show"});
    TempDir temp;
    const struct {
        std::string scheme;
        std::string bytes;
    } cases[] = {
        {"socket://127.0.0.1:" + std::to_string(capture.SocketPort()), AllByteValues()},
        {"lpd://127.0.0.1:" + std::to_string(capture.LpdPort()) + "/raw", AllByteValues()},
        {"socket://127.0.0.1:" + std::to_string(capture.SocketPort()), PatternBytes(64 << 20)},
        {"lpd://127.0.0.1:" + std::to_string(capture.LpdPort()) + "/raw", PatternBytes(64 << 20)},
        {"socket://127.0.0.1:" + std::to_string(capture.SocketPort()), Label},
        {"socket://127.0.0.1:" + std::to_string(capture.SocketPort()), Receipt},
    };
    int number = 0;
    for (const auto& c : cases) {
        WriteBytes(temp.File("job.prn"), c.bytes);
        const ProgramResult sent = RunProgram(
            TOLVENMARK_CLI, {"print", "-P", c.scheme, "-t", "Label\x1b[2J", temp.File("job.prn")});
        ASSERT_EQ(sent.exitCode, 0) << sent.err;
        ++number;
        EXPECT_EQ(capture.Job(number), c.bytes) << c.scheme;
        const std::string line = "job " + std::to_string(number) + " from 127.0.0.1:";
        ASSERT_TRUE(capture.WaitForOut(line)) << capture.Out();
    }
    const std::string out = capture.Out();
    EXPECT_NE(out.find("(LPD queue \"raw\", job \"Label[2J\", user \""), std::string::npos) << out;
    // The bytes show as tokens, and those that are no text as escapes: a sender's C1 CSI
    // (0x9b) never reaches the terminal.
    std::string shown = modTools::BytesToNotation(AllByteValues().substr(0, 128));
    for (int byte = 0x80; byte < 0xff; ++byte) {
        shown += {'\\', 'x', "0123456789abcdef"[byte >> 4], "0123456789abcdef"[byte & 15]};
    }
    EXPECT_NE(out.find(": 256 bytes -> " + capture.JobsDir() + "/job-1.prn\n" + shown + "<NPC>\n"),
              std::string::npos);
    // After each job's tokens, its languages and counts as inspect gives them.
    EXPECT_NE(out.find("\njob-5.prn: ZPL (bytes 0-" + std::to_string(Label.size() - 1) +
                       "), labels: 1, code pages: UTF-8 from offset 3\n"),
              std::string::npos)
        << out.substr(out.size() - 400);
    EXPECT_NE(out.find("\njob-6.prn: ESC/POS (bytes 0-" + std::to_string(Receipt.size() - 1) +
                       "), code pages: PC858 from offset 2\n"),
              std::string::npos);
    // Shown piece by piece, the bytes show as the whole would.
    EXPECT_NE(out.find(SafeText(modTools::BytesToNotation(PatternBytes(64 << 20)), WholeText)),
              std::string::npos);
    EXPECT_EQ(capture.Stop(), 0);
    ExpectNothingOutsideTheJobs(capture);
}

TEST(CaptureBinaryTest, BadSendersNeverEndTheListenerNorMakeWholeJobs) {
    CaptureProcess capture(TOLVENMARK_CLI, {"--timeout", "1", "--max-size", "1K"});
    const std::uint16_t socket = capture.SocketPort();
    const std::uint16_t lpd = capture.LpdPort();
    const struct {
        const char* what;
        std::function<void()> send;
        std::string partial; // what is kept as .partial, if anything
        const char* said;    // on standard error
    } cases[] = {
        {"sends nothing", [&] { Sender(socket).Close(); }, "", nullptr},
        {"half an LPD conversation, then silence",
         [&] {
             Sender sender(lpd);
             sender.Send("\x02q\n\x03"
                         "100 dfA001h\n");
             ASSERT_EQ(sender.Answer(), 0);
             ASSERT_EQ(sender.Answer(), 0);
             sender.Send("half");
             ASSERT_EQ(sender.Answer(), -1) << "not dropped";
         },
         "half", "cut off after 4 bytes: no byte for 1 s"},
        {"an LPD file name that is a path",
         [&] {
             Sender sender(lpd);
             sender.Send("\x02q\n");
             ASSERT_EQ(sender.Answer(), 0);
             sender.Send("\x03"
                         "4 ../../escaped\n");
             EXPECT_EQ(sender.Answer(), 1);
         },
         "", "a malformed file announcement"},
        {"more than --max-size",
         [&] {
             Sender sender(socket);
             sender.Send(std::string(1024, 'x'));
             sender.Send(std::string(4096, 'y'));
         },
         std::string(1024, 'x'), "cut off after 1024 bytes: larger than"},
    };
    int number = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.send();
        if (!c.partial.empty()) {
            ++number;
            EXPECT_EQ(capture.Job(number, ".prn.partial"), c.partial);
        }
        if (c.said != nullptr) {
            EXPECT_TRUE(capture.WaitForErr(c.said)) << capture.Err();
        }
        Sender good(socket);
        good.Send("good");
        good.Close();
        ++number;
        EXPECT_EQ(capture.Job(number), "good");
    }
    EXPECT_FALSE(std::filesystem::exists(capture.Around().File("escaped")));
    EXPECT_EQ(capture.Stop(), 0);
    ExpectNothingOutsideTheJobs(capture);
}

TEST(CaptureBinaryTest, TwoSendersAtOnceMakeTwoSeparateJobs) {
    CaptureProcess capture(TOLVENMARK_CLI, {"--quiet"});
    Sender first(capture.SocketPort());
    Sender second(capture.SocketPort());
    for (int round = 0; round < 50; ++round) {
        first.Send(std::string(1000, 'A'));
        second.Send(std::string(1000, 'B'));
    }
    second.Close();
    first.Close();
    const std::optional<std::string> one = capture.Job(1);
    const std::optional<std::string> two = capture.Job(2);
    ASSERT_TRUE(one && two);
    const std::string as(50000, 'A');
    const std::string bs(50000, 'B');
    EXPECT_TRUE((*one == as && *two == bs) || (*one == bs && *two == as));
    EXPECT_EQ(capture.Stop(), 0);
    EXPECT_EQ(capture.Out(), "");
}

// A receive-job may carry several jobs, control file first or last: each is a file of its
// own, under its own names.
TEST(CaptureBinaryTest, EachJobOfAnLpdConversationIsAFileOfItsOwn) {
    CaptureProcess capture(TOLVENMARK_CLI);
    const auto file = [](char code, const std::string& name, const std::string& bytes) {
        return code + std::to_string(bytes.size()) + " " + name + "host\n" + bytes + '\0';
    };
    const auto control = [](const std::string& job) { return "Hhost\nPann\nJ" + job + "\n"; };
    Sender sender(capture.LpdPort());
    sender.Send("\x02q\n" + file('\x02', "cfA001", control("one")) +
                file('\x03', "dfA001", "first") + file('\x03', "dfA002", "second") +
                file('\x02', "cfA002", control("two")));
    for (int answer = 0; answer < 9; ++answer) {
        ASSERT_EQ(sender.Answer(), 0) << answer;
    }
    sender.Close();
    EXPECT_EQ(capture.Job(1), "first");
    EXPECT_EQ(capture.Job(2), "second");
    ASSERT_TRUE(capture.WaitForOut("job 2 from")) << capture.Out();
    EXPECT_TRUE(std::regex_search(capture.Out(), std::regex("job 1 from .*job \"one\"")));
    EXPECT_TRUE(std::regex_search(capture.Out(), std::regex("job 2 from .*job \"two\"")));
    EXPECT_EQ(capture.Stop(), 0);
}

// A job still arriving when the capture is told to stop is given a few seconds, then kept
// as .partial; the program ends as usual.
TEST(CaptureBinaryTest, StoppingCutsOffTheJobInProgress) {
    CaptureProcess capture(TOLVENMARK_CLI);
    Sender sender(capture.SocketPort());
    sender.Send("abc");
    ASSERT_TRUE(capture.Job(1, ".prn.incoming"));
    EXPECT_EQ(capture.Stop(), 0);
    EXPECT_EQ(ReadBytes(capture.JobsDir() + "/job-1.prn.partial"), "abc");
    EXPECT_NE(capture.Err().find("stopped before the job was whole"), std::string::npos);
}

} // namespace
