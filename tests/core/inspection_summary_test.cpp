// The summary's words over real inspections: the inspect command's text and capture's line.
#include "core/inspect/inspection.h"
#include "core/inspect/inspection_summary.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const std::string Uel = "\x1b%-12345X";

std::string Repeated(const std::string& unit, int times) {
    std::string bytes;
    for (int i = 0; i < times; ++i) {
        bytes += unit;
    }
    return bytes;
}

// Nothing a terminal would act on: no control byte but a line's, no byte that is no UTF-8.
bool Shown(const std::string& text) {
    return std::none_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && c != '\n' && c != '\t') || byte == 0x7f || byte >= 0xf8;
    });
}

struct SummaryCase {
    std::string name;
    std::string bytes;
    // The whole line, and a piece of the text.
    std::string oneLine;
    std::string text;
};

// What a file holds, the same in the line as in the text; counts of nothing left out of the
// line, lists cut at their limits with the rest counted.
TEST(InspectionSummaryTest, SaysWhatTheFileHolds) {
    const std::string job = Uel + "@PJL ENTER LANGUAGE=PCL\r\n\x1b" + "E\x1b&l1OHi\f" + Uel;
    const std::vector<SummaryCase> cases = {
        {"a.prn", "", "a.prn: empty",
         "a.prn: 0 bytes\nlabels: 0  pages: 0  jobs: 0  images: 0  commands: 0  problems: 0\n"},
        {"job.prn", job,
         "job.prn: PJL (bytes 0-33), PCL 5 (bytes 34-43), PJL (bytes 44-52), "
         "pages: 1, jobs: 1",
         "job.prn: 53 bytes\n  bytes 0-33\tPJL\n  bytes 34-43\tPCL 5\n  bytes 44-52\tPJL\n"},
        {"many.prn", Repeated(Uel + "\x1b" + "Exx" + Uel, 600),
         "ESC/POS (bytes 75-78) and 1193 more parts, jobs: 600, code pages: PC437 from offset 12",
         "  ... and 201 more parts\nlabels: 0  pages: 0  jobs: 600  images: 0"},
        {"bad.zpl", "^XA^XZ" + Repeated("^XZ", 25),
         "bad.zpl: ZPL (bytes 0-80), labels: 1, problems: 25",
         "problem at 63: ^XZ  ^XZ without ^XA\n... and 5 more problems\n"},
        {"img.tspl", "SIZE 50 mm,30 mm\r\nCLS\r\nBITMAP 0,0,2,2,0,abcd\r\nPRINT 1\r\n",
         "img.tspl: TSPL (bytes 0-54), labels: 1, images: 1 (4 bytes)",
         "  images: 1 (4 bytes)  commands: 4"},
        {"cp.pos",
         "\x1b@\x1bt\x02"
         "abc\n",
         "cp.pos: ESC/POS (bytes 0-8), code pages: PC850 from offset 2",
         "problems: 0\ncode pages: PC850 from offset 2\n"},
        {"a\x1b[2J\xff.prn", "^XA^XZ^XZ\x07\xff",
         "a\\x1b[2J\\xff.prn: ZPL (bytes 0-10), labels: 1, problems: 1",
         "problem at 6: ^XZ<BEL><NPC>  ^XZ without ^XA\n"},
    };
    for (const SummaryCase& c : cases) {
        Inspection inspection;
        inspection.Feed(c.bytes);
        inspection.End();
        const std::string line = InspectionSummary::OneLine(c.name, inspection);
        const std::string text = InspectionSummary::Text(c.name, inspection);
        // The line whole, or its end where it lists a thousand parts.
        EXPECT_EQ(line.substr(line.size() - std::min(line.size(), c.oneLine.size())), c.oneLine);
        EXPECT_NE(text.find(c.text), std::string::npos) << text;
        EXPECT_TRUE(Shown(line) && Shown(text)) << text;
    }
}

} // namespace
