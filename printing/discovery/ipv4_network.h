#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ParsedIpv4Network;

// An IPv4 network the user names for SNMP to ask, written as ADDRESS/PREFIX
// (192.168.1.0/24) or as one address. Only small networks are taken, since every address
// of one is asked: a prefix of at least kWidestPrefix bits.
class Ipv4Network {
public:
    // A /22: 1024 addresses, the most that are asked.
    static constexpr int kWidestPrefix = 22;

    // The network, or why the text names none (or too large a one) in words for the user.
    static ParsedIpv4Network Parse(std::string_view text);

    // "192.168.1.0/24": the network's first address and its prefix length.
    std::string Text() const;
    // The addresses a printer may have in it, dotted: all but the network's own address
    // and its broadcast address, which a unicast request must not go to; a /31 and a /32
    // have neither.
    std::vector<std::string> Hosts() const;

    bool operator==(const Ipv4Network&) const = default;

private:
    Ipv4Network(std::uint32_t base, int prefix) : base_(base), prefix_(prefix) {}

    std::uint32_t base_;
    int prefix_;
};

struct ParsedIpv4Network {
    std::optional<Ipv4Network> network;
    std::string error;
};
