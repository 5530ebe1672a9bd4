#include "app/cli/cli_program.h"
#include "app/cli/interrupt_flag.h"
#include "core/file_error.h"
#include "printing/job/job_failure.h"
#include "tests/support/fake_printer_catalog.h"
#include "tests/support/recording_printers.h"
#include "tests/support/temp_dir.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sstream>

namespace {

using Arguments = std::vector<std::string>;

// Printers that refuse the write of one particular content and record everything. They
// can raise an interrupt flag at a given step, as a signal arriving then would.
class PickyPrinters final : public PrinterAccess {
public:
    RecordingPrinters recording;
    std::string refusedData = "refuse me";
    // What the printer says when it refuses.
    std::string refusal = "Write refused: printer on fire";

    // Raises the flag with the signal at the count-th call of the step.
    void RaiseAt(InterruptFlag& flag, int signal, const std::string& operation, std::size_t count) {
        interrupt_ = &flag;
        signal_ = signal;
        raiseAt_ = operation;
        raiseAtCount_ = count;
        heard_ = 0;
    }

    std::unique_ptr<PrinterBackend> Backend(const PrinterTarget& target,
                                            const JobOptions& options) override {
        return std::make_unique<Picky>(*this, recording.Backend(target, options));
    }
    PrinterAnswer Ask(const PrinterTarget& target, const JobOptions& options,
                      const std::atomic<bool>* stop) override {
        return recording.Ask(target, options, stop);
    }
    std::unique_ptr<JobMonitor> Monitor(const Timeouts& timeouts) override {
        return recording.Monitor(timeouts);
    }
    std::unique_ptr<PrinterCatalog> Catalog(const Timeouts& timeouts) override {
        return recording.Catalog(timeouts);
    }
    std::unique_ptr<PrinterFinder> Finder(const DiscoveryOptions& options) override {
        return recording.Finder(options);
    }

private:
    class Picky final : public PrinterBackend {
    public:
        Picky(PickyPrinters& owner, std::unique_ptr<PrinterBackend> inner)
            : owner_(owner), inner_(std::move(inner)) {}
        void Open(std::optional<std::uint64_t> length) override {
            inner_->Open(length);
            owner_.Hear("Open");
        }
        void Write(std::string_view data) override {
            inner_->Write(data);
            owner_.Hear("Write");
            if (data == owner_.refusedData) {
                throw JobFailure(FailureKind::Refused, owner_.refusal);
            }
        }
        void Finish() override {
            inner_->Finish();
            owner_.Hear("Finish");
        }
        void Abort() override { inner_->Abort(); }
        int JobId() const override { return inner_->JobId(); }

    private:
        PickyPrinters& owner_;
        std::unique_ptr<PrinterBackend> inner_;
    };

    void Hear(const std::string& operation) {
        if (interrupt_ != nullptr && operation == raiseAt_ && ++heard_ == raiseAtCount_) {
            interrupt_->Raise(signal_);
        }
    }

    InterruptFlag* interrupt_ = nullptr;
    int signal_ = 0;
    std::string raiseAt_;
    std::size_t raiseAtCount_ = 0;
    std::size_t heard_ = 0;
};

class CliProgramTest : public ::testing::Test {
protected:
    FakePrinterCatalog catalog;
    PickyPrinters printers;
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    TempDir dir;

    CliProgramTest() {
        catalog.names = {"Office", "LabelWriter", "Lab"};
        catalog.defaultName = "labelwriter";
        printers.recording.catalog = &catalog;
    }

    int Run(const Arguments& arguments, const std::string& input = {}) {
        in.str(input);
        in.clear();
        out.str({});
        err.str({});
        return CliProgram(printers, in, out, err).Run(arguments);
    }

    // Runs on a terminal, as it were: with an interrupt flag, which the printers raise at
    // the count-th call of the operation, and with progress drawn on a clock that moves a
    // second at each look, so that every piece is drawn.
    int RunWatched(const Arguments& arguments, const std::string& input = {},
                   const std::string& raiseAt = {}, std::size_t count = 1, int signal = SIGINT) {
        in.str(input);
        in.clear();
        out.str({});
        err.str({});
        printers.recording.Clear();
        printers.recording.catalog = &catalog;
        InterruptFlag interrupt;
        printers.RaiseAt(interrupt, signal, raiseAt, count);
        CliProgram program(printers, in, out, err);
        program.WatchInterrupt(interrupt);
        program.ShowProgress([this] { return now += std::chrono::seconds(1); });
        return program.Run(arguments);
    }

    ProgressLine::Clock::time_point now;

    std::string File(const std::string& name, const std::string& bytes) {
        WriteBytes(dir.File(name), bytes);
        return dir.File(name);
    }

    // The printer each job was opened on, in order.
    std::vector<std::string> OpenedPrinters() const {
        std::vector<std::string> opened;
        for (const auto& call : printers.recording.Calls()) {
            if (call.operation == "Open") {
                opened.push_back(call.argument);
            }
        }
        return opened;
    }
};

TEST_F(CliProgramTest, ListMarksTheDefaultWithoutRegardToCase) {
    EXPECT_EQ(Run({"list"}), 0);
    EXPECT_EQ(out.str(), "Office\nLabelWriter (default)\nLab\n");
    EXPECT_EQ(err.str(), "");
}

TEST_F(CliProgramTest, ListMarksTheLaterOfTwoEqualNamesAndNothingWithoutADefault) {
    catalog.names = {"lab", "Office", "LAB"};
    catalog.defaultName = "Lab";
    EXPECT_EQ(Run({"list"}), 0);
    EXPECT_EQ(out.str(), "lab\nOffice\nLAB (default)\n");
    // The windows preselect the first printer then; the list marks none.
    catalog.defaultName = "";
    EXPECT_EQ(Run({"list"}), 0);
    EXPECT_EQ(out.str(), "lab\nOffice\nLAB\n");
}

TEST_F(CliProgramTest, ListWithoutPrintersOrWithoutScheduler) {
    catalog.names.clear();
    catalog.defaultName.clear();
    EXPECT_EQ(Run({"list"}), 0);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "tolvenmark-cli: no printer is installed\n");

    catalog.failure = "No print scheduler answers";
    EXPECT_EQ(Run({"list"}), 1);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(),
              "tolvenmark-cli: cannot read the printer list: No print scheduler answers\n");
}

TEST_F(CliProgramTest, PrintSendsEachFileAsItsOwnJobToTheDefaultsListName) {
    const std::string first = File("a.prn", "\x1B"
                                            "E" +
                                                AllByteValues());
    const std::string second = File("b.prn", std::string(3, '\0'));
    EXPECT_EQ(Run({"print", first, second}), 0);
    EXPECT_EQ(OpenedPrinters(), (Arguments{"LabelWriter", "LabelWriter"}));
    EXPECT_EQ(printers.recording.Written(), (Arguments{"\x1B"
                                                       "E" +
                                                           AllByteValues(),
                                                       std::string(3, '\0')}));
    EXPECT_EQ(out.str(), "request id is LabelWriter-1 (1 file(s))\n"
                         "request id is LabelWriter-2 (1 file(s))\n");
    EXPECT_EQ(err.str(), "");
    // The same job as the window's: the same name, finished.
    EXPECT_EQ(printers.recording.Options()[0].title, "Tolvenmark Document");
    EXPECT_EQ(printers.recording.Operations().back(), "Finish");
}

TEST_F(CliProgramTest, FailedFilesAreNamedAndTheOthersStillSent) {
    const std::string good = File("good.prn", "good");
    const std::string refused = File("refused.prn", printers.refusedData);
    const std::string missing = dir.File("missing.prn");
    EXPECT_EQ(Run({"print", "-P", "Lab", missing, refused, dir.Path().string(), good}), 1);
    // A file that can't be read never opens a job; the refused one was tried.
    EXPECT_EQ(OpenedPrinters(), (Arguments{"Lab", "Lab"}));
    EXPECT_EQ(out.str(), "request id is Lab-2 (1 file(s))\n");
    EXPECT_EQ(err.str(), "tolvenmark-cli: Could not read \"" + missing +
                             "\": No such file or directory\n"
                             "tolvenmark-cli: " +
                             refused + ": not sent to Lab: Write refused: printer on fire\n" +
                             "tolvenmark-cli: Could not read \"" + dir.Path().string() +
                             "\": it is not a regular file\n");
}

TEST_F(CliProgramTest, NoDefaultPrinterSendsNothing) {
    const std::string file = File("a.prn", "data");
    for (const std::string defaultName : {"", "Elsewhere"}) {
        catalog.defaultName = defaultName;
        EXPECT_EQ(Run({"print", file}), 1);
        EXPECT_EQ(Run({"send", "<ESC>E"}), 1);
        EXPECT_NE(err.str().find("name one with -P PRINTER"), std::string::npos) << err.str();
    }
    catalog.failure = "No print scheduler answers";
    EXPECT_EQ(Run({"send", "<ESC>E"}), 1);
    EXPECT_EQ(err.str(),
              "tolvenmark-cli: cannot find the default printer: No print scheduler answers\n");
    EXPECT_TRUE(printers.recording.Calls().empty());
    EXPECT_EQ(out.str(), "");
}

TEST_F(CliProgramTest, SendConvertsTheTokensOfTheArgumentOrOfStandardInput) {
    EXPECT_EQ(Run({"send", "-P", "Office", "<ESC>E<ESC>&l1O"}), 0);
    EXPECT_EQ(Run({"send", "-", "-P", "Office"}, std::string("<FF>x\0\r\n\xFF", 9)), 0);
    EXPECT_EQ(printers.recording.Written(), (Arguments{"\x1B"
                                                       "E\x1B&l1O",
                                                       std::string("\fx\0\r\n\xFF", 6)}));
    EXPECT_EQ(out.str(), "request id is Office-2 (0 file(s))\n");
}

TEST_F(CliProgramTest, SendFailuresAndEmptyCodes) {
    EXPECT_EQ(Run({"send", ""}), 1);
    EXPECT_EQ(Run({"send", "-"}, ""), 1);
    EXPECT_EQ(err.str(), "tolvenmark-cli: nothing to send: the codes are empty\n");
    EXPECT_TRUE(printers.recording.Calls().empty());
    EXPECT_EQ(Run({"send", printers.refusedData}), 1);
    EXPECT_EQ(err.str(),
              "tolvenmark-cli: codes not sent to LabelWriter: Write refused: printer on fire\n");
    // A printer's words never act on the terminal: no retitling, no clearing.
    printers.refusal = "\x1b]0;owned\x07\x1b[2J\xc2\x9b"
                       "2J";
    EXPECT_EQ(Run({"send", printers.refusedData}), 1);
    EXPECT_EQ(err.str(), "tolvenmark-cli: codes not sent to LabelWriter: "
                         "\\x1b]0;owned\\x07\\x1b[2J\\xc2\\x9b2J\n");
    EXPECT_EQ(out.str(), "");
}

TEST_F(CliProgramTest, ShowAndEncodeConvertFilesAndStandardInput) {
    const std::string file = File("codes.prn", std::string("\x1B"
                                                           "E\0A\x7F\xFF",
                                                           6));
    EXPECT_EQ(Run({"show", file}), 0);
    EXPECT_EQ(out.str(), "<ESC>E<NUL>A<DEL><NPC>");
    EXPECT_EQ(Run({"show"}, std::string("\r\n\x80", 3)), 0);
    EXPECT_EQ(out.str(), "<CR><LF>\x80");
    EXPECT_EQ(Run({"encode", "-"}, "<ESC>E<esc><NUL>"), 0);
    EXPECT_EQ(out.str(), std::string("\x1B"
                                     "E<esc>\0",
                                     8));
    EXPECT_EQ(Run({"encode", File("text", "<FF>")}), 0);
    EXPECT_EQ(out.str(), "\f");
    EXPECT_EQ(Run({"show", dir.File("missing")}), 1);
    EXPECT_EQ(err.str(), "tolvenmark-cli: Could not read \"" + dir.File("missing") +
                             "\": No such file or directory\n");
    EXPECT_TRUE(printers.recording.Calls().empty());
}

TEST_F(CliProgramTest, OutputThatCannotBeWrittenIsAFailure) {
    // A stream whose every write fails, as a full disk or a closed pipe would.
    struct FullBuffer final : std::streambuf {
        int_type overflow(int_type) override { return traits_type::eof(); }
    } full;
    std::ostream fullOut(&full);
    in.str(std::string("\x1B"
                       "E"));
    CliProgram program(printers, in, fullOut, err);
    EXPECT_EQ(program.Run({"show"}), 1);
    EXPECT_EQ(err.str(), "tolvenmark-cli: cannot write to standard output\n");
}

TEST_F(CliProgramTest, StandardInputIsStreamedUnderTheTitleGiven) {
    const std::string big = AllByteValues() + std::string(70000, '\xFF');
    EXPECT_EQ(Run({"print", "-d", "Lab", "-t", "Label", "-"}, big), 0);
    EXPECT_EQ(printers.recording.Written(), (Arguments{big.substr(0, 65536), big.substr(65536)}));
    EXPECT_EQ(printers.recording.Options()[0].title, "Label");
    EXPECT_EQ(out.str(), "request id is Lab-1 (0 file(s))\n");
    EXPECT_EQ(err.str(), "");
}

// Nothing to send makes no job (a scheduler would refuse it and keep it in its history),
// and counts as a failure, as for empty codes.
TEST_F(CliProgramTest, EmptyInputOrFileMakesNoJob) {
    const std::string empty = File("empty.prn", "");
    const std::string good = File("good.prn", "good");
    EXPECT_EQ(Run({"print", "-", empty, good}, ""), 1);
    EXPECT_EQ(OpenedPrinters(), Arguments{"LabelWriter"});
    EXPECT_EQ(out.str(), "request id is LabelWriter-1 (1 file(s))\n");
    EXPECT_EQ(err.str(), "tolvenmark-cli: nothing to send: standard input is empty\n"
                         "tolvenmark-cli: nothing to send: " +
                             empty + " is empty\n");
}

TEST_F(CliProgramTest, EncodingTurnsTerminalTextIntoTheCodePagesBytesAndBack) {
    EXPECT_EQ(Run({"send", "--encoding", "cp1252", "-P", "Lab", "-"}, "\u00E9\u20AC<CR>"), 0);
    EXPECT_EQ(Run({"send", "--encoding=cp850", "-t", "Codes", "\u00F8<ESC>"}), 0);
    EXPECT_EQ(printers.recording.Written(), (Arguments{"\xE9\x80\r", "\x9B\x1B"}));
    EXPECT_EQ(printers.recording.Options()[1].title, "Codes");
    EXPECT_EQ(Run({"encode", "--encoding", "cp437"}, "\u2502<LF>"), 0);
    EXPECT_EQ(out.str(), "\xB3\n");
    EXPECT_EQ(Run({"show", "--encoding", "cp437"}, "\xB3\xC4\x01"), 0);
    EXPECT_EQ(out.str(), "\u2502\u2500<SOH>");
    // utf-8 and no encoding leave the bytes as they are.
    EXPECT_EQ(Run({"show", "--encoding", "utf-8"}, "\xE9"), 0);
    EXPECT_EQ(out.str(), "\xE9");
    EXPECT_EQ(Run({"encode", "--encoding", "utf-8"}, "\u20AC"), 0);
    EXPECT_EQ(out.str(), "\u20AC");
}

TEST_F(CliProgramTest, TextWithoutBytesInTheCodePageStopsBeforeAnythingIsSentOrWritten) {
    EXPECT_EQ(Run({"send", "--encoding", "cp1252", "ok\u2713"}), 1);
    EXPECT_EQ(err.str(), "tolvenmark-cli: the codes: line 1, column 3: U+2713 \"\u2713\" has no "
                         "byte in cp1252\n");
    EXPECT_EQ(Run({"send", "--encoding", "utf-8", "-"}, "<ESC>\n\xE9"), 1);
    EXPECT_EQ(err.str(),
              "tolvenmark-cli: standard input: line 2, column 1: byte 0xE9 is not UTF-8 text\n");
    const std::string file = File("text", "\u03C0\u00C1");
    EXPECT_EQ(Run({"encode", "--encoding", "cp437", file}), 1);
    EXPECT_EQ(err.str(), "tolvenmark-cli: " + file +
                             ": line 1, column 2: U+00C1 \"\u00C1\" has no byte in cp437\n");
    EXPECT_TRUE(printers.recording.Calls().empty());
    EXPECT_EQ(out.str(), "");
}

// Ctrl+C or SIGTERM during a job: the job is cancelled in the spooler, no later file is
// opened, and the command says so and ends as a shell reports the signal.
TEST_F(CliProgramTest, AnInterruptWithdrawsTheJobInProgressAndSendsNoMore) {
    const std::string first = File("first.prn", std::string(200000, 'a'));
    const std::string second = File("second.prn", "b");
    const Arguments withdrawn = {"Open", "Write", "Write", "Abort"};
    struct Case {
        Arguments arguments;
        std::string input;
        std::string raiseAt;
        int signal;
        int status;
        Arguments operations;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"print", first, second},
         "",
         "Write",
         SIGINT,
         130,
         withdrawn,
         "interrupted: the job for " + first + " was withdrawn from LabelWriter"},
        {{"print", "-", second},
         std::string(200000, 'c'),
         "Write",
         SIGTERM,
         143,
         withdrawn,
         "terminated: the job for standard input was withdrawn from LabelWriter"},
        {{"send", "<ESC>E"},
         "",
         "Open",
         SIGINT,
         130,
         {"Open", "Abort"},
         "interrupted: the job for the codes was withdrawn from LabelWriter"},
    };
    for (const Case& c : cases) {
        const std::size_t count = c.raiseAt == "Write" ? 2 : 1;
        EXPECT_EQ(RunWatched(c.arguments, c.input, c.raiseAt, count, c.signal), c.status);
        EXPECT_EQ(printers.recording.Operations(), c.operations);
        EXPECT_EQ(out.str(), "");
        // A progress line drawn before is wiped first.
        const std::string said = err.str();
        const std::string message = "tolvenmark-cli: " + c.message + "\n";
        ASSERT_GE(said.size(), message.size());
        EXPECT_EQ(said.substr(said.size() - message.size()), message) << said;
        EXPECT_TRUE(said.size() == message.size() || said[said.size() - message.size() - 1] == '\r')
            << said;
    }
}

TEST_F(CliProgramTest, AnInterruptBetweenJobsWithdrawsNothingAndSendsNoMore) {
    const std::string first = File("first.prn", "a");
    EXPECT_EQ(RunWatched({"print", "-q", first, File("second.prn", "b")}, "", "Finish"), 130);
    EXPECT_EQ(OpenedPrinters(), Arguments{"LabelWriter"});
    EXPECT_EQ(out.str(), "request id is LabelWriter-1 (1 file(s))\n");
    EXPECT_EQ(err.str(),
              "tolvenmark-cli: interrupted: no job was in progress, so nothing was withdrawn\n");
}

// The line is redrawn in place and wiped before the job's request id is written. The
// file's name shows its control characters (here a C1 CSI) as escapes.
TEST_F(CliProgramTest, ProgressIsDrawnOnTheErrorStreamAndWipedUnlessQuiet) {
    const std::string file = File("label.prn", std::string(200000, 'a'));
    EXPECT_EQ(RunWatched({"print", file}), 0);
    const std::string name = "\rlabel.prn: ";
    const std::string last = "195.3 KiB of 195.3 KiB (100%)";
    EXPECT_EQ(err.str(), name + "64.0 KiB of 195.3 KiB (32%)" + name +
                             "128.0 KiB of 195.3 KiB (65%)" + name +
                             "192.0 KiB of 195.3 KiB (98%)" + name + last + "\r" +
                             std::string(name.size() - 1 + last.size(), ' ') + "\r");
    EXPECT_EQ(out.str(), "request id is LabelWriter-1 (1 file(s))\n");
    EXPECT_EQ(RunWatched({"print", "-q", file}), 0);
    EXPECT_EQ(err.str(), "");
}

// Each printer found is one line, its fields escaped and tab-separated ("-" where empty), or
// one JSON object; why a place was not searched goes to the error stream. The SNMP network
// and its agents' port and community reach the search.
TEST_F(CliProgramTest, DiscoverListsEachPrinterAsALineOrAJsonObject) {
    DiscoveredPrinter front;
    front.address = "socket://10.0.0.7:9100";
    front.otherAddresses = {"ipp://10.0.0.7:631/ipp/print"};
    front.name = "Front\tdesk\x1b]0;owned\x07";
    front.model = "Caf\xC3\xA9 l\xFC";
    front.languages = {"ESC/POS", "PJL"};
    front.location = "Hall";
    front.uuid = "u-1";
    front.foundBy = {"DNS-SD", "SNMP"};
    DiscoveredPrinter usb;
    usb.address = "file:/dev/usb/lp0";
    usb.foundBy = {"USB"};
    usb.problem = "permission denied";
    printers.recording.discovered = {front, usb};
    printers.recording.discoveryRefusal = "no daemon";

    EXPECT_EQ(Run({"discover", "--timeout", "0.1", "--snmp", "127.0.0.0/30", "--community", "c",
                   "--snmp-port", "1161"}),
              0);
    EXPECT_EQ(out.str(), "socket://10.0.0.7:9100\tFront\\x09desk\\x1b]0;owned\\x07\tCaf\xC3\xA9 "
                         "l\\xfc\tESC/POS, PJL\tHall\tDNS-SD, SNMP\n"
                         "file:/dev/usb/lp0\t-\t-\t-\t-\tUSB\tpermission denied\n");
    EXPECT_EQ(err.str(), "tolvenmark-cli: test was not searched: no daemon\n");
    const DiscoveryOptions& asked = *printers.recording.discoveryOptions;
    EXPECT_EQ(asked.snmpNetwork->Text(), "127.0.0.0/30");
    EXPECT_EQ(asked.snmp.community, "c");
    EXPECT_EQ(asked.snmp.port, 1161);

    EXPECT_EQ(Run({"discover", "--json"}), 0);
    EXPECT_EQ(
        out.str(),
        "[\n"
        R"({"address":"socket://10.0.0.7:9100","other_addresses":["ipp://10.0.0.7:631/ipp/print"],)"
        R"("name":"Front\tdesk\u001b]0;owned\u0007","model":"Caf)"
        "\xC3\xA9"
        R"( l\u00fc","languages":["ESC/POS","PJL"],"location":"Hall","uuid":"u-1",)"
        R"("found_by":["DNS-SD","SNMP"],"problem":""},)"
        "\n"
        R"({"address":"file:/dev/usb/lp0","other_addresses":[],"name":"","model":"",)"
        R"("languages":[],"location":"","uuid":"","found_by":["USB"],)"
        R"("problem":"permission denied"})"
        "\n]\n");
    EXPECT_FALSE(printers.recording.discoveryOptions->snmpNetwork);

    printers.recording.discovered.clear();
    printers.recording.discoveryRefusal.clear();
    EXPECT_EQ(Run({"discover", "--json"}), 0);
    EXPECT_EQ(out.str(), "[]\n");
    EXPECT_EQ(err.str(), "tolvenmark-cli: no printer found\n");

    // Ctrl+C ends the search with what it found.
    printers.recording.discovered = {usb};
    err.str({});
    InterruptFlag interrupt;
    interrupt.Raise(SIGINT);
    CliProgram program(printers, in, out, err);
    program.WatchInterrupt(interrupt);
    EXPECT_EQ(program.Run({"discover", "--timeout", "600", "--json"}), 130);
    EXPECT_EQ(err.str(), "tolvenmark-cli: interrupted: the search was cut short\n");
}

TEST_F(CliProgramTest, ListAndStatusAsJson) {
    EXPECT_EQ(Run({"list", "--json"}), 0);
    EXPECT_EQ(out.str(),
              R"([{"name":"Office","default":false},{"name":"LabelWriter","default":true},)"
              R"({"name":"Lab","default":false}])"
              "\n");
    catalog.names.clear();
    EXPECT_EQ(Run({"list", "--json"}), 0);
    EXPECT_EQ(out.str(), "[]\n");

    PrinterAnswer& answer = printers.recording.answer;
    answer.told = true;
    answer.state.Add(StatusReport::Condition::PaperOut);
    answer.state.Add(StatusReport::Condition::CoverOpen);
    answer.language = PrinterLanguage::Zpl;
    answer.sources = {"ZPL"};
    answer.description = "Zebra ZD420";
    answer.notes = {"its SNMP agent did not answer"};
    EXPECT_EQ(Run({"status", "--json", "-P", "socket://zebra?language=zpl"}), 1);
    EXPECT_EQ(out.str(), R"({"printer":"socket://zebra?language=zpl","told":true,"ready":false,)"
                         R"("state":"paper out, head open","conditions":["paper out","head open"],)"
                         R"("display":"","language":"ZPL","sources":["ZPL"],)"
                         R"("description":"Zebra ZD420","notes":["its SNMP agent did not answer"]})"
                         "\n");
    EXPECT_EQ(err.str(), "");
}

} // namespace
