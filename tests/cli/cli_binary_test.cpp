// The built tolvenmark-cli as a user runs it: its exit status, and its standard streams
// carrying bytes unchanged. Nothing here needs a spooler.
#include "tests/support/program_run.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

// Messages are text: on Windows standard error keeps the system's CR LF line ends, while
// standard output carries bytes.
ProgramResult Cli(const std::vector<std::string>& arguments, const std::string& input = {}) {
    ProgramResult result = RunProgram(TOLVENMARK_CLI, arguments, input);
#ifdef _WIN32
    std::erase(result.err, '\r');
#endif
    return result;
}

TEST(CliBinaryTest, VersionComesFromTheBuild) {
    const ProgramResult result = Cli({"--version"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "tolvenmark-cli " TOLVENMARK_PROJECT_VERSION "\n");
    EXPECT_EQ(result.err, "");
}

// Every command and option is listed at the start of its own line, as a user scans for it.
TEST(CliBinaryTest, HelpListsEveryCommandAndOption) {
    const ProgramResult result = Cli({"--help"});
    EXPECT_EQ(result.exitCode, 0);
    for (const char* line :
         {"\n  list ",
          "\n  print [-P PRINTER] [-t TITLE] [--format MIME] [--timeout SECONDS] [--wait]\n"
          "        [--check] [--language L] [-q] FILE...\n",
          "\n  send [-P PRINTER] [-t TITLE] [--format MIME] [--timeout SECONDS] [--wait]\n"
          "       [--check] [--language L] [-q] [--encoding NAME] CODES\n",
          "\n  show [--encoding NAME] [FILE]\n",
          "\n  encode [--encoding NAME] [FILE]\n",
          "\n  status [-P PRINTER] [--timeout SECONDS] [--language L] [--community NAME]\n",
          "\n  --wait ",
          "\n  --check ",
          "\n  --language L ",
          "\n  --community NAME ",
          "\n  --snmp-port PORT ",
          "\n  -P, -d, --printer PRINTER ",
          "\n  -t, --title TITLE ",
          "\n  --encoding NAME ",
          "\n  --format MIME ",
          "\n  --timeout SECONDS ",
          "\n  -q, --quiet ",
          "\n  -- ",
          "\n  -h, --help ",
          "\n  --version "}) {
        EXPECT_NE(result.out.find(line), std::string::npos) << line << " missing in\n"
                                                            << result.out;
    }
}

TEST(CliBinaryTest, UsageErrorsExitTwoWithAMessageAndAHint) {
    for (const std::vector<std::string>& line :
         {std::vector<std::string>{}, {"frob"}, {"print"}, {"print", "--frob", "x"}, {"send"}}) {
        const ProgramResult result = Cli(line);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.rfind("tolvenmark-cli: ", 0), 0u) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 2) << result.err;
    }
    EXPECT_EQ(Cli({"frob"}).err, "tolvenmark-cli: unknown command 'frob'\n"
                                 "Try 'tolvenmark-cli --help' for more information.\n");
}

TEST(CliBinaryTest, ShowThenEncodeRoundTripsEveryByteThroughTheStandardStreams) {
    const ProgramResult shown = Cli({"show"}, AllByteValues());
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_EQ(shown.out.find('\x1B'), std::string::npos);
    const ProgramResult encoded = Cli({"encode", "-"}, shown.out);
    ASSERT_EQ(encoded.exitCode, 0) << encoded.err;
    EXPECT_EQ(encoded.out, AllByteValues());
}

TEST(CliBinaryTest, ShowThenEncodeOfFilesKeepsAllButTokenText) {
    TempDir dir;
    // Line ends of both kinds, a Ctrl-Z and NULs: nothing may be translated on the way.
    const std::string bytes =
        AllByteValues() + "\r\n\n\r\x1A" + std::string(4, '\0') + AllByteValues();
    WriteBytes(dir.File("all.prn"), bytes);
    const ProgramResult shown = Cli({"show", dir.File("all.prn")});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    WriteBytes(dir.File("all.txt"), shown.out);
    const ProgramResult encoded = Cli({"encode", dir.File("all.txt")});
    ASSERT_EQ(encoded.exitCode, 0) << encoded.err;
    EXPECT_EQ(encoded.out, bytes);

    // The text of a token is shown as it is, and so becomes its byte when encoded.
    WriteBytes(dir.File("token.txt"), "<ESC>E");
    const ProgramResult tokenShown = Cli({"show", dir.File("token.txt")});
    EXPECT_EQ(tokenShown.out, "<ESC>E");
    EXPECT_EQ(Cli({"encode"}, tokenShown.out).out, "\x1B"
                                                   "E");
}

// The terminal's UTF-8 to and from a code page's bytes, through the real standard streams.
TEST(CliBinaryTest, EncodingConvertsBetweenTerminalTextAndCodePageBytes) {
    const ProgramResult shown = Cli({"show", "--encoding", "cp437"}, "\xB3\xC4");
    EXPECT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_EQ(shown.out, "\u2502\u2500");
    const ProgramResult encoded = Cli({"encode", "--encoding=cp1252", "-"}, "\u00E9\u20AC<CR>");
    EXPECT_EQ(encoded.exitCode, 0) << encoded.err;
    EXPECT_EQ(encoded.out, "\xE9\x80\r");
}

} // namespace
