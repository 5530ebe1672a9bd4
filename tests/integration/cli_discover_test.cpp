// The built tolvenmark-cli finding the private scheduler's queues: each listed with the
// address its device has, where that is one the program prints to itself.
#include "tests/support/private_spooler.h"
#include "tests/support/program_run.h"

#include <chrono>

namespace {

using PrivateSpooler::Admin;
using PrivateSpooler::DefaultQueue;

ProgramResult Cli(const std::vector<std::string>& arguments) {
    return RunProgram(TOLVENMARK_CLI, arguments);
}

class CliDiscoverTest : public PrivateSpoolerTest {
protected:
    static constexpr const char* kQueue = "Tolvenmark_Discover";
    void SetUp() override {
        PrivateSpoolerTest::SetUp();
        if (!IsSkipped() && !HasFailure()) {
            ASSERT_TRUE(Admin(std::string("lpadmin -p ") + kQueue +
                              " -E -m raw -v socket://127.0.0.1:9 -D 'Front desk' -L Hall"));
        }
    }
    void TearDown() override { Admin(std::string("lpadmin -x ") + kQueue); }
};

// The queue that sends to a socket printer is listed by that printer's address, the queue
// after it; a queue whose device is the scheduler's own backend by its name. All within
// the time-out and a moment.
TEST_F(CliDiscoverTest, ListsTheQueuesWithTheirDevicesAddresses) {
    const auto start = std::chrono::steady_clock::now();
    const ProgramResult result = Cli({"discover", "--json", "--timeout", "2"});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60))
        << "only a search that outlives its time takes this long";
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find(R"({"address":"socket://127.0.0.1:9","other_addresses":)"
                              R"(["Tolvenmark_Discover"],"name":"Front desk",)"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find(R"("location":"Hall","uuid":"","found_by":["spooler"],)"
                              R"("problem":""})"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find(R"({"address":"Tolvenmark_Capture","other_addresses":[],)"),
              std::string::npos)
        << result.out;
    EXPECT_EQ(result.out.substr(0, 2), "[\n");
    EXPECT_EQ(result.out.substr(result.out.size() - 3), "\n]\n");
}

TEST_F(CliDiscoverTest, StatusOfAQueueAsJson) {
    const ProgramResult result = Cli({"status", "--json", "-P", DefaultQueue});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, R"({"printer":"Tolvenmark_Capture","state":"idle","accepting_jobs":true,)"
                          R"("message":"","reasons":[],"jobs":[]})"
                          "\n");
}

} // namespace
