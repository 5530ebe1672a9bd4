#include "printing/discovery/ipv4_network.h"

#include <charconv>

namespace {

// A decimal number of one to `digits` digits, no sign and nothing after it.
std::optional<unsigned> Number(std::string_view text, std::size_t digits) {
    unsigned number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || text.size() > digits || error != std::errc() ||
        end != text.data() + text.size()) {
        return std::nullopt;
    }
    return number;
}

std::optional<std::uint32_t> DottedAddress(std::string_view text) {
    std::uint32_t address = 0;
    for (int part = 0; part < 4; ++part) {
        const std::size_t dot = part < 3 ? text.find('.') : text.size();
        if (dot == std::string_view::npos) {
            return std::nullopt;
        }
        const std::optional<unsigned> number = Number(text.substr(0, dot), 3);
        if (!number || *number > 255) {
            return std::nullopt;
        }
        address = (address << 8) | *number;
        text.remove_prefix(part < 3 ? dot + 1 : dot);
    }
    return address;
}

std::string Dotted(std::uint32_t address) {
    return std::to_string(address >> 24) + '.' + std::to_string((address >> 16) & 0xff) + '.' +
           std::to_string((address >> 8) & 0xff) + '.' + std::to_string(address & 0xff);
}

std::uint32_t MaskOf(int prefix) {
    return prefix == 0 ? 0 : ~std::uint32_t{0} << (32 - prefix);
}

} // namespace

ParsedIpv4Network Ipv4Network::Parse(std::string_view text) {
    const std::size_t slash = text.find('/');
    const std::optional<std::uint32_t> address = DottedAddress(text.substr(0, slash));
    const std::optional<unsigned> prefix = slash == std::string_view::npos
                                               ? std::optional<unsigned>(32)
                                               : Number(text.substr(slash + 1), 2);
    // Built by appending: GCC 12's -Wrestrict sees a false overlap in "'" + std::string.
    std::string quoted(1, '\'');
    quoted.append(text).push_back('\'');
    if (!address || !prefix || *prefix > 32) {
        return {std::nullopt,
                quoted + " is not an IPv4 network such as 192.168.1.0/24 or an address"};
    }
    const int length = static_cast<int>(*prefix);
    if (length < kWidestPrefix) {
        return {std::nullopt, quoted +
                                  " is too large a network to ask every address of: at most /" +
                                  std::to_string(kWidestPrefix) + " (1024 addresses)"};
    }
    return {Ipv4Network(*address & MaskOf(length), length), {}};
}

std::string Ipv4Network::Text() const {
    return Dotted(base_) + '/' + std::to_string(prefix_);
}

std::vector<std::string> Ipv4Network::Hosts() const {
    const std::uint32_t size = std::uint32_t{1} << (32 - prefix_);
    const bool ends = size > 2; // a network address and a broadcast address
    std::vector<std::string> hosts;
    for (std::uint32_t i = ends ? 1 : 0; i < (ends ? size - 1 : size); ++i) {
        hosts.push_back(Dotted(base_ + i));
    }
    return hosts;
}
