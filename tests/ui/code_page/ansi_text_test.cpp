#include "ui/code_page/ansi_text.h"

#include <gtest/gtest.h>

namespace {

std::string AllBytes() {
    std::string bytes;
    for (int value = 0; value < 256; ++value) {
        bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}

TEST(AnsiTextTest, EveryByteHasItsOwnCharacterAndComesBack) {
    const QString text = AnsiText::FromBytes(AllBytes());
    ASSERT_EQ(text.size(), 256);
    for (int value = 0; value < 256; ++value) {
        const auto byte = static_cast<unsigned char>(value);
        EXPECT_EQ(text[value], AnsiText::FromByte(byte)) << value;
        EXPECT_EQ(AnsiText::ToByte(text[value]), byte) << value;
        for (int other = 0; other < value; ++other) {
            EXPECT_NE(text[other], text[value]) << other << " and " << value;
        }
    }
    const AnsiText::Encoded back = AnsiText::ToBytes(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(back.bytes, AllBytes());
}

TEST(AnsiTextTest, CharactersOfTheWindowsCodePage) {
    EXPECT_EQ(AnsiText::FromByte(0x41), QChar(u'A'));
    EXPECT_EQ(AnsiText::FromByte(0x1B), QChar(0x1B));
    EXPECT_EQ(AnsiText::FromByte(0x7F), QChar(0x7F));
    EXPECT_EQ(AnsiText::FromByte(0x80), QChar(0x20AC)); // euro sign
    EXPECT_EQ(AnsiText::FromByte(0x85), QChar(0x2026)); // ellipsis
    EXPECT_EQ(AnsiText::FromByte(0x99), QChar(0x2122)); // trade mark
    EXPECT_EQ(AnsiText::FromByte(0x9F), QChar(0x0178)); // Y with diaeresis
    EXPECT_EQ(AnsiText::FromByte(0xA0), QChar(0xA0));   // no-break space
    EXPECT_EQ(AnsiText::FromByte(0xE9), QChar(0xE9));   // e acute
    EXPECT_EQ(AnsiText::FromByte(0xFF), QChar(0xFF));
    for (int unassigned : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        EXPECT_EQ(AnsiText::FromByte(static_cast<unsigned char>(unassigned)), QChar(unassigned));
    }
}

TEST(AnsiTextTest, CharactersWithoutAByte) {
    // C1 controls whose positions the code page gives to printable characters.
    EXPECT_FALSE(AnsiText::ToByte(QChar(0x80)));
    EXPECT_FALSE(AnsiText::ToByte(QChar(0x85)));
    EXPECT_FALSE(AnsiText::ToByte(QChar(0x9F)));
    EXPECT_FALSE(AnsiText::ToByte(QChar(0x2713)));
    EXPECT_FALSE(AnsiText::ToByte(QChar(0x0100)));
    EXPECT_FALSE(AnsiText::ToByte(QChar(0xFFFD)));
    EXPECT_FALSE(AnsiText::ToByte(QChar(0xD83D)));
}

TEST(AnsiTextTest, ReportsTheFirstUnmappableCharacterAndWhereItStands) {
    const AnsiText::Encoded tick = AnsiText::ToBytes(u"<ESC>E\u20AC\u2713x\u2717");
    ASSERT_FALSE(tick);
    EXPECT_TRUE(tick.bytes.empty());
    EXPECT_EQ(tick.unmappable->character, U'\u2713');
    EXPECT_EQ(tick.unmappable->position, 7);

    // An emoji outside the basic plane is reported whole, at its first UTF-16 unit.
    const AnsiText::Encoded emoji = AnsiText::ToBytes(u"ab\U0001F600c");
    ASSERT_FALSE(emoji);
    EXPECT_EQ(emoji.unmappable->character, U'\U0001F600');
    EXPECT_EQ(emoji.unmappable->position, 2);

    const QString loneSurrogate = QStringLiteral("x") + QChar(0xDC00);
    const AnsiText::Encoded lone = AnsiText::ToBytes(loneSurrogate);
    ASSERT_FALSE(lone);
    EXPECT_EQ(lone.unmappable->character, char32_t{0xDC00});
    EXPECT_EQ(lone.unmappable->position, 1);

    const AnsiText::Encoded first = AnsiText::ToBytes(u"\u0080");
    ASSERT_FALSE(first);
    EXPECT_EQ(first.unmappable->position, 0);
}

TEST(AnsiTextTest, EmptyTextIsNoBytes) {
    EXPECT_TRUE(AnsiText::FromBytes("").isEmpty());
    const AnsiText::Encoded empty = AnsiText::ToBytes(QStringView());
    EXPECT_TRUE(empty);
    EXPECT_TRUE(empty.bytes.empty());
}

} // namespace
