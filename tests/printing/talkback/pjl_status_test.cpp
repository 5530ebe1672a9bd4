#include "printing/talkback/pjl_status.h"

#include <gtest/gtest.h>

namespace {

using Condition = StatusReport::Condition;
using Kind = PjlStatus::Reply::Kind;

struct Expected {
    Kind kind;
    std::vector<Condition> conditions;
    std::string display; // for a job, its name
    int tray = 0;
};

struct Case {
    std::string name;
    std::string bytes;
    std::vector<Expected> replies;
};

std::vector<PjlStatus::Reply> FedWhole(const std::string& bytes) {
    PjlStatus reader;
    return reader.Feed(bytes);
}

std::vector<PjlStatus::Reply> FedByteByByte(const std::string& bytes) {
    PjlStatus reader;
    std::vector<PjlStatus::Reply> replies;
    for (const char c : bytes) {
        for (PjlStatus::Reply& reply : reader.Feed(std::string_view(&c, 1))) {
            replies.push_back(std::move(reply));
        }
    }
    return replies;
}

// Replies as printers send them, read whole and one byte at a time.
TEST(PjlStatusTest, ReadsFramedRepliesIntoStatesAndJobEvents) {
    // Past the limit it carries what would read as a reply: that part too is passed over.
    const std::string runaway = "@PJL INFO STATUS\r\nDISPLAY=\"" +
                                std::string(PjlStatus::kReplyLimit, 'x') +
                                "\"\r\n@PJL INFO STATUS\r\nCODE=40022\r\n";
    const std::vector<Case> cases = {
        {"ready, after an echo",
         "@PJL ECHO 17:45:22.5 05-17-92\r\n\f@PJL INFO STATUS\r\nCODE=10001\r\n"
         "DISPLAY=\"00 READY\"\r\nONLINE=TRUE\r\n\f",
         {{Kind::Device, {}, "00 READY"}}},
        {"printer open",
         "@PJL USTATUS DEVICE\r\nCODE=40021\r\nDISPLAY=\"12 PRINTER OPEN\"\r\nONLINE=FALSE\r\n\f",
         {{Kind::Device, {Condition::CoverOpen, Condition::Offline}, "12 PRINTER OPEN"}}},
        {"toner low is still ready",
         "@PJL USTATUS DEVICE\r\nCODE=10006\r\nDISPLAY=\"16 TONER LOW\"\r\nONLINE=TRUE\r\n\f",
         {{Kind::Device, {}, "16 TONER LOW"}}},
        {"paper out in tray 2, spaces around the equals signs",
         "@PJL USTATUS TIMED\r\nCODE = 41202\r\nDISPLAY = \"LOAD TRAY 2\"\r\nONLINE = FALSE\r\n\f",
         {{Kind::Device, {Condition::PaperOut, Condition::Offline}, "LOAD TRAY 2", 2}}},
        {"jam and hardware error, LF only",
         "@PJL USTATUS DEVICE\nCODE=40022\nDISPLAY=\"13 PAPER JAM\"\nONLINE=FALSE\n\f"
         "@PJL USTATUS DEVICE\nCODE=50000\nDISPLAY=\"50 SERVICE\"\nONLINE=FALSE\n\f",
         {{Kind::Device, {Condition::Jammed, Condition::Offline}, "13 PAPER JAM"},
          {Kind::Device, {Condition::Error, Condition::Offline}, "50 SERVICE"}}},
        {"job started and ended",
         "@PJL USTATUS JOB\r\nSTART\r\nNAME=\"JOB 14993\"\r\n\f@PJL USTATUS JOB\r\nEND\r\n"
         "NAME=\"JOB 14993\"\r\nPAGES=3\r\n\f",
         {{Kind::JobStarted, {}, "JOB 14993"}, {Kind::JobEnded, {}, "JOB 14993"}}},
        {"other replies and status without a code",
         "@PJL INFO ID\r\n\"HP LASERJET 4\"\r\n\f@PJL INFO STATUS\r\nONLINE=TRUE\r\n\f\f",
         {}},
        {"a reply not yet ended", "@PJL INFO STATUS\r\nCODE=10001\r\n", {}},
        {"a runaway reply is cut, the next one read",
         runaway + "\f@PJL INFO STATUS\r\nCODE=10002\r\nONLINE=FALSE\r\n\f",
         {{Kind::Cut, {}, ""}, {Kind::Device, {Condition::Offline}, ""}}},
    };
    for (const Case& c : cases) {
        for (const auto& replies : {FedWhole(c.bytes), FedByteByByte(c.bytes)}) {
            ASSERT_EQ(replies.size(), c.replies.size()) << c.name;
            for (std::size_t i = 0; i < replies.size(); ++i) {
                const Expected& expected = c.replies[i];
                const PjlStatus::Reply& reply = replies[i];
                EXPECT_EQ(reply.kind, expected.kind) << c.name;
                EXPECT_EQ(reply.state.conditions, expected.conditions) << c.name;
                EXPECT_EQ(expected.kind == Kind::Device ? reply.state.display : reply.jobName,
                          expected.display)
                    << c.name;
                EXPECT_EQ(reply.tray, expected.tray) << c.name;
            }
        }
    }
}

// A job name the printer cannot misread: no quote or control byte ends the command early.
TEST(PjlStatusTest, QuotesJobNamesSafely) {
    EXPECT_EQ(PjlStatus::JobLine("a\"b\r\n@PJL RESET"), "@PJL JOB NAME = \"a'b  @PJL RESET\"\r\n");
    const std::string longName = std::string(79, 'n') + "\xc3\xa9"; // é across the limit
    EXPECT_EQ(PjlStatus::SafeName(longName), std::string(79, 'n'));
}

} // namespace
