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

TEST(CliArgumentsTest, DoubleDashAndSingleDashMakeOperands) {
    EXPECT_EQ(Parse({"print", "--", "-P", "--help", "-x"}).operands,
              (Arguments{"-P", "--help", "-x"}));
    EXPECT_EQ(Parse({"send", "-"}).operands, Arguments{"-"});
    EXPECT_EQ(Parse({"send", "--", "-<ESC>"}).operands, Arguments{"-<ESC>"});
    EXPECT_EQ(Parse({"show", "-"}).operands, Arguments{"-"});
    EXPECT_TRUE(Parse({"encode"}).operands.empty());
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
    };
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
