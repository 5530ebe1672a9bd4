// tolvenmark-cli asking direct printers how they stand, as a user runs it: its own capture
// answering as a printer of each language, and printers that answer badly.
#include "tests/support/capture_process.h"
#include "tests/support/loopback_listener.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_dir.h"

#include <atomic>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

ProgramResult Cli(const std::vector<std::string>& arguments) {
    return RunProgram(TOLVENMARK_CLI, arguments);
}

// A capture answering as a printer of the language, its state set through its state file.
struct EmulatedPrinter {
    TempDir dir;
    CaptureProcess capture;

    EmulatedPrinter(const std::string& language, const std::string& hold = "0")
        : capture(TOLVENMARK_CLI, {"--emulate", language, "--hold", hold, "--state-file",
                                   SetState("ready"), "--quiet"}) {}
    std::string SetState(const std::string& state) {
        WriteBytes(dir.File("state"), state + "\n");
        return dir.File("state");
    }
    std::string Address() const {
        return "socket://127.0.0.1:" + std::to_string(capture.SocketPort());
    }
};

TEST(CliTalkbackTest, StatusSaysEachLanguagesStatesInPlainWords) {
    struct Case {
        const char* state;
        const char* words;
    };
    const std::vector<std::pair<std::string, std::vector<Case>>> languages = {
        {"escpos",
         {{"ready", "ready (ESC/POS)"},
          {"paper-out", "offline, paper out (ESC/POS)"},
          {"cover-open", "offline, cover open (ESC/POS)"},
          {"offline", "offline (ESC/POS)"}}},
        {"zpl",
         {{"ready", "ready (ZPL)"},
          {"paper-out", "paper out (ZPL)"},
          {"cover-open", "head open (ZPL)"},
          {"paused", "paused (ZPL)"}}},
        {"pjl",
         {{"ready", "ready (\"READY\") (PJL)"},
          {"paper-out", "paper out, offline (\"LOAD TRAY 1\") (PJL)"},
          {"cover-open", "cover open, offline (\"PRINTER OPEN\") (PJL)"},
          {"offline", "offline (\"OFFLINE\") (PJL)"}}},
    };
    for (const auto& [language, cases] : languages) {
        EmulatedPrinter printer(language);
        for (const Case& c : cases) {
            printer.SetState(c.state);
            const ProgramResult result =
                Cli({"status", "-P", printer.Address(), "--language", language});
            EXPECT_EQ(result.out, printer.Address() + ": " + c.words + "\n") << result.err;
            EXPECT_EQ(result.exitCode, std::string(c.state) == "ready" ? 0 : 1) << c.words;
        }
    }
    // Without a language the printer is asked nothing, and the user is told how to name it.
    EmulatedPrinter printer("zpl");
    const ProgramResult result =
        Cli({"status", "-P", printer.Address(), "--snmp-port", "9", "--timeout", "1"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("its language is not known, so it was asked nothing"),
              std::string::npos)
        << result.err;
    EXPECT_TRUE(std::filesystem::is_empty(printer.capture.JobsDir()));
}

// --wait ends once the printer itself says the job is done, or with what keeps it from it;
// --check sends nothing to a printer that is not ready.
TEST(CliTalkbackTest, JobsAreCheckedAndConfirmedByThePrinter) {
    struct Case {
        const char* language;
        const char* codes;
        const char* option;
        const char* stateMidway; // written half a second into the job; empty for none
        int exitCode;
        const char* said; // the end of the job's line, or of its failure
    };
    const Case cases[] = {
        {"zpl", "^XA^FDx^FS^PQ2^XZ", "--wait", "", 0, "(0 file(s)): printed\n"},
        {"pjl", "<ESC>%-12345X@PJL<CR><LF>x<FF>", "--wait", "", 0, "(0 file(s)): printed\n"},
        {"escpos", "<ESC>@x", "--wait", "", 0, "(0 file(s)): sent, printer ready\n"},
        {"zpl", "^XA^XZ", "--wait", "paper-out", 1,
         "the printer reports paper out while the job waited to be printed\n"},
        {"pjl", "x", "--wait", "cover-open", 1,
         "the printer reports cover open, offline (\"PRINTER OPEN\") while the job waited to be "
         "printed\n"},
    };
    for (const Case& c : cases) {
        EmulatedPrinter printer(c.language, "1.5");
        std::thread change([&] {
            if (*c.stateMidway != '\0') {
                std::this_thread::sleep_for(std::chrono::milliseconds(500));
                printer.SetState(c.stateMidway);
            }
        });
        const ProgramResult result =
            Cli({"send", "-P", printer.Address() + "?language=" + c.language, "-t", "T", c.option,
                 c.codes});
        change.join();
        EXPECT_EQ(result.exitCode, c.exitCode) << c.codes << result.err;
        const std::string& said = c.exitCode == 0 ? result.out : result.err;
        EXPECT_TRUE(said.ends_with(c.said)) << c.codes << ": " << said;
    }
    // A PJL job to be confirmed goes between JOB and EOJ lines of its name.
    EmulatedPrinter pjl("pjl");
    ASSERT_EQ(
        Cli({"send", "-P", pjl.Address(), "--language", "pjl", "--wait", "-t", "T", "x"}).exitCode,
        0);
    const std::string uel = "\x1b%-12345X";
    EXPECT_EQ(pjl.capture.Job(1)->rfind(uel +
                                            "@PJL\r\n@PJL USTATUS JOB = ON\r\n@PJL JOB NAME = "
                                            "\"T\"\r\n" +
                                            uel + "x" + uel + "@PJL EOJ NAME = \"T\"\r\n" + uel,
                                        0),
              0u);
    // Checked first, a printer out of paper is sent its status query and nothing of the job.
    EmulatedPrinter zpl("zpl");
    zpl.SetState("paper-out");
    const ProgramResult refused =
        Cli({"send", "-P", zpl.Address(), "--language", "zpl", "--check", "^XA^XZ"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("the printer reports paper out, so nothing was sent"),
              std::string::npos)
        << refused.err;
    EXPECT_EQ(zpl.capture.Job(1, ".prn.partial"), "~HS~HQES");
}

// A printer on 127.0.0.1 that answers whatever it is sent with the same bytes, each time or
// over and over until the sender goes, and keeps what it was sent.
class BadPrinter {
public:
    BadPrinter(std::string reply, bool flood) : reply_(std::move(reply)), flood_(flood) {
        thread_ = std::thread([this] { Serve(); });
    }
    ~BadPrinter() {
        listener_.Shutdown();
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    std::string Address() const { return listener_.Address(); }
    // What it was sent, once the sender has gone.
    std::string Received() {
        thread_.join();
        return received_;
    }

private:
    void Serve() {
        const int connection = listener_.Accept();
        if (connection < 0) {
            return;
        }
        char buffer[65536];
        for (ssize_t count; (count = recv(connection, buffer, sizeof buffer, 0)) > 0;) {
            received_.append(buffer, static_cast<std::size_t>(count));
            while (send(connection, reply_.data(), reply_.size(), MSG_NOSIGNAL) >= 0 && flood_) {
            }
        }
        close(connection);
    }

    std::string reply_;
    bool flood_;
    std::string received_;
    LoopbackListener listener_;
    std::thread thread_;
};

TEST(CliTalkbackTest, BadAnswersAreSaidPlainlyWithinTheTimeOutAndLeaveTheJobWhole) {
    struct Case {
        const char* language;
        std::string reply;
        bool flood;
        const char* said;
    };
    const Case cases[] = {
        {"zpl", "\xff\xfe", false,
         "the printer answered the ZPL status query (~HS) with bytes that are no such reply: "
         "\"\\xff\\xfe"},
        {"zpl", "\x02" + std::string(4096, 'A'), true, "with bytes that are no such reply"},
        {"pjl", std::string(4096, '@'), true, "with bytes that are no such reply"},
        {"escpos", "", false,
         "the printer did not answer the ESC/POS status query (DLE EOT) within 1 s"},
    };
    for (const Case& c : cases) {
        BadPrinter printer(c.reply, c.flood);
        const auto start = std::chrono::steady_clock::now();
        const ProgramResult result = Cli({"send", "-P", printer.Address(), "--language", c.language,
                                          "--timeout", "1", "--wait", "JOB-BYTES"});
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(result.err.find(c.said), std::string::npos) << result.err;
        EXPECT_NE(printer.Received().find("JOB-BYTES"), std::string::npos) << c.language;
    }
}

} // namespace
