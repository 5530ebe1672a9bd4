#include "printing/snmp/snmp_network_source.h"
#include "tests/printing/snmp/test_agent.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

// A small loopback network of one port: a printer that names itself in hrDeviceDescr, a
// router that names no printer, a printer that names itself in sysDescr only, and three
// addresses where nothing answers. Only the printers are listed, with their raw address;
// the silent addresses hold the search to its time and no longer.
TEST(SnmpNetworkSourceTest, ListsThePrintersAmongTheAgentsOfTheNetwork) {
    if (!TestAgent::Installed()) {
        const char* required = std::getenv("TOLVENMARK_REQUIRE_SPOOLER");
        if (required != nullptr && std::string(required) == "1") {
            FAIL() << "no snmpd here (Debian package snmpd)";
        }
        GTEST_SKIP() << "no snmpd here (Debian package snmpd)";
    }
    const std::uint16_t port = UnusedUdpPort();
    const TestAgent printer({"25.3.2.1.3.1 octet_str \"Zebra ZD420 \"", "25.3.5.1.1.1 integer 3",
                             "1.1.0 octet_str \"Zebra Technologies\""},
                            "127.0.0.1", port);
    const TestAgent router({"1.1.0 octet_str \"Linux router\""}, "127.0.0.2", port);
    const TestAgent receipt({"1.1.0 octet_str \"EPSON TM-T88V\"", "25.3.5.1.1.1 integer 1"},
                            "127.0.0.3", port);
    SnmpNetworkSource source(*Ipv4Network::Parse("127.0.0.0/29").network,
                             SnmpSettings{"public", port, false});

    std::vector<std::string> seen;
    const auto start = std::chrono::steady_clock::now();
    const std::string refusal = source.Search(
        start + std::chrono::seconds(2), nullptr, [&seen](const DiscoveredPrinter& found) {
            seen.push_back(found.address + " " + found.model + " " + found.foundBy.at(0));
        });
    EXPECT_EQ(refusal, "");
    EXPECT_EQ(seen, (std::vector<std::string>{"socket://127.0.0.1:9100 Zebra ZD420 SNMP",
                                              "socket://127.0.0.3:9100 EPSON TM-T88V SNMP"}));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30))
        << "only a search that outlives its time takes this long";
}

} // namespace
