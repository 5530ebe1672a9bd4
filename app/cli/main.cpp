#include "app/cli/cli_arguments.h"
#include "app/cli/cli_program.h"
#include "app/cli/console_setup.h"
#include "app/cli/interrupt_flag.h"
#include "app/cli/interrupt_signals.h"
#include "core/safe_text.h"
#include "printing/job/printer_access.h"
#include "printing/platform/platform_printer_access.h"

#include <cstdio>
#include <exception>
#include <iostream>
#include <memory>
#include <optional>

#ifdef _WIN32
#include <io.h>
#else
#include "app/cli/descriptor_input.h"

#include <unistd.h>
#endif

namespace {

// Progress is drawn only for a person watching: on a terminal.
bool StandardErrorIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) == 1;
#endif
}

// Only the commands that send take Ctrl+C and SIGTERM as a request to withdraw their job,
// and discover as one to end the search and list what it found; every other command keeps
// the default handling and ends at once.
bool WatchesInterrupt(const std::vector<std::string>& arguments) {
    try {
        const CliArguments::Command command = CliArguments::Parse(arguments).command;
        return command == CliArguments::Command::Print || command == CliArguments::Command::Send ||
               command == CliArguments::Command::Discover;
    } catch (const CliArguments::UsageError&) {
        return false;
    }
}

} // namespace

int main(int argc, char** argv) {
    // The standard streams carry bytes: no text mode, no locale and no synchronisation
    // with C stdio, which would only slow large files down.
    ConsoleSetup::UseBinaryStandardStreams();
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> arguments = ConsoleSetup::Arguments(argc, argv);
    InterruptFlag interrupt;
#ifdef _WIN32
    std::istream& input = std::cin;
#else
    // Standard input read so that Ctrl+C ends a read that waits for a pipe.
    DescriptorInput inputBuffer(STDIN_FILENO, interrupt);
    std::istream input(&inputBuffer);
#endif
    try {
        // Queues, and printers reached by their address.
        const std::unique_ptr<PrinterAccess> printers = MakePlatformPrinterAccess();
        CliProgram program(*printers, input, std::cout, std::cerr);
        program.WatchInterrupt(interrupt);
        if (StandardErrorIsTerminal()) {
            program.ShowProgress();
        }
        std::optional<InterruptSignals> signals;
        if (WatchesInterrupt(arguments)) {
            signals.emplace(interrupt);
        }
        return program.Run(arguments);
    } catch (const std::exception& error) {
        // The words may carry a spooler's or a file system's text: shown as every such text is.
        std::cerr << "tolvenmark-cli: " << SafeText(error.what(), WholeText) << std::endl;
        return CliProgram::ExitSomeFailed;
    }
}
