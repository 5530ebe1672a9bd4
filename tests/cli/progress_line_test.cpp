#include "app/cli/progress_line.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

using namespace std::chrono_literals;

TEST(ProgressLineTest, TextWithAndWithoutATotal) {
    struct Case {
        std::optional<std::uint64_t> total;
        std::uint64_t sent;
        std::string text;
    };
    const std::uint64_t mib = 1 << 20;
    for (const Case& c : std::vector<Case>{
             {256 * mib, 12 * mib + 300 * 1024, "a.prn: 12.3 MiB of 256.0 MiB (4%)"},
             {100, 0, "a.prn: 0 B of 100 B (0%)"},
             {3 * mib, 3 * mib - 1, "a.prn: 3.0 MiB of 3.0 MiB (99%)"},
             {1024 * mib, 1024 * mib, "a.prn: 1.0 GiB of 1.0 GiB (100%)"},
             {std::nullopt, 1536, "a.prn: 1.5 KiB"},
             {std::nullopt, 1023, "a.prn: 1023 B"},
         }) {
        std::ostringstream out;
        EXPECT_EQ(ProgressLine(out, "/spool/a.prn", c.total).Text(c.sent), c.text);
    }
}

TEST(ProgressLineTest, ShownNameIsTheLastPartMadeSafeAndShort) {
    EXPECT_EQ(ProgressLine::ShownName("dir/sub/label.zpl"), "label.zpl");
    EXPECT_EQ(ProgressLine::ShownName("standard input"), "standard input");
    EXPECT_EQ(ProgressLine::ShownName("a\x1B[2Jb\r.prn"), "a\\x1b[2Jb\\x0d.prn");
    // Forty bytes at most, cut where a character begins (\u00E9 is two bytes).
    const std::string name =
        ProgressLine::ShownName(std::string(30, 'x') + "\u00E9" + std::string(36, 'y') + ".prn");
    EXPECT_EQ(name, "..." + std::string(33, 'y') + ".prn");
    EXPECT_EQ(ProgressLine::ShownName("\u00E9" + std::string(37, 'z')),
              "\u00E9" + std::string(37, 'z'));
}

// Drawn no more than once an interval, not at all before the first has passed; a shorter
// text blanks what the longer left, and the wipe covers the widest drawn.
TEST(ProgressLineTest, RedrawnAtMostOnceAnIntervalAndWipedClean) {
    std::ostringstream out;
    ProgressLine::Clock::time_point now;
    ProgressLine line(out, "x", std::nullopt, [&] { return now; });
    now += 99ms;
    line.Update(5000);
    line.Clear();
    EXPECT_EQ(out.str(), "");
    now += 1ms;
    line.Update(2048);
    now += 50ms;
    line.Update(4096);
    EXPECT_EQ(out.str(), "\rx: 2.0 KiB");
    now += 50ms;
    line.Update(1000);
    EXPECT_EQ(out.str(), "\rx: 2.0 KiB\rx: 1000 B ");
    line.Clear();
    line.Clear();
    EXPECT_EQ(out.str(), "\rx: 2.0 KiB\rx: 1000 B \r          \r");
}

} // namespace
