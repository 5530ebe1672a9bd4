#include "ui/code_page/oem_text.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

TEST(OemTextTest, RulesAndLettersOfThePcCharacterSet) {
    EXPECT_EQ(OemText::FromByte(179), QChar(0x2502)); // vertical line
    EXPECT_EQ(OemText::FromByte(196), QChar(0x2500)); // horizontal line
    EXPECT_EQ(OemText::FromByte(197), QChar(0x253C)); // cross
    EXPECT_EQ(OemText::FromByte(127), QChar(0x2302)); // house
    EXPECT_EQ(OemText::FromByte(128), QChar(0x00C7));
    EXPECT_EQ(OemText::FromByte(156), QChar(0x00A3));
    EXPECT_EQ(OemText::FromByte(201), QChar(0x2554));
    EXPECT_EQ(OemText::FromByte(219), QChar(0x2588));
    EXPECT_EQ(OemText::FromByte(225), QChar(0x00DF));
    EXPECT_EQ(OemText::FromByte(227), QChar(0x03C0));
    EXPECT_EQ(OemText::FromByte(254), QChar(0x25A0));
    EXPECT_EQ(OemText::FromByte(255), QChar(0x00A0));
    EXPECT_EQ(OemText::FromByte(1), QChar(0x263A));
}

TEST(OemTextTest, PrintableAsciiIsItselfAndNoTwoBytesLookAlike) {
    for (int byte = 32; byte < 127; ++byte) {
        EXPECT_EQ(OemText::FromByte(static_cast<unsigned char>(byte)), QChar(byte)) << byte;
    }
    QSet<QChar> seen;
    for (int byte = 1; byte < 256; ++byte) {
        const QChar character = OemText::FromByte(static_cast<unsigned char>(byte));
        EXPECT_FALSE(seen.contains(character)) << byte;
        seen.insert(character);
    }
    EXPECT_EQ(OemText::FromBytes("A\xB3\xC4"), QString("A") + QChar(0x2502) + QChar(0x2500));
}

} // namespace
