// The emulated printer against our own readers of printers' replies: what it answers in
// each state must read back as that state.
#include "printing/capture/printer_emulator.h"
#include "printing/talkback/esc_pos_status.h"
#include "printing/talkback/pjl_status.h"
#include "printing/talkback/zpl_status.h"
#include "tests/printing/talkback/seen.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using Language = Emulation::Language;
using State = Emulation::State;
using Clock = PrinterEmulator::Clock;

// An emulated printer in the state the test sets, at the times the test gives.
struct TestPrinter {
    explicit TestPrinter(Language language, State initial = State::Ready, Clock::duration hold = {})
        : state(initial), emulator(
                              language, [this] { return state; }, hold, start) {}

    std::string Send(const std::string& bytes, Clock::duration after = {}) {
        return emulator.Take(bytes, start + after);
    }
    // One byte at a time, as a network may cut them.
    std::string SendByteByByte(const std::string& bytes) {
        std::string replies;
        for (const char c : bytes) {
            replies += emulator.Take(std::string_view(&c, 1), start);
        }
        return replies;
    }
    std::string Due(Clock::duration after) { return emulator.Due(start + after).replies; }

    State state;
    Clock::time_point start = Clock::now();
    PrinterEmulator emulator;
};

TEST(PrinterEmulatorTest, EscPosRepliesReadBackAsTheirState) {
    const struct {
        State state;
        std::string realTime;
        std::string automatic;
    } cases[] = {
        {State::Ready, "", ""},
        {State::PaperOut, "Offline PaperOut NearEnd", "Offline NearEnd PaperOut"},
        {State::CoverOpen, "Offline Cover", "Offline Cover"},
        {State::Paused, "Offline", "Offline"},
        {State::Offline, "Offline", "Offline"},
    };
    for (const auto& c : cases) {
        TestPrinter printer(Language::EscPos, c.state);
        const std::string replies = printer.SendByteByByte(
            "\x1b@Total 4.20\n" + EscPosStatus::AllQueries() + "\x10\x04\x05\x1d\x61\x0f");
        ASSERT_EQ(replies.size(), 8u) << static_cast<int>(c.state);
        const EscPosStatus::Reading realTime = EscPosStatus::Read(replies.substr(0, 4));
        EXPECT_EQ(realTime.verdict, EscPosStatus::Verdict::Complete);
        EXPECT_EQ(Seen(realTime.state), c.realTime);
        const EscPosStatus::Reading automatic =
            EscPosStatus::ReadAutomaticStatus(replies.substr(4));
        EXPECT_EQ(automatic.verdict, EscPosStatus::Verdict::Complete);
        EXPECT_EQ(Seen(automatic.state), c.automatic);
    }
}

TEST(PrinterEmulatorTest, ZplRepliesReadBackAsTheirState) {
    const struct {
        State state;
        std::string seen; // by ~HS and by ~HQES alike
    } cases[] = {
        {State::Ready, ""},        {State::PaperOut, "PaperOut"}, {State::CoverOpen, "Cover"},
        {State::Paused, "Paused"}, {State::Offline, "Paused"},
    };
    for (const auto& c : cases) {
        TestPrinter printer(Language::Zpl, c.state);
        const ZplStatus::HostStatus host = ZplStatus::ReadHostStatus(printer.SendByteByByte("~HS"));
        EXPECT_EQ(host.verdict, ZplStatus::Verdict::Complete);
        EXPECT_EQ(Seen(host.state), c.seen);
        const ZplStatus::QueryStatus query =
            ZplStatus::ReadQueryStatus(printer.SendByteByByte("^XA^FDx^FS~hqes"));
        EXPECT_EQ(query.verdict, ZplStatus::Verdict::Complete);
        EXPECT_EQ(Seen(query.state), c.seen);
    }
}

TEST(PrinterEmulatorTest, PjlRepliesReadBackAsTheirState) {
    const struct {
        State state;
        std::string seen;
    } cases[] = {
        {State::Ready, " / READY"},
        {State::PaperOut, "PaperOut Offline / LOAD TRAY 1"},
        {State::CoverOpen, "Cover Offline / PRINTER OPEN"},
        {State::Paused, "Offline / PAUSED"},
        {State::Offline, "Offline / OFFLINE"},
    };
    for (const auto& c : cases) {
        TestPrinter printer(Language::Pjl, c.state);
        PjlStatus reader;
        // Our own query, and a hand-typed one: LF alone, lower case.
        const std::vector<PjlStatus::Reply> replies =
            reader.Feed(printer.SendByteByByte(PjlStatus::StatusQuery() + "@pjl info  status\n"));
        ASSERT_EQ(replies.size(), 2u);
        for (const PjlStatus::Reply& reply : replies) {
            EXPECT_EQ(reply.kind, PjlStatus::Reply::Kind::Device);
            EXPECT_EQ(Seen(reply.state), c.seen);
        }
    }
}

// Held work leaves the buffer after the hold, which runs only while the printer is ready,
// and what the printer says unasked comes by time alone.
TEST(PrinterEmulatorTest, TimedRepliesComeWhenTheirTimeIsDue) {
    using Kind = PjlStatus::Reply::Kind;
    TestPrinter pjl(Language::Pjl, State::Ready, 2s);
    PjlStatus reader;
    // The end comes after a line of data longer than any command, behind a UEL.
    std::vector<PjlStatus::Reply> replies = reader.Feed(pjl.Send(
        PjlStatus::UnsolicitedOn() + PjlStatus::JobLine("Label 7") + std::string(3000, 'x') + "\f" +
        "page\f\x1b%-12345X" + PjlStatus::EndOfJobLine("Label 7")));
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].kind, Kind::JobStarted);
    EXPECT_EQ(replies[0].jobName, "Label 7");
    EXPECT_TRUE(reader.Feed(pjl.Due(1500ms)).empty());
    pjl.state = State::Paused;
    replies = reader.Feed(pjl.Due(1600ms));
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(Seen(replies[0].state), "Offline / PAUSED");
    EXPECT_TRUE(reader.Feed(pjl.Due(10s)).empty());
    pjl.state = State::Ready;
    replies = reader.Feed(pjl.Due(10100ms)); // the change; 1.6 s of the hold so far
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].kind, Kind::Device);
    EXPECT_TRUE(reader.Feed(pjl.Due(10400ms)).empty());
    replies = reader.Feed(pjl.Due(10500ms));
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].kind, Kind::JobEnded);
    EXPECT_EQ(replies[0].jobName, "Label 7");
    EXPECT_EQ(replies[0].pages, 2);

    // Formats are printed one after another; the buffer's counts fall with them.
    TestPrinter zpl(Language::Zpl, State::Ready, 1s);
    const auto counts = [&zpl](Clock::duration after) {
        const ZplStatus::HostStatus status = ZplStatus::ReadHostStatus(zpl.Send("~HS", after));
        return std::to_string(status.formatsInBuffer) + "/" +
               std::to_string(status.labelsRemaining);
    };
    zpl.Send("^XA^FO50,50^FDone^FS^PQ3,0,1,Y^XZ^xa^fdtwo^fs^xz");
    EXPECT_EQ(counts(999ms), "2/4");
    EXPECT_EQ(counts(1s), "1/1");
    EXPECT_EQ(counts(2s), "0/0");
    EXPECT_EQ(zpl.emulator.NextDue(), Clock::time_point::max());

    // Automatic status back: at once, at every change, and no more once turned off.
    TestPrinter pos(Language::EscPos);
    EXPECT_EQ(pos.Send("\x1d\x61\x02"), "\x10\x00\x00\x00"s);
    pos.state = State::CoverOpen;
    EXPECT_EQ(pos.Due(250ms), "\x38\x00\x00\x00"s);
    EXPECT_EQ(pos.Send("\x1d\x61\x00"s, 300ms), "");
    EXPECT_EQ(pos.emulator.NextDue(), Clock::time_point::max());
}

} // namespace
