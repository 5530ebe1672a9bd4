#include "ui/code_box/code_text.h"

#include <gtest/gtest.h>

namespace {

using namespace CodeText;

TEST(CodeTextTest, CaretStepsOverLineBreaksAndSurrogatePairsWhole) {
    const QString text = QString::fromUcs4(U"a\r\n\U0001F600b");
    // a CR LF hi lo b: places 0, 1, 3, 5, 6
    EXPECT_FALSE(IsBoundary(text, 2));
    EXPECT_FALSE(IsBoundary(text, 4));
    EXPECT_EQ(NextBoundary(text, 1), 3);
    EXPECT_EQ(NextBoundary(text, 3), 5);
    EXPECT_EQ(NextBoundary(text, 6), 6);
    EXPECT_EQ(PreviousBoundary(text, 5), 3);
    EXPECT_EQ(PreviousBoundary(text, 3), 1);
    EXPECT_EQ(PreviousBoundary(text, 0), 0);
    EXPECT_EQ(BoundaryAtOrBefore(text, 2), 1);
    EXPECT_EQ(BoundaryAtOrAfter(text, 2), 3);
    EXPECT_EQ(BoundaryAtOrAfter(text, 99), 6);
    // A lone CR or LF is a character of its own.
    EXPECT_TRUE(IsBoundary(u"\n\r", 1));
}

TEST(CodeTextTest, WordMoves) {
    const QString text = "<ESC>E hello,  world\r\n  next";
    EXPECT_EQ(NextWordStart(text, 0), 1);   // "<"
    EXPECT_EQ(NextWordStart(text, 1), 4);   // "ESC"
    EXPECT_EQ(NextWordStart(text, 4), 5);   // ">"
    EXPECT_EQ(NextWordStart(text, 5), 7);   // "E "
    EXPECT_EQ(NextWordStart(text, 7), 12);  // "hello"
    EXPECT_EQ(NextWordStart(text, 12), 15); // ",  "
    EXPECT_EQ(NextWordStart(text, 15), 20); // "world"
    EXPECT_EQ(NextWordStart(text, 20), 22); // the line break
    EXPECT_EQ(NextWordStart(text, 22), 24); // blanks at the line start
    EXPECT_EQ(NextWordStart(text, 24), 28);
    EXPECT_EQ(PreviousWordStart(text, 28), 24);
    EXPECT_EQ(PreviousWordStart(text, 24), 22) << "stops at the line start";
    EXPECT_EQ(PreviousWordStart(text, 22), 20) << "then steps over the line break";
    EXPECT_EQ(PreviousWordStart(text, 20), 15);
    EXPECT_EQ(PreviousWordStart(text, 15), 12);
    EXPECT_EQ(PreviousWordStart(text, 1), 0);
}

TEST(CodeTextTest, DoubleClickWord) {
    const QString text = "ab cd\r\n\r\nef";
    EXPECT_EQ(WordAt(text, 0), std::make_pair(qsizetype{0}, qsizetype{2}));
    EXPECT_EQ(WordAt(text, 2), std::make_pair(qsizetype{2}, qsizetype{3}));
    EXPECT_EQ(WordAt(text, 5), std::make_pair(qsizetype{3}, qsizetype{5})) << "past the line's end";
    EXPECT_EQ(WordAt(text, 7), std::make_pair(qsizetype{7}, qsizetype{7})) << "empty line";
    EXPECT_EQ(WordAt(text, 11), std::make_pair(qsizetype{9}, qsizetype{11}));
}

TEST(CodeTextTest, PlainTextForOtherPrograms) {
    EXPECT_EQ(ToPlainText(u"a\r\nb\rc\nd"), "a\nb\rc\nd");
    EXPECT_EQ(FromPlainText(u"a\nb\r\nc\rd\u2029e\u2028f"), "a\r\nb\r\nc\rd\r\ne\r\nf");
}

} // namespace
