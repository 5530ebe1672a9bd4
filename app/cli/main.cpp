#include "app/cli/cli_program.h"
#include "app/cli/console_setup.h"
#include "printing/direct/direct_options.h"
#include "printing/platform/platform_printer_catalog.h"
#include "printing/platform/platform_spooler.h"

#include <exception>
#include <iostream>
#include <memory>

int main(int argc, char** argv) {
    // The standard streams carry bytes: no text mode, no locale and no synchronisation
    // with C stdio, which would only slow large files down.
    ConsoleSetup::UseBinaryStandardStreams();
    std::ios::sync_with_stdio(false);
    try {
        const std::unique_ptr<PrinterCatalog> catalog = MakePlatformPrinterCatalog();
        // Queues, and printers reached by their address with the options the command line
        // sets.
        DirectOptions directOptions;
        const std::unique_ptr<Spooler> spooler = MakePlatformSpooler(directOptions);
        CliProgram program(*catalog, *spooler, std::cin, std::cout, std::cerr, &directOptions);
        return program.Run(ConsoleSetup::Arguments(argc, argv));
    } catch (const std::exception& error) {
        std::cerr << "tolvenmark-cli: " << error.what() << std::endl;
        return CliProgram::ExitSomeFailed;
    }
}
