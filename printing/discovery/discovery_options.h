#pragma once

#include "printing/discovery/ipv4_network.h"
#include "printing/job/job_options.h"

#include <optional>

// What a search for printers covers besides the places always looked at (DNS-SD, the USB
// printer ports, the serial ports, the spooler's queues): a network whose every address
// is asked over SNMP, only when the user names one, and how its agents are reached.
struct DiscoveryOptions {
    std::optional<Ipv4Network> snmpNetwork;
    SnmpSettings snmp;
};
