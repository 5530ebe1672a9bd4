// The built program as a user starts it from a shell: help, version and wrong options are
// answered on the standard streams, without a window.
#include "app/program_arguments.h"
#include "tests/support/program_run.h"
#include "tests/support/scoped_environment.h"

#include <gtest/gtest.h>

namespace {

ProgramResult Program(const std::vector<std::string>& arguments) {
    return RunProgram(TOLVENMARK_PROGRAM, arguments);
}

// No display of any kind: the answer must come before Qt would look for one.
class ProgramWithoutDisplayTest : public testing::Test {
protected:
    ScopedEnvironment display{"DISPLAY", nullptr};
    ScopedEnvironment wayland{"WAYLAND_DISPLAY", nullptr};
    ScopedEnvironment platform{"QT_QPA_PLATFORM", nullptr};
};

TEST_F(ProgramWithoutDisplayTest, HelpAndVersionPrintAndExitZero) {
    const struct {
        std::vector<std::string> line;
        std::string out;
    } cases[] = {
        {{"--version"}, "Tolvenmark " TOLVENMARK_PROJECT_VERSION "\n"},
        {{"-v", "a.prn"}, "Tolvenmark " TOLVENMARK_PROJECT_VERSION "\n"},
        {{"--help"}, ProgramArguments::Usage()},
        {{"-platform", "xcb", "-h"}, ProgramArguments::Usage()},
    };
    for (const auto& c : cases) {
        const ProgramResult result = Program(c.line);
        SCOPED_TRACE(testing::PrintToString(c.line));
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.out, c.out);
        EXPECT_EQ(result.err, "");
    }
    EXPECT_EQ(
        ProgramArguments::Usage().rfind("Usage: tolvenmark [--help] [--version] [FILE...]\n", 0),
        0u);
}

// Qt takes its own options first (here the platform, as there is no display), so only an
// option that is neither Qt's nor the program's is refused, before any window shows.
TEST_F(ProgramWithoutDisplayTest, UnknownOptionIsNamedWithTheUsageAndExitsTwo) {
    for (const std::vector<std::string>& line : std::vector<std::vector<std::string>>{
             {"-platform", "offscreen", "--frob"},
             {"-platform", "offscreen", "a.prn", "--frob", "-x"}}) {
        const ProgramResult result = Program(line);
        SCOPED_TRACE(testing::PrintToString(line));
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.out, "");
        // Qt may first say something about its own set-up; the complaint ends the output.
        const std::string complaint =
            "tolvenmark: unknown option '--frob'\n" + ProgramArguments::Usage();
        EXPECT_TRUE(result.err.ends_with(complaint)) << result.err;
    }
}

} // namespace
