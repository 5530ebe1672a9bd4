#include "printing/windows_command_line.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using WindowsCommandLine::PrinterPropertiesCommandLine;
using WindowsCommandLine::QuoteArgument;

// Splits the arguments after the program name the way the C runtime does on Windows:
// blanks separate arguments outside quotes; 2n backslashes before a quote give n and the
// quote opens or closes quoting, 2n + 1 give n and a literal quote; other backslashes are
// literal. An independent reading, so that the quoting is checked against the rules and
// not against itself.
std::vector<std::string> SplitArguments(const std::string& line) {
    std::vector<std::string> arguments;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
            ++i;
        }
        if (i == line.size()) {
            break;
        }
        std::string argument;
        bool quoted = false;
        while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
            std::size_t backslashes = 0;
            while (i < line.size() && line[i] == '\\') {
                ++backslashes, ++i;
            }
            if (i < line.size() && line[i] == '"') {
                argument.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    argument += '"';
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                argument.append(backslashes, '\\');
                if (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
                    argument += line[i++];
                }
            }
        }
        arguments.push_back(argument);
    }
    return arguments;
}

// Printer names that a careless command line would break apart or hand to a shell.
const std::vector<std::string> HardNames = {
    "HP LaserJet 4",
    "",
    "Label \"Zebra\" 2",
    "\\\\server\\Office Printer",
    "ends in a backslash\\",
    "ends in two\\\\",
    "backslash then quote\\\"",
    "\\\\\"\\",
    "Lab & del /q C:\\*.* | more ^ %PATH% !x! > out < in",
    "tab\there",
    "  padded  ",
    "\"",
    "\xC4rger Drucker \xE9\xFF", // bytes of the ANSI code page pass unchanged
};

TEST(WindowsCommandLineTest, QuotingKnownCases) {
    EXPECT_EQ(QuoteArgument("HP LaserJet 4"), "\"HP LaserJet 4\"");
    EXPECT_EQ(QuoteArgument(""), "\"\"");
    EXPECT_EQ(QuoteArgument("a\"b"), "\"a\\\"b\"");
    EXPECT_EQ(QuoteArgument("\\\\server\\Label"), "\"\\\\server\\Label\"");
    EXPECT_EQ(QuoteArgument("ends\\"), "\"ends\\\\\"");
    EXPECT_EQ(QuoteArgument("a\\\"b"), "\"a\\\\\\\"b\"");
    EXPECT_EQ(QuoteArgument("A & B | C ^ D %E%"), "\"A & B | C ^ D %E%\"");
}

TEST(WindowsCommandLineTest, EveryNameIsReadBackAsExactlyOneArgument) {
    for (const std::string& name : HardNames) {
        EXPECT_EQ(SplitArguments(QuoteArgument(name)), std::vector<std::string>{name}) << name;
        EXPECT_EQ(SplitArguments("x " + QuoteArgument(name) + " y"),
                  (std::vector<std::string>{"x", name, "y"}))
            << name;
    }
}

TEST(WindowsCommandLineTest, PropertyPagesStartRundll32WithTheNameAsOneArgument) {
    const std::string rundll32 = "C:\\Program Files\\sys\\rundll32.exe";
    EXPECT_EQ(PrinterPropertiesCommandLine(rundll32, "HP LaserJet 4"),
              "\"C:\\Program Files\\sys\\rundll32.exe\" printui.dll,PrintUIEntry /p /n "
              "\"HP LaserJet 4\"");
    for (const std::string& name : HardNames) {
        const std::string line = PrinterPropertiesCommandLine(rundll32, name);
        // The program is the first word, as the quoted path, and nothing else may start a
        // command: the line holds no interpreter.
        EXPECT_EQ(line.rfind("\"" + rundll32 + "\" ", 0), 0u) << line;
        EXPECT_EQ(SplitArguments(line.substr(rundll32.size() + 3)),
                  (std::vector<std::string>{"printui.dll,PrintUIEntry", "/p", "/n", name}))
            << line;
    }
}

} // namespace
