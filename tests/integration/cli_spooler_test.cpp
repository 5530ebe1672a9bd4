// The built tolvenmark-cli against the private scheduler: the jobs it makes arrive byte
// for byte, and what it lists is what the scheduler reports.
#include "tests/support/private_spooler.h"
#include "tests/support/program_run.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_dir.h"

#include <chrono>
#include <csignal>
#include <cups/cups.h>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <regex>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

using PrivateSpooler::Admin;
using PrivateSpooler::CapturedBytes;
using PrivateSpooler::DefaultQueue;
using PrivateSpooler::SecondQueue;
using Lines = std::vector<std::string>;

ProgramResult Cli(const std::vector<std::string>& arguments, const std::string& input = {}) {
    return RunProgram(TOLVENMARK_CLI, arguments, input);
}

Lines SplitLines(const std::string& text) {
    Lines lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The job ids of lp-style "request id is QUEUE-N (...)" lines for the queue.
std::vector<int> JobIds(const std::string& out, const std::string& queue) {
    std::vector<int> ids;
    const std::regex line("request id is " + queue + "-([0-9]+) \\([01] file\\(s\\)\\)");
    for (const std::string& text : SplitLines(out)) {
        std::smatch match;
        if (std::regex_match(text, match, line)) {
            ids.push_back(std::stoi(match[1]));
        }
    }
    return ids;
}

class CliSpoolerTest : public PrivateSpoolerTest {
protected:
    void TearDown() override { Admin(std::string("lpadmin -d ") + DefaultQueue); }
};

TEST_F(CliSpoolerTest, PrintOfTwoFilesMakesTwoJobsWithTheExactBytesOnTheDefaultPrinter) {
    TempDir temp;
    const std::string first = AllByteValues() + std::string(1000, '\0') + "\r\n\x1A";
    const std::string second = "\x1B"
                               "E" +
                               std::string(70000, '\xFF') + AllByteValues();
    WriteBytes(temp.File("first.prn"), first);
    WriteBytes(temp.File("second file.pcl"), second);

    const ProgramResult result =
        Cli({"print", temp.File("first.prn"), temp.File("second file.pcl")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const std::vector<int> ids = JobIds(result.out, DefaultQueue);
    ASSERT_EQ(ids.size(), 2u) << result.out;
    EXPECT_EQ(CapturedBytes(ids[0]), first);
    EXPECT_EQ(CapturedBytes(ids[1]), second);
    for (const int id : ids) {
        EXPECT_EQ(PrivateSpooler::CapturedTitle(id), "Tolvenmark Document");
        EXPECT_EQ(PrivateSpooler::CapturedQueue(id), DefaultQueue);
    }
}

TEST_F(CliSpoolerTest, SendConvertsTheCodesFromTheArgumentAndFromStandardInput) {
    const ProgramResult fromArgument = Cli({"send", "-P", SecondQueue, "<ESC>E"});
    ASSERT_EQ(fromArgument.exitCode, 0) << fromArgument.err;
    const std::vector<int> ids = JobIds(fromArgument.out, SecondQueue);
    ASSERT_EQ(ids.size(), 1u) << fromArgument.out;
    EXPECT_EQ(CapturedBytes(ids[0]), std::string({27, 69}));
    EXPECT_EQ(PrivateSpooler::CapturedQueue(ids[0]), SecondQueue);

    const ProgramResult fromInput =
        Cli({"send", "--printer=" + std::string(SecondQueue), "-"}, "<ESC>&l1O<FF>\xFF\r\n");
    ASSERT_EQ(fromInput.exitCode, 0) << fromInput.err;
    const std::vector<int> inputIds = JobIds(fromInput.out, SecondQueue);
    ASSERT_EQ(inputIds.size(), 1u) << fromInput.out;
    EXPECT_EQ(CapturedBytes(inputIds[0]), "\x1B&l1O\f\xFF\r\n");
}

TEST_F(CliSpoolerTest, UnknownPrinterFailsEachJobAndNamesIt) {
    TempDir temp;
    WriteBytes(temp.File("a.prn"), "data");
    const int waiting = PrivateSpooler::ActiveJobs(DefaultQueue);
    const ProgramResult printed = Cli({"print", "-P", "No_Such_Queue", temp.File("a.prn")});
    EXPECT_EQ(printed.exitCode, 1);
    EXPECT_EQ(printed.out, "");
    EXPECT_NE(printed.err.find("No_Such_Queue"), std::string::npos) << printed.err;
    EXPECT_NE(printed.err.find(temp.File("a.prn")), std::string::npos) << printed.err;
    const ProgramResult sent = Cli({"send", "-PNo_Such_Queue", "<ESC>E"});
    EXPECT_EQ(sent.exitCode, 1);
    EXPECT_NE(sent.err.find("No_Such_Queue"), std::string::npos) << sent.err;
    EXPECT_EQ(PrivateSpooler::ActiveJobs(DefaultQueue), waiting);
}

TEST_F(CliSpoolerTest, ListIsWhatTheSchedulerReportsWithItsDefaultMarked) {
    ASSERT_TRUE(Admin(std::string("lpadmin -d ") + SecondQueue));
    const ProgramResult queues = RunProgram("lpstat", {"-e"});
    const ProgramResult defaultQueue = RunProgram("lpstat", {"-d"});
    ASSERT_EQ(queues.exitCode, 0) << queues.err;
    ASSERT_EQ(defaultQueue.out, "system default destination: " + std::string(SecondQueue) + "\n");

    Lines expected;
    for (const std::string& queue : SplitLines(queues.out)) {
        expected.push_back(queue == SecondQueue ? queue + " (default)" : queue);
    }
    const ProgramResult listed = Cli({"list"});
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(SplitLines(listed.out), expected);

    // LPDEST outranks the scheduler's default, for lpstat -d and for the list alike.
    const ScopedEnvironment lpdest("LPDEST", DefaultQueue);
    EXPECT_EQ(RunProgram("lpstat", {"-d"}).out,
              "system default destination: " + std::string(DefaultQueue) + "\n");
    EXPECT_EQ(SplitLines(Cli({"list"}).out),
              (Lines{DefaultQueue + std::string(" (default)"), SecondQueue}));
}

TEST_F(CliSpoolerTest, NoDefaultPrinterSendsNothing) {
    const int waiting = PrivateSpooler::ActiveJobs(DefaultQueue);
    const ScopedEnvironment lpdest("LPDEST", "No_Such_Queue");
    const ProgramResult result = Cli({"send", "<ESC>E"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("-P PRINTER"), std::string::npos) << result.err;
    EXPECT_EQ(PrivateSpooler::ActiveJobs(DefaultQueue), waiting);
}

// A label generator's output piped in: sent as it is read, under the title given, and
// arriving byte for byte however long it is.
TEST_F(CliSpoolerTest, StandardInputArrivesWholeUnderItsTitle) {
    std::mt19937 random(7);
    std::string input(1000000, '\0');
    for (char& byte : input) {
        byte = static_cast<char>(random());
    }
    const ProgramResult result = Cli({"print", "-d", DefaultQueue, "-t", "Label", "-"}, input);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<int> ids = JobIds(result.out, DefaultQueue);
    ASSERT_EQ(ids.size(), 1u) << result.out;
    const std::optional<std::string> captured = CapturedBytes(ids[0]);
    ASSERT_TRUE(captured);
    EXPECT_TRUE(*captured == input) << captured->size() << " bytes captured";
    EXPECT_EQ(PrivateSpooler::CapturedTitle(ids[0]), "Label");
}

// Process substitution hands the program a pipe by a /dev/fd name: read like standard input.
TEST_F(CliSpoolerTest, PipesNamedAsFilesArePrinted) {
    const ProgramResult result =
        RunProgram("bash", {"-c",
                            std::string("\"$0\" print -P ") + SecondQueue +
                                " <(printf 'A\\0\\r\\n\\377') - </dev/null",
                            TOLVENMARK_CLI});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "tolvenmark-cli: nothing to send: standard input is empty\n");
    const std::vector<int> ids = JobIds(result.out, SecondQueue);
    ASSERT_EQ(ids.size(), 1u) << result.out;
    EXPECT_EQ(CapturedBytes(ids[0]), std::string("A\0\r\n\xFF", 5));
}

// Job numbers follow one another, so a job made in between would show as a gap.
TEST_F(CliSpoolerTest, EmptyInputMakesNoJob) {
    TempDir temp;
    WriteBytes(temp.File("empty.prn"), "");
    const std::vector<int> before = JobIds(Cli({"send", "<ESC>"}).out, DefaultQueue);
    const ProgramResult empty = Cli({"print", "-", temp.File("empty.prn")});
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_EQ(empty.out, "");
    EXPECT_EQ(empty.err, "tolvenmark-cli: nothing to send: standard input is empty\n"
                         "tolvenmark-cli: nothing to send: " +
                             temp.File("empty.prn") + " is empty\n");
    const std::vector<int> after = JobIds(Cli({"send", "<ESC>"}).out, DefaultQueue);
    ASSERT_EQ(before.size(), 1u);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0], before[0] + 1);
}

TEST_F(CliSpoolerTest, SendWithAnEncodingSendsTheCodePagesBytes) {
    const ProgramResult result =
        Cli({"send", "--encoding", "cp1252", "-P", DefaultQueue, "-"}, "\u00E9\u20AC<CR>");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<int> ids = JobIds(result.out, DefaultQueue);
    ASSERT_EQ(ids.size(), 1u) << result.out;
    EXPECT_EQ(CapturedBytes(ids[0]), "\xE9\x80\r");
}

TEST_F(CliSpoolerTest, NoSchedulerIsNamedAsSuch) {
    TempDir temp;
    WriteBytes(temp.File("a.prn"), "data");
    const std::string nowhere = dir + "/nobody-listens.sock";
    const ScopedEnvironment server("CUPS_SERVER", nowhere.c_str());
    const std::string noAnswer = "No print scheduler answers at " + nowhere + ".";
    const ProgramResult named = Cli({"print", "-P", "Q", temp.File("a.prn")});
    EXPECT_EQ(named.exitCode, 1);
    EXPECT_EQ(named.err,
              "tolvenmark-cli: " + temp.File("a.prn") + ": not sent to Q: " + noAnswer + "\n");
    const ProgramResult sent = Cli({"send", "<ESC>E"});
    EXPECT_EQ(sent.exitCode, 1);
    EXPECT_EQ(sent.err, "tolvenmark-cli: cannot find the default printer: " + noAnswer + "\n");
}

// The newest job of the queue, finished or not, as the scheduler reports it.
std::optional<cups_job_t> NewestJob(const std::string& queue) {
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.c_str(), 0, CUPS_WHICHJOBS_ALL);
    std::optional<cups_job_t> newest;
    for (int i = 0; i < count; ++i) {
        if (!newest || jobs[i].id > newest->id) {
            newest = jobs[i];
        }
    }
    cupsFreeJobs(count, jobs);
    return newest;
}

// Ctrl+C while a program's output is still being piped in: the job is cancelled in the
// scheduler (not left pending, nothing of it printed), and the command says so and ends as
// a shell reports SIGINT.
TEST_F(CliSpoolerTest, InterruptWithdrawsTheJobFromTheScheduler) {
    TempDir temp;
    const int waiting = PrivateSpooler::ActiveJobs(DefaultQueue);
    int input[2];
    ASSERT_EQ(pipe(input), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], 0);
    posix_spawn_file_actions_addclose(&actions, input[1]);
    posix_spawn_file_actions_addopen(&actions, 1, temp.File("out").c_str(), O_WRONLY | O_CREAT,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, temp.File("err").c_str(), O_WRONLY | O_CREAT,
                                     0600);
    std::vector<std::string> arguments = {TOLVENMARK_CLI, "print", "-P", DefaultQueue, "-"};
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, TOLVENMARK_CLI, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(input[0]);
    ASSERT_EQ(spawned, 0);

    // More than one piece goes in, then the pipe stays open and quiet: the job is in the
    // scheduler, still receiving its document.
    const std::string piece(200000, 'x');
    EXPECT_EQ(write(input[1], piece.data(), piece.size()), static_cast<ssize_t>(piece.size()));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (PrivateSpooler::ActiveJobs(DefaultQueue) == waiting &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(PrivateSpooler::ActiveJobs(DefaultQueue), waiting + 1);
    kill(child, SIGINT);
    // A read that waits on through the signal would hold the program: it must end soon.
    int status = 0;
    pid_t reaped = 0;
    const auto ended = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while ((reaped = waitpid(child, &status, WNOHANG)) == 0 &&
           std::chrono::steady_clock::now() < ended) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (reaped == 0) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        ADD_FAILURE() << "still running 10 s after SIGINT";
    }
    close(input[1]);

    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 130);
    EXPECT_EQ(ReadBytes(temp.File("out")), "");
    EXPECT_EQ(ReadBytes(temp.File("err")), "tolvenmark-cli: interrupted: the job for standard "
                                           "input was withdrawn from " +
                                               std::string(DefaultQueue) + "\n");
    EXPECT_EQ(PrivateSpooler::ActiveJobs(DefaultQueue), waiting);
    const std::optional<cups_job_t> job = NewestJob(DefaultQueue);
    ASSERT_TRUE(job);
    EXPECT_EQ(job->state, IPP_JSTATE_CANCELED);
    EXPECT_FALSE(std::filesystem::exists(dir + "/out/job-" + std::to_string(job->id) + ".prn"));
}

} // namespace
