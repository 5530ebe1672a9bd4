#include "printing/talkback/esc_pos_status.h"
#include "tests/printing/talkback/seen.h"

#include <gtest/gtest.h>

namespace {

using Verdict = EscPosStatus::Verdict;

struct Case {
    bool automatic; // a GS a block rather than the four DLE EOT replies
    std::string bytes;
    Verdict verdict;
    std::string seen;
};

// Replies with their bits as the command reference lays them out, and what is not a reply.
TEST(EscPosStatusTest, FoldsRepliesIntoTheStateAndRefusesWhatIsNotAReply) {
    using namespace std::string_literals;
    const std::vector<Case> cases = {
        {false, "\x16\x12\x12\x12", Verdict::Complete, ""}, // drawer pin high
        {false, "\x12\x12\x12\x1E", Verdict::Complete, "NearEnd"},
        {false, "\x1E\x32\x12\x7E", Verdict::Complete, "Offline PaperOut NearEnd"},
        {false, "\x1A\x16\x12\x12", Verdict::Complete, "Offline Cover"},
        {false, "\x1A\x52\x1A\x12", Verdict::Complete, "Offline Error Cutter / error occurs"},
        {false, "\x1A\x52\x32\x12", Verdict::Complete,
         "Offline Error / error occurs; unrecoverable error occurs"},
        {false, "\x12\x12\x12", Verdict::Incomplete, ""},
        {false, "", Verdict::Incomplete, ""},
        {false, "\x13", Verdict::NotStatusReply, ""}, // XOFF
        {false, "\x12\x92\x12\x12", Verdict::NotStatusReply, ""},
        {false, "\x10\x00\x00\x00"s, Verdict::NotStatusReply, ""}, // an automatic block
        {true, "\x14\x00\x00\x00"s, Verdict::Complete, ""},
        {true, "\x10\x00\x03\x00"s, Verdict::Complete, "NearEnd"},
        {true, "\x38\x00\x0F\x00"s, Verdict::Complete, "Offline Cover NearEnd PaperOut"},
        {true, "\x18\x48\x00\x00"s, Verdict::Complete,
         "Offline Cutter Error / automatically recoverable error occurs"},
        {true, "\x10\x00"s, Verdict::Incomplete, ""},
        {true, "\x12", Verdict::NotStatusReply, ""}, // a real-time reply
        {true, "\x10\x10\x00\x00"s, Verdict::NotStatusReply, ""},
    };
    for (const Case& c : cases) {
        const EscPosStatus::Reading reading =
            c.automatic ? EscPosStatus::ReadAutomaticStatus(c.bytes) : EscPosStatus::Read(c.bytes);
        EXPECT_EQ(reading.verdict, c.verdict) << testing::PrintToString(c.bytes);
        EXPECT_EQ(Seen(reading.state), c.seen) << testing::PrintToString(c.bytes);
    }
    EXPECT_EQ(EscPosStatus::AllQueries(), "\x10\x04\x01\x10\x04\x02\x10\x04\x03\x10\x04\x04");
}

} // namespace
