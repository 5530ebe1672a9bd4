// The index behind the viewer: rows decoded again from a point kept mid-file are the rows
// of one straight pass, and a file that changed under it is said to have changed.
#include "core/file_reader.h"
#include "core/inspect/command_index.h"
#include "core/inspect/inspection.h"
#include "tests/core/command_collector.h"
#include "tests/support/temp_dir.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const std::string Uel = "\x1b%-12345X";
// Points closer than the viewer's, so that small files span many of them.
constexpr std::uint64_t Spacing = 32 * 1024;

// A unit repeated past `size` bytes, so the file spans many of the index's points, with
// commands split across every piece boundary somewhere.
std::string Repeated(const std::string& unit, std::size_t size) {
    std::string bytes;
    while (bytes.size() < size) {
        bytes += unit;
    }
    return bytes;
}

std::vector<DecodedCommand> StraightPass(const std::string& bytes) {
    CommandCollector collector;
    Inspection inspection(&collector);
    for (std::size_t at = 0; at < bytes.size(); at += 4096) {
        inspection.Feed(std::string_view(bytes).substr(at, 4096));
    }
    inspection.End();
    return collector.commands;
}

void Index(CommandIndex& index, const std::string& bytes, std::size_t piece) {
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        index.Feed(std::string_view(bytes).substr(at, piece));
    }
    index.End();
}

void ExpectSame(const DecodedCommand& got, const DecodedCommand& want, const std::string& where) {
    EXPECT_EQ(got.offset, want.offset) << where;
    EXPECT_EQ(got.length, want.length) << where;
    EXPECT_EQ(got.head, want.head) << where;
    EXPECT_EQ(got.meaning, want.meaning) << where;
    EXPECT_EQ(got.problem, want.problem) << where;
    EXPECT_EQ(got.name, want.name) << where;
}

struct Corpus {
    const char* name;
    std::string bytes;
};

// Rows read at the start, across each point, at the end and past it equal the straight
// pass's, for each language and a mixture, the pass fed in pieces that don't fall on the
// points' spacing.
TEST(CommandIndexTest, RowsFromPointsAreTheRowsOfOneStraightPass) {
    constexpr std::size_t Size = 8 * Spacing + 12345;
    const std::vector<Corpus> corpora = {
        {"zpl", Repeated("^XA^FO50,50^A0N,30,30^FDLabel^FS^PQ2^XZ\r\n", Size) + "^XA^FO1"},
        {"escpos", Repeated("\x1b@\x1b!\x08Receipt\n\x1d"
                            "V\x41\x03\x1b"
                            "d\x02",
                            Size)},
        {"pcl", Repeated("\x1b"
                         "E\x1b&l1O\x1b*b6WABCDEF\x1b(s12H Page text\f",
                         Size)},
        {"pjl and pcl", Repeated(Uel +
                                     "@PJL JOB NAME=\"a\"\r\n@PJL ENTER LANGUAGE=PCL\r\n\x1b"
                                     "E\x1b&l2A" +
                                     "text\f\x1b"
                                     "E" +
                                     Uel + "@PJL EOJ\r\n",
                                 Size)},
        {"epl",
         Repeated("N\r\nq400\r\nA50,50,0,3,1,1,N,\"EPL\"\r\nGW0,0,1,2,\x01\x02\r\nP1\r\n", Size)},
        {"tspl", Repeated("SIZE 60 mm,40 mm\r\nCLS\r\nTEXT 20,20,\"3\",0,1,1,\"a, \\[\"]b\"\r\n"
                          "BITMAP 0,0,1,2,0,\r\n\r\nPRINT 1\r\n",
                          Size)},
        {"cpcl",
         Repeated("! 0 200 200 100 1\r\nT 4 0 0 30 Hi\r\nCG 1 2 0 0 \r\n\r\nPRINT\r\n", Size)},
        {"postscript", "%!PS-Adobe-3.0\n" + Repeated("%%Page: 1 1\n(Hi) show\nshowpage\n", Size)},
        {"pcl xl", ") HP-PCL XL;2;0\n" + Repeated(std::string("\xc0\x00\xf8\x28\x43\xc1\x01\x00"
                                                              "\xf8\x63\xb1\xfb\x02\x0a\x44\x44",
                                                              16),
                                                  Size)},
    };
    TempDir dir;
    for (const Corpus& corpus : corpora) {
        const std::string path = dir.File(std::string(corpus.name) + ".prn");
        WriteBytes(path, corpus.bytes);
        const std::vector<DecodedCommand> straight = StraightPass(corpus.bytes);
        CommandIndex index(Spacing);
        Index(index, corpus.bytes, 10007);
        ASSERT_EQ(index.Rows(), straight.size()) << corpus.name;
        ASSERT_GE(index.PointCount(), 8U) << corpus.name;
        FileReader file(path);
        const std::uint64_t rows = straight.size();
        for (const std::uint64_t first :
             {std::uint64_t{0}, rows / 3 - 7, rows / 2, rows - 40, rows - 1, rows}) {
            // A screenful, and every row to the end as a Find walks them.
            for (const std::uint64_t count : {std::uint64_t{200}, UINT64_MAX}) {
                const std::string where = std::string(corpus.name) + " from " +
                                          std::to_string(first) + " count " + std::to_string(count);
                std::vector<DecodedCommand> got;
                EXPECT_NE(index.Read(first, count, file, got), CommandIndex::Outcome::Changed)
                    << where;
                ASSERT_EQ(got.size(), std::min(count, rows - first)) << where;
                for (std::size_t i = 0; i < got.size(); ++i) {
                    ExpectSame(got[i], straight[first + i],
                               where + " row " + std::to_string(first + i));
                }
            }
        }
    }
}

struct ChangeCase {
    const char* name;
    // The file as it is when the rows are read again.
    std::string (*change)(const std::string& bytes);
};

// A file cut short, or rewritten with other bytes of the same length, gives Changed for
// rows past what still lines up: never a crash, never a walk without end.
TEST(CommandIndexTest, AFileChangedUnderTheIndexIsSaidToHaveChanged) {
    const std::string bytes = Repeated("^XA^FO50,50^FDLabel^FS^XZ", 3 * Spacing) + "^XA^FDopen";
    const std::vector<ChangeCase> cases = {
        {"cut short", [](const std::string& b) { return b.substr(0, b.size() / 2); }},
        {"emptied", [](const std::string&) { return std::string(); }},
        {"other bytes",
         [](const std::string& b) {
             return b.substr(0, Spacing) + std::string(b.size() - Spacing, 'Z');
         }},
    };
    CommandIndex index(Spacing);
    Index(index, bytes, 4096);
    TempDir dir;
    for (const ChangeCase& c : cases) {
        const std::string path = dir.File("job.prn");
        WriteBytes(path, c.change(bytes));
        FileReader file(path);
        std::vector<DecodedCommand> got;
        EXPECT_EQ(index.Read(index.Rows() - 10, 10, file, got), CommandIndex::Outcome::Changed)
            << c.name;
        EXPECT_LT(got.size(), 10U) << c.name;
    }
}

} // namespace
