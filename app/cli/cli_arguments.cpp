#include "app/cli/cli_arguments.h"

#include <array>
#include <string_view>

namespace CliArguments {

namespace {

struct CommandForm {
    std::string_view name;
    Command command;
    bool takesPrinter;
    std::size_t minOperands;
    std::size_t maxOperands;
    std::string_view synopsis;
};

constexpr std::size_t Many = static_cast<std::size_t>(-1);

constexpr std::array<CommandForm, 5> Commands = {{
    {"list", Command::List, false, 0, 0, "tolvenmark-cli list"},
    {"print", Command::Print, true, 1, Many, "tolvenmark-cli print [-P PRINTER] FILE..."},
    {"send", Command::Send, true, 1, 1, "tolvenmark-cli send [-P PRINTER] CODES"},
    {"show", Command::Show, false, 0, 1, "tolvenmark-cli show [FILE]"},
    {"encode", Command::Encode, false, 0, 1, "tolvenmark-cli encode [FILE]"},
}};

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
                return Request{Command::Help, std::nullopt, {}};
            } else if (argument == "--version") {
                return Request{Command::Version, std::nullopt, {}};
            } else {
                ReadPrinterOption(argument);
            }
        }
        CheckOperandCount();
        return request_;
    }

private:
    void ReadPrinterOption(const std::string& argument) {
        std::optional<std::string> name;
        if (argument == "-P" || argument == "--printer") {
            if (position_ + 1 >= arguments_.size()) {
                Fail("option " + argument + " needs a printer name");
            }
            name = arguments_[++position_];
        } else if (StartsWith(argument, "--printer=")) {
            name = argument.substr(10);
        } else if (StartsWith(argument, "-P") && !StartsWith(argument, "--")) {
            name = argument.substr(2);
        } else {
            Fail("unknown option '" + argument + "'");
        }
        if (!form_.takesPrinter) {
            Fail("'" + std::string(form_.name) + "' sends nothing and takes no printer");
        }
        if (name->empty()) {
            Fail("the printer name is empty");
        }
        request_.printer = std::move(name);
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
        return Request{Command::Help, std::nullopt, {}};
    }
    if (first == "--version") {
        return Request{Command::Version, std::nullopt, {}};
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
  list                       the printer names, one a line, in the spooler's order;
                             the default printer (the one 'lpstat -d' names: LPDEST,
                             PRINTER, lpoptions, then the spooler's default) is
                             followed by " (default)" - the name is always the first
                             blank-separated word of a line
  print [-P PRINTER] FILE... each file as one raw job, in the order given
  send [-P PRINTER] CODES    the token text CODES (for example '<ESC>E<ESC>&l1O')
                             converted to bytes and sent as one raw job;
                             CODES '-' reads the token text from standard input
  show [FILE]                a file's bytes as token text on standard output
  encode [FILE]              token text to raw bytes on standard output
                             (FILE '-' or none: standard input)

Options:
  -P, --printer PRINTER      the printer to send to (default: the default printer)
  --                         ends the options: later arguments are files or codes
  -h, --help                 this text
  --version                  the version

Every job sent prints "request id is PRINTER-ID (N file(s))", as lp does; every
failure is named on standard error.

Exit status: 0 all sent, 1 some file or job failed (the others were still sent),
2 the command line was wrong (nothing was sent).

Tokens: <NUL> to <US> for bytes 0 to 31, <DEL> for 127, <NPC> for 255, case-sensitive;
every other byte stands for itself.
)help";
}
// clang-format on

} // namespace CliArguments
