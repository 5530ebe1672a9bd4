#include "app/cli/cli_arguments.h"

#include "core/code_pages/code_page.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <limits>
#include <string_view>

namespace CliArguments {

namespace {

struct CommandForm {
    std::string_view name;
    Command command;
    bool sends;        // takes a printer, a job title and --wait
    bool asksSpooler;  // takes a time-out
    bool convertsText; // takes an encoding
    std::size_t minOperands;
    std::size_t maxOperands;
    std::string_view synopsis;
};

constexpr std::size_t Many = static_cast<std::size_t>(-1);

constexpr std::array<CommandForm, 9> Commands = {{
    {"list", Command::List, false, true, false, 0, 0,
     "tolvenmark-cli list [--timeout SECONDS] [--json]"},
    {"print", Command::Print, true, true, false, 1, Many,
     "tolvenmark-cli print [-P PRINTER] [-t TITLE] [--format MIME] [--timeout SECONDS] [--wait] "
     "[--check] [--language L] [-q] FILE..."},
    {"send", Command::Send, true, true, true, 1, 1,
     "tolvenmark-cli send [-P PRINTER] [-t TITLE] [--format MIME] [--timeout SECONDS] [--wait] "
     "[--check] [--language L] [-q] [--encoding NAME] CODES"},
    {"show", Command::Show, false, false, true, 0, 1,
     "tolvenmark-cli show [--encoding NAME] [FILE]"},
    {"encode", Command::Encode, false, false, true, 0, 1,
     "tolvenmark-cli encode [--encoding NAME] [FILE]"},
    {"status", Command::Status, false, true, false, 0, 0,
     "tolvenmark-cli status [-P PRINTER] [--timeout SECONDS] [--language L] [--community NAME] "
     "[--snmp-port PORT] [--json]"},
    {"discover", Command::Discover, false, true, false, 0, 0,
     "tolvenmark-cli discover [--timeout SECONDS] [--json] [--snmp NETWORK] [--community NAME] "
     "[--snmp-port PORT]"},
    {"capture", Command::Capture, false, false, false, 0, 0,
     "tolvenmark-cli capture [--socket [ADDR:]PORT]... [--lpd [ADDR:]PORT]... [--dir DIR] "
     "[--max-size SIZE] [--timeout SECONDS] [--show|--quiet] [--emulate LANGUAGE [--state STATE] "
     "[--state-file FILE] [--hold SECONDS]] [--advertise NAME]"},
    {"inspect", Command::Inspect, false, false, false, 0, 1,
     "tolvenmark-cli inspect [--commands] [--split DIR] [--json] [FILE]"},
}};

// What an option with a value sets.
enum class Setting {
    Printer,
    Title,
    Encoding,
    Format,
    Timeout,
    Language,
    Community,
    SnmpPort,
    SnmpNetwork,
    Socket,
    Lpd,
    Dir,
    MaxSize,
    Emulate,
    EmulatedState,
    Hold,
    StateFile,
    Advertise,
    Split
};

struct ValueOption {
    std::string_view shortName; // "-P": also "-PVALUE"; empty when there is none
    std::string_view longName;  // "--printer": also "--printer=VALUE"; empty when none
    Setting setting;
};

constexpr std::array<ValueOption, 20> ValueOptions = {{
    {"-P", "--printer", Setting::Printer},
    {"-d", "", Setting::Printer},
    {"-t", "--title", Setting::Title},
    {"", "--encoding", Setting::Encoding},
    {"", "--format", Setting::Format},
    {"", "--timeout", Setting::Timeout},
    {"", "--language", Setting::Language},
    {"", "--community", Setting::Community},
    {"", "--snmp-port", Setting::SnmpPort},
    {"", "--snmp", Setting::SnmpNetwork},
    {"", "--socket", Setting::Socket},
    {"", "--lpd", Setting::Lpd},
    {"", "--dir", Setting::Dir},
    {"", "--max-size", Setting::MaxSize},
    {"", "--emulate", Setting::Emulate},
    {"", "--state", Setting::EmulatedState},
    {"", "--hold", Setting::Hold},
    {"", "--state-file", Setting::StateFile},
    {"", "--advertise", Setting::Advertise},
    {"", "--split", Setting::Split},
}};

// A time-out in seconds: a positive number, fractions allowed, no more than a day.
std::optional<double> Seconds(const std::string& text) {
    double seconds = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(seconds) ||
        seconds <= 0 || seconds > 86400) {
        return std::nullopt;
    }
    return seconds;
}

// How long the emulated printer holds a job: 0 or more seconds, fractions allowed, no more
// than a day.
std::optional<std::chrono::milliseconds> HoldTime(const std::string& text) {
    double seconds = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(seconds) ||
        seconds < 0 || seconds > 86400) {
        return std::nullopt;
    }
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::duration<double>(seconds));
}

// A MIME type as IPP takes it: type/subtype, no blanks or control characters.
bool IsMimeType(const std::string& text) {
    const std::size_t slash = text.find('/');
    return slash != std::string::npos && slash > 0 && slash + 1 < text.size() &&
           text.find('/', slash + 1) == std::string::npos &&
           std::all_of(text.begin(), text.end(),
                       [](unsigned char c) { return c > ' ' && c < 0x7F; });
}

// A decimal number of at most `digits` digits, nothing else.
std::optional<std::uint64_t> Decimal(std::string_view text, std::size_t digits) {
    std::uint64_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || text.size() > digits || error != std::errc() ||
        end != text.data() + text.size()) {
        return std::nullopt;
    }
    return number;
}

// A size in bytes: a number, or a number and K, M or G for KiB, MiB or GiB; above 0.
std::optional<std::uint64_t> Size(std::string_view text) {
    unsigned shift = 0;
    if (!text.empty()) {
        const char unit = static_cast<char>(std::toupper(static_cast<unsigned char>(text.back())));
        shift = unit == 'K' ? 10 : unit == 'M' ? 20 : unit == 'G' ? 30 : 0;
    }
    const std::optional<std::uint64_t> number =
        Decimal(text.substr(0, text.size() - (shift ? 1 : 0)), 15);
    if (!number || *number == 0 || *number > (std::numeric_limits<std::uint64_t>::max() >> shift)) {
        return std::nullopt;
    }
    return *number << shift;
}

bool IsIpv4(std::string_view text) {
    for (int part = 0; part < 4; ++part) {
        const std::size_t dot = part < 3 ? text.find('.') : text.size();
        const std::optional<std::uint64_t> number = Decimal(text.substr(0, dot), 3);
        if (dot == std::string_view::npos || !number || *number > 255) {
            return false;
        }
        text.remove_prefix(std::min(dot + 1, text.size()));
    }
    return true;
}

bool IsIpv6(std::string_view text) {
    return text.find(':') != std::string_view::npos &&
           std::all_of(text.begin(), text.end(), [](char c) {
               return std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.';
           });
}

// [ADDR:]PORT: an IPv4 address or an IPv6 one in brackets; without one, loopback.
std::optional<CaptureOptions::Endpoint> ListenAddress(std::string_view text,
                                                      CaptureOptions::Protocol protocol) {
    CaptureOptions::Endpoint endpoint;
    endpoint.protocol = protocol;
    const std::size_t colon = text.rfind(':');
    if (colon != std::string_view::npos) {
        std::string_view address = text.substr(0, colon);
        const bool bracketed =
            address.size() > 2 && address.front() == '[' && address.back() == ']';
        if (bracketed) {
            address = address.substr(1, address.size() - 2);
        }
        if (bracketed ? !IsIpv6(address) : !IsIpv4(address)) {
            return std::nullopt;
        }
        endpoint.address = std::string(address);
        text.remove_prefix(colon + 1);
    }
    const std::optional<std::uint64_t> port = Decimal(text, 5);
    if (!port || *port > 65535) {
        return std::nullopt;
    }
    endpoint.port = static_cast<std::uint16_t>(*port);
    return endpoint;
}

constexpr const char* Utf8Name = "utf-8";

// The encoding's name as the request keeps it; nothing for a name no encoding has.
std::optional<std::string> EncodingName(const std::string& typed) {
    if (const CodePage* page = CodePage::Find(typed)) {
        return std::string(page->Name());
    }
    std::string lower;
    for (const char c : typed) {
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (lower == Utf8Name || lower == "utf8") {
        return std::string(Utf8Name);
    }
    return std::nullopt;
}

constexpr const char* GeneralHint = "Try 'tolvenmark-cli --help' for more information.";

std::string UsageHint(const CommandForm& form) {
    return "Usage: " + std::string(form.synopsis);
}

const CommandForm* FindCommand(const std::string& name) {
    for (const CommandForm& form : Commands) {
        if (form.name == name) {
            return &form;
        }
    }
    return nullptr;
}

// A request of the command alone: --help and --version drop everything else.
Request RequestFor(Command command) {
    Request request;
    request.command = command;
    return request;
}

bool IsHelpOption(const std::string& argument) {
    return argument == "--help" || argument == "-h";
}

bool StartsWith(const std::string& text, std::string_view prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Walks the arguments after the command name.
class CommandLineReader {
public:
    CommandLineReader(const CommandForm& form, const std::vector<std::string>& arguments)
        : form_(form), arguments_(arguments) {
        request_.command = form.command;
    }

    Request Read() {
        for (position_ = 1; position_ < arguments_.size(); ++position_) {
            const std::string& argument = arguments_[position_];
            if (optionsEnded_ || argument == "-" || !StartsWith(argument, "-")) {
                request_.operands.push_back(argument);
            } else if (argument == "--") {
                optionsEnded_ = true;
            } else if (IsHelpOption(argument)) {
                return RequestFor(Command::Help);
            } else if (argument == "--version") {
                return RequestFor(Command::Version);
            } else if (argument == "--show") {
                SetOutput(argument);
            } else if (argument == "-q" || argument == "--quiet") {
                SetQuiet();
            } else if (argument == "--check") {
                if (!form_.sends) {
                    Fail("'" + std::string(form_.name) + "' sends nothing and takes no --check");
                }
                request_.check = true;
            } else if (argument == "--json") {
                SetJson();
            } else if (argument == "--commands") {
                if (form_.command != Command::Inspect) {
                    Fail("option --commands is for 'inspect' only");
                }
                request_.inspect.commands = true;
            } else if (argument == "--wait") {
                if (!form_.sends) {
                    Fail("'" + std::string(form_.name) + "' sends nothing and takes no --wait");
                }
                request_.wait = true;
            } else {
                ReadValueOption(argument);
            }
        }
        CheckOperandCount();
        CheckEmulation();
        CheckSnmpNetwork();
        return request_;
    }

private:
    void ReadValueOption(const std::string& argument) {
        for (const ValueOption& option : ValueOptions) {
            if (const std::optional<std::string> value = ValueOf(option, argument)) {
                Set(option.setting, *value);
                return;
            }
        }
        Fail("unknown option '" + argument + "'");
    }

    // The option's value when the argument is that option, taking the next argument when
    // the value is not joined to it.
    std::optional<std::string> ValueOf(const ValueOption& option, const std::string& argument) {
        if (argument == option.shortName || argument == option.longName) {
            if (position_ + 1 >= arguments_.size()) {
                Fail("option " + argument + " needs " + std::string(Needs(option.setting)));
            }
            return arguments_[++position_];
        }
        if (!option.longName.empty() && StartsWith(argument, std::string(option.longName) + "=")) {
            return argument.substr(option.longName.size() + 1);
        }
        if (!option.shortName.empty() && !StartsWith(argument, "--") &&
            StartsWith(argument, option.shortName)) {
            return argument.substr(option.shortName.size());
        }
        return std::nullopt;
    }

    static std::string_view Needs(Setting setting) {
        switch (setting) {
        case Setting::Printer:
            return "a printer name";
        case Setting::Title:
            return "a job title";
        case Setting::Encoding:
            return "an encoding name";
        case Setting::Format:
            return "a document format";
        case Setting::Timeout:
            return "a number of seconds";
        case Setting::Language:
            return "a language";
        case Setting::Community:
            return "a community name";
        case Setting::SnmpPort:
            return "a port number";
        case Setting::SnmpNetwork:
            return "a network";
        case Setting::Socket:
        case Setting::Lpd:
            return "[ADDR:]PORT";
        case Setting::Dir:
            return "a folder";
        case Setting::MaxSize:
            return "a size";
        case Setting::Emulate:
            return "a printer language";
        case Setting::EmulatedState:
            return "a printer state";
        case Setting::Hold:
            return "a number of seconds";
        case Setting::StateFile:
            return "a file";
        case Setting::Advertise:
            return "a name";
        case Setting::Split:
            return "a folder";
        }
        return {};
    }

    void Set(Setting setting, const std::string& value) {
        // Built by appending: g++ takes "'" + std::string for an overlapping copy.
        std::string command(1, '\'');
        command.append(form_.name).push_back('\'');
        switch (setting) {
        case Setting::Printer:
            if (!form_.sends && form_.command != Command::Status) {
                Fail(command + " sends nothing and takes no printer");
            }
            if (value.empty()) {
                Fail("the printer name is empty");
            }
            request_.printer = value;
            break;
        case Setting::Title:
            if (!form_.sends) {
                Fail(command + " sends nothing and takes no job title");
            }
            if (value.empty()) {
                Fail("the job title is empty");
            }
            request_.title = value;
            break;
        case Setting::Encoding:
            if (!form_.convertsText) {
                Fail(command + " converts no text and takes no encoding");
            }
            request_.encoding = EncodingName(value);
            if (!request_.encoding) {
                Fail("unknown encoding '" + value + "' (cp1252, cp437, cp850 or utf-8)");
            }
            break;
        case Setting::Format:
            if (!form_.sends) {
                Fail(command + " sends nothing and takes no document format");
            }
            if (!IsMimeType(value)) {
                Fail("the document format '" + value +
                     "' is not a MIME type such as application/vnd.hp-pcl");
            }
            request_.format = value;
            break;
        case Setting::Timeout:
            // The capture's time-out is how long a sender may send nothing.
            if (!form_.asksSpooler && form_.command != Command::Capture) {
                Fail(command + " asks no printer and takes no time-out");
            }
            request_.timeoutSeconds = Seconds(value);
            if (!request_.timeoutSeconds) {
                Fail("the time-out '" + value + "' is not a number of seconds above 0");
            }
            break;
        case Setting::Language:
        case Setting::Community:
        case Setting::SnmpPort:
        case Setting::SnmpNetwork:
            SetTalk(setting, value, command);
            break;
        case Setting::Socket:
        case Setting::Lpd:
        case Setting::Dir:
        case Setting::MaxSize:
        case Setting::Advertise:
            SetCapture(setting, value);
            break;
        case Setting::Emulate:
        case Setting::EmulatedState:
        case Setting::Hold:
        case Setting::StateFile:
            SetEmulation(setting, value);
            break;
        case Setting::Split:
            if (form_.command != Command::Inspect) {
                Fail("option --split is for 'inspect' only");
            }
            if (value.empty()) {
                Fail("the folder name is empty");
            }
            request_.inspect.splitDir = value;
            break;
        }
    }

    // What a direct printer is asked in: its language, on every command that reaches a
    // printer; its SNMP agent, on status.
    void SetTalk(Setting setting, const std::string& value, const std::string& command) {
        const bool status = form_.command == Command::Status;
        if (setting == Setting::Language) {
            if (!form_.sends && !status) {
                Fail(command + " asks no printer and takes no language");
            }
            request_.language = PrinterLanguageName::Find(value);
            if (!request_.language) {
                Fail("unknown language '" + value + "' (" +
                     std::string(PrinterLanguageName::Choices()) + ")");
            }
            return;
        }
        if (!status && form_.command != Command::Discover) {
            Fail(command + " asks no SNMP agent; only status and discover do");
        }
        if (setting == Setting::SnmpNetwork) {
            if (status) {
                Fail(command + " asks one printer; discover asks a network");
            }
            ParsedIpv4Network parsed = Ipv4Network::Parse(value);
            if (!parsed.network) {
                Fail(parsed.error);
            }
            request_.snmpNetwork = parsed.network;
            return;
        }
        if (setting == Setting::Community) {
            if (value.empty()) {
                Fail("the community name is empty");
            }
            request_.community = value;
            return;
        }
        const std::optional<std::uint64_t> port = Decimal(value, 5);
        if (!port || *port == 0 || *port > 65535) {
            Fail("the SNMP port '" + value + "' is not a number from 1 to 65535");
        }
        request_.snmpPort = static_cast<std::uint16_t>(*port);
    }

    void RequireCapture(const std::string& option) const {
        if (form_.command != Command::Capture) {
            Fail("option " + option + " is for 'capture' only");
        }
    }

    void SetCapture(Setting setting, const std::string& value) {
        Request::Capture& capture = request_.capture;
        if (setting == Setting::Socket || setting == Setting::Lpd) {
            const bool lpd = setting == Setting::Lpd;
            RequireCapture(lpd ? "--lpd" : "--socket");
            const auto endpoint = ListenAddress(value, lpd ? CaptureOptions::Protocol::Lpd
                                                           : CaptureOptions::Protocol::Socket);
            if (!endpoint) {
                Fail("'" + value +
                     "' is not [ADDR:]PORT (such as 9100, 0.0.0.0:9100 or [::1]:9100)");
            }
            capture.endpoints.push_back(*endpoint);
        } else if (setting == Setting::Dir) {
            RequireCapture("--dir");
            if (value.empty()) {
                Fail("the folder name is empty");
            }
            capture.dir = value;
        } else if (setting == Setting::Advertise) {
            RequireCapture("--advertise");
            // A DNS-SD service name is one label of a DNS name.
            if (value.empty() || value.size() > 63 ||
                std::any_of(value.begin(), value.end(),
                            [](unsigned char c) { return c < 0x20 || c == 0x7F; })) {
                Fail("the name to advertise must be 1 to 63 bytes, without control characters");
            }
            capture.advertise = value;
        } else {
            RequireCapture("--max-size");
            capture.maxSize = Size(value);
            if (!capture.maxSize) {
                Fail("the size '" + value + "' is not a number of bytes above 0 (K, M, G allowed)");
            }
        }
    }

    // --emulate and what only it gives a meaning: the printer's state, the file that gives
    // it, and how long formats and jobs stay in its buffer.
    void SetEmulation(Setting setting, const std::string& value) {
        Emulation& emulation = request_.capture.emulation;
        if (setting == Setting::Emulate) {
            RequireCapture("--emulate");
            emulation.language = Emulation::LanguageNamed(value);
            if (!emulation.language) {
                Fail("unknown printer language '" + value + "' (escpos, zpl or pjl)");
            }
            return;
        }
        if (setting == Setting::EmulatedState) {
            RequireCapture("--state");
            const std::optional<Emulation::State> state = Emulation::StateNamed(value);
            if (!state) {
                Fail("unknown printer state '" + value +
                     "' (ready, paper-out, cover-open, paused or offline)");
            }
            emulation.state = *state;
        } else if (setting == Setting::Hold) {
            RequireCapture("--hold");
            const std::optional<std::chrono::milliseconds> hold = HoldTime(value);
            if (!hold) {
                Fail("the hold time '" + value + "' is not a number of seconds from 0 to 86400");
            }
            emulation.hold = *hold;
        } else {
            RequireCapture("--state-file");
            if (value.empty()) {
                Fail("the state file name is empty");
            }
            emulation.stateFile = value;
        }
        if (needsEmulate_.empty()) {
            needsEmulate_ = setting == Setting::EmulatedState ? "--state"
                            : setting == Setting::Hold        ? "--hold"
                                                              : "--state-file";
        }
    }

    // What the SNMP agents of discover are reached with means nothing without a network.
    void CheckSnmpNetwork() const {
        if (form_.command == Command::Discover && !request_.snmpNetwork &&
            (request_.community || request_.snmpPort)) {
            Fail(std::string("option ") + (request_.community ? "--community" : "--snmp-port") +
                 " needs --snmp NETWORK");
        }
    }

    void SetJson() {
        if (form_.command != Command::List && form_.command != Command::Status &&
            form_.command != Command::Discover && form_.command != Command::Inspect) {
            Fail("'" + std::string(form_.name) +
                 "' takes no --json (list, status, discover and inspect do)");
        }
        request_.json = true;
    }

    void CheckEmulation() const {
        if (!needsEmulate_.empty() && !request_.capture.emulation.language) {
            Fail("option " + needsEmulate_ + " needs --emulate");
        }
    }

    void SetOutput(const std::string& option) {
        RequireCapture(option);
        using Output = Request::Capture::Output;
        const Output output = option == "--show" ? Output::Show : Output::Quiet;
        if (request_.capture.output != Output::Lines && request_.capture.output != output) {
            Fail("--show and --quiet exclude each other");
        }
        request_.capture.output = output;
    }

    // Quiet is the capture's "no line per job", and for the commands that send "no
    // progress line".
    void SetQuiet() {
        if (form_.command == Command::Capture) {
            SetOutput("--quiet");
            return;
        }
        if (!form_.sends) {
            Fail("'" + std::string(form_.name) + "' sends nothing and takes no --quiet");
        }
        request_.quiet = true;
    }

    void CheckOperandCount() const {
        const std::size_t count = request_.operands.size();
        if (count < form_.minOperands) {
            Fail(form_.command == Command::Print ? "no file to print" : "no codes to send");
        }
        if (count > form_.maxOperands) {
            Fail("too many arguments for '" + std::string(form_.name) + "': '" +
                 request_.operands[form_.maxOperands] + "'" +
                 (form_.command == Command::Send ? " (quote the codes as one argument)" : ""));
        }
    }

    [[noreturn]] void Fail(const std::string& message) const {
        throw UsageError(message, UsageHint(form_));
    }

    const CommandForm& form_;
    const std::vector<std::string>& arguments_;
    std::size_t position_ = 1;
    bool optionsEnded_ = false;
    Request request_;
    // The first option given that means something only with --emulate.
    std::string needsEmulate_;
};

} // namespace

UsageError::UsageError(const std::string& message, std::string hint)
    : std::runtime_error(message), hint_(std::move(hint)) {}

Request Parse(const std::vector<std::string>& arguments) {
    if (arguments.empty()) {
        throw UsageError("no command given", GeneralHint);
    }
    const std::string& first = arguments.front();
    if (IsHelpOption(first)) {
        return RequestFor(Command::Help);
    }
    if (first == "--version") {
        return RequestFor(Command::Version);
    }
    const CommandForm* form = FindCommand(first);
    if (form == nullptr) {
        throw UsageError(StartsWith(first, "-") ? "unknown option '" + first + "'"
                                                : "unknown command '" + first + "'",
                         GeneralHint);
    }
    return CommandLineReader(*form, arguments).Read();
}

// The layout of the text is its own: the formatter must not reflow it.
// clang-format off
std::string HelpText() {
    return R"help(Usage: tolvenmark-cli COMMAND [OPTIONS] [ARGUMENTS]
Send bytes to a printer unchanged, past any driver, as raw spooler jobs.

Commands:
  list [--timeout SECONDS] [--json]
                             the printer names, one a line, in the spooler's order;
                             the default printer (the one 'lpstat -d' names: LPDEST,
                             PRINTER, lpoptions, then the spooler's default) is
                             followed by " (default)" - the name is always the first
                             blank-separated word of a line
  print [-P PRINTER] [-t TITLE] [--format MIME] [--timeout SECONDS] [--wait]
        [--check] [--language L] [-q] FILE...
                             each file as one raw job, in the order given; FILE '-'
                             is standard input, which, like a pipe or a FIFO, is
                             sent as it is read
  send [-P PRINTER] [-t TITLE] [--format MIME] [--timeout SECONDS] [--wait]
       [--check] [--language L] [-q] [--encoding NAME] CODES
                             the token text CODES (for example '<ESC>E<ESC>&l1O')
                             converted to bytes and sent as one raw job;
                             CODES '-' reads the token text from standard input
  show [--encoding NAME] [FILE]
                             a file's bytes as token text on standard output
  encode [--encoding NAME] [FILE]
                             token text to raw bytes on standard output
                             (FILE '-' or none: standard input)
  status [-P PRINTER] [--timeout SECONDS] [--language L] [--community NAME]
         [--snmp-port PORT] [--json]
                             a queue's (or IPP printer's) state and why
                             ("stopped: the printer is not connected"), then each
                             job waiting at it, one a line: PRINTER-ID, title,
                             user and state, separated by tabs. A direct printer
                             is asked in its language ("ready", "paper out",
                             "cover open", ...), a USB printer through its port,
                             a network printer through SNMP; exit 0 only when
                             it is ready
  discover [--timeout SECONDS] [--json] [--snmp NETWORK] [--community NAME]
           [--snmp-port PORT]
                             find printers: DNS-SD services, USB printers, serial
                             ports and the spooler's queues (and with --snmp, the
                             SNMP agents of a network), one line per printer: the
                             address to give -P, then name, model, languages,
                             location and how it was found, separated by tabs;
                             looks for 3 seconds unless --timeout says otherwise
  capture [--socket [ADDR:]PORT]... [--lpd [ADDR:]PORT]... [--dir DIR]
          [--max-size SIZE] [--timeout SECONDS] [--show|--quiet]
          [--emulate LANGUAGE [--state STATE] [--state-file FILE] [--hold SECONDS]]
          [--advertise NAME]
                             be a raw printer: keep each job a program sends as
                             DIR/job-N.prn, exactly as it arrived, and print a
                             line for it; runs until Ctrl+C (default: --socket 9100)
  inspect [--commands] [--split DIR] [--json] [FILE]
                             what a file holds: its languages (PJL, PCL, ZPL,
                             ESC/POS, ...) with their byte ranges, its labels,
                             pages, jobs and images, and every malformed command;
                             with --commands every command with its offset,
                             tokens and meaning (ESC/POS, ZPL, EPL, PJL, PCL 5).
                             FILE '-' or none:
                             standard input. Exit 0 when nothing is malformed

Options:
  -P, -d, --printer PRINTER  the printer to send to (default: the default printer):
                             a queue name, or a printer's address:
                               socket://HOST[:PORT]       (AppSocket, port 9100)
                               lpd://HOST[:PORT]/QUEUE    (LPD, port 515)
                               ipp://HOST[:PORT]/PATH     (IPP, port 631; ipps: TLS)
                               file:DEVICE                (e.g. file:/dev/usb/lp0)
                               serial:DEVICE?baud=9600+bits=8+parity=none+flow=none
                             socket, file and serial addresses take the printer's
                             language: socket://HOST?language=zpl,
                             serial:DEVICE?baud=9600+language=escpos
  -t, --title TITLE          the job's title (default: "Tolvenmark Document")
  --format MIME              the document format declared to an ipp:// printer
                             (default: application/octet-stream where it takes
                             it, else the format the data's first bytes show)
  --timeout SECONDS          how long a printer address may take to answer, and
                             to take more bytes (default: 10 to connect, 30),
                             and the print scheduler to answer (default: 15);
                             capture: how long a sender may send nothing (30);
                             discover: how long to look (3)
  --wait                     wait until each job has ended: a job that did not
                             complete (aborted, canceled, held, or waiting at a
                             stopped printer) is named with its state and why.
                             A socket or device printer with a known language
                             is asked until it says the job is done (ZPL: no
                             format or label left; PJL: the job's end, for which
                             the job is put between '@PJL JOB NAME="TITLE"' and
                             '@PJL EOJ NAME="TITLE"' lines, each with its UEL;
                             ESC/POS: "sent, printer ready"); an LPD printer's
                             job has ended when its bytes are sent
  --check                    first ask a socket or device printer whether it is
                             ready; one that is not (or that can't be asked) is
                             sent nothing, and the reason is given
  --language L               the language a socket or device printer is asked in:
                             escpos, zpl, pjl, or none (never asked); auto, the
                             default, takes the address's "?language=L", else a
                             USB printer's device ID, else (print) the job's
                             first bytes. A printer is never sent a query in a
                             language not known to be its own
  --community NAME           status, discover: the SNMP community (default: public)
  --snmp-port PORT           status, discover: the SNMP agents' port (default: 161)
  --snmp NETWORK             discover: ask every address of the IPv4 network
                             (192.168.1.0/24; at most a /22) over SNMP; never
                             done without it
  --json                     list, status, discover, inspect: the answer as JSON
  --encoding NAME            the text's character set: cp1252 (the windows'),
                             cp437, cp850 or utf-8. Text is read as UTF-8 and
                             each character becomes its byte in NAME (show: the
                             other way). Without it, text and bytes are the same
  --socket [ADDR:]PORT       capture: listen as a socket printer (one connection,
                             one job); ADDR is IPv4 or [IPv6], 127.0.0.1 without
                             it; port 0 takes a free one
  --lpd [ADDR:]PORT          capture: listen as a line printer daemon (LPD)
  --dir DIR                  capture: the folder the jobs land in (default: .)
  --max-size SIZE            capture: a larger job is cut off and kept as
                             job-N.prn.partial (default: 1G; K, M, G allowed)
  --show                     capture: each job's bytes as token text too
  --emulate LANGUAGE         capture: answer status queries on the socket ports
                             as an escpos, zpl or pjl printer would (the bytes
                             are still kept unchanged)
  --state STATE              capture: the emulated printer's state: ready
                             (default), paper-out, cover-open, paused, offline
  --state-file FILE          capture: the state is FILE's first word, read again
                             at every query; rewrite FILE to change it (a missing
                             file or unknown word keeps the last state)
  --hold SECONDS             capture: how long a ZPL format or PJL job stays in
                             the emulated printer's buffer while it is ready (0)
  --advertise NAME           capture: announce the first socket listener as
                             _pdl-datastream._tcp and the first LPD listener as
                             _printer._tcp over DNS-SD (Avahi), on the interface
                             each listens on; withdrawn when capture stops
  --commands                 inspect: every command, one a line
  --split DIR                inspect: each job (UEL-separated), ZPL label and
                             CPCL or TSPL print unit also as DIR/part-N.prn,
                             which put together are the file byte for byte
  -q, --quiet                print, send: no progress line (shown on standard
                             error while a job is sent, when standard error is a
                             terminal); capture: no line per job (problems still
                             go to standard error)
  --                         ends the options: later arguments are files or codes
  -h, --help                 this text
  --version                  the version

Every job sent prints "request id is PRINTER-ID (N file(s))", as lp does; every
failure is named on standard error. Empty input sends nothing and makes no job.

Ctrl+C (or SIGTERM) during print or send withdraws the job in progress (nothing
of it prints) and sends no further file; a second Ctrl+C ends the program at once.

Exit status: 0 all sent (with --wait: and completed), 1 some file or job failed
(the others were still sent), 2 the command line was wrong (nothing was sent), 130
interrupted by Ctrl+C (SIGINT), 143 stopped by SIGTERM.

Tokens: <NUL> to <US> for bytes 0 to 31, <DEL> for 127, <NPC> for 255, case-sensitive;
every other byte stands for itself.
)help";
}
// clang-format on

} // namespace CliArguments
