// Reading the windowed program's command line.
#include "app/program_arguments.h"

#include <gtest/gtest.h>

namespace {

using Request = ProgramArguments::Request;
using Lines = std::vector<std::string>;

struct Case {
    Lines line;
    Request request;
    std::string unknownOption;
    Lines files;
};

TEST(ProgramArgumentsTest, ReadsRequestsOptionsAndFiles) {
    const Case cases[] = {
        {{}, Request::Run, "", {}},
        {{"b.prn", "/data/a.pcl", "b.prn"}, Request::Run, "", {"b.prn", "/data/a.pcl", "b.prn"}},
        // File names are bytes, whether or not they are text.
        {{"caf\xE9.prn"}, Request::Run, "", {"caf\xE9.prn"}},
        {{"-h"}, Request::Help, "", {}},
        {{"a.prn", "--help"}, Request::Help, "", {"a.prn"}},
        {{"-v"}, Request::Version, "", {}},
        {{"--version"}, Request::Version, "", {}},
        // The first of help and version wins.
        {{"--version", "-h"}, Request::Version, "", {}},
        {{"-h", "--version"}, Request::Help, "", {}},
        // The first unknown option is the one named; what follows still counts.
        {{"--frob", "a.prn", "-x"}, Request::Run, "--frob", {"a.prn"}},
        {{"-hv"}, Request::Run, "-hv", {}},
        {{"--help=all"}, Request::Run, "--help=all", {}},
        // An option of Qt's, read before Qt took it out, does not hide help.
        {{"-style", "fusion", "--help"}, Request::Help, "-style", {"fusion"}},
        // After "--" everything is a file; a lone "-" is a file anywhere.
        {{"-", "--", "--help", "-v", "--", "-x"},
         Request::Run,
         "",
         {"-", "--help", "-v", "--", "-x"}},
    };
    for (const Case& c : cases) {
        const ProgramArguments arguments(c.line);
        SCOPED_TRACE(testing::PrintToString(c.line));
        EXPECT_EQ(arguments.Requested(), c.request);
        EXPECT_EQ(arguments.UnknownOption(), c.unknownOption);
        EXPECT_EQ(arguments.Files(), c.files);
    }
}

TEST(ProgramArgumentsTest, VersionLineNamesTheBuildsVersion) {
    EXPECT_EQ(ProgramArguments::VersionLine(), "Tolvenmark " TOLVENMARK_PROJECT_VERSION "\n");
}

} // namespace
