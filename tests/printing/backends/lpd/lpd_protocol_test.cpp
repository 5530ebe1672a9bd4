#include "printing/backends/lpd/lpd_protocol.h"

#include <gtest/gtest.h>

namespace {

TEST(LpdProtocolTest, FileNamesCarryThreeDigitsAndAFileSafeHost) {
    EXPECT_EQ(lpd::DataFileName(7, "print-host.example"), "dfA007print-host.example");
    EXPECT_EQ(lpd::ControlFileName(1234, "a b/c\nd"), "cfA234abcd");
    EXPECT_EQ(lpd::DataFileName(1, std::string(40, 'h')), "dfA001" + std::string(31, 'h'));
}

TEST(LpdProtocolTest, ControlFileValuesHoldNoControlCharactersAndStayInBounds) {
    // 60 two-byte characters: a cut at 99 bytes would split one.
    std::string longName;
    for (int i = 0; i < 60; ++i) {
        longName += "\xc3\xa9";
    }
    const std::string contents =
        lpd::BuildControlFile({std::string("host\n") + std::string(40, 'x'), "user\x1b",
                               "Job\r\nname\x7f", longName, "dfA001host"});

    EXPECT_EQ(contents, "Hhost" + std::string(27, 'x') + "\nPuser\nJJobname\nldfA001host\n" +
                            "UdfA001host\nN" + longName.substr(0, 98) + "\n");
}

// The receiving side takes a file's count and name apart and refuses anything else: a
// name with a path in it or a count that does not fit.
TEST(LpdProtocolTest, ReceiverReadsAnnouncementsAndControlFiles) {
    std::string line = lpd::ReceiveDataFileSubcommand(1048576, "dfA042h");
    line.pop_back(); // the '\n' that ends every line
    const auto command = lpd::ParseCommandLine(line);
    ASSERT_TRUE(command);
    EXPECT_EQ(command->code, static_cast<unsigned char>(lpd::Subcommand::ReceiveDataFile));
    const auto announcement = lpd::ParseFileAnnouncement(command->operand);
    ASSERT_TRUE(announcement);
    EXPECT_EQ(announcement->byteCount, 1048576u);
    EXPECT_EQ(announcement->fileName, "dfA042h");
    for (const char* operand : {"", "12", "12 ", " dfA", "x12 dfA", "-1 dfA", "12 ../cfA",
                                "99999999999999999999999 dfA", "12 df\x01"}) {
        EXPECT_FALSE(lpd::ParseFileAnnouncement(operand)) << operand;
    }
    const auto lines = lpd::ParseControlFile("Hh\nldfA1\n");
    ASSERT_TRUE(lines && lines->size() == 2);
    EXPECT_EQ((*lines)[1].code, 'l');
    EXPECT_EQ((*lines)[1].value, "dfA1");
    EXPECT_FALSE(lpd::ParseControlFile("Hhost\nPuser"));
    EXPECT_FALSE(lpd::ParseControlFile("Hhost\n\nPuser\n"));
}

} // namespace
