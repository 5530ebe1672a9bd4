// CUPS's own backends as senders to tolvenmark-cli capture: a queue of the private
// scheduler whose device is the capture's socket port, one whose device is its LPD port.
// A raw job of every byte value arrives unchanged through each.
#include "tests/support/capture_process.h"
#include "tests/support/private_spooler.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_dir.h"

#include <filesystem>

namespace {

using PrivateSpooler::Admin;

class CaptureSpoolerTest : public PrivateSpoolerTest {
protected:
    void TearDown() override {
        for (const char* queue : {"Capture_Socket", "Capture_Lpd"}) {
            Admin(std::string("lpadmin -x ") + queue);
        }
    }
};

TEST_F(CaptureSpoolerTest, CupsBackendsDeliverTheExactBytes) {
    for (const char* backend : {"socket", "lpd"}) {
        if (!std::filesystem::exists(std::string("/usr/lib/cups/backend/") + backend)) {
            const std::string why =
                std::string("CUPS's ") + backend + " backend is missing (Debian package cups)";
            if (PrivateSpooler::Required()) {
                FAIL() << why;
            }
            GTEST_SKIP() << why;
        }
    }
    CaptureProcess capture(TOLVENMARK_CLI);
    const struct {
        std::string queue;
        std::string device;
    } queues[] = {
        {"Capture_Socket", "socket://127.0.0.1:" + std::to_string(capture.SocketPort())},
        {"Capture_Lpd", "lpd://127.0.0.1:" + std::to_string(capture.LpdPort()) + "/q"},
    };
    TempDir temp;
    const std::string bytes = AllByteValues() + "\x1b@\x1dV" + std::string(1, '\0');
    WriteBytes(temp.File("job.prn"), bytes);
    int number = 0;
    for (const auto& q : queues) {
        SCOPED_TRACE(q.device);
        ASSERT_TRUE(Admin("lpadmin -p " + q.queue + " -E -v " + q.device + " -m raw"));
        const ProgramResult sent =
            RunProgram("lp", {"-d", q.queue, "-o", "raw", temp.File("job.prn")});
        ASSERT_EQ(sent.exitCode, 0) << sent.err;
        EXPECT_EQ(capture.Job(++number), bytes);
    }
    EXPECT_TRUE(capture.WaitForOut("job 2 from 127.0.0.1:")) << capture.Out();
    // The backend writes the job name with its own safe characters.
    EXPECT_NE(capture.Out().find("(LPD queue \"q\", job \"job_prn\", user \""), std::string::npos)
        << capture.Out();
    EXPECT_EQ(capture.Stop(), 0);
    EXPECT_EQ(capture.Err().find("tolvenmark-cli:"), std::string::npos) << capture.Err();
}

} // namespace
