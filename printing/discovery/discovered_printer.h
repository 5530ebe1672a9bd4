#pragma once

#include <string>
#include <vector>

// One printer found on the network, on a port of this machine, or in the spooler: the
// address to print to (as -P takes it) and what it says of itself. Text from outside is kept
// as bytes, bounded by the source, and escaped where it is shown.
struct DiscoveredPrinter {
    // The address that prints: a raw one (socket://) first where the printer has several.
    std::string address;
    // Its other addresses (ipp://, lpd://, a queue), in the order they were found.
    std::vector<std::string> otherAddresses;
    std::string name;
    std::string model;
    // The languages it speaks, by their usual names ("PCL", "PostScript", "ZPL", "ESC/POS").
    std::vector<std::string> languages;
    std::string location;
    // What identifies the printer across sources (a DNS-SD TXT "UUID"), empty when none.
    std::string uuid;
    // The IP addresses the source resolved the printer's host name to, where it knows them:
    // what lets a printer found by its name be one row with the same printer found by its
    // address (SNMP). Never shown, never printed to.
    std::vector<std::string> hostAddresses;
    // How it was found: "DNS-SD", "USB", "serial", "spooler", "SNMP".
    std::vector<std::string> foundBy;
    // Why it can't be used as it is, and what to do ("permission denied: add yourself to the
    // lp group"); empty when it can.
    std::string problem;
};
