#pragma once

#include "printing/discovery/ipv4_network.h"
#include "printing/discovery/printer_source.h"
#include "printing/job/job_options.h"

// The printers of a network the user names, found by asking every address of it for its
// SNMP agent's description (v2c, at the port and community given), a batch of addresses at
// a time, all within the search's time. An agent that says it has a printer (the Host
// Resources MIB's printer status for device 1) is listed as socket://HOST:9100 with its
// description as the model; an agent that names no printer (a router, a computer) is not.
// Requests go to the network's addresses only: none to its own or its broadcast address.
class SnmpNetworkSource final : public PrinterSource {
public:
    // How many agents are asked at once, each over a socket of its own.
    static constexpr std::size_t kBatch = 256;

    SnmpNetworkSource(Ipv4Network network, SnmpSettings settings);

    std::string Name() const override { return "SNMP"; }
    std::string Search(std::chrono::steady_clock::time_point deadline,
                       const std::atomic<bool>* stop, const Found& found) override;

private:
    Ipv4Network network_;
    SnmpSettings settings_;
};
