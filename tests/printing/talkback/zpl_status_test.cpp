#include "printing/talkback/zpl_status.h"
#include "tests/printing/talkback/seen.h"

#include <gtest/gtest.h>

namespace {

using Verdict = ZplStatus::Verdict;

std::string Frame(const std::string& body) {
    return "\x02" + body + "\x03\r\n";
}

// ~HS's three strings with the flags, the counts and the head/ribbon flags given.
std::string Hs(const std::string& bc, const std::string& formats, const std::string& rest1,
               const std::string& op, const std::string& labels) {
    return Frame("030," + bc + ",1245," + formats + ",0,0,0,000," + rest1) +
           Frame("000,0," + op + ",1,2,6,0," + labels + ",1,000") + Frame("1234,0");
}
const std::string kIdle = Hs("0,0", "000", "0,0,0", "0,0", "00000000");

std::string Es(const std::string& errors, const std::string& warnings) {
    return Frame("\r\nPRINTER STATUS\r\n   ERRORS:         " + errors +
                 "\r\n   WARNINGS:       " + warnings + "\r\n");
}
const std::string kNone = "0 00000000 00000000";

struct Case {
    bool query; // a ~HQES reply rather than ~HS's
    std::string bytes;
    Verdict verdict;
    std::string seen;
    long formats = 0;
    long labels = 0;
};

// Replies laid out as the programming guide gives them, cut short, and out of form.
TEST(ZplStatusTest, ReadsHostStatusAndQueryRepliesAndKnowsWhenOneIsIncompleteOrNotOne) {
    const std::string cutLast = kIdle.substr(0, kIdle.size() - 2); // no CR LF after the last
    const std::vector<Case> cases = {
        {false, kIdle, Verdict::Complete, ""},
        {false, Hs("0,0", "002", "0,0,0", "0,0", "00000025"), Verdict::Complete, "", 2, 25},
        {false, Hs("1,1", "001", "0,0,0", "0,0", "00000000"), Verdict::Complete, "PaperOut Paused",
         1},
        {false, Hs("0,0", "000", "0,0,1", "1,1", "00000000"), Verdict::Complete,
         "Error Cover Ribbon / over temperature"},
        {false, cutLast, Verdict::Complete, ""},
        {false, kIdle.substr(0, 60), Verdict::Incomplete, ""},
        {false, "", Verdict::Incomplete, ""},
        {false, "ERROR\r\n", Verdict::NotZplReply, ""},
        {false,
         "\x02"
         "030,0\x02",
         Verdict::NotZplReply, ""},
        {false, "\x02" + std::string(600, '0'), Verdict::NotZplReply, ""}, // no end in sight
        {false, Hs("2,0", "000", "0,0,0", "0,0", "00000000"), Verdict::NotZplReply, ""},
        {false, Hs("0,0", "0x1", "0,0,0", "0,0", "00000000"), Verdict::NotZplReply, ""},
        {false, Frame("030,0,0") + kIdle.substr(kIdle.find('\n') + 1), Verdict::NotZplReply, ""},
        {true, Es(kNone, kNone), Verdict::Complete, ""},
        {true, Es("1 00000000 00000005", "1 00000000 00000008"), Verdict::Complete,
         "PaperOut Cover NearEnd"},
        {true, Es("1 00000000 0001400A", kNone), Verdict::Complete, "Ribbon Cutter Jammed Paused"},
        {true, Es("1 00000000 00020000", kNone), Verdict::Complete,
         "Error / retract function timed out"},
        {true, Es("1 00000000 00000010", "1 00000000 00000002"), Verdict::Complete,
         "Error / printhead over temperature"},
        {true, Es("1 00000000 01000000", kNone), Verdict::Complete, "Error / error flag set"},
        {true, Es(kNone, kNone).substr(0, 30), Verdict::Incomplete, ""},
        {true, Es("1 00000000 0000000G", kNone), Verdict::NotZplReply, ""},
        {true, Frame("\r\nPRINTER STATUS\r\n ERRORS: " + kNone), Verdict::NotZplReply, ""},
    };
    for (const Case& c : cases) {
        const std::string bytes = testing::PrintToString(c.bytes);
        if (c.query) {
            const ZplStatus::QueryStatus status = ZplStatus::ReadQueryStatus(c.bytes);
            EXPECT_EQ(status.verdict, c.verdict) << bytes;
            EXPECT_EQ(Seen(status.state), c.seen) << bytes;
            continue;
        }
        const ZplStatus::HostStatus status = ZplStatus::ReadHostStatus(c.bytes);
        EXPECT_EQ(status.verdict, c.verdict) << bytes;
        EXPECT_EQ(Seen(status.state), c.seen) << bytes;
        EXPECT_EQ(status.formatsInBuffer, c.formats) << bytes;
        EXPECT_EQ(status.labelsRemaining, c.labels) << bytes;
    }
}

} // namespace
