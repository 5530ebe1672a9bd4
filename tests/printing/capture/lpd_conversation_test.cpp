#include "printing/backends/lpd/lpd_protocol.h"
#include "printing/capture/lpd_conversation.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

using State = LpdConversation::State;
using namespace std::string_literals;

struct Outcome {
    State state;
    std::string replies;
    std::string data;
    bool complete;
};

// Feeds the bytes in pieces of `piece` bytes, as a network may cut them.
Outcome Converse(const std::string& bytes, std::size_t piece = 1 << 20) {
    std::string data;
    LpdConversation conversation([&data](std::string_view bytes) { data.append(bytes); });
    Outcome outcome{State::Going, {}, {}, false};
    for (std::size_t at = 0; at < bytes.size() && outcome.state == State::Going; at += piece) {
        outcome.state = conversation.Take(std::string_view(bytes).substr(at, piece));
        outcome.replies += conversation.TakeReplies();
    }
    outcome.data = data;
    outcome.complete = conversation.CompleteAtClose();
    return outcome;
}

std::string GoodJob(const std::string& data) {
    const std::string control =
        lpd::BuildControlFile({"host", "ann", "Report", "report.prn", "dfA001host"});
    return lpd::ReceiveJobCommand("q") +
           lpd::ReceiveControlFileSubcommand(control.size(), "cfA001host") + control + '\0' +
           lpd::ReceiveDataFileSubcommand(data.size(), "dfA001host") + data + '\0';
}

TEST(LpdConversationTest, AGoodJobArrivesWholeHoweverTheBytesAreCut) {
    for (const std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{1} << 20}) {
        const Outcome outcome = Converse(GoodJob(AllByteValues()), piece);
        EXPECT_EQ(outcome.state, State::Going) << piece;
        EXPECT_EQ(outcome.replies, std::string(5, '\0')) << piece;
        EXPECT_EQ(outcome.data, AllByteValues()) << piece;
        EXPECT_TRUE(outcome.complete) << piece;
    }
    std::string data;
    LpdConversation conversation([&data](std::string_view bytes) { data.append(bytes); });
    conversation.Take(GoodJob("x"));
    EXPECT_EQ(conversation.Queue(), "q");
    EXPECT_EQ(conversation.JobName(), "Report");
    EXPECT_EQ(conversation.User(), "ann");
    EXPECT_EQ(conversation.Host(), "host");
}

// Each breaks the protocol at its last bytes: a negative acknowledgement ends it, and
// what a bad name says is never taken anywhere.
TEST(LpdConversationTest, BrokenConversationsGetANegativeAcknowledgement) {
    const std::string job = "\x02q\n"s;
    for (const std::string& bytes : {
             "\x09q\n"s,             // no such command
             "\n"s,                  // an empty line
             std::string(2000, 'x'), // a line without end
             job + "\x07x\n",        // no such subcommand
             job + "\x03"
                   "12 ../../etc/passwd\n", // a path for a name
             job + "\x03"
                   "12 dfA\0/x\n"s, // a NUL in the name
             job + "\x03"
                   "12 dfA\rx\n", // a control character
             job + "\x03"
                   "-5 dfA\n", // no count
             job + "\x03"
                   "1 dfA\nXY", // longer than announced
             job + "\x02"
                   "999999 cfA\n", // an oversized control file
             job + "\x02"
                   "2 cfA\nHx\0"s, // a control line without end
         }) {
        const Outcome outcome = Converse(bytes);
        EXPECT_EQ(outcome.state, State::Refused) << bytes;
        ASSERT_FALSE(outcome.replies.empty()) << bytes;
        EXPECT_EQ(outcome.replies.back(), '\x01') << bytes;
        EXPECT_FALSE(outcome.complete) << bytes;
    }
}

TEST(LpdConversationTest, QueueQuestionsAreAnsweredAndEndTheConversation) {
    const struct {
        std::string command;
        std::string reply;
    } cases[] = {
        {"\x03q\n", "no entries\n"},
        {"\x04q ann\n", "no entries\n"},
        {"\x05q root 12\n", ""},
        {"\x01q\n", "\0"s},
    };
    for (const auto& c : cases) {
        const Outcome outcome = Converse(c.command);
        EXPECT_EQ(outcome.state, State::Finished) << c.command;
        EXPECT_EQ(outcome.replies, c.reply) << c.command;
        EXPECT_FALSE(outcome.complete) << c.command;
    }
}

// A job is whole only with its control file, its data and nothing left open.
TEST(LpdConversationTest, IncompleteJobsAreNotComplete) {
    const std::string whole = GoodJob("data");
    const std::string dataOnly = "\x02q\n\x03"
                                 "4 dfA\ndata\0"s;
    for (const std::string& bytes : {dataOnly, whole + "\x01\n", whole.substr(0, whole.size() - 1),
                                     whole + "\x03"
                                             "4 dfA"}) {
        EXPECT_FALSE(Converse(bytes).complete) << bytes;
    }
}

} // namespace
