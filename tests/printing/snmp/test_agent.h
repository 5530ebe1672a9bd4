#pragma once

#include "tests/support/temp_dir.h"

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

// Debian's snmpd beside the tests as a printer's agent: on a free loopback port, with its
// configuration, log and persistent files in a folder of its own, answering the community
// "public" from loopback. Stopped when it goes.
class TestAgent {
public:
    static bool Installed();

    // The printer's objects are "OID TYPE VALUE" under mib-2 (1.3.6.1.2.1), as snmpd's
    // `override` takes them. Listens on 127.0.0.1 and, where this machine has it, ::1;
    // throws when it does not.
    explicit TestAgent(const std::vector<std::string>& objects);
    // Listens on the loopback address and port given, IPv4 only: several agents of one
    // port, as a network's printers are.
    TestAgent(const std::vector<std::string>& objects, const std::string& address,
              std::uint16_t port);
    ~TestAgent();
    TestAgent(const TestAgent&) = delete;
    TestAgent& operator=(const TestAgent&) = delete;

    std::uint16_t Port() const { return port_; }
    bool ListensOnIpv6() const { return ipv6_; }

private:
    void Stop();

    TempDir dir_;
    std::uint16_t port_ = 0;
    bool ipv6_ = false;
    pid_t child_ = -1;
};

// A loopback UDP port free a moment ago: nothing answers there.
std::uint16_t UnusedUdpPort();
