// The built program as a user starts it from a shell, with no display of any kind: help,
// version and wrong options are answered on the standard streams, without a window.
#include "app/program_arguments.h"
#include "tests/support/program_run.h"
#include "tests/support/scoped_environment.h"

#include <gtest/gtest.h>

namespace {

class ProgramWithoutDisplayTest : public testing::Test {
protected:
    ScopedEnvironment display{"DISPLAY", nullptr};
    ScopedEnvironment wayland{"WAYLAND_DISPLAY", nullptr};
    ScopedEnvironment platform{"QT_QPA_PLATFORM", nullptr};
};

TEST_F(ProgramWithoutDisplayTest, HelpAndVersionPrintAndExitZero) {
    const std::string version = "Tolvenmark " TOLVENMARK_PROJECT_VERSION "\n";
    const std::string usage = ProgramArguments::Usage();
    ASSERT_EQ(usage.rfind("Usage: tolvenmark [--help] [--version] [-P ADDRESS]... [FILE...]\n", 0),
              0u);
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--version"}, version},
        {{"-v", "a.prn"}, version},
        {{"--help"}, usage},
        {{"-platform", "xcb", "-h"}, usage}};
    for (const auto& [line, out] : cases) {
        const ProgramResult result = RunProgram(TOLVENMARK_PROGRAM, line);
        SCOPED_TRACE(testing::PrintToString(line));
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.out, out);
        EXPECT_EQ(result.err, "");
    }
}

// Qt takes its own options first (here the platform to use without a display), so only an
// option that is neither Qt's nor the program's is refused, before any window shows.
TEST_F(ProgramWithoutDisplayTest, UnknownOptionIsNamedWithTheUsageAndExitsTwo) {
    const ProgramResult result =
        RunProgram(TOLVENMARK_PROGRAM, {"-platform", "offscreen", "a.prn", "--frob", "-x"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "");
    // Qt may first say something about its own set-up; the complaint ends the output.
    EXPECT_TRUE(
        result.err.ends_with("tolvenmark: unknown option '--frob'\n" + ProgramArguments::Usage()))
        << result.err;
}

} // namespace
