// Which languages a file holds and where: a corpus of small files in each language and
// mixtures of them, each fed whole and a byte at a time.
#include "core/inspect/inspection.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const std::string Uel = "\x1b%-12345X";

struct PartExpected {
    std::uint64_t offset;
    CommandLanguage language;
};

struct DetectionCase {
    const char* label;
    std::string bytes;
    std::vector<PartExpected> parts;
    std::uint64_t jobs;
};

std::string PclPage() {
    return "\x1b"
           "E\x1b&l1O\x1b(s0p12h10v0s0b3T"
           "Hello\f\x1b"
           "E";
}

std::string PjlJob(const std::string& language, const std::string& data) {
    return Uel + "@PJL JOB NAME=\"t\"\r\n@PJL ENTER LANGUAGE=" + language + "\r\n" + data + Uel +
           "@PJL EOJ\r\n" + Uel;
}

void CheckParts(const DetectionCase& c, std::size_t piece) {
    Inspection inspection;
    for (std::size_t at = 0; at < c.bytes.size(); at += piece) {
        inspection.Feed(std::string_view(c.bytes).substr(at, piece));
    }
    inspection.End();
    const std::vector<Inspection::Part>& parts = inspection.Parts();
    ASSERT_EQ(parts.size(), c.parts.size()) << c.label << " in pieces of " << piece;
    std::uint64_t next = 0;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        EXPECT_EQ(parts[i].offset, c.parts[i].offset) << c.label << " part " << i;
        EXPECT_EQ(LanguageName(parts[i].language), LanguageName(c.parts[i].language))
            << c.label << " part " << i;
        // The parts cover the file without a gap.
        EXPECT_EQ(parts[i].offset, next) << c.label;
        next = parts[i].offset + parts[i].length;
    }
    EXPECT_EQ(next, c.bytes.size()) << c.label;
    EXPECT_EQ(inspection.Jobs(), c.jobs) << c.label;
}

TEST(LanguageDetectionTest, EachPartOfACorpusIsNamedWithItsRange) {
    const std::string pcl = PclPage();
    const std::string job = PjlJob("PCL", pcl);
    const std::size_t pclAt = job.find("\x1b"
                                       "E");
    const std::size_t closing = job.find(Uel, 1);
    const std::string second = PjlJob("POSTSCRIPT", "%!PS\nshowpage\n");
    const std::string zpl = "^XA^FO50,50^FDHi^FS^XZ";
    const std::vector<DetectionCase> cases = {
        {"PCL 5", pcl, {{0, CommandLanguage::Pcl5}}, 0},
        {"PCL XL", ") HP-PCL XL;3;0\r\n\xd1", {{0, CommandLanguage::PclXl}}, 0},
        {"PostScript",
         "%!PS-Adobe-3.0\n%%Pages: 2\nshowpage\n",
         {{0, CommandLanguage::PostScript}},
         0},
        {"PDF", "%PDF-1.7\n%\xe2\xe3\xcf\xd3\n", {{0, CommandLanguage::Pdf}}, 0},
        {"ZPL", zpl, {{0, CommandLanguage::Zpl}}, 0},
        {"ZPL after a blank line", "\r\n" + zpl, {{0, CommandLanguage::Zpl}}, 0},
        {"EPL",
         "\r\nN\r\nq608\r\nA50,0,0,1,1,1,N,\"Hi\"\r\nP1\r\n",
         {{0, CommandLanguage::Epl}},
         0},
        {"TSPL",
         "SIZE 60 mm,40 mm\r\nGAP 2 mm,0\r\nCLS\r\nTEXT 10,10,\"3\",0,1,1,\"Hi\"\r\nPRINT 1\r\n",
         {{0, CommandLanguage::Tspl}},
         0},
        {"CPCL",
         "! 0 200 200 210 1\r\nTEXT 4 0 30 40 Hi\r\nPRINT\r\n",
         {{0, CommandLanguage::Cpcl}},
         0},
        {"ESC/POS", "\x1b@Hello\n\x1dV0", {{0, CommandLanguage::EscPos}}, 0},
        {"ESC/POS opening with text",
         "Shop\n\x1b"
         "a1Total\n\x1dV0",
         {{0, CommandLanguage::EscPos}},
         0},
        {"PWG raster", "RaS2PwgRaster\0", {{0, CommandLanguage::PwgRaster}}, 0},
        {"UNIRAST", "UNIRAST\0\0\0\x01", {{0, CommandLanguage::Unirast}}, 0},
        {"plain text", "Dear reader,\r\nthis is text.\r\n", {{0, CommandLanguage::Text}}, 0},
        {"binary garbage",
         std::string("\x01\x02\x03\xff\x00\x05", 6),
         {{0, CommandLanguage::Unknown}},
         0},
        {"PJL around PCL",
         job,
         {{0, CommandLanguage::Pjl},
          {pclAt, CommandLanguage::Pcl5},
          {closing, CommandLanguage::Pjl}},
         1},
        {"two jobs",
         job + second,
         {{0, CommandLanguage::Pjl},
          {pclAt, CommandLanguage::Pcl5},
          {closing, CommandLanguage::Pjl},
          {job.size() + second.find("%!PS"), CommandLanguage::PostScript},
          {job.size() + second.find(Uel, 1), CommandLanguage::Pjl}},
         2},
        {"UEL straight into PostScript",
         Uel + "%!PS\nshowpage\n" + Uel,
         {{0, CommandLanguage::Pjl}, {9, CommandLanguage::PostScript}, {23, CommandLanguage::Pjl}},
         1},
        {"lower case and blank PJL lines",
         Uel + "\r\n@PJL SET A=1\r\n  @pjl enter language = pcl\r\n" + pcl,
         {{0, CommandLanguage::Pjl}, {54, CommandLanguage::Pcl5}},
         1},
        {"UEL inside a PJL line",
         Uel + "@PJL SET A=1\r\n\r\n@PJL COMMENT " + Uel + "%!PS\nshowpage\n",
         {{0, CommandLanguage::Pjl}, {47, CommandLanguage::PostScript}},
         1},
        {"named language that shows nothing of itself",
         Uel + "@PJL ENTER LANGUAGE=ZPL\n" + "XX",
         {{0, CommandLanguage::Pjl}, {33, CommandLanguage::Zpl}},
         1},
    };
    for (const DetectionCase& c : cases) {
        CheckParts(c, c.bytes.size() + 1);
        CheckParts(c, 1);
        CheckParts(c, 7);
    }
}

// The count a PostScript file declares, even with a long line after it.
TEST(LanguageDetectionTest, PostScriptPagesAreCountedFromTheirComment) {
    Inspection inspection;
    inspection.Feed("%!PS-Adobe-3.0\n%%Pages: 3\n");
    inspection.Feed(std::string(1 << 20, 'x'));
    inspection.End();
    EXPECT_EQ(inspection.Counts().pages, 3u);
}

} // namespace
