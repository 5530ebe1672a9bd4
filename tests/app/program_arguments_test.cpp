// Reading the windowed program's command line.
#include "app/program_arguments.h"

#include <gtest/gtest.h>

namespace {

using Request = ProgramArguments::Request;
using Line = std::vector<std::string>;

TEST(ProgramArgumentsTest, ReadsRequestsOptionsAndFiles) {
    const struct {
        Line line;
        Request request;
        std::string unknownOption;
        Line files;
    } cases[] = {
        {{}, Request::Run, "", {}},
        // File names are bytes, whether or not they are text; order and repeats are kept.
        {{"b.prn", "caf\xE9.prn", "b.prn"}, Request::Run, "", {"b.prn", "caf\xE9.prn", "b.prn"}},
        // The first of help and version wins, even over an unknown option: before Qt has
        // taken out its own options (-style fusion), they look unknown here.
        {{"--version", "-h"}, Request::Version, "", {}},
        {{"-style", "fusion", "--help", "-v"}, Request::Help, "-style", {"fusion"}},
        // The first unknown option is the one named; combined letters are not taken apart.
        {{"-hv", "a.prn", "--frob"}, Request::Run, "-hv", {"a.prn"}},
        // After "--" everything is a file; a lone "-" is a file anywhere.
        {{"-", "--", "--help", "--", "-x"}, Request::Run, "", {"-", "--help", "--", "-x"}},
    };
    for (const auto& c : cases) {
        const ProgramArguments arguments(c.line);
        SCOPED_TRACE(testing::PrintToString(c.line));
        EXPECT_EQ(arguments.Requested(), c.request);
        EXPECT_EQ(arguments.UnknownOption(), c.unknownOption);
        EXPECT_EQ(arguments.Files(), c.files);
    }
}

TEST(ProgramArgumentsTest, ReadsPrinterAddressesAndRefusesWhatIsNoAddress) {
    const std::string queue = "\": -P takes a printer address; queues are listed already\n";
    const struct {
        Line line;
        Line printers; // as written out in full
        std::string complaint;
    } cases[] = {
        {{"-P", "socket://b", "--printer", "lpd://a/q", "--printer=file:/dev/lp0", "-Pipp://h/p"},
         {"socket://b:9100", "lpd://a:515/q", "file:/dev/lp0", "ipp://h:631/p"},
         ""},
        // The address is the next argument whatever it looks like.
        {{"-P", "--help"}, {}, "tolvenmark: \"--help" + queue},
        {{"--printer"},
         {},
         "tolvenmark: option '--printer' needs a printer address\n" + ProgramArguments::Usage()},
        // The first fault in the line is the one said.
        {{"-Psocket://h:0", "-P", "Office"},
         {},
         "tolvenmark: \"socket://h:0\" is not a printer address: the port 0 is out of range "
         "(1 to 65535).\n"},
        {{"--frob", "-P", "Office"}, {}, ProgramArguments::UnknownOptionMessage("--frob")},
    };
    for (const auto& c : cases) {
        const ProgramArguments arguments(c.line);
        Line printers;
        for (const PrinterAddress& address : arguments.PrinterAddresses()) {
            printers.push_back(address.Text());
        }
        EXPECT_EQ(printers, c.printers) << testing::PrintToString(c.line);
        EXPECT_EQ(arguments.Complaint(), c.complaint) << testing::PrintToString(c.line);
    }
}

} // namespace
