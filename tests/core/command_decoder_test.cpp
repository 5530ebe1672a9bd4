// The decoders of ESC/POS, ZPL, PJL, PCL 5 and EPL: real command sequences to their meanings and
// problems, the same whatever the pieces the bytes come in, and bounded on hostile input.
#include "core/inspect/command_decoder.h"
#include "tests/core/command_collector.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct DecodedCase {
    const char* label;
    std::string bytes;
    // The command looked at: its index among those decoded (from the end when negative).
    int index;
    std::string name;
    std::string meaning;
    std::string problem;
};

std::vector<DecodedCommand> Decode(CommandLanguage language, const std::string& bytes,
                                   std::size_t piece, DocumentCounts* counts = nullptr) {
    std::unique_ptr<CommandDecoder> decoder = CommandDecoder::For(language);
    CommandCollector collector;
    decoder->Begin(100);
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        decoder->Feed(std::string_view(bytes).substr(at, piece), collector);
    }
    decoder->End(collector);
    if (counts != nullptr) {
        *counts = decoder->Counts();
    }
    return collector.commands;
}

void CheckCases(CommandLanguage language, const std::vector<DecodedCase>& cases) {
    for (const DecodedCase& c : cases) {
        // Whole, then a byte at a time: a command split between pieces decodes the same.
        const std::vector<DecodedCommand> whole = Decode(language, c.bytes, c.bytes.size() + 1);
        const std::vector<DecodedCommand> bytewise = Decode(language, c.bytes, 1);
        ASSERT_FALSE(whole.empty()) << c.label;
        const std::size_t at =
            c.index >= 0 ? static_cast<std::size_t>(c.index) : whole.size() + c.index;
        ASSERT_LT(at, whole.size()) << c.label;
        const DecodedCommand& command = whole[at];
        EXPECT_EQ(command.name, c.name) << c.label;
        EXPECT_EQ(command.meaning, c.meaning) << c.label;
        EXPECT_EQ(command.problem, c.problem) << c.label;
        ASSERT_EQ(bytewise.size(), whole.size()) << c.label;
        std::uint64_t next = 100;
        for (std::size_t i = 0; i < whole.size(); ++i) {
            EXPECT_EQ(bytewise[i].meaning, whole[i].meaning) << c.label;
            EXPECT_EQ(bytewise[i].problem, whole[i].problem) << c.label;
            // The commands tile the bytes: none overlaps or leaves a gap.
            EXPECT_GE(whole[i].offset, next) << c.label;
            next = whole[i].offset + whole[i].length;
        }
        EXPECT_LE(next, 100 + c.bytes.size()) << c.label;
    }
}

TEST(CommandDecoderTest, EscPosCommandsMeanWhatTheReferenceSays) {
    CheckCases(
        CommandLanguage::EscPos,
        {
            {"initialize", "\x1b@", 0, "ESC @", "initialize printer", ""},
            {"full cut", std::string("\x1dV\x00", 3), 0, "GS V", "cut paper: full cut", ""},
            {"partial cut as ASCII", "\x1dV1", 0, "GS V", "cut paper: partial cut", ""},
            {"feed and cut", std::string("\x1dVA\x10", 4), 0, "GS V",
             "cut paper: feed 16 units and full cut", ""},
            {"cut mode out of range", "\x1dV\x07", 0, "GS V", "cut paper: value 7",
             "parameter out of range: 7"},
            {"feed and partial cut", "\x1dVB\x03", 0, "GS V",
             "cut paper: feed 3 units and partial cut", ""},
            {"underline", "\x1b-2", 0, "ESC -", "underline: 2 dots", ""},
            {"print mode", "\x1b!\x38", 0, "ESC !", "print mode: 56", ""},
            {"stored image", std::string("\x1cp\x01\x00", 4), 0, "FS p",
             "print stored image 1, mode 0", ""},
            {"real-time status", "\x10\x04\x01", 0, "DLE EOT", "real-time status: printer", ""},
            {"bell", "\x07", 0, "control byte", "", "unknown control byte"},
            {"center",
             "\x1b"
             "a1",
             0, "ESC a", "justification: center", ""},
            {"emphasized",
             "\x1b"
             "E\x01",
             0, "ESC E", "emphasized: on", ""},
            {"code page", "\x1bt\x10", 0, "ESC t", "character code table: page 16", ""},
            {"size", "\x1d!\x11", 0, "GS !", "character size: width x2, height x2", ""},
            {"left margin", std::string("\x1dL\x2c\x01", 4), 0, "GS L",
             "left margin: 300 motion units", ""},
            {"drawer", std::string("\x1bp\x00\x19\xfa", 5), 0, "ESC p",
             "drawer kick: pin 0, on 25, off 250 (x2 ms)", ""},
            {"raster", std::string("\x1dv0\x00\x02\x00\x03\x00", 8) + "abcdef", 0, "GS v 0",
             "raster image 16x3 dots, 6 bytes, mode 0", ""},
            {"raster with a cut after it",
             std::string("\x1dv0\x00\x01\x00\x01\x00", 8) + "\xff\x1d"
                                                            "V0",
             1, "GS V", "cut paper: full cut", ""},
            {"truncated raster", std::string("\x1dv0\x00\x02\x00\x03\x00", 8) + "ab", 0, "GS v 0",
             "raster image 16x3 dots, 6 bytes, mode 0", "truncated: 2 of 6 data bytes"},
            {"bit image", std::string("\x1b*\x21\x02\x00", 5) + "123456", 0, "ESC *",
             "bit image mode 33, 2 columns", ""},
            {"bar code to NUL",
             std::string("\x1dk\x04"
                         "ABC\x00",
                         7),
             0, "GS k", "bar code CODE39, 3 characters", ""},
            {"bar code with length", "\x1dkI\x03{B1", 0, "GS k", "bar code CODE128, 3 characters",
             ""},
            {"QR code store", std::string("\x1d(k\x04\x00", 5) + "1P0A", 0, "GS (",
             "extended function GS ( k, 4 bytes", ""},
            {"text", "Total 12.50\n", 0, "text", "text: 11 characters", ""},
            {"unknown ESC", "\x1b\x7e", 0, "ESC", "", "unknown command"},
            {"truncated lead", "ABC\x1d", -1, "control byte", "",
             "truncated: the file ends after GS"},
            {"truncated parameters", std::string("\x1bp\x00", 3), 0, "ESC p",
             "drawer kick: pin 0, on ?, off ? (x2 ms)",
             "truncated: the file ends inside the parameters"},
            {"tab stops without NUL",
             "\x1b"
             "D" +
                 std::string(300, '\x08'),
             0, "ESC D", "horizontal tab positions: 256 stops", "no NUL after 255 bytes"},
        });
}

TEST(CommandDecoderTest, ZplCommandsMeanWhatTheReferenceSays) {
    CheckCases(
        CommandLanguage::Zpl,
        {
            {"field origin", "^XA^FO50,50^XZ", 1, "^FO", "field origin x=50 y=50", ""},
            {"font", "^XA^A0N,30,30^XZ", 1, "^A", "font 0 orientation=N height=30 width=30", ""},
            {"field data", "^XA^FDHello, world^FS^XZ", 1, "^FD", "field data: Hello, world", ""},
            {"quantity", "^XA^PQ5,0,1,Y^XZ", 1, "^PQ",
             "print quantity labels=5 pause=0 replicates=1 override=Y", ""},
            {"line ends between commands", "^XA\r\n^PW812\r\n^XZ", 1, "^PW", "print width dots=812",
             ""},
            {"character set", "^XA^CI28^XZ", 1, "^CI", "character set set=28", ""},
            {"character set out of range", "^CI99", 0, "^CI", "character set set=99",
             "parameter out of range: 99"},
            {"graphic box", "^GB300,2,2^FS", 0, "^GB", "graphic box width=300 height=2 thickness=2",
             ""},
            {"prefix alone", "^", 0, "^", "", "truncated: the command has no code"},
            {"tilde command", "~HS", 0, "~HS", "host status return", ""},
            {"out of range", "^XA^FO50,40000^XZ", 1, "^FO", "field origin x=50 y=40000",
             "parameter out of range: 40000"},
            {"unknown", "^XA^QQ1^XZ", 1, "^QQ", "", "unknown command"},
            {"no ^XZ", "^XA^FO1,1", -1, "end", "end of file",
             "the label begun at offset 100 has no ^XZ"},
            {"^XA twice", "^XA^FO1,1^XA^XZ", 2, "^XA", "start of label",
             "^XA inside the label begun at offset 100 (no ^XZ before it)"},
            {"^XZ alone", "^XZ", 0, "^XZ", "end of label", "^XZ without ^XA"},
            {"binary graphic holding a caret", "^XA^GFB,4,4,1,^X^~^XZ", 1, "^GF",
             "graphic field format=B data-bytes=4 total-bytes=4 row-bytes=1", ""},
            {"negative graphic size", "^XA^GFB,-5,4,1,^XZ", 1, "^GF",
             "graphic field format=B data-bytes=-5 total-bytes=4 row-bytes=1",
             "parameter out of range: -5"},
            {"hex graphic data of digits", "^XA^GFA,8,8,1,0000000000000000^XZ", 1, "^GF",
             "graphic field format=A data-bytes=8 total-bytes=8 row-bytes=1", ""},
            {"truncated binary graphic", "^XA^GFB,9,9,1,^^", 1, "^GF",
             "graphic field format=B data-bytes=9 total-bytes=9 row-bytes=1",
             "truncated: 2 of 9 image bytes"},
            {"changed caret", "^CC+\r\n+XA+FO5,5+XZ", 2, "+FO", "field origin x=5 y=5", ""},
            {"stray text", "hello^XA^XZ", 0, "text", "", "text outside any command"},
        });
}

TEST(CommandDecoderTest, PjlCommandsMeanWhatTheReferenceSays) {
    const std::string uel = "\x1b%-12345X";
    CheckCases(
        CommandLanguage::Pjl,
        {
            {"UEL", uel, 0, "UEL", "universal exit language: PJL follows", ""},
            {"job", uel + "@PJL JOB NAME=\"Invoice\"\r\n", 1, "@PJL JOB",
             "job start: NAME=\"Invoice\"", ""},
            {"enter", "@PJL ENTER LANGUAGE = PCL\n", 0, "@PJL ENTER",
             "enter language: LANGUAGE = PCL", ""},
            {"lower case", "@pjl set copies=2\r\n", 0, "@PJL SET", "set for this job: copies=2",
             ""},
            {"status query", "@PJL INFO STATUS\r\n", 0, "@PJL INFO",
             "ask printer information: STATUS", ""},
            {"line too long", "@PJL COMMENT " + std::string(300, 'x') + "\n", 0, "@PJL COMMENT",
             "comment: " + std::string(80, 'x'), "line too long: 314 bytes"},
            {"unknown", "@PJL FROB\r\n", 0, "@PJL FROB", "", "unknown PJL command"},
            {"not PJL", uel + "hello\n", 1, "text", "", "not a PJL line"},
            {"no line feed", "@PJL EOJ", 0, "@PJL EOJ", "job end", "truncated: no line feed"},
            {"part of a UEL", uel.substr(0, 4), 0, "UEL", "", "truncated: part of a UEL"},
        });
}

TEST(CommandDecoderTest, PclCommandsMeanWhatTheReferenceSays) {
    CheckCases(
        CommandLanguage::Pcl5,
        {
            {"reset",
             "\x1b"
             "E",
             0, "ESC E", "reset", ""},
            {"landscape", "\x1b&l1O", 0, "ESC & l", "orientation: landscape", ""},
            {"combined", "\x1b&l26a0o2X", 0, "ESC & l",
             "page size: A4; orientation: portrait; copies: 2", ""},
            {"font", "\x1b(s1p12v0s3b4148T", 0, "ESC ( s",
             "primary font spacing: proportional; primary font height: 12 points; "
             "primary font style: 0; primary font stroke weight: 3; "
             "primary font typeface: 4148",
             ""},
            {"symbol set has no group", "\x1b(10X", 0, "ESC (", "primary font by ID: 10", ""},
            {"raster row and its data",
             "\x1b*b3WA\x1b"
             "EZ",
             0, "ESC * b", "raster row: 3 bytes", ""},
            {"text after raster data",
             "\x1b*b3WA\x1b"
             "EZ",
             1, "text", "text: 1 characters", ""},
            {"truncated raster", "\x1b*b9WAB", 0, "ESC * b", "raster row: 9 bytes",
             "truncated: 2 of 9 data bytes"},
            {"truncated escape", "\x1b&l1", 0, "ESC & l", "",
             "truncated: the file ends inside an escape"},
            {"unknown parameter", "\x1b&l5Q", 0, "ESC & l", "?", "unknown command"},
            {"form feed", "Page\f", 1, "control", "form feed: eject page", ""},
            {"out of range data", "\x1b*b-5W", 0, "ESC * b", "raster row: -5 bytes",
             "parameter out of range: -5"},
        });
}

TEST(CommandDecoderTest, EplCommandsMeanWhatTheReferenceSays) {
    CheckCases(
        CommandLanguage::Epl,
        {
            {"clear", "\r\nN\r\n", 0, "N", "clear image buffer", ""},
            {"text", "A50,0,0,1,1,1,N,\"Hi, there\"\r\n", 0, "A",
             "text x=50 y=0 rotation=0 font=1 width=1 height=1 reverse=N "
             "data=\"Hi, there\"",
             ""},
            {"line", "LO10,20,300,4\n", 0, "LO", "draw line x=10 y=20 width=300 height=4", ""},
            {"graphic and its data", std::string("GW0,0,2,2,\n\r\x00\xff\r\nP1\r\n", 19), 1, "P",
             "print sets=1", ""},
            {"truncated graphic", "GW0,0,2,2,ab", 0, "GW", "graphic x=0 y=0 row-bytes=2 rows=2",
             "truncated: 2 of 4 image bytes"},
            {"graphic header with a quote", "GW\"0,0,1\",1,N\r\nP1\r\n", 1, "P", "print sets=1",
             ""},
            {"print zero", "P0\r\n", 0, "P", "print sets=0", "parameter out of range"},
            {"unknown", "KK1\r\n", 0, "KK", "", "unknown command"},
        });
}

TEST(CommandDecoderTest, CountsLabelsByTheirQuantityAndImages) {
    DocumentCounts counts;
    Decode(CommandLanguage::Zpl, "^XA^PQ3^XZ^XA^XZ^XA^GFA,2,2,1,FFFF^FS^XZ", 5, &counts);
    EXPECT_EQ(counts.labels, 5u);
    EXPECT_EQ(counts.images, 1u);
    EXPECT_EQ(counts.problems, 0u);
    Decode(CommandLanguage::EscPos, std::string("\x1dv0\x00\x01\x00\x01\x00\xff", 9) + "\x1dV0", 3,
           &counts);
    EXPECT_EQ(counts.images, 1u);
    EXPECT_EQ(counts.commands, 2u);
    Decode(CommandLanguage::Epl, "N\r\nP2,3\r\nN\r\nP1\r\n", 2, &counts);
    EXPECT_EQ(counts.labels, 7u);
    // A page per form feed, and one for a reset or the end after printed text.
    Decode(CommandLanguage::Pcl5,
           "\x1b"
           "EOne\fTwo\x1b"
           "E\x1b"
           "EThree",
           4, &counts);
    EXPECT_EQ(counts.pages, 3u);
    Decode(CommandLanguage::Pcl5, "\x1b*r1A\x1b*b2Wab\x1b*b2Wcd\x1b*rB\x1b*r0A\x1b*rC", 3, &counts);
    EXPECT_EQ(counts.images, 2u);
}

// Ten megabytes of digits in one parameter: kept to a bounded head, marked, and the next
// command still found.
TEST(CommandDecoderTest, AHugeParameterIsBoundedAndMarked) {
    const std::string digits(10 * 1024 * 1024, '7');
    const std::vector<DecodedCommand> zpl =
        Decode(CommandLanguage::Zpl, "^XA^FO" + digits + "^XZ", 4096);
    ASSERT_EQ(zpl.size(), 3u);
    EXPECT_EQ(zpl[1].length, digits.size() + 3);
    EXPECT_LE(zpl[1].head.size(), DecodedCommand::HeadLimit);
    EXPECT_LE(zpl[1].meaning.size(), 200u);
    EXPECT_EQ(zpl[1].problem, "parameter too long: 10485760 bytes");
    EXPECT_EQ(zpl[2].name, "^XZ");

    const std::vector<DecodedCommand> text = Decode(CommandLanguage::EscPos, digits, 4096);
    ASSERT_EQ(text.size(), 1u);
    EXPECT_EQ(text[0].length, digits.size());
    EXPECT_LE(text[0].head.size(), DecodedCommand::HeadLimit);
}

} // namespace
