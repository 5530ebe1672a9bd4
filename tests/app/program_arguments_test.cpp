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

// Texts of the printer addresses a line gives.
Line PrinterTexts(const ProgramArguments& arguments) {
    Line texts;
    for (const PrinterAddress& address : arguments.PrinterAddresses()) {
        texts.push_back(address.Text());
    }
    return texts;
}

TEST(ProgramArgumentsTest, ReadsPrinterAddressesInEveryFormAndRefusesWhatIsNoAddress) {
    const std::string usage = ProgramArguments::Usage();
    const struct {
        Line line;
        Line printers;
        Line files;
        std::string complaint;
    } cases[] = {
        // Separate and joined, short and long, in order, repeats kept for the window.
        {{"-P", "socket://b", "--printer", "lpd://a/q", "x.prn", "--printer=ipp://h/p",
          "-Pfile:/dev/usb/lp0", "-P", "socket://b:9100"},
         {"socket://b:9100", "lpd://a:515/q", "ipp://h:631/p", "file:/dev/usb/lp0",
          "socket://b:9100"},
         {"x.prn"},
         ""},
        // The address is the next argument whatever it looks like.
        {{"-P", "--help"},
         {},
         {},
         "tolvenmark: \"--help\": -P takes a printer address; "
         "queues are listed already\n"},
        {{"--printer"}, {}, {}, "tolvenmark: option '--printer' needs a printer address\n" + usage},
        {{"-P", "Office"},
         {},
         {},
         "tolvenmark: \"Office\": -P takes a printer address; "
         "queues are listed already\n"},
        {{"--printer=socket://h:99999", "-P", "Office"},
         {},
         {},
         "tolvenmark: \"socket://h:99999\" is not a printer address: the port 99999 is out of "
         "range (1 to 65535).\n"},
        // The first fault in the line is the one said.
        {{"--frob", "-P", "Office"}, {}, {}, ProgramArguments::UnknownOptionMessage("--frob")},
        {{"--", "-P", "socket://b"}, {}, {"-P", "socket://b"}, ""},
    };
    for (const auto& c : cases) {
        const ProgramArguments arguments(c.line);
        SCOPED_TRACE(testing::PrintToString(c.line));
        EXPECT_EQ(PrinterTexts(arguments), c.printers);
        EXPECT_EQ(arguments.Files(), c.files);
        EXPECT_EQ(arguments.Complaint(), c.complaint);
    }
}

} // namespace
