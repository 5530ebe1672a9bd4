#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// The command line of tolvenmark-cli, parsed by hand: a command, then its options and
// operands in any order; "--" ends the options and "-" is an operand (standard input).
namespace CliArguments {

enum class Command { Help, Version, List, Print, Send, Show, Encode };

struct Request {
    Command command = Command::Help;
    // Set by -P PRINTER, -PPRINTER, --printer PRINTER or --printer=PRINTER.
    std::optional<std::string> printer;
    std::vector<std::string> operands;
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
