#include "ui/code_box/code_layout.h"
#include "ui/code_box/code_text.h"
#include "ui/code_page/ansi_text.h"

#include <QFontMetricsF>
#include <gtest/gtest.h>
#include <random>

namespace {

using Kind = CodeGlyphs::Kind;

// Every character one unit wide, a control two, so rows can be read off by counting.
CodeGlyphs UnitGlyphs() {
    return CodeGlyphs([](char32_t, Kind kind) { return kind == Kind::Control ? 2.0 : 1.0; });
}

struct RowText {
    QString characters;
    bool lineBreak;
    bool operator==(const RowText&) const = default;
};

std::ostream& operator<<(std::ostream& out, const RowText& row) {
    return out << '"' << row.characters.toStdString() << '"' << (row.lineBreak ? " CRLF" : "");
}

std::vector<RowText> Rows(CodeLayout& layout, const QString& text) {
    std::vector<RowText> rows;
    for (int index = 0; index < layout.RowCount(); ++index) {
        const CodeLayout::Row row = layout.RowAt(index);
        rows.push_back({text.mid(row.start, row.end - row.start), row.EndsInLineBreak()});
    }
    return rows;
}

std::vector<RowText> Wrap(const QString& text, qreal width) {
    const CodeGlyphs glyphs = UnitGlyphs();
    CodeLayout layout(text, glyphs);
    layout.SetWidth(width);
    return Rows(layout, text);
}

TEST(CodeLayoutTest, BreaksAfterTheLastBlankThatFits) {
    EXPECT_EQ(Wrap("aaaa bbbb cccc", 10),
              (std::vector<RowText>{{"aaaa bbbb ", false}, {"cccc", false}}));
    // Blanks hang past the edge rather than start a row.
    EXPECT_EQ(Wrap("aaaaaaaaaa   b", 10),
              (std::vector<RowText>{{"aaaaaaaaaa ", false}, {"  b", false}}));
}

TEST(CodeLayoutTest, WithoutBlanksBreaksAnywhere) {
    EXPECT_EQ(
        Wrap("<ESC>E<ESC>&l1O<ESC>(s0p", 10),
        (std::vector<RowText>{{"<ESC>E<ESC", false}, {">&l1O<ESC>", false}, {"(s0p", false}}));
    // A character wider than the row still gets a row of its own.
    EXPECT_EQ(Wrap(QStringLiteral("ab\u0001c"), 1),
              (std::vector<RowText>{{"a", false}, {"b", false}, {"\u0001", false}, {"c", false}}));
}

TEST(CodeLayoutTest, CrLfEndsARowAndIsNotPartOfIt) {
    EXPECT_EQ(Wrap("ab\r\ncd", 10), (std::vector<RowText>{{"ab", true}, {"cd", false}}));
    EXPECT_EQ(Wrap("ab\r\n", 10), (std::vector<RowText>{{"ab", true}, {"", false}}));
    EXPECT_EQ(Wrap("\r\n\r\n", 10), (std::vector<RowText>{{"", true}, {"", true}, {"", false}}));
    // A lone CR or LF is a character like any other.
    EXPECT_EQ(Wrap("a\rb\nc", 10), (std::vector<RowText>{{"a\rb\nc", false}}));
    EXPECT_EQ(Wrap("", 10), (std::vector<RowText>{{"", false}}));
}

TEST(CodeLayoutTest, PositionsOfACaretAndOfAClick) {
    const QString text = "ab\r\ncdefghijklm";
    const CodeGlyphs glyphs = UnitGlyphs();
    CodeLayout layout(text, glyphs);
    layout.SetWidth(5);
    EXPECT_EQ(layout.RowOf(2), 0);
    EXPECT_EQ(layout.RowOf(4), 1);
    EXPECT_EQ(layout.RowOf(9), 2) << "a soft break belongs to the row it starts";
    EXPECT_EQ(layout.RowOf(text.size()), 3);
    const CodeLayout::Row second = layout.RowAt(1);
    EXPECT_EQ(layout.X(second, 6), 2);
    EXPECT_EQ(layout.PositionAt(second, 1.4), 5);
    EXPECT_EQ(layout.PositionAt(second, 1.6), 6);
    EXPECT_EQ(layout.PositionAt(second, 100), 9);
    EXPECT_EQ(layout.PositionAt(layout.RowAt(0), 100), 2) << "before the line break";
}

// Random text of words, blanks, line breaks, controls and a character outside the basic
// plane, measured with the real font and assorted widths.
QString RandomText(std::mt19937& random, int length) {
    static const std::vector<QString> pieces{"<ESC>",  "E",      " ",      "  ",         "\r\n",
                                             "\r",     "\n",     "abc",    "W",          "\u00e9",
                                             "\u20ac", "\u0001", "\u00ad", "\U0001F600", "i"};
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    QString text;
    while (text.size() < length) {
        text += pieces[pick(random)];
    }
    return text;
}

// Every character stands in exactly one row, in order; no row is wider than the width
// unless it holds one character or ends in blanks; no row splits a CR LF or a surrogate
// pair.
void ExpectSoundRows(CodeLayout& layout, const QString& text, qreal width) {
    qsizetype expectedStart = 0;
    const int count = layout.RowCount();
    for (int index = 0; index < count; ++index) {
        const CodeLayout::Row row = layout.RowAt(index);
        ASSERT_EQ(row.start, expectedStart) << "row " << index;
        ASSERT_LE(row.start, row.end);
        ASSERT_TRUE(CodeText::IsBoundary(text, row.start));
        ASSERT_TRUE(CodeText::IsBoundary(text, row.end));
        if (row.EndsInLineBreak()) {
            ASSERT_EQ(row.next, row.end + 2);
            ASSERT_TRUE(CodeText::IsLineBreakAt(text, row.end));
        }
        qsizetype lastVisible = row.end;
        while (lastVisible > row.start && text[lastVisible - 1] == u' ') {
            --lastVisible;
        }
        const qreal visibleWidth = layout.X(row, lastVisible);
        const bool oneCharacter = CodeText::NextBoundary(text, row.start) >= row.end;
        ASSERT_TRUE(visibleWidth <= width || oneCharacter) << "row " << index;
        for (qsizetype at = row.start; at < row.end; ++at) {
            ASSERT_FALSE(CodeText::IsLineBreakAt(text, at)) << "row " << index;
        }
        expectedStart = row.next;
    }
    EXPECT_EQ(layout.RowAt(count - 1).end, text.size());
}

TEST(CodeLayoutTest, EveryCharacterInExactlyOneRow) {
    std::mt19937 random(7);
    const CodeGlyphs glyphs{QFont()};
    for (const qreal width : {1.0, 37.5, 120.0, 333.0}) {
        QString text = RandomText(random, 3000);
        CodeLayout layout(text, glyphs);
        layout.SetWidth(width);
        ExpectSoundRows(layout, text, width);
    }
}

// An edit forgets only the rows near it; what is wrapped again must match a fresh wrap.
TEST(CodeLayoutTest, RowsAfterAnEditMatchAFreshWrap) {
    std::mt19937 random(11);
    const CodeGlyphs glyphs{QFont()};
    QString text = RandomText(random, 2000);
    CodeLayout layout(text, glyphs);
    layout.SetWidth(90);
    ASSERT_GT(layout.RowCount(), 20);
    for (int edit = 0; edit < 300; ++edit) {
        std::uniform_int_distribution<qsizetype> place(0, text.size());
        const qsizetype from = CodeText::BoundaryAtOrBefore(text, place(random));
        const qsizetype to =
            CodeText::BoundaryAtOrAfter(text, std::min(text.size(), from + place(random) % 6));
        text.replace(from, to - from, RandomText(random, edit % 3 == 0 ? 0 : edit % 7));
        layout.Changed(from);
        // Look at the rows around the edit first, as the box does, then at all of them.
        layout.RowOf(from);
        CodeLayout fresh(text, glyphs);
        fresh.SetWidth(90);
        ASSERT_EQ(Rows(layout, text), Rows(fresh, text)) << "edit " << edit;
    }
}

// Runs of text are drawn by the font in one call. With kerning and ligatures off, the font
// measures a run as the sum of its characters' advances, which is where the caret and the
// mouse put each character.
TEST(CodeGlyphsTest, RunsMeasureAsTheSumOfTheirCharacters) {
    const CodeGlyphs glyphs{QFont()};
    QString run;
    for (int byte = 0; byte < 256; ++byte) {
        const QChar character = AnsiText::FromByte(static_cast<unsigned char>(byte));
        const Kind kind = CodeGlyphs::KindOf(character.unicode());
        if (kind == Kind::Text || kind == Kind::Blank) {
            run += character;
        }
    }
    run += "office AVAV fi fl Ta To";
    ASSERT_GT(run.size(), 200);
    const QFontMetricsF metrics(glyphs.Font());
    qreal sum = 0;
    for (qsizetype at = 0; at < run.size(); ++at) {
        sum += glyphs.At(run, at).advance;
        ASSERT_NEAR(metrics.horizontalAdvance(run.left(at + 1)), sum, 0.01) << at;
    }
}

TEST(CodeGlyphsTest, KindsOfCharacters) {
    EXPECT_EQ(CodeGlyphs::KindOf(U'A'), Kind::Text);
    EXPECT_EQ(CodeGlyphs::KindOf(U' '), Kind::Blank);
    EXPECT_EQ(CodeGlyphs::KindOf(U'\r'), Kind::CarriageReturn);
    EXPECT_EQ(CodeGlyphs::KindOf(U'\n'), Kind::Control);
    EXPECT_EQ(CodeGlyphs::KindOf(0x7F), Kind::Control);
    EXPECT_EQ(CodeGlyphs::KindOf(0x8D), Kind::Control);
    EXPECT_EQ(CodeGlyphs::KindOf(0x20AC), Kind::Text) << "euro sign, byte 0x80";
    EXPECT_EQ(CodeGlyphs::KindOf(0xAD), Kind::Single);
    EXPECT_EQ(CodeGlyphs::KindOf(0x2713), Kind::Single);
    EXPECT_EQ(CodeGlyphs::KindOf(0x200B), Kind::Control) << "zero-width space";
    const CodeGlyphs glyphs{QFont()};
    const QString emoji = QString::fromUcs4(U"\U0001F600");
    EXPECT_EQ(glyphs.At(emoji, 0).length, 2);
    EXPECT_GT(glyphs.At(QString(QChar(0)), 0).advance, 0) << "a NUL byte takes room";
}

} // namespace
