#pragma once

#include "printing/address/printer_language.h"
#include "printing/capture/capture_options.h"
#include "printing/discovery/ipv4_network.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// The command line of tolvenmark-cli, parsed by hand: a command, then its options and
// operands in any order; "--" ends the options and "-" is an operand (standard input).
namespace CliArguments {

enum class Command {
    Help,
    Version,
    List,
    Print,
    Send,
    Show,
    Encode,
    Status,
    Capture,
    Discover,
    Inspect
};

struct Request {
    Command command = Command::Help;
    // Set by -P PRINTER, -PPRINTER, --printer PRINTER or --printer=PRINTER, or -d in the
    // same forms as -P (lp's spelling).
    std::optional<std::string> printer;
    // Set by -t TITLE, -tTITLE, --title TITLE or --title=TITLE: the job's name.
    std::optional<std::string> title;
    // Set by --encoding NAME or --encoding=NAME: "utf-8", or a code page's name as
    // CodePage::Name() spells it ("cp1252", "cp437", "cp850"), whichever spelling was typed.
    std::optional<std::string> encoding;
    // Set by --format MIME: the document format declared to an IPP printer address.
    std::optional<std::string> format;
    // Set by --timeout SECONDS: how long a printer address may take to connect, and to
    // take more bytes while a job is sent, and how long the print scheduler may take to
    // answer.
    std::optional<double> timeoutSeconds;
    // Set by -q or --quiet: no progress line on standard error while a job is sent.
    bool quiet = false;
    // Set by --wait: wait until each job sent has ended.
    bool wait = false;
    // Set by --language NAME (print, send, status): the language a direct printer is asked
    // in, over its address's.
    std::optional<PrinterLanguage> language;
    // Set by --check (print, send): a printer that reports itself not ready gets nothing.
    bool check = false;
    // Set by --community NAME and --snmp-port PORT (status): the printer's SNMP agent, which
    // is then asked in any case.
    std::optional<std::string> community;
    std::optional<std::uint16_t> snmpPort;
    // Set by --json (list, status, discover): the answer as JSON on standard output.
    bool json = false;
    // Set by --snmp NETWORK (discover): every address of the network is asked over SNMP.
    std::optional<Ipv4Network> snmpNetwork;
    std::vector<std::string> operands;

    // What the capture command alone takes.
    struct Capture {
        // --socket [ADDR:]PORT and --lpd [ADDR:]PORT, each as often as given, in order.
        std::vector<CaptureOptions::Endpoint> endpoints;
        // --dir DIR.
        std::optional<std::string> dir;
        // --max-size SIZE: bytes, or with K, M or G for KiB, MiB or GiB.
        std::optional<std::uint64_t> maxSize;
        // --show: each job's token text too; --quiet: no line per job.
        enum class Output { Lines, Show, Quiet };
        Output output = Output::Lines;
        // --emulate LANGUAGE, --state STATE, --state-file FILE and --hold SECONDS.
        Emulation emulation;
        // --advertise NAME: the listeners announced over DNS-SD under that name.
        std::optional<std::string> advertise;
    };
    Capture capture;

    // What the inspect command alone takes: --commands, and --split DIR.
    struct Inspect {
        bool commands = false;
        std::optional<std::string> splitDir;
    };
    Inspect inspect;
};

// A command line that names no valid request. what() says what is wrong; Hint() is one
// line that says what would be right.
class UsageError : public std::runtime_error {
public:
    UsageError(const std::string& message, std::string hint);
    const std::string& Hint() const { return hint_; }

private:
    std::string hint_;
};

// The arguments without the program's name. Throws UsageError.
Request Parse(const std::vector<std::string>& arguments);

// The text of --help.
std::string HelpText();

} // namespace CliArguments
