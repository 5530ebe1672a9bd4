#include "printing/discovery/ipv4_network.h"

#include <gtest/gtest.h>

namespace {

std::string Joined(const std::vector<std::string>& list) {
    std::string text;
    for (const std::string& item : list) {
        text.append(text.empty() ? "" : " ").append(item);
    }
    return text;
}

// The addresses asked: never a network's own address nor its broadcast address; the
// network is taken from any address in it; too large a network is refused.
TEST(Ipv4NetworkTest, ListsTheAddressesAPrinterMayHave) {
    const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        {"127.0.0.0/30", "127.0.0.0/30", "127.0.0.1 127.0.0.2"},
        {"127.0.0.6/29", "127.0.0.0/29",
         "127.0.0.1 127.0.0.2 127.0.0.3 127.0.0.4 127.0.0.5 127.0.0.6"},
        {"10.1.2.3", "10.1.2.3/32", "10.1.2.3"},
        {"10.1.2.3/31", "10.1.2.2/31", "10.1.2.2 10.1.2.3"},
    };
    for (const auto& [text, network, hosts] : cases) {
        const ParsedIpv4Network parsed = Ipv4Network::Parse(text);
        ASSERT_TRUE(parsed.network) << parsed.error;
        EXPECT_EQ(parsed.network->Text(), network);
        EXPECT_EQ(Joined(parsed.network->Hosts()), hosts);
    }
    EXPECT_EQ(Ipv4Network::Parse("192.168.0.0/22").network->Hosts().size(), 1022u);
    EXPECT_EQ(Ipv4Network::Parse("192.168.0.0/21").error,
              "'192.168.0.0/21' is too large a network to ask every address of: at most /22 "
              "(1024 addresses)");
    for (const char* wrong : {"", "/24", "10.0.0/24", "10.0.0.256/24", "10.0.0.0/33", "10.0.0.0/",
                              "10.0.0.0/+8", "10.0.0.0/24x", "host/24", "::1/128"}) {
        // Built by appending: GCC 12's -Wrestrict sees a false overlap in "'" + std::string.
        std::string expected(1, '\'');
        expected.append(wrong).append(
            "' is not an IPv4 network such as 192.168.1.0/24 or an address");
        EXPECT_EQ(Ipv4Network::Parse(wrong).error, expected) << wrong;
    }
}

} // namespace
