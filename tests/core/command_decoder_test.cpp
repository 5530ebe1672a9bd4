// The decoders of ESC/POS, ZPL, PJL, PCL 5 and EPL: real command sequences to their meanings and
// problems, the same whatever the pieces the bytes come in, and bounded on hostile input.
#include "core/inspect/command_decoder.h"
#include "tests/core/command_collector.h"

#include <algorithm>
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
            // Code tables and national sets: what a text run prints under them.
            {"code page", "\x1bt\x10", 0, "ESC t", "character code table: WPC1252", ""},
            {"code page not known", "\x1bt\x63", 0, "ESC t",
             "character code table: code page 99 (not known)", ""},
            {"national set", "\x1bR\x02", 0, "ESC R", "international character set: Germany", ""},
            {"text under PC858",
             "\x1bt\x13Gr\x94\xe1"
             "e 10 \xd5\n",
             1, "text", "text: \"Gr\u00f6\u00dfe 10 \u20ac\" (PC858)", ""},
            {"text under PC866", "\x1bt\x11\x8f\xe0\xa8\xa2\xa5\xe2", 1, "text",
             "text: \"\u041f\u0440\u0438\u0432\u0435\u0442\" (PC866)", ""},
            {"text under a national set", "\x1bR\x02[x]~", 1, "text",
             "text: \"\u00c4x\u00dc\u00df\" (PC437, Germany)", ""},
            {"national set kept when the table changes", "\x1bR\x08\x1bt\x02\\\x9b", 2, "text",
             "text: \"\u00a5\u00f8\" (PC850, Japan)", ""},
            {"initialize resets both", "\x1bt\x13\x1bR\x02\x1b@[\xd5", 3, "text",
             "text: \"[\u2552\" (PC437)", ""},
            {"upper half of a table not known", "\x1bt\x63\x41\xe9", 1, "text",
             "text: \"A\\xE9\" (code page 99)", ""},
            {"long text", std::string(100, 'x'), 0, "text",
             "text: \"" + std::string(64, 'x') + "\"\u2026 (PC437)", ""},
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
            {"text", "Total 12.50\n", 0, "text", "text: \"Total 12.50\" (PC437)", ""},
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
            {"field data", "^XA^FDHello, world^FS^XZ", 1, "^FD",
             "field data: \"Hello, world\" (U.S.A. 1)", ""},
            {"quantity", "^XA^PQ5,0,1,Y^XZ", 1, "^PQ",
             "print quantity labels=5 pause=0 replicates=1 override=Y", ""},
            {"line ends between commands", "^XA\r\n^PW812\r\n^XZ", 1, "^PW", "print width dots=812",
             ""},
            // Character sets: what field data prints under them.
            {"character set", "^XA^CI28^XZ", 1, "^CI", "character set: UTF-8", ""},
            {"character set out of range", "^CI99", 0, "^CI",
             "character set: code page 99 (not known)", "parameter out of range: 99"},
            {"UTF-8 field",
             "^CI28^FDGr\xc3\xb6\xc3\x9f"
             "e^FS",
             1, "^FD", "field data: \"Gr\u00f6\u00dfe\" (UTF-8)", ""},
            {"field that is no UTF-8",
             "^CI28^FDA\xff"
             "B^FS",
             1, "^FD", "field data: \"A\\xFFB\" (UTF-8, not valid UTF-8)", ""},
            {"hex escapes", "^CI27^FH^FD_80 5^FS", 2, "^FD",
             "field data: \"\u20ac 5\" (code page 1252)", ""},
            {"hex escapes end with the field", "^FH^FD_41^FS^FD_41^FS", 3, "^FD",
             "field data: \"_41\" (U.S.A. 1)", ""},
            {"hex escape cut short by the field's end", "^FH^FDab_4^FS", 1, "^FD",
             "field data: \"ab_4\" (U.S.A. 1)", ""},
            {"UTF-8 spelled in hex escapes", "^CI28^FH^FD_C3_B6_E2_82_AC^FS", 2, "^FD",
             "field data: \"\u00f6\u20ac\" (UTF-8)", ""},
            // ^FV stands for ^FD in a field whose data varies; ^FH reaches it too.
            {"field variable", "^FH^FV_41^FS", 1, "^FV", "field variable: \"A\" (U.S.A. 1)", ""},
            {"code page 850", "^CI13^FD\x9b^FS", 1, "^FD", "field data: \"\u00f8\" (code page 850)",
             ""},
            {"national characters not held", "^CI6^FD#1^FS", 1, "^FD",
             "field data: \"\\x231\" (Germany)", ""},
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
            {"print more than a count holds", "P9223372036854775807,2\r\n", 0, "P",
             "print sets=9223372036854775807 copies=2", "parameter out of range"},
            {"unknown", "KK1\r\n", 0, "KK", "", "unknown command"},
        });
}

TEST(CommandDecoderTest, CountsLabelsByTheirQuantityAndImages) {
    DocumentCounts counts;
    Decode(CommandLanguage::Zpl, "^XA^PQ3^XZ^XA^XZ^XA^GFA,2,2,1,FFFF^FS^XZ", 5, &counts);
    EXPECT_EQ(counts.labels, 5u);
    EXPECT_EQ(counts.images, 1u);
    EXPECT_EQ(counts.imageBytes, 2u);
    EXPECT_EQ(counts.problems, 0u);
    Decode(CommandLanguage::EscPos, std::string("\x1dv0\x00\x01\x00\x01\x00\xff", 9) + "\x1dV0", 3,
           &counts);
    EXPECT_EQ(counts.images, 1u);
    EXPECT_EQ(counts.imageBytes, 1u);
    EXPECT_EQ(counts.commands, 2u);
    Decode(CommandLanguage::Epl, "N\r\nGW0,0,1,2,ab\r\nP2,3\r\nN\r\nP1\r\n", 2, &counts);
    EXPECT_EQ(counts.labels, 7u);
    EXPECT_EQ(counts.imageBytes, 2u);
    // TSPL: PRINT m,n is m sets of n copies; CPCL: each PRINT its header's quantity.
    Decode(CommandLanguage::Tspl, "CLS\r\nBITMAP 0,0,2,2,0,abcd\r\nPRINT 2,3\r\nCLS\r\nPRINT 1\r\n",
           3, &counts);
    EXPECT_EQ(counts.labels, 7u);
    EXPECT_EQ(counts.imageBytes, 4u);
    Decode(
        CommandLanguage::Cpcl,
        "! 0 200 200 100 3\r\nEG 2 3 0 0 000000000000\r\nPRINT\r\n! 0 200 200 100 1\r\nPRINT\r\n",
        3, &counts);
    EXPECT_EQ(counts.labels, 4u);
    EXPECT_EQ(counts.images, 1u);
    EXPECT_EQ(counts.imageBytes, 6u);
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
    EXPECT_EQ(counts.imageBytes, 4u);
}

TEST(CommandDecoderTest, TsplCommandsMeanWhatTheReferenceSays) {
    CheckCases(
        CommandLanguage::Tspl,
        {
            {"size", "SIZE 100 mm, 50 mm\r\n", 0, "SIZE", "label size width=100 mm height=50 mm",
             ""},
            {"density of twenty digits", "DENSITY 99999999999999999999\r\n", 0, "DENSITY",
             "print darkness darkness=99999999999999999999",
             "parameter out of range: 999999999999..."},
            {"text with a comma in its content", "TEXT 10,20,\"3\",0,1,1,\"Hi, there\"\r\n", 0,
             "TEXT",
             "text x=10 y=20 font=\"3\" rotation=0 x-scale=1 y-scale=1 content=\"Hi, there\"", ""},
            // \["] is a double quote inside a quoted text: it neither ends the text nor lets
            // a comma after it split the field.
            {"escaped quote inside a text", "TEXT 10,20,\"3\",0,1,1,\"6\\[\"] tall, wide\"\r\n", 0,
             "TEXT",
             "text x=10 y=20 font=\"3\" rotation=0 x-scale=1 y-scale=1 content=\"6\\[\"] tall, "
             "wide\"",
             ""},
            {"download after a name holding an escaped quote",
             "DOWNLOAD \"A\\[\"]B.BAS\",3,x\ny\r\nPRINT 1\r\n", 1, "PRINT", "print sets=1", ""},
            {"setting", "SET CUTTER OFF\r\n", 0, "SET CUTTER", "cutter labels=OFF", ""},
            {"bitmap data holding a line end",
             "BITMAP 0,0,2,2,1," + std::string("\n\x00\r\xff", 4) + "\r\nPRINT 1\r\n", 1, "PRINT",
             "print sets=1", ""},
            {"bitmap mode", std::string("BITMAP 0,0,1,1,2,\xff\r\n", 20), 0, "BITMAP",
             "bitmap x=0 y=0 width-bytes=1 height=1 mode=xor", ""},
            {"truncated bitmap", "BITMAP 0,0,2,3,0,ab", 0, "BITMAP",
             "bitmap x=0 y=0 width-bytes=2 height=3 mode=overwrite",
             "truncated: 2 of 6 data bytes"},
            {"darkness out of range", "DENSITY 20\r\n", 0, "DENSITY", "print darkness darkness=20",
             "parameter out of range: 20"},
            {"status query", "\x1b!?CLS\r\n", 0, "ESC ! ?", "status query", ""},
            {"immediate command cut short", "CLS\r\n\x1b!", 1, "ESC !", "",
             "truncated: part of an ESC ! command"},
            {"unknown", "FROB 1\r\n", 0, "FROB", "", "unknown command"},
            {"unknown setting", "SET FROB ON\r\n", 0, "SET FROB", "", "unknown command"},
        });
}

TEST(CommandDecoderTest, CpclCommandsMeanWhatTheReferenceSays) {
    const std::string header = "! 0 200 200 210 2\r\n";
    CheckCases(
        CommandLanguage::Cpcl,
        {
            {"header", header + "PRINT\r\n", 0, "!",
             "start of label offset=0 horizontal-dpi=200 vertical-dpi=200 height=210 quantity=2",
             ""},
            {"text keeps its words", header + "T 4 0 30 40 Hello World\r\nPRINT\r\n", 1, "T",
             "text font=4 size=0 x=30 y=40 text=Hello World", ""},
            {"bar code", header + "BARCODE 128 1 1 50 150 10 HORNS\r\nPRINT\r\n", 1, "BARCODE",
             "bar code type=128 width=1 ratio=1 height=50 x=150 y=10 data=HORNS", ""},
            // A number too long to read is past the range, not passed over.
            {"header of twenty digits", "! 0 200 200 99999999999999999999 1\r\n", 0, "!",
             "start of label offset=0 horizontal-dpi=200 vertical-dpi=200 "
             "height=99999999999999999999 quantity=1",
             "parameter out of range: 999999999999..."},
            {"hex graphic", header + "EG 2 2 10 10 F0F00F0F\r\nPRINT\r\n", 1, "EG",
             "hex graphic width-bytes=2 height=2 x=10 y=10", ""},
            {"binary graphic holding a line end",
             header + std::string("CG 1 2 0 0 \n\r\r\nPRINT\r\n", 20), -1, "PRINT",
             "print the label", ""},
            {"truncated binary graphic", header + "CG 2 2 0 0 ab", -2, "CG",
             "binary graphic width-bytes=2 height=2 x=0 y=0", "truncated: 2 of 4 image bytes"},
            {"QR code lines are data", header + "B QR 10 10 M 2 U 6\r\nMA,PRINT\r\nENDQR\r\n", 2,
             "data", "QR code data: MA,PRINT", ""},
            {"quantity out of range", "! 0 200 200 210 5000\r\nPRINT\r\n", 0, "!",
             "start of label offset=0 horizontal-dpi=200 vertical-dpi=200 height=210 "
             "quantity=5000",
             "parameter out of range: 5000"},
            {"no PRINT", header + "FORM\r\n", -1, "end", "label not printed",
             "the label begun at offset 100 has no PRINT"},
            {"a second header before PRINT", header + header + "PRINT\r\n", 1, "end",
             "label not printed", "the label begun at offset 100 has no PRINT"},
            {"a header cut short after an open label", header + "! 0", 1, "end",
             "label not printed", "the label begun at offset 100 has no PRINT"},
            {"utility line", "! U1 setvar \"device.languages\" \"zpl\"\r\n", 0, "! U1",
             "utility command: setvar \"device.languages\" \"zpl\"", ""},
            {"utility line with nothing after it", "! U1\r\n", 0, "! U1", "utility command", ""},
            // A utility session closes with PRINT or END, and prints nothing.
            {"utility session closed by PRINT", "! UTILITIES\r\nSETFF 100 2\r\nPRINT\r\n", -1,
             "PRINT", "end of utility session", ""},
            {"PRINT without a header", "PRINT\r\n", 0, "PRINT", "print the label",
             "PRINT without a label header (! 0 ...)"},
            {"unknown", header + "FROB 1\r\nPRINT\r\n", 1, "FROB", "", "unknown command"},
        });
}

// The summary's code pages: each from where it was selected or first printed under, a page
// selected again not listed twice, and the list bounded however often a file switches.
TEST(CommandDecoderTest, CodePagesAreListedFromWhereTheyBegin) {
    const auto listed = [](CommandLanguage language, const std::string& bytes) {
        DocumentCounts counts;
        Decode(language, bytes, 3, &counts);
        std::string text;
        for (const DocumentCounts::CodePageUse& use : counts.codePages) {
            text += use.name + "@" + std::to_string(use.offset) + " ";
        }
        return text;
    };
    EXPECT_EQ(listed(CommandLanguage::EscPos, "A\n\x1bt\x13"
                                              "B\x1bt\x13\x1b@C"),
              "PC437@100 PC858@102 PC437@111 ");
    EXPECT_EQ(listed(CommandLanguage::Zpl, "^XA^FDa^FS^CI28^FDb^FS^XZ"), "U.S.A. 1@103 UTF-8@110 ");
    std::string switching;
    for (int i = 0; i < 100; ++i) {
        switching += i % 2 == 0 ? "\x1bt\x02" : "\x1bt\x13";
    }
    DocumentCounts counts;
    Decode(CommandLanguage::EscPos, switching, 7, &counts);
    EXPECT_EQ(counts.codePages.size(), DocumentCounts::CodePageLimit);
}

TEST(CommandDecoderTest, PostScriptCommentsMeanWhatTheConventionsSay) {
    const std::string head = "%!PS-Adobe-3.0\r\n%%Pages: 2\r\n";
    CheckCases(CommandLanguage::PostScript,
               {
                   {"header", head, 0, "%!", "PostScript document: PS-Adobe-3.0", ""},
                   {"page count", head, 1, "%%Pages", "page count: 2", ""},
                   {"program lines in one run", head + "/x 1 def\n% a remark\nshowpage\n", 2,
                    "program", "PostScript program: 3 lines", ""},
                   {"page comment", head + "%%Page: 1 1\nshowpage\n", 2, "%%Page", "page 1 1", ""},
                   {"a comment of its own", head + "%%Extra: x\n", 2, "%%Extra",
                    "document comment %%Extra: x", ""},
                   {"more pages than declared", head + "%%Page: 1 1\n%%Page: 2 2\n%%Page: 3 3\n",
                    -1, "end", "pages: 3, from 3 %%Page: comments (%%Pages: says 2)", ""},
                   {"pages of an embedded document left out",
                    head + "%%BeginDocument: logo.eps\n%%Pages: 9\n%%Page: 1 1\n%%EndDocument\n",
                    -1, "end", "pages: 2, from %%Pages:", ""},
                   {"embedded document left open", head + "%%BeginDocument: logo.eps\n", -1, "end",
                    "pages: 2, from %%Pages:",
                    "the embedded document begun at offset 128 has no %%EndDocument"},
                   {"end without begin", "%%EndDocument\n", 0, "%%EndDocument",
                    "end of embedded document", "%%EndDocument without %%BeginDocument"},
                   {"bad page count", "%!PS\n%%Pages: many\n", 1, "%%Pages", "page count: many",
                    "not a page count: many"},
                   {"end of job", head + "%%EOF\n\x04", -2, "Ctrl-D", "end of job (Ctrl-D)", ""},
                   // A Ctrl-D ends a job: the next one has its own header and page count.
                   {"Ctrl-D before the header", "\x04%!PS-Adobe-3.0\n", 1, "%!",
                    "PostScript document: PS-Adobe-3.0", ""},
                   {"pages of jobs after a Ctrl-D add up",
                    head + "%%EOF\n\x04%!PS-Adobe-3.0\n%%Pages: 1\n%%EOF\n", -1, "end",
                    "pages: 3, from %%Pages:", ""},
                   {"page count in the trailer",
                    "%!PS-Adobe-3.0\n%%Pages: (atend)\n%%Page: 1 1\n%%Trailer\n%%Pages: 1\n", -1,
                    "end", "pages: 1, from %%Pages:", ""},
                   {"pages of nested embedded documents left out",
                    head + "%%BeginDocument: a.eps\n%%BeginDocument: b.eps\n%%EndDocument\n"
                           "%%Page: 1 1\n%%EndDocument\n%%Page: 1 1\n%%Page: 2 2\n%%Page: 3 3\n",
                    -1, "end", "pages: 3, from 3 %%Page: comments (%%Pages: says 2)", ""},
                   // The bytes %%BeginBinary: announces are data, whatever they hold.
                   {"binary data holding a comment and Ctrl-D",
                    head + "%%BeginBinary: 14\n\n%%Page: 9 9\n\x04%%EndBinary\n", 3, "data",
                    "binary data: 14 bytes", ""},
                   {"binary data after a comment ending in a lone CR",
                    "%!PS\r%%BeginBinary: 3\r\x04\r\n%%EndBinary\r", 2, "data",
                    "binary data: 3 bytes", ""},
                   {"data counted in lines is read as lines",
                    head + "%%BeginData: 2 Hex Lines\nA0\nB1\n%%EndData\n", 3, "program",
                    "PostScript program: 2 lines", ""},
                   {"truncated binary data", head + "%%BeginBinary: 10\nabc", -2, "data",
                    "binary data: 10 bytes", "truncated: 3 of 10 data bytes"},
               });
}

TEST(CommandDecoderTest, PclXlOperatorsMeanWhatTheReferenceSays) {
    const std::string header = ") HP-PCL XL;2;0;made here\n";
    const std::string session("\xd1\x58\x02\x58\x02\xf8\x89\xc0\x00\xf8\x86\x41", 12);
    const std::string page("\xc0\x00\xf8\x28\xc0\x02\xf8\x25\x43", 9);
    const std::string image("\xc1\x01\x00\xf8\x63\xb1\xfb\x04\x0a\x1b\x41\x44", 12);
    CheckCases(
        CommandLanguage::PclXl,
        {
            {"header", header, 0, ") HP-PCL XL",
             "stream header: low byte first, protocol 2 0 made here", ""},
            {"session", header + session, 1, "BeginSession",
             "begin session: units per measure=(600, 600) measure=inch", ""},
            {"page", header + page, 1, "BeginPage",
             "begin page: orientation=portrait media size=A4", ""},
            {"high byte first", "( HP-PCL XL;2;0\n" + std::string("\xc1\x00\x02\xf8\x63\xb1", 6), 1,
             "ReadImage", "read image: block height=2", ""},
            {"embedded data holding operators", header + image + "\x42", 2, "data",
             "data of ReadImage: 4 bytes", ""},
            {"text array",
             header + std::string("\xc8\xc0\x07", 3) + "Courier" + std::string("\xf8\xa8\x6f", 3),
             1, "SetFont", "font: font name=\"Courier\"", ""},
            {"signed and real values",
             header +
                 std::string("\xd3\xff\xff\x02\x00\xf8\x4c\xc5\x00\x00\xc0\x3f\xf8\x4b\x6b", 15),
             1, "SetCursor", "cursor: point=(-1, 2) pen width=1.5", ""},
            {"truncated data", header + std::string("\xb1\xfa\x10\x00\x00\x00", 6) + "ab", -1,
             "data", "data of ReadImage", "truncated: 2 of 16 data bytes"},
            {"unknown tag", header + "\xc6\x43", 1, "data", "", "unknown tag 0xC6"},
            {"value without attribute", header + std::string("\xc0\x01\x44", 3), 1, "EndPage",
             "end page", "a value without an attribute"},
            {"page without EndPage", header + page, -1, "end", "end of file",
             "the page begun at offset 126 has no EndPage"},
            {"ASCII binding", "' HP-PCL XL;2;0\n", 0, "data", "", "ASCII binding is not decoded"},
            // 0xF9: an attribute id of two bytes, in the stream's byte order as every number.
            {"two-byte attribute id, high byte first",
             "( HP-PCL XL;2;0\n" + std::string("\xc0\x02\xf9\x00\x25\x43", 6), 1, "BeginPage",
             "begin page: media size=A4", ""},
            // 0xFA: embedded data with a four-byte length.
            {"long embedded data, high byte first",
             "( HP-PCL XL;2;0\n" +
                 std::string("\xc1\x00\x01\xf8\x63\xb1\xfa\x00\x00\x00\x03\n\xb1\x44", 14),
             2, "data", "data of ReadImage: 3 bytes", ""},
            {"array with a two-byte length",
             header + std::string("\xc8\xc1\x03\x00", 4) + "ABC" + std::string("\xf8\xa8\x6f", 3),
             1, "SetFont", "font: font name=\"ABC\"", ""},
            {"attribute without a value", header + "\xf8\x25\x43", 1, "BeginPage",
             "begin page: media size=?", "an attribute without a value"},
        });
}

struct BoundCase {
    CommandLanguage language;
    std::string bytes;
    // The first problem marked, or empty where a long command is sound.
    std::string problem;
};

std::string Repeated(std::string_view unit, int times) {
    std::string bytes;
    for (int i = 0; i < times; ++i) {
        bytes += unit;
    }
    return bytes;
}

// Megabytes in one command, fed in 64 KiB pieces as a file is read: every command keeps a
// bounded head, meaning and problem (4096 bytes: what a summary shows of a problem, eight
// times the longest meaning a real command writes), the cut command is marked, and a decoder
// cloned in the middle of it goes on as the original does, as a viewer decodes from a point.
TEST(CommandDecoderTest, AHugeCommandIsBoundedAndMarked) {
    const std::string digits(10 * 1024 * 1024, '7');
    const std::string xl = ") HP-PCL XL;2;0\r\n";
    const std::vector<BoundCase> cases = {
        {CommandLanguage::EscPos, "\x1dk\x04" + digits + '\0', "no NUL after 255 bytes"},
        {CommandLanguage::EscPos, std::string("\x1dv0\x00\xff\xff\xff\xff", 8) + digits,
         "truncated: 10485760 of 4294836225 data bytes"},
        {CommandLanguage::Zpl, "^XA^FO" + digits + "^XZ", "parameter too long: 10485760 bytes"},
        {CommandLanguage::Pjl, "@PJL SET COPIES=" + digits + "\r\n",
         "line too long: 10485778 bytes"},
        {CommandLanguage::Pcl5, "\x1b&l" + digits + "O", "parameter too long"},
        {CommandLanguage::Pcl5, "\x1b&l" + Repeated("1o", 1000000) + "1O", ""},
        {CommandLanguage::Epl, "N\r\nq" + digits + "\r\n", "line too long: 10485763 bytes"},
        {CommandLanguage::Tspl, "SIZE " + digits + " mm,30 mm\r\n",
         "line too long: 10485776 bytes"},
        {CommandLanguage::Tspl, "QRCODE 10,10,L,4,A,0,\"" + std::string(4000, 'q') + "\"\r\n", ""},
        {CommandLanguage::Cpcl, "! 0 200 200 " + digits + " 1\r\nPRINT\r\n",
         "a label header has 5 numbers: offset, resolutions, height, quantity"},
        {CommandLanguage::PostScript, "%!PS-Adobe-3.0\n%%Title: " + digits + "\n", ""},
        {CommandLanguage::PostScript, "%!PS\n" + digits + " pop\n", ""},
        {CommandLanguage::PclXl, xl + Repeated(std::string("\xc0\x01\xf8\x28", 4), 1000000) + "CD",
         ""},
        {CommandLanguage::PclXl, xl + std::string("\xca\xc1\xff\xff", 4) + digits.substr(0, 99999),
         "truncated: the file ends inside a value"},
        {CommandLanguage::PclXl, xl + std::string("\xfa\xff\xff\xff\xff", 5) + digits,
         "truncated: 10485760 of 4294967295 data bytes"},
    };
    constexpr std::size_t Piece = 64 * 1024;
    for (const BoundCase& c : cases) {
        const std::string label = std::string(LanguageName(c.language)) + " " + c.problem;
        std::unique_ptr<CommandDecoder> decoder = CommandDecoder::For(c.language);
        std::unique_ptr<CommandDecoder> clone;
        CommandCollector all;
        CommandCollector original;
        CommandCollector cloned;
        decoder->Begin(0);
        for (std::size_t at = 0; at < c.bytes.size(); at += Piece) {
            const std::string_view piece = std::string_view(c.bytes).substr(at, Piece);
            if (clone == nullptr && at + Piece > c.bytes.size() / 2) {
                clone = decoder->Clone();
            }
            decoder->Feed(piece, clone == nullptr ? all : original);
            if (clone != nullptr) {
                clone->Feed(piece, cloned);
            }
        }
        decoder->End(original);
        clone->End(cloned);
        all.commands.insert(all.commands.end(), original.commands.begin(), original.commands.end());
        std::string problem;
        for (const DecodedCommand& command : all.commands) {
            EXPECT_LE(command.head.size(), DecodedCommand::HeadLimit) << label;
            EXPECT_LE(command.meaning.size(), 4096u) << label;
            EXPECT_LE(command.problem.size(), 4096u) << label;
            problem = problem.empty() ? command.problem : problem;
        }
        EXPECT_EQ(problem, c.problem) << label;
        ASSERT_EQ(cloned.commands.size(), original.commands.size()) << label;
        for (std::size_t i = 0; i < cloned.commands.size(); ++i) {
            EXPECT_EQ(cloned.commands[i].length, original.commands[i].length) << label;
            EXPECT_EQ(cloned.commands[i].meaning, original.commands[i].meaning) << label;
            EXPECT_EQ(cloned.commands[i].problem, original.commands[i].problem) << label;
        }
    }
}

} // namespace
