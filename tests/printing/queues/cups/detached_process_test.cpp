#include "printing/queues/cups/detached_process.h"
#include "tests/support/temp_dir.h"

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>

namespace {

namespace fs = std::filesystem;

// True when this process has no child at all, running or zombie.
bool HasNoChildren() {
    int status = 0;
    return ::waitpid(-1, &status, WNOHANG) == -1 && errno == ECHILD;
}

std::string WaitForFile(const std::string& path) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!fs::exists(path) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return fs::exists(path) ? ReadBytes(path) : std::string("(never written)");
}

void MakeExecutable(const std::string& path, const std::string& content) {
    WriteBytes(path, content);
    fs::permissions(path, fs::perms::owner_all);
}

TEST(DetachedProcessTest, StartedProgramReportsTrueAndLeavesNoChildBehind) {
    ASSERT_TRUE(HasNoChildren());
    EXPECT_TRUE(DetachedProcess::Start({"true"}));
    EXPECT_TRUE(DetachedProcess::Start({"/bin/true"}));
    // Even a program that is still running is no child of ours.
    EXPECT_TRUE(DetachedProcess::Start({"sleep", "2"}));
    EXPECT_TRUE(HasNoChildren());
}

TEST(DetachedProcessTest, ProgramsThatCannotBeExecutedReportFalse) {
    TempDir dir;
    const std::string notExecutable = dir.File("plain");
    WriteBytes(notExecutable, "#!/bin/sh\nexit 0\n");
    // Executable but of no format the system runs: it must not be handed to a shell.
    const std::string noFormat = dir.File("garbage");
    MakeExecutable(noFormat, std::string("\x01\x02\x03 echo started > ") + dir.File("ran"));

    EXPECT_FALSE(DetachedProcess::Start({}));
    EXPECT_FALSE(DetachedProcess::Start({"tolvenmark-no-such-program"}));
    EXPECT_FALSE(DetachedProcess::Start({dir.File("missing")}));
    EXPECT_FALSE(DetachedProcess::Start({notExecutable}));
    EXPECT_FALSE(DetachedProcess::Start({dir.Path().string()}));
    EXPECT_FALSE(DetachedProcess::Start({noFormat}));
    EXPECT_TRUE(HasNoChildren());
    EXPECT_FALSE(fs::exists(dir.File("ran")));
}

TEST(DetachedProcessTest, EveryArgumentArrivesWholeAndUninterpreted) {
    TempDir dir;
    const std::string script = dir.File("record-arguments");
    // Writes each argument after the first, NUL-terminated, then moves the record into
    // place so that the test never reads half of it.
    MakeExecutable(script, "#!/bin/sh\n"
                           "out=$1\nshift\n"
                           "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"$out.tmp\"\n"
                           "mv \"$out.tmp\" \"$out\"\n");
    const std::string record = dir.File("record");
    const std::vector<std::string> arguments = {"Office Laser",
                                                "Tom's \"big\" printer",
                                                "a&b",
                                                "a|b",
                                                "a;b",
                                                "$(touch " + dir.File("x") + ")",
                                                "`id`",
                                                "*",
                                                "~",
                                                "",
                                                "line\nbreak",
                                                "\xE9\xFF",
                                                "--configure-printer"};
    std::vector<std::string> command = {script, record};
    command.insert(command.end(), arguments.begin(), arguments.end());

    ASSERT_TRUE(DetachedProcess::Start(command));

    std::string expected;
    for (const std::string& argument : arguments) {
        expected += argument;
        expected += '\0';
    }
    EXPECT_EQ(WaitForFile(record), expected);
    EXPECT_FALSE(fs::exists(dir.File("x")));
}

} // namespace
