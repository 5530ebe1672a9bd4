#include "app/cli/cli_arguments.h"

#include <gtest/gtest.h>

namespace {

using CliArguments::Command;
using CliArguments::Parse;
using CliArguments::UsageError;
using Arguments = std::vector<std::string>;

TEST(CliArgumentsTest, PrinterOptionInEveryFormAndPlace) {
    for (const Arguments& line : {Arguments{"print", "-P", "Lab", "a.prn", "b.prn"},
                                  Arguments{"print", "-PLab", "a.prn", "b.prn"},
                                  Arguments{"print", "a.prn", "--printer", "Lab", "b.prn"},
                                  Arguments{"print", "a.prn", "b.prn", "--printer=Lab"}}) {
        const auto request = Parse(line);
        EXPECT_EQ(request.command, Command::Print);
        EXPECT_EQ(request.printer, "Lab");
        EXPECT_EQ(request.operands, (Arguments{"a.prn", "b.prn"}));
    }
    EXPECT_EQ(Parse({"print", "-P", "A", "-P", "B", "f"}).printer, "B");
    // lp's spelling.
    EXPECT_EQ(Parse({"print", "-d", "Lab", "f"}).printer, "Lab");
    EXPECT_EQ(Parse({"send", "-dLab", "<FF>"}).printer, "Lab");
    EXPECT_FALSE(Parse({"send", "<ESC>E"}).printer);
}

TEST(CliArgumentsTest, FormatAndTimeoutForPrinterAddresses) {
    const auto request =
        Parse({"print", "--format", "application/vnd.hp-pcl", "--timeout=2.5", "a.prn"});
    EXPECT_EQ(request.format, "application/vnd.hp-pcl");
    EXPECT_EQ(request.timeoutSeconds, 2.5);
    for (const Arguments& line :
         {Arguments{"send", "--format", "pcl", "x"}, Arguments{"send", "--format=a/b c", "x"},
          Arguments{"send", "--timeout", "0", "x"}, Arguments{"send", "--timeout", "-1", "x"},
          Arguments{"send", "--timeout", "ten", "x"}, Arguments{"send", "--timeout", "inf", "x"},
          Arguments{"show", "--timeout", "5"}, Arguments{"encode", "--format", "a/b"}}) {
        EXPECT_THROW(Parse(line), UsageError) << line[1] << " " << line[2];
    }
}

// --wait belongs to the commands that send; status asks about a printer, with a bound.
TEST(CliArgumentsTest, WaitAndStatus) {
    EXPECT_TRUE(Parse({"print", "a.prn", "--wait"}).wait);
    EXPECT_TRUE(Parse({"send", "--wait", "<FF>"}).wait);
    EXPECT_FALSE(Parse({"print", "a.prn"}).wait);
    const auto status = Parse({"status", "-P", "Lab", "--timeout", "3"});
    EXPECT_EQ(status.command, CliArguments::Command::Status);
    EXPECT_EQ(status.printer, "Lab");
    EXPECT_EQ(status.timeoutSeconds, 3);
    EXPECT_EQ(Parse({"list", "--timeout=4"}).timeoutSeconds, 4);
    for (const Arguments& line : {Arguments{"status", "--wait"}, Arguments{"status", "-t", "x"},
                                  Arguments{"status", "Lab"}, Arguments{"show", "--wait"}}) {
        EXPECT_THROW(Parse(line), UsageError) << line[1];
    }
}

TEST(CliArgumentsTest, TitleAndEncodingInEveryForm) {
    for (const Arguments& line : {Arguments{"send", "-t", "Label", "--encoding", "CP437", "x"},
                                  Arguments{"send", "-tLabel", "--encoding=ibm437", "x"},
                                  Arguments{"send", "x", "--title", "Label", "--encoding", "cp437"},
                                  Arguments{"send", "--title=Label", "x", "--encoding=cp437"}}) {
        const auto request = Parse(line);
        EXPECT_EQ(request.title, "Label");
        EXPECT_EQ(request.encoding, "cp437");
        EXPECT_EQ(request.operands, Arguments{"x"});
    }
    EXPECT_EQ(Parse({"show", "--encoding", "UTF8"}).encoding, "utf-8");
    EXPECT_EQ(Parse({"encode", "--encoding=windows-1252"}).encoding, "cp1252");
    EXPECT_EQ(Parse({"print", "-t", "Label", "-"}).title, "Label");
    EXPECT_FALSE(Parse({"print", "f"}).title);
    EXPECT_FALSE(Parse({"show"}).encoding);
}

TEST(CliArgumentsTest, QuietOnlyForTheCommandsThatSend) {
    EXPECT_TRUE(Parse({"print", "-q", "f"}).quiet);
    EXPECT_TRUE(Parse({"send", "x", "--quiet"}).quiet);
    EXPECT_FALSE(Parse({"print", "f"}).quiet);
    EXPECT_EQ(Parse({"print", "--", "-q"}).operands, Arguments{"-q"});
    EXPECT_THROW(Parse({"show", "-q"}), UsageError);
}

TEST(CliArgumentsTest, DoubleDashAndSingleDashMakeOperands) {
    EXPECT_EQ(Parse({"print", "--", "-P", "--help", "-x"}).operands,
              (Arguments{"-P", "--help", "-x"}));
    EXPECT_EQ(Parse({"send", "-"}).operands, Arguments{"-"});
    EXPECT_EQ(Parse({"send", "--", "-<ESC>"}).operands, Arguments{"-<ESC>"});
    EXPECT_EQ(Parse({"show", "-"}).operands, Arguments{"-"});
    EXPECT_TRUE(Parse({"encode"}).operands.empty());
}

TEST(CliArgumentsTest, CaptureListensWhereItIsToldAndTakesItsOptions) {
    using Protocol = CaptureOptions::Protocol;
    const auto request =
        Parse({"capture", "--socket", "9100", "--lpd=0.0.0.0:515", "--socket", "[::1]:0", "--dir",
               "jobs", "--max-size", "2M", "--timeout", "1.5", "--show"});
    EXPECT_EQ(request.command, Command::Capture);
    const auto& endpoints = request.capture.endpoints;
    ASSERT_EQ(endpoints.size(), 3u);
    const struct {
        Protocol protocol;
        const char* address;
        std::uint16_t port;
    } expected[] = {{Protocol::Socket, "127.0.0.1", 9100},
                    {Protocol::Lpd, "0.0.0.0", 515},
                    {Protocol::Socket, "::1", 0}};
    for (std::size_t i = 0; i < endpoints.size(); ++i) {
        EXPECT_EQ(endpoints[i].protocol, expected[i].protocol) << i;
        EXPECT_EQ(endpoints[i].address, expected[i].address) << i;
        EXPECT_EQ(endpoints[i].port, expected[i].port) << i;
    }
    EXPECT_EQ(request.capture.dir, "jobs");
    EXPECT_EQ(request.capture.maxSize, 2u << 20);
    EXPECT_EQ(request.timeoutSeconds, 1.5);
    EXPECT_EQ(request.capture.output, CliArguments::Request::Capture::Output::Show);
    EXPECT_EQ(Parse({"capture", "--max-size=3g"}).capture.maxSize, std::uint64_t{3} << 30);
    EXPECT_EQ(Parse({"capture", "--max-size=100"}).capture.maxSize, 100u);
    EXPECT_TRUE(Parse({"capture"}).capture.endpoints.empty());
    EXPECT_FALSE(Parse({"capture"}).capture.emulation.language);
    const Emulation emulation = Parse({"capture", "--emulate", "ZPL", "--state=paper-out", "--hold",
                                       "1.5", "--state-file", "state"})
                                    .capture.emulation;
    EXPECT_EQ(emulation.language, Emulation::Language::Zpl);
    EXPECT_EQ(emulation.state, Emulation::State::PaperOut);
    EXPECT_EQ(emulation.hold, std::chrono::milliseconds(1500));
    EXPECT_EQ(emulation.stateFile, "state");
    EXPECT_EQ(Parse({"capture", "--advertise", "Front Desk"}).capture.advertise, "Front Desk");
    EXPECT_FALSE(Parse({"capture"}).capture.advertise);
}

TEST(CliArgumentsTest, DiscoverAndJson) {
    const auto discover = Parse({"discover", "--json", "--snmp", "127.0.0.1/30", "--community", "c",
                                 "--snmp-port=1161", "--timeout", "1.5"});
    EXPECT_EQ(discover.command, Command::Discover);
    EXPECT_TRUE(discover.json);
    EXPECT_EQ(discover.snmpNetwork->Text(), "127.0.0.0/30");
    EXPECT_EQ(discover.community, "c");
    EXPECT_EQ(discover.snmpPort, 1161);
    EXPECT_EQ(discover.timeoutSeconds, 1.5);
    EXPECT_FALSE(Parse({"discover"}).snmpNetwork);
    EXPECT_TRUE(Parse({"list", "--json"}).json);
    EXPECT_TRUE(Parse({"status", "--json"}).json);
    EXPECT_FALSE(Parse({"status"}).json);
}

TEST(CliArgumentsTest, InspectTakesItsOptions) {
    const auto request = Parse({"inspect", "--split=out", "--commands", "--json", "-"});
    EXPECT_EQ(request.command, Command::Inspect);
    EXPECT_TRUE(request.inspect.commands);
    EXPECT_EQ(request.inspect.splitDir, "out");
    EXPECT_TRUE(request.json);
    EXPECT_EQ(request.operands, Arguments{"-"});
}

TEST(CliArgumentsTest, HelpAndVersionWinWherever) {
    EXPECT_EQ(Parse({"--help"}).command, Command::Help);
    EXPECT_EQ(Parse({"-h"}).command, Command::Help);
    EXPECT_EQ(Parse({"print", "--help"}).command, Command::Help);
    EXPECT_EQ(Parse({"--version"}).command, Command::Version);
    EXPECT_EQ(Parse({"list", "--version"}).command, Command::Version);
}

TEST(CliArgumentsTest, WrongCommandLinesSayWhatIsWrongAndHint) {
    const std::vector<std::pair<Arguments, std::string>> cases = {
        {{}, "no command given"},
        {{"frob"}, "unknown command 'frob'"},
        {{"-x"}, "unknown option '-x'"},
        {{"print"}, "no file to print"},
        {{"print", "-P"}, "option -P needs a printer name"},
        {{"print", "--printer"}, "option --printer needs a printer name"},
        {{"print", "-P", "", "f"}, "the printer name is empty"},
        {{"print", "--frob", "f"}, "unknown option '--frob'"},
        {{"send"}, "no codes to send"},
        {{"send", "<ESC>", "E"},
         "too many arguments for 'send': 'E' (quote the codes as one argument)"},
        {{"list", "extra"}, "too many arguments for 'list': 'extra'"},
        {{"show", "a", "b"}, "too many arguments for 'show': 'b'"},
        {{"encode", "-P", "Lab"}, "'encode' sends nothing and takes no printer"},
        {{"list", "-PLab"}, "'list' sends nothing and takes no printer"},
        {{"show", "-d", "Lab"}, "'show' sends nothing and takes no printer"},
        {{"print", "-d"}, "option -d needs a printer name"},
        {{"print", "-t"}, "option -t needs a job title"},
        {{"send", "--title=", "x"}, "the job title is empty"},
        {{"encode", "-t", "x"}, "'encode' sends nothing and takes no job title"},
        {{"send", "--encoding"}, "option --encoding needs an encoding name"},
        {{"send", "--encoding", "latin1", "x"},
         "unknown encoding 'latin1' (cp1252, cp437, cp850 or utf-8)"},
        {{"print", "--encoding=cp437", "f"}, "'print' converts no text and takes no encoding"},
        {{"send", "-x", "f"}, "unknown option '-x'"},
        {{"print", "--socket", "9100", "f"}, "option --socket is for 'capture' only"},
        {{"send", "--show", "x"}, "option --show is for 'capture' only"},
        {{"capture", "--show", "--quiet"}, "--show and --quiet exclude each other"},
        {{"capture", "x"}, "too many arguments for 'capture': 'x'"},
        {{"capture", "--dir="}, "the folder name is empty"},
        {{"capture", "--emulate", "epl"}, "unknown printer language 'epl' (escpos, zpl or pjl)"},
        {{"capture", "--emulate=pjl", "--state", "jammed"},
         "unknown printer state 'jammed' (ready, paper-out, cover-open, paused or offline)"},
        {{"capture", "--hold", "1", "--state", "ready"}, "option --hold needs --emulate"},
        {{"print", "--emulate", "pjl", "f"}, "option --emulate is for 'capture' only"},
        {{"print", "--advertise", "x", "f"}, "option --advertise is for 'capture' only"},
        {{"capture", "--advertise", std::string(64, 'x')},
         "the name to advertise must be 1 to 63 bytes, without control characters"},
        {{"capture", "--advertise=a\nb"},
         "the name to advertise must be 1 to 63 bytes, without control characters"},
        {{"print", "--json", "f"},
         "'print' takes no --json (list, status, discover and inspect do)"},
        {{"discover", "--snmp", "10.0.0.0/8"},
         "'10.0.0.0/8' is too large a network to ask every address of: at most /22 (1024 "
         "addresses)"},
        {{"discover", "--snmp", "printers"},
         "'printers' is not an IPv4 network such as 192.168.1.0/24 or an address"},
        {{"discover", "--community", "c"}, "option --community needs --snmp NETWORK"},
        {{"status", "--snmp", "127.0.0.1"}, "'status' asks one printer; discover asks a network"},
        {{"list", "--snmp", "127.0.0.1"}, "'list' asks no SNMP agent; only status and discover do"},
        {{"discover", "-P", "Lab"}, "'discover' sends nothing and takes no printer"},
        {{"discover", "Lab"}, "too many arguments for 'discover': 'Lab'"},
        {{"show", "--commands"}, "option --commands is for 'inspect' only"},
        {{"capture", "--split", "d"}, "option --split is for 'inspect' only"},
        {{"inspect", "--split="}, "the folder name is empty"},
        {{"inspect", "a", "b"}, "too many arguments for 'inspect': 'b'"},
    };
    for (const char* listen : {"", "65536", "x", "-1", "1.2.3:9100", "256.0.0.1:9100", "::1:9100",
                               "[::1]", "[127.0.0.1]:9100", "host:9100", ":9100"}) {
        EXPECT_THROW(Parse({"capture", "--lpd", listen}), UsageError) << listen;
    }
    for (const char* hold : {"", "-1", "x", "1s", "86401", "nan", "inf"}) {
        EXPECT_THROW(Parse({"capture", "--emulate", "pjl", "--hold", hold}), UsageError) << hold;
    }
    for (const char* size : {"0", "1T", "K", "-5", "1.5G", "99999999999999G"}) {
        EXPECT_THROW(Parse({"capture", "--max-size", size}), UsageError) << size;
    }
    for (const auto& [line, message] : cases) {
        try {
            Parse(line);
            ADD_FAILURE() << "accepted: " << message;
        } catch (const UsageError& error) {
            EXPECT_EQ(error.what(), message);
            EXPECT_FALSE(error.Hint().empty());
            EXPECT_EQ(error.Hint().find('\n'), std::string::npos) << error.Hint();
        }
    }
}

} // namespace
