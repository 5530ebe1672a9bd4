// The inspection as a whole: the sniffer's verdict on openings that look alike, the
// commands of a mixed file routed to the decoder of their part, and the lists kept
// bounded however many parts and problems a file has.
#include "core/inspect/inspection.h"
#include "core/inspect/language_sniffer.h"
#include "tests/core/command_collector.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const std::string Uel = "\x1b%-12345X";

struct SniffCase {
    std::string opening;
    bool whole;
    CommandLanguage language;
};

// Openings one byte or word apart, and what each is.
TEST(InspectionTest, OpeningsThatLookAlikeAreToldApart) {
    const std::vector<SniffCase> cases = {
        {"\x1b"
         "E",
         true, CommandLanguage::Pcl5},
        {"\x1b"
         "E\x1b&l0O",
         true, CommandLanguage::Pcl5},
        {"\x1b"
         "E\x01"
         "Bold",
         true, CommandLanguage::EscPos},
        {"\x1b*b12W", true, CommandLanguage::Pcl5},
        {std::string("\x1b*\x21\x02\x00", 5), true, CommandLanguage::EscPos},
        {"\x1b(10U", true, CommandLanguage::Pcl5},
        {"^FO10,10^FDno label start^FS", true, CommandLanguage::Text},
        {"~HS", true, CommandLanguage::Zpl},
        {"SET UP THE PRINTER\r\n", true, CommandLanguage::Text},
        {"SIZE 4,2\r\nCLS\r\n", true, CommandLanguage::Tspl},
        {"N\r\n", true, CommandLanguage::Text},
        {"N\r\nq400\r\n", true, CommandLanguage::Epl},
        {"N\r\nHello there\r\n", true, CommandLanguage::Text},
        {"! U1 getvar \"device.languages\"\r\n", true, CommandLanguage::Cpcl},
        {"!hello", true, CommandLanguage::Text},
        {"%!PS", false, CommandLanguage::PostScript},
        {"\x1bZ\x01\x02", true, CommandLanguage::Unknown},
        {"Caf\xc3\xa9 menu\r\n", true, CommandLanguage::Text},
        {"\r\n\r\n", true, CommandLanguage::Unknown},
    };
    for (const SniffCase& c : cases) {
        EXPECT_EQ(LanguageName(LanguageSniffer::Sniff(c.opening, c.whole)),
                  LanguageName(c.language))
            << c.opening;
    }
}

// Each command goes to the decoder of the part it lies in, with its offset in the file.
TEST(InspectionTest, CommandsOfAMixedFileComeFromTheirPartsDecoder) {
    const std::string file = Uel + "@PJL ENTER LANGUAGE=PCL\r\n\x1b&l1O" + Uel +
                             "@PJL ENTER LANGUAGE=ZPL\r\n^XA^FO5,5^XZ" + Uel;
    for (std::size_t piece : {file.size(), std::size_t{1}, std::size_t{5}}) {
        CommandCollector collector;
        Inspection inspection(&collector);
        for (std::size_t at = 0; at < file.size(); at += piece) {
            inspection.Feed(std::string_view(file).substr(at, piece));
        }
        inspection.End();
        std::vector<std::string> names;
        for (const DecodedCommand& command : collector.commands) {
            names.push_back(std::string(LanguageName(command.language)) + " " + command.name +
                            " @" + std::to_string(command.offset));
        }
        EXPECT_EQ(names,
                  (std::vector<std::string>{"PJL UEL @0", "PJL @PJL ENTER @9", "PCL 5 ESC & l @34",
                                            "PJL UEL @39", "PJL @PJL ENTER @48", "ZPL ^XA @73",
                                            "ZPL ^FO @76", "ZPL ^XZ @82", "PJL UEL @85"}))
            << "in pieces of " << piece;
        EXPECT_EQ(inspection.Counts().labels, 1u);
        EXPECT_EQ(inspection.Jobs(), 2u);
        EXPECT_FALSE(inspection.Malformed());
    }
}

struct JobsCase {
    int jobs;
    std::size_t jobBody;
    bool whole;
};

// Thousands of jobs and problems: the first are listed, all are counted, whether the jobs come
// a job a piece or as 4 MiB in one piece (its 40000 parts routed in one Feed).
TEST(InspectionTest, PartsAndProblemsListedAreBoundedButAllCounted) {
    for (const JobsCase& c : {JobsCase{2000, 16, false}, JobsCase{20000, 200, true}}) {
        const std::string job = Uel + "\033E" + std::string(c.jobBody, 'x') + Uel;
        std::string jobs;
        for (int i = 0; i < c.jobs; ++i) {
            jobs += job;
        }
        const std::size_t piece = c.whole ? jobs.size() : job.size();
        Inspection inspection;
        for (std::size_t at = 0; at < jobs.size(); at += piece) {
            inspection.Feed(std::string_view(jobs).substr(at, piece));
        }
        inspection.Feed("@PJL ENTER LANGUAGE=ZPL\n");
        for (int i = 0; i < 500; ++i) {
            inspection.Feed("^XZ");
        }
        inspection.End();
        const auto jobCount = static_cast<std::uint64_t>(c.jobs);
        EXPECT_EQ(inspection.Parts().size(), Inspection::PartLimit);
        EXPECT_EQ(inspection.PartCount(), 2 * jobCount + 2);
        EXPECT_EQ(inspection.Jobs(), jobCount + 1);
        EXPECT_EQ(inspection.Problems().size(), Inspection::ProblemLimit);
        EXPECT_EQ(inspection.Counts().problems, 500u);
        EXPECT_TRUE(inspection.Malformed());
    }
}

} // namespace
