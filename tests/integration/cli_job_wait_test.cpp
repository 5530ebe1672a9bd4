// The built tolvenmark-cli following its jobs in the private scheduler (--wait, status),
// and bounding its waits on a scheduler that takes the connection and never answers.
#include "tests/support/private_spooler.h"
#include "tests/support/program_run.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_dir.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <regex>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using PrivateSpooler::ScopedCaptureQueue;

ProgramResult Cli(const std::vector<std::string>& arguments) {
    return RunProgram(TOLVENMARK_CLI, arguments);
}

class CliJobWaitTest : public PrivateSpoolerTest {};

// The exit status says whether the job completed; any other end is named with its state
// and why.
TEST_F(CliJobWaitTest, WaitExitsZeroOnlyForACompletedJob) {
    struct Case {
        const char* queue;
        const char* query; // nullptr: the shared queue that prints
        int exitCode;
        const char* err; // a pattern of standard error
    };
    const Case cases[] = {
        {PrivateSpooler::SecondQueue, nullptr, 0, ""},
        {"TM_Wait_Fail", "mode=fail", 1, "tolvenmark-cli: TM_Wait_Fail-[0-9]+: aborted: .+\n"},
        {"TM_Wait_Stop", "mode=stop&message=Printer+not+connected.", 1,
         "tolvenmark-cli: TM_Wait_Stop-[0-9]+: stopped: Printer not connected\\.\n"},
        {"TM_Wait_Hold", "mode=hold", 1, "tolvenmark-cli: TM_Wait_Hold-[0-9]+: held.*\n"},
    };
    for (const Case& c : cases) {
        std::optional<ScopedCaptureQueue> queue;
        if (c.query) {
            queue.emplace(c.queue, c.query);
            ASSERT_TRUE(queue->Made()) << c.queue;
        }
        const ProgramResult result = Cli({"send", "--wait", "-P", c.queue, "<ESC>E"});
        EXPECT_EQ(result.exitCode, c.exitCode) << c.queue << ": " << result.err;
        EXPECT_TRUE(std::regex_match(result.err, std::regex(c.err)))
            << c.queue << ": " << result.err;
        EXPECT_TRUE(result.out.starts_with(std::string("request id is ") + c.queue + "-"))
            << result.out;
    }
}

TEST_F(CliJobWaitTest, StatusShowsTheStoppedPrinterAndItsWaitingJob) {
    const ScopedCaptureQueue queue("TM_Status_Stop", "mode=stop&message=Printer+not+connected.");
    ASSERT_TRUE(queue.Made());
    const ProgramResult sent =
        Cli({"send", "--wait", "-P", queue.Name(), "-t", "Label 7", "<ESC>E"});
    ASSERT_EQ(sent.exitCode, 1) << sent.err;

    const ProgramResult status = Cli({"status", "-P", queue.Name()});
    EXPECT_EQ(status.exitCode, 0) << status.err;
    EXPECT_TRUE(std::regex_match(status.out,
                                 std::regex("TM_Status_Stop: stopped: Printer not connected\\.\n"
                                            "TM_Status_Stop-[0-9]+\tLabel 7\t[^\t\n]+\tpending\n")))
        << status.out;
}

// A loopback port that takes connections (the system completes them in the backlog) and
// never answers a byte.
class SilentScheduler {
public:
    SilentScheduler() {
        socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (socket_ < 0 || ::bind(socket_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(socket_, 16) != 0 ||
            ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            throw std::runtime_error("cannot listen on loopback");
        }
        server_ = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));
    }
    ~SilentScheduler() { ::close(socket_); }
    SilentScheduler(const SilentScheduler&) = delete;
    SilentScheduler& operator=(const SilentScheduler&) = delete;

    const std::string& Server() const { return server_; }

private:
    int socket_ = -1;
    std::string server_;
};

// Every command that asks the scheduler gives up within its time-out and says why; the
// ceiling only catches a wait that is not bounded at all.
TEST(CliSilentSchedulerTest, EveryCommandGivesUpWithinTheTimeout) {
    SilentScheduler scheduler;
    const ScopedEnvironment server("CUPS_SERVER", scheduler.Server().c_str());
    TempDir temp;
    WriteBytes(temp.File("job.prn"), "data");
    const std::string silent =
        "The print scheduler at " + scheduler.Server() + " did not answer within 2 s.";
    const std::vector<std::vector<std::string>> commands = {
        {"print", "--timeout", "2", "-P", "Mid_Queue", temp.File("job.prn")},
        {"list", "--timeout", "2"},
        {"status", "--timeout", "2", "-P", "Mid_Queue"},
    };
    for (const std::vector<std::string>& command : commands) {
        const auto started = std::chrono::steady_clock::now();
        const ProgramResult result = Cli(command);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(60))
            << command.front();
        EXPECT_EQ(result.exitCode, 1) << command.front();
        EXPECT_NE(result.err.find(silent), std::string::npos)
            << command.front() << ": " << result.err;
    }
}

} // namespace
