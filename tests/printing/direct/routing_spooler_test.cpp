#include "printing/direct/routing_spooler.h"
#include "printing/raw_print.h"
#include "tests/support/recording_spooler.h"

#include <gtest/gtest.h>

namespace {

// Routes through two recording spoolers: the queues, and one made for each address.
struct Routes {
    RecordingSpooler queues;
    std::vector<std::string> addresses;
    RecordingSpooler* lastDirect = nullptr;
    RoutingSpooler spooler{queues, [this](const PrinterAddress& address) {
                               addresses.push_back(address.Text());
                               auto direct = std::make_unique<RecordingSpooler>();
                               lastDirect = direct.get();
                               return direct;
                           }};
};

TEST(RoutingSpoolerTest, QueueNamesGoToTheSystemsSpooler) {
    Routes routes;
    EXPECT_TRUE(modRawPrint::PrintStringRaw(routes.spooler, "Fax: front desk", "data"));
    EXPECT_EQ(routes.queues.Written(), std::vector<std::string>{"data"});
    EXPECT_TRUE(routes.addresses.empty());
}

TEST(RoutingSpoolerTest, AnAddressGetsASpoolerOfItsOwnForTheJob) {
    Routes routes;
    EXPECT_TRUE(modRawPrint::PrintStringRaw(routes.spooler, "socket://[::1]", "data"));
    EXPECT_EQ(routes.addresses, std::vector<std::string>{"socket://[::1]:9100"});
    ASSERT_NE(routes.lastDirect, nullptr);
    EXPECT_EQ(routes.lastDirect->Written(), std::vector<std::string>{"data"});
    EXPECT_TRUE(routes.queues.Calls().empty());
}

TEST(RoutingSpoolerTest, AMalformedAddressSendsNothingAndSaysWhy) {
    Routes routes;
    EXPECT_FALSE(modRawPrint::PrintStringRaw(routes.spooler, "socket://h:70000", "data"));
    EXPECT_NE(routes.spooler.LastError().find("out of range"), std::string::npos);
    EXPECT_TRUE(routes.addresses.empty());
    EXPECT_TRUE(routes.queues.Calls().empty());
    // The next job to a queue is not held up by the failed one.
    EXPECT_TRUE(modRawPrint::PrintStringRaw(routes.spooler, "Queue", "next"));
    EXPECT_EQ(routes.spooler.LastError(), "");
}

} // namespace
