#pragma once

#include "printing/discovery/discovered_printer.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One printer service as DNS-SD resolved it, and the printer it describes. The fields are
// what came from the network, unchecked: any bytes, any length. Printer() bounds them and
// builds the address to print to; nothing here knows how they were looked up, so the
// mapping is the same for every DNS-SD library.
struct DnssdRecord {
    // The service types printers are looked for under: raw first, as rows list them.
    static constexpr std::array<std::string_view, 4> ServiceTypes{
        "_pdl-datastream._tcp", "_printer._tcp", "_ipp._tcp", "_ipps._tcp"};
    // The most bytes kept of any one text (a TXT value, a name): what one TXT string holds.
    static constexpr std::size_t MaxText = 255;
    // The most languages kept of one printer's "pdl" list.
    static constexpr std::size_t MaxLanguages = 16;

    // The service's instance name ("Front Desk").
    std::string name;
    // Its type, one of ServiceTypes.
    std::string type;
    // The host it runs on as DNS-SD names it ("printer.local"), and the address that
    // name resolved to ("192.168.1.20", "fe80::1"), used only where the name can't be.
    std::string host;
    std::string address;
    std::uint16_t port = 0;
    // The TXT record's strings as they came, each "key=value" or a bare "key".
    std::vector<std::string> txt;

    // The printer: its address (socket://HOST:PORT, lpd://HOST:PORT/QUEUE with the queue
    // from "rp", ipp(s)://HOST:PORT/PATH with the path from "rp"), its name, its model
    // ("ty", else "product" without its parentheses, else "usb_MFG" and "usb_MDL"), its
    // languages ("pdl": MIME types by their usual names), location ("note") and "UUID".
    // An address the parser refuses is kept as it is, with the parser's words as the
    // problem.
    DiscoveredPrinter Printer() const;

    // The value of the key, matched in any case, at most `limit` bytes of it; the first
    // string with the key counts. Nothing where the key is missing or bare.
    std::string Value(std::string_view key, std::size_t limit = MaxText) const;
};
