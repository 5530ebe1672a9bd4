// Sends one file as a raw job, the way the Print button does, for bench/print_throughput.sh.
#include "core/file_error.h"
#include "printing/cups/cups_spooler.h"
#include "printing/raw_print.h"

#include <iostream>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: print_file QUEUE FILE\n";
        return 2;
    }
    CupsSpooler spooler;
    try {
        if (!modRawPrint::PrintFileRaw(spooler, argv[1], argv[2])) {
            std::cerr << "print_file: " << spooler.LastError() << '\n';
            return 1;
        }
    } catch (const FileError& error) {
        std::cerr << "print_file: " << error.what() << '\n';
        return 1;
    }
    std::cout << spooler.JobId() << '\n';
    return 0;
}
