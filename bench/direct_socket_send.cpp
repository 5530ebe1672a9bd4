// Sends one file to a socket:// printer address through SocketSpooler, the way a job of
// the program does, in chunks of 1 MiB; for bench/direct_socket_throughput.sh.
//
//   direct_socket_send socket://HOST:PORT FILE
#include "printing/direct/printer_address.h"
#include "printing/net/socket_spooler.h"

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: direct_socket_send socket://HOST:PORT FILE\n");
        return 2;
    }
    const ParsedPrinterAddress parsed = PrinterAddress::Parse(argv[1]);
    if (!parsed.address) {
        std::fprintf(stderr, "%s\n", parsed.error.c_str());
        return 2;
    }
    std::ifstream file(argv[2], std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "cannot read %s\n", argv[2]);
        return 2;
    }
    SocketSpooler spooler(*parsed.address, DirectOptions{});
    bool sent = spooler.OpenPrinter(argv[1]) && spooler.StartDocument("Tolvenmark Document") &&
                spooler.StartPage();
    std::string chunk(1 << 20, '\0');
    while (sent && file) {
        file.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        sent =
            spooler.Write(std::string_view(chunk.data(), static_cast<std::size_t>(file.gcount())));
    }
    sent = sent && file.eof() && spooler.EndPage() && spooler.EndDocument();
    spooler.ClosePrinter();
    if (!sent) {
        std::fprintf(stderr, "%s\n", spooler.LastError().c_str());
        return 1;
    }
    return 0;
}
