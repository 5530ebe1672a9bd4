#pragma once

#include "printing/discovery/discovered_printer.h"

#include <cstddef>
#include <string>
#include <vector>

// The printers found so far, one row per printer. A printer found again, through another
// source or another service, joins the row it belongs to:
//  - the same UUID;
//  - an address in common (a spooler queue whose device address is a printer's address);
//  - the same host (without regard to case, a trailing dot ignored) and the same name;
//  - the same host where one of the two has no name (SNMP's), unless the host holds
//    printers of several names, which it then can't be told from.
// A printer that joins several rows makes them one. A row's addresses are ordered raw
// (socket, and the devices) first, then LPD, IPP, IPPS, and a spooler's queue last;
// its other fields come from the first source that had them, except that what the printer
// says of itself (DNS-SD, its device ID, SNMP) is taken over what only the spooler said.
//
// Bounded whatever the sources send: at most kRowLimit rows (later printers are counted,
// not kept), kAddressLimit addresses and kListLimit languages and sources a row, and
// kTextLimit bytes a text.
class PrinterRows {
public:
    static constexpr std::size_t kRowLimit = 4096;
    static constexpr std::size_t kAddressLimit = 16;
    static constexpr std::size_t kListLimit = 32;
    static constexpr std::size_t kTextLimit = 1024;

    // Takes a printer into the rows; true when a row was added or changed.
    bool Add(const DiscoveredPrinter& printer);

    // The rows, in the order their first printer was found.
    std::vector<DiscoveredPrinter> Rows() const;
    // How many printers were not kept for the row limit.
    std::size_t LeftOut() const { return leftOut_; }

private:
    struct Address {
        std::string text; // as it is printed to: the full form, with its language
        std::string key;  // what two spellings of one address have in common
        int rank;
    };
    struct Row {
        DiscoveredPrinter printer; // without its addresses, which are kept below
        std::vector<Address> addresses;
        std::vector<std::string> hosts; // normalised
    };
    enum class Link { None, Weak, Strong };

    static Row RowOf(const DiscoveredPrinter& printer);
    static Link LinkOf(const Row& row, const Row& printer);
    static bool Merge(Row& into, const Row& from);

    std::vector<Row> rows_;
    std::size_t leftOut_ = 0;
};
