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
          "\n  inspect [--commands] [--split DIR] [--json] [FILE]\n",
          "\n  --commands ",
          "\n  --split DIR ",
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

// inspect through the built binary: a PJL job around PCL and a ZPL label with a problem,
// summarised, listed command by command, as JSON, and split into parts that put together
// are the file.
TEST(CliBinaryTest, InspectTellsLanguagesCommandsAndSplitsJobs) {
    TempDir dir;
    const std::string uel = "\x1b%-12345X";
    const std::string job = uel +
                            "@PJL ENTER LANGUAGE=PCL\r\n\x1b"
                            "E\x1b&l1OHi\f" +
                            uel;
    const std::string label = "^XA^FO50,50^FDHi^FS^PQ2^XZ";
    WriteBytes(dir.File("two.prn"), job + job);
    WriteBytes(dir.File("bad.zpl"), label + "^XA^FO1,99999");

    const ProgramResult summary = Cli({"inspect", dir.File("two.prn")});
    EXPECT_EQ(summary.exitCode, 0) << summary.err;
    EXPECT_NE(summary.out.find("bytes 0-33\tPJL\n  bytes 34-43\tPCL 5\n"), std::string::npos)
        << summary.out;
    EXPECT_NE(summary.out.find("jobs: 2"), std::string::npos) << summary.out;

    const ProgramResult commands = Cli({"inspect", "--commands", "-"}, label + "^XA^FO1,99999");
    EXPECT_EQ(commands.exitCode, 1);
    EXPECT_NE(commands.out.find("3\t^FO50,50\tfield origin x=50 y=50\n"), std::string::npos)
        << commands.out;
    EXPECT_NE(commands.out.find("\tproblem: the label begun at offset 26 has no ^XZ"),
              std::string::npos)
        << commands.out;
    EXPECT_NE(commands.out.find("labels: 2 "), std::string::npos) << commands.out;

    // Images are counted with the size of their data.
    const ProgramResult bitmap =
        Cli({"inspect", "-"}, "SIZE 50 mm,30 mm\r\nCLS\r\nBITMAP 0,0,2,2,0,abcd\r\nPRINT 1\r\n");
    EXPECT_NE(bitmap.out.find("labels: 1 "), std::string::npos) << bitmap.out;
    EXPECT_NE(bitmap.out.find("images: 1 (4 bytes)"), std::string::npos) << bitmap.out;
    const ProgramResult counts =
        Cli({"inspect", "--json", "-"}, std::string("\x1b@\x1bt\x02"
                                                    "abc\n\x1dv0\x00\x01\x00\x02\x00\xff\xff",
                                                    19));
    EXPECT_NE(counts.out.find("\"imageBytes\":2,"), std::string::npos) << counts.out;
    EXPECT_NE(counts.out.find("\"codePages\":[{\"offset\":2,\"name\":\"PC850\"}]"),
              std::string::npos)
        << counts.out;

    const ProgramResult json = Cli({"inspect", "--json", "--commands", dir.File("bad.zpl")});
    EXPECT_EQ(json.exitCode, 1);
    EXPECT_EQ(json.out.rfind("{\"commands\":[{\"offset\":0,", 0), 0u) << json.out;
    EXPECT_NE(json.out.find("\"problemCount\":2,"), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"malformed\":true}\n"), std::string::npos) << json.out;

    const ProgramResult split = Cli({"inspect", "--split", dir.File("parts"), dir.File("two.prn")});
    EXPECT_EQ(split.exitCode, 0) << split.err;
    EXPECT_EQ(ReadBytes(dir.File("parts/part-000001.prn")), job);
    EXPECT_EQ(ReadBytes(dir.File("parts/part-000002.prn")), job);

    // Labels from standard input, each a part of its own.
    const ProgramResult labels =
        Cli({"inspect", "--split=" + dir.File("labels")}, label + "\r\n" + label);
    EXPECT_EQ(labels.exitCode, 0) << labels.err;
    EXPECT_EQ(ReadBytes(dir.File("labels/part-000001.prn")), label + "\r\n");
    EXPECT_EQ(ReadBytes(dir.File("labels/part-000002.prn")), label);

    const ProgramResult missing = Cli({"inspect", "--json", dir.File("none.prn")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(missing.err.find("none.prn"), std::string::npos) << missing.err;
}

} // namespace
