#include "ui/code_box.h"

#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class CodeBoxTest : public testing::Test {
protected:
    void Prepare(const QString& text, int caret, int length = 0) {
        box_.setPlainText(text);
        QTextCursor cursor = box_.textCursor();
        cursor.setPosition(caret);
        cursor.setPosition(caret + length, QTextCursor::KeepAnchor);
        box_.setTextCursor(cursor);
    }

    QPlainTextEdit box_;
};

TEST_F(CodeBoxTest, ReplaceSelectionLeavesTheCaretAtTheStart) {
    Prepare("abc", 1);
    CodeBox::ReplaceSelection(box_, "<ESC>");
    EXPECT_EQ(box_.toPlainText(), "a<ESC>bc");
    EXPECT_EQ(box_.textCursor().position(), 0);
    EXPECT_FALSE(box_.textCursor().hasSelection());

    CodeBox::ReplaceSelection(box_, "<CR>");
    EXPECT_EQ(box_.toPlainText(), "<CR>a<ESC>bc");

    Prepare("abc", 2, -1); // selected from right to left
    CodeBox::ReplaceSelection(box_, "<FF>");
    EXPECT_EQ(box_.toPlainText(), "a<FF>c");
}

TEST_F(CodeBoxTest, LineBreaksAreCarriageReturnLineFeed) {
    box_.setFocus();
    QTest::keyClicks(&box_, "A");
    QTest::keyClick(&box_, Qt::Key_Return);
    QTest::keyClicks(&box_, "B");
    QTest::keyClick(&box_, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(&box_, "C");
    const AnsiText::Encoded encoded = CodeBox::Bytes(box_);
    ASSERT_TRUE(encoded);
    EXPECT_EQ(encoded.bytes, "A\r\nB\r\nC");
}

TEST_F(CodeBoxTest, EveryByteButTheLineEndsComesBackUnchanged) {
    // Among them the no-break space 0xA0, which the plain-text view of the box turns
    // into a space.
    std::string bytes;
    for (int value = 0; value < 256; ++value) {
        if (value != '\r' && value != '\n') {
            bytes.push_back(static_cast<char>(value));
        }
    }
    CodeBox::SetBytes(box_, bytes);
    const AnsiText::Encoded encoded = CodeBox::Bytes(box_);
    ASSERT_TRUE(encoded);
    EXPECT_EQ(encoded.bytes, bytes);
    EXPECT_FALSE(CodeBox::IsEmpty(box_));
}

TEST_F(CodeBoxTest, UnmappableCharacterIsReportedWhereTheCaretWouldStand) {
    box_.setPlainText(QString("<ESC>E\n\u00E9x\u2713"));
    const AnsiText::Encoded encoded = CodeBox::Bytes(box_);
    ASSERT_FALSE(encoded);
    EXPECT_EQ(encoded.unmappable->character, U'\u2713');
    EXPECT_EQ(encoded.unmappable->position, 9);
    QTextCursor cursor(box_.document());
    cursor.setPosition(static_cast<int>(encoded.unmappable->position));
    cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    EXPECT_EQ(cursor.selectedText(), QString(QChar(0x2713)));
}

TEST_F(CodeBoxTest, EmptyBox) {
    EXPECT_TRUE(CodeBox::IsEmpty(box_));
    const AnsiText::Encoded encoded = CodeBox::Bytes(box_);
    ASSERT_TRUE(encoded);
    EXPECT_EQ(encoded.bytes, "");
    box_.setPlainText("\n");
    EXPECT_FALSE(CodeBox::IsEmpty(box_));
    EXPECT_EQ(CodeBox::Bytes(box_).bytes, "\r\n");
}

} // namespace
