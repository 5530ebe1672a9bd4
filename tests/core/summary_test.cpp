// A summary (no sink for the commands) counts and finds exactly what a listing of every
// command finds: the short cuts a summary takes skip only words that nobody reads, and a
// point a summary keeps goes on as a listing.
#include "core/inspect/inspection.h"
#include "tests/core/command_collector.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace std::string_literals;

const std::string Uel = "\x1b%-12345X";

// The body as a job in `language`, whatever its first bytes look like.
std::string Entered(const std::string& language, const std::string& body) {
    return Uel + "@PJL ENTER LANGUAGE=" + language + "\r\n" + body + Uel;
}

// A PCL escape of `count` parameters combined, each `parameter` (ending in a lowercase
// letter): an unknown one makes the shortest meaning.
std::string Combined(int count, const std::string& parameter) {
    std::string escape = "\x1b&l";
    for (int i = 0; i < count; ++i) {
        escape += parameter;
    }
    return escape;
}

// A command as a listing shows it.
std::string Line(const DecodedCommand& command) {
    return std::to_string(command.offset) + "+" + std::to_string(command.length) + " " +
           command.head + " | " + command.name + " | " + command.meaning + " | " + command.problem;
}

// What a summary shows: the counts, the jobs, the code pages and each problem listed.
std::vector<std::string> Shown(const std::string& bytes, std::size_t piece, CommandSink* commands) {
    Inspection inspection(commands);
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        inspection.Feed(std::string_view(bytes).substr(at, piece));
    }
    inspection.End();
    const DocumentCounts& counts = inspection.Counts();
    std::vector<std::string> shown = {
        "labels " + std::to_string(counts.labels), "pages " + std::to_string(counts.pages),
        "images " + std::to_string(counts.images) + " of " + std::to_string(counts.imageBytes),
        "commands " + std::to_string(counts.commands) + ", problems " +
            std::to_string(counts.problems),
        "jobs " + std::to_string(inspection.Jobs())};
    for (const DocumentCounts::CodePageUse& use : counts.codePages) {
        shown.push_back("code page " + use.name + " @" + std::to_string(use.offset));
    }
    for (const DecodedCommand& problem : inspection.Problems()) {
        shown.push_back(Line(problem));
    }
    return shown;
}

// Each decoded language, well formed and malformed.
std::vector<std::pair<const char*, std::string>> Corpus() {
    const std::string longText(300, 'x');
    return {
        {"ZPL labels", "^XA^FO50,50^A0N,30,30^FDHello^FS^BCN,80,Y,N,N^FD123^FS^PQ2^XZ\r\n"
                       "^xa^fo5,5^fdlower case^fs^xz"},
        {"ZPL malformed", Entered("ZPL", "stray^XA^FO99999,5^XX1^LL0^XA^FD" + longText + "^FS^FO" +
                                             longText + "^XZ^XZ^PQ-1^CC+ +XA+FO5,5+XZ^XA^FO1,1^")},
        {"ZPL fonts, structure and fields",
         Entered("ZPL", "^XA^A@N,5,5^a\xe9N,5,5^FO1234567890123,1^LS-9999^LT-121^PQ3,1^XZ~XA~XZ"
                        "^XZ^XA^FH^FD_41^FS^FD_42^XZ^XA^FH^FD_43^XZ^FD_44^FS^CI28^FD\xc3\xa9^FS"
                        "^XA^XA^XZ")},
        {"ZPL binary image",
         Entered("ZPL", "^XA^GFB,4,4,1,\x00^~\xff^FS^XZ"s + "^XA^GFB,10,10,1,ab")},
        {"ESC/POS receipt", "\x1b@\x1b"
                            "a1\x1b"
                            "E1Total 2.50\n\x1b!\x10Tea\n\x1dVB\x03"},
        {"ESC/POS tables and controls",
         "Hi\r\n\t\x1bt\x02"
         "Caf\xe9\n\x1b"
         "a9\x1b"
         "a\x01\x1bR\x03#\n\x1b@x\x0c\x18\x01\x1b!\x08y\n\x1bp\x01\x0f\x03\x1b*)"},
        {"ESC/POS malformed", Entered("ESCP", "\x1b@\x1dV\x07\x01\x1b\xff\x1dk\x04"
                                              "ABC\x00\x1dv0\x00\x01\x00\x01\x00\xfftext"
                                              "\x1dv0\x00\x02\x00\x02\x00"
                                              "ab"s)},
        {"PJL lines", Uel +
                          "@PJL SET COPIES=2\r\n@pjl comment fine\r\n\r\n@PJL FOO\r\nnot pjl\r\n"
                          "@PJL COMMENT " +
                          longText + "\r\n@PJL JOB"},
        {"PJL lines at the line limit",
         Uel + "\r\n  @pjl set a=1\r\n@PJL\t\r\n@PJL COMMENT " + std::string(241, 'y') +
             "\r\n@PJL COMMENT " + std::string(242, 'y') + "\r\n@PJL SET \x1b&l1O\r\n\x00@PJL\n" +
             "@PJL ENTER LANGUAGE=ZPL\r\n^XA^XZ"},
        {"PCL 5 page", "\x1b"
                       "E\x1b&l1O\x1b(s1p12v0s3b4148TText\r\n\x1b*p100x200Y\f"},
        {"PCL 5 raster and combined escapes",
         "\x1b*r1A\x1b*b2WAB\x1b*rBText\x1b&l1o2a0E\x1b(10U\x1b(s1p12v0s3b4148TMore\x1b&a+5.5H" +
             std::string("\x1b*r1A\x1b&l") + std::string(24, '7') + "X\x1b&l" +
             std::string(25, '7') + "X\x1b*p-1X\x1b*b0W"},
        {"PCL 5 malformed", Entered("PCL", "\x1b&l5Q\x1b*b-5W\x1b&l1o99Z\x1b*b3WA\x1b"
                                           "C\x1b&l1\x01\x1b&l" +
                                               std::string(30, '4') + "O" + Combined(50, "1o") +
                                               "5q1O" + Combined(300, "5q") + "5Q\x1b*b9WAB")},
        {"EPL label", "N\r\nq400\r\nA50,0,0,1,1,1,N,\"Hi, there\"\r\nLO10,20,300,4\r\n" +
                          "GW0,0,2,2,\n\r\x00\xff\r\nP2,3\r\n"s},
        {"EPL malformed", Entered("EPL", "KK1\r\nP0\r\nP9223372036854775807,2\r\nA" + longText +
                                             "\r\nGW0,0,2,2,ab")},
        {"TSPL label", "SIZE 60 mm,40 mm\r\nGAP 3 mm,0 mm\r\nCLS\r\n"
                       "TEXT 20,20,\"3\",0,1,1,\"Order \\[\"]1042, ok\"\r\n"
                       "BITMAP 200,20,2,2,0,\r\n\n\x00\r\nDENSITY 22\r\nFOO 1\r\nPRINT 2,3\r\n"
                       "BITMAP 1,1,4,4,0,ab"s},
        {"CPCL labels",
         "! 0 200 200 210 2\r\nTEXT 4 0 0 30 Hello\r\nEG 2 2 0 0 FFFF\r\n"
         "B QR 10 200 M 2 U 6\r\nMA,QR code\r\nENDQR\r\nPRINT\r\n! U1 SETVAR\r\n"
         "! 0 200 200 100 1\r\nLINE 0 0 10\r\n! 0 200 200 100 x\r\nCG 2 2 0 0 \x00"s},
        {"PostScript jobs", "%!PS-Adobe-3.0\n%%Pages: (atend)\n%%BeginDocument: a\n%%Page: 9 9\n"
                            "%%EndDocument\n%%Page: 1 1\n72 720 moveto (Hi) show\nshowpage\n"
                            "%%BeginData: 4 Binary Bytes\n\x00\x04%%\n%%Trailer\n%%Pages: 1\n\x04"
                            "%!PS\n%%Page: 1 1\n%%EndDocument\n%%BeginBinary: 10\nabc"s},
        {"PCL XL pages",
         ") HP-PCL XL;2;0;made here\n" +
             std::string("\xd1\x58\x02\x58\x02\xf8\x89\xc0\x00\xf8\x86\x41"
                         "\xc0\x00\xf8\x28\xc0\x02\xf8\x25\x43\xc1\x01\x00\xf8\x63\xb1"
                         "\xfb\x04\x0a\x1b\x41\x44\x44\xc0\x01\x44\xf8\x25\x43\xc6\x43",
                         42)},
    };
}

TEST(SummaryTest, FindsWhatTheListingOfEveryCommandFinds) {
    for (const auto& [label, bytes] : Corpus()) {
        CommandCollector listing;
        const std::vector<std::string> listed = Shown(bytes, bytes.size(), &listing);
        for (std::size_t piece : {bytes.size(), std::size_t{1}, std::size_t{7}}) {
            EXPECT_EQ(Shown(bytes, piece, nullptr), listed) << label << ", in pieces of " << piece;
        }
    }
}

// A point a summary keeps, gone on from as a listing (as the viewer does from its pass),
// lists the commands after it as a listing from the start does: a command in progress at
// the point too, whatever the summary skipped of it.
TEST(SummaryTest, APointOfASummaryGoesOnAsTheListing) {
    for (const auto& [label, unit] : Corpus()) {
        // Past the bytes a part's language is told from, so that points fall inside a
        // decoder's work and not only in the bytes held back before it.
        std::string bytes = unit;
        while (bytes.size() < 1100) {
            bytes += unit;
        }
        CommandCollector whole;
        Shown(bytes, bytes.size(), &whole);
        for (std::size_t split = 1; split < bytes.size(); ++split) {
            Inspection summary;
            summary.Feed(std::string_view(bytes).substr(0, split));
            CommandCollector rest;
            Inspection listing(summary.Checkpoint(), &rest);
            listing.Feed(std::string_view(bytes).substr(split));
            listing.End();
            ASSERT_EQ(summary.CommandsSeen() + rest.commands.size(), whole.commands.size())
                << label << ", from " << split;
            const std::size_t before = whole.commands.size() - rest.commands.size();
            for (std::size_t i = 0; i < rest.commands.size(); ++i) {
                EXPECT_EQ(Line(rest.commands[i]), Line(whole.commands[before + i]))
                    << label << ", from " << split;
            }
        }
    }
}

} // namespace
