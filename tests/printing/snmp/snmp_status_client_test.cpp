#include "printing/snmp/snmp_status_client.h"
#include "tests/printing/snmp/test_agent.h"
#include "tests/printing/talkback/seen.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <tuple>

namespace {

using Version = SnmpStatusClient::Version;

// Two printers' agents, started once for all the cases. The ready one names itself in
// sysDescr only; the other is out of paper with its door open, its toner gone in its own
// words (one byte of them Latin-1), and has more alerts than are read.
class SnmpStatusClientTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!TestAgent::Installed()) {
            return;
        }
        ready_ = std::make_unique<TestAgent>(
            std::vector<std::string>{"1.1.0 octet_str \"Ready printer\"", "25.3.2.1.5.1 integer 2",
                                     "25.3.5.1.1.1 integer 3", "25.3.5.1.2.1 octet_str 0x00"});
        std::vector<std::string> trouble = {"25.3.2.1.3.1 octet_str \"Trouble printer\"",
                                            "25.3.2.1.5.1 integer 5", "25.3.5.1.1.1 integer 1",
                                            "25.3.5.1.2.1 octet_str 0x4800"};
        const char* const alerts[][3] = {{"3", "808", "\"Tray 1 empty\""},
                                         {"3", "501", "\"Close door\""},
                                         {"3", "1101", "0x546F6E6572206CFC6572"},
                                         {"4", "1104", "\"Toner low\""}};
        for (int row = 1; row <= 40; ++row) {
            const std::string index = ".1." + std::to_string(row);
            const auto& alert = alerts[std::min(row, 4) - 1];
            trouble.push_back("43.18.1.1.2" + index + " integer " + alert[0]);
            trouble.push_back("43.18.1.1.7" + index + " integer " + alert[1]);
            trouble.push_back("43.18.1.1.8" + index + " octet_str " + alert[2]);
        }
        trouble_ = std::make_unique<TestAgent>(trouble);
    }
    static void TearDownTestSuite() {
        ready_.reset();
        trouble_.reset();
    }
    void SetUp() override {
        const char* required = std::getenv("TOLVENMARK_REQUIRE_SPOOLER");
        if (!ready_ && required != nullptr && std::string(required) == "1") {
            FAIL() << "no snmpd here (Debian package snmpd)";
        } else if (!ready_) {
            GTEST_SKIP() << "no snmpd here (Debian package snmpd)";
        }
    }

    static inline std::unique_ptr<TestAgent> ready_;
    static inline std::unique_ptr<TestAgent> trouble_;
};

// The answer on one line: description, statuses (the enums follow the MIB's numbers), what
// they come to, the alerts read and the first of them.
std::string Summary(const SnmpStatusClient::Answer& answer) {
    std::string summary = answer.description + " | " +
                          std::to_string(static_cast<int>(answer.state.deviceStatus)) + "/" +
                          std::to_string(static_cast<int>(answer.state.printerStatus)) + " " +
                          Seen(answer.report) + " | " + std::to_string(answer.state.alerts.size()) +
                          " alerts" + (answer.alertsCut ? ", cut" : "");
    if (answer.state.alerts.empty()) {
        return summary;
    }
    const SnmpPrinterState::Alert& first = answer.state.alerts.front();
    return summary + " | " + std::to_string(first.severity) + " " + std::to_string(first.code) +
           " " + first.description;
}

TEST_F(SnmpStatusClientTest, ReadsReadyAndTroubledPrintersOverV1AndV2c) {
    const std::string ready = "Ready printer | 2/3  | 0 alerts";
    const std::string trouble = "Trouble printer | 5/1 PaperOut Cover Error / Toner l\xFC"
                                "er | 32 alerts, cut | 3 808 Tray 1 empty";
    std::vector<std::tuple<const TestAgent*, std::string, Version, std::string>> cases = {
        {ready_.get(), "127.0.0.1", Version::V2c, ready},
        {ready_.get(), "localhost", Version::V1, ready},
        {trouble_.get(), "127.0.0.1", Version::V2c, trouble},
        {trouble_.get(), "localhost", Version::V1, trouble}};
    if (ready_->ListensOnIpv6()) {
        cases.emplace_back(ready_.get(), "::1", Version::V2c, ready);
        cases.emplace_back(trouble_.get(), "[::1]", Version::V1, trouble);
    }
    for (const auto& [agent, host, version, expected] : cases) {
        const SnmpStatusClient::Answer answer =
            SnmpStatusClient({host, agent->Port(), "public", version}, std::chrono::seconds(20))
                .Ask();
        EXPECT_TRUE(answer.answered) << host << ": " << answer.reason;
        EXPECT_EQ(Summary(answer), expected) << host << (version == Version::V1 ? " v1" : "");
    }
}

// Where no agent answers the exchange ends at the time-out, with the reason; what is no host
// name or address is refused before anything is sent.
TEST(SnmpStatusClientRefusalTest, EndsAtTheTimeOutOrRefusesWhatIsNoHost) {
    const std::uint16_t silent = UnusedUdpPort();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"127.0.0.1", "no answer from 127.0.0.1:" + std::to_string(silent) + " within 0.3 s"},
        {"unix:/tmp/agent", "not a host name or address: unix:/tmp/agent"},
        {"", "not a host name or address: "},
    };
    for (const auto& [host, reason] : cases) {
        const auto start = std::chrono::steady_clock::now();
        const SnmpStatusClient::Answer answer =
            SnmpStatusClient({host, silent}, std::chrono::milliseconds(300)).Ask();
        EXPECT_FALSE(answer.answered) << host;
        EXPECT_EQ(answer.reason, reason);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << host;
    }
}

} // namespace
