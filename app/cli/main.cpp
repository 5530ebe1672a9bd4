#include "app/cli/cli_program.h"
#include "printing/cups/cups_printer_catalog.h"
#include "printing/cups/cups_spooler.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    // The standard streams carry bytes: no locale and no synchronisation with C stdio,
    // which would only slow large files down.
    std::ios::sync_with_stdio(false);
    try {
        CupsPrinterCatalog catalog;
        CupsSpooler spooler;
        CliProgram program(catalog, spooler, std::cin, std::cout, std::cerr);
        return program.Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& error) {
        std::cerr << "tolvenmark-cli: " << error.what() << std::endl;
        return CliProgram::ExitSomeFailed;
    }
}
