#include "app/cli/cli_program.h"
#include "printing/cups/cups_printer_catalog.h"
#include "printing/direct/direct_options.h"
#include "printing/platform/platform_job_monitor.h"
#include "printing/platform/platform_spooler.h"

#include <exception>
#include <iostream>
#include <memory>

int main(int argc, char** argv) {
    // The standard streams carry bytes: no locale and no synchronisation with C stdio,
    // which would only slow large files down.
    std::ios::sync_with_stdio(false);
    try {
        // Queues, and printers reached by their address with the options the command line
        // sets; the scheduler time-out bounds the printer list too.
        DirectOptions directOptions;
        CupsPrinterCatalog catalog(directOptions);
        const std::unique_ptr<Spooler> spooler = MakePlatformSpooler(directOptions);
        const std::unique_ptr<JobMonitor> monitor = MakePlatformJobMonitor(directOptions);
        CliProgram program(catalog, *spooler, std::cin, std::cout, std::cerr, &directOptions,
                           monitor.get());
        return program.Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& error) {
        std::cerr << "tolvenmark-cli: " << error.what() << std::endl;
        return CliProgram::ExitSomeFailed;
    }
}
