#include "ui/code_box/code_box.h"
#include "ui/code_box/code_text.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QImage>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

class CodeBoxTest : public testing::Test {
protected:
    void SetUp() override {
        window_.setGeometry(100, 100, 320, 200);
        auto* layout = new QVBoxLayout(&window_);
        before_ = new QLineEdit(&window_);
        box_ = new CodeBox(&window_);
        layout->addWidget(before_);
        layout->addWidget(box_);
        window_.show();
        window_.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window_));
        box_->setFocus();
    }

    CodeBox& Box() { return *box_; }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(box_, key, modifiers);
    }
    // One key press for each character, as a keyboard or a compose key would type it.
    void Type(const QString& text) {
        for (const char32_t character : text.toUcs4()) {
            QTest::sendKeyEvent(QTest::Click, box_, Qt::Key_unknown,
                                QString::fromUcs4(&character, 1), Qt::NoModifier);
        }
    }
    qsizetype Caret() { return box_->SelectionStart() + box_->SelectionLength(); }
    QRect CaretRect() { return box_->inputMethodQuery(Qt::ImCursorRectangle).toRect(); }
    void Click(QPoint at, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(box_, Qt::LeftButton, modifiers, at);
    }

    QWidget window_;
    QLineEdit* before_ = nullptr;
    CodeBox* box_ = nullptr;
};

TEST_F(CodeBoxTest, TypingPutsCharactersAtTheCaret) {
    QSignalSpy changed(box_, &CodeBox::textChanged);
    Type("<ESC>E");
    EXPECT_EQ(Box().Text(), "<ESC>E");
    EXPECT_EQ(Caret(), 6);
    Key(Qt::Key_Home);
    Type("x");
    EXPECT_EQ(Box().Text(), "x<ESC>E");
    EXPECT_EQ(changed.count(), 7);
    // Shortcuts, menu access keys and control characters type nothing.
    Key(Qt::Key_B, Qt::ControlModifier);
    QTest::keyClick(box_, Qt::Key_F, Qt::AltModifier, 0);
    QTest::keyClick(box_, Qt::Key_Escape);
    EXPECT_EQ(Box().Text(), "x<ESC>E");
}

TEST_F(CodeBoxTest, EnterGivesCrLf) {
    Type("A");
    Key(Qt::Key_Return);
    Type("B");
    Key(Qt::Key_Return, Qt::ShiftModifier);
    Type("C");
    Key(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(Box().Text(), "A\r\nB\r\nC\r\n");
    const AnsiText::Encoded encoded = Box().Bytes();
    ASSERT_TRUE(encoded);
    EXPECT_EQ(encoded.bytes, "A\r\nB\r\nC\r\n");
    EXPECT_EQ(Caret(), 9);
}

TEST_F(CodeBoxTest, BackspaceAndDeleteTakeALineBreakWhole) {
    Box().SetText("ab\r\ncd");
    Box().SetSelection(4, 0);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Box().Text(), "abcd");
    EXPECT_EQ(Caret(), 2);
    Box().SetText("ab\r\ncd");
    Box().SetSelection(2, 0);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Box().Text(), "abcd");
    // Deleting what stood between a lone CR and an LF joins them into a line break; the
    // caret then stands before it.
    Box().SetText("\rx\n");
    Box().SetSelection(2, 0);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Box().Text(), "\r\n");
    EXPECT_EQ(Caret(), 0);
}

TEST_F(CodeBoxTest, CaretNeverStandsBetweenCrAndLf) {
    Box().SetText("ab\r\n\r\ncd\r\n");
    const auto expectBoundary = [this](const char* how) {
        EXPECT_TRUE(CodeText::IsBoundary(Box().Text(), Caret())) << how << " " << Caret();
        EXPECT_TRUE(CodeText::IsBoundary(Box().Text(), Box().SelectionStart())) << how;
    };
    std::vector<qsizetype> places{Caret()};
    for (int step = 0; step < 8; ++step) {
        Key(Qt::Key_Right);
        expectBoundary("Right");
        places.push_back(Caret());
    }
    EXPECT_EQ(places, (std::vector<qsizetype>{0, 1, 2, 4, 6, 7, 8, 10, 10}));
    for (const Qt::Key key : {Qt::Key_Up, Qt::Key_End, Qt::Key_Left, Qt::Key_Up, Qt::Key_End,
                              Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown}) {
        Key(key);
        expectBoundary("key");
        Key(key, Qt::ShiftModifier);
        expectBoundary("shift key");
    }
    Box().SetSelection(3, 0);
    EXPECT_EQ(Caret(), 2);
    Box().SetSelection(0, 3);
    EXPECT_EQ(Box().SelectionLength(), 4) << "the selection takes the whole line break";
    for (int x = 0; x < box_->width(); x += 7) {
        for (int y = 0; y < box_->height(); y += 5) {
            Click({x, y});
            expectBoundary("click");
        }
    }
}

TEST_F(CodeBoxTest, ClicksAndDragsSelect) {
    Box().SetText("first\r\nsecond line");
    const QRect firstRow = CaretRect();
    Click({box_->width() - 5, firstRow.center().y()});
    EXPECT_EQ(Caret(), 5) << "past the end of the row, before its line break";
    Click({0, firstRow.center().y() + firstRow.height()});
    EXPECT_EQ(Caret(), 7);
    Click({box_->width() - 5, firstRow.center().y() + firstRow.height()}, Qt::ShiftModifier);
    EXPECT_EQ(Box().SelectionStart(), 7);
    EXPECT_EQ(Box().SelectedText(), "second line");

    QTest::mousePress(box_, Qt::LeftButton, {}, {0, firstRow.center().y()});
    QTest::mouseMove(box_, {box_->width() - 5, firstRow.center().y() + firstRow.height()});
    QTest::mouseRelease(box_, Qt::LeftButton, {},
                        {box_->width() - 5, firstRow.center().y() + firstRow.height()});
    EXPECT_EQ(Box().SelectedText(), "first\r\nsecond line");

    QTest::mouseDClick(box_, Qt::LeftButton, {},
                       {box_->width() - 5, firstRow.center().y() + firstRow.height()});
    EXPECT_EQ(Box().SelectedText(), "line");
}

TEST_F(CodeBoxTest, SelectionIsReplacedByWhatIsTyped) {
    Box().SetText("one two three");
    Box().SetSelection(4, 3);
    EXPECT_EQ(Box().SelectedText(), "two");
    Type("<FF>");
    EXPECT_EQ(Box().Text(), "one <FF> three");
    Key(Qt::Key_End);
    Key(Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(Box().SelectedText(), "three");
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Box().Text(), "one <FF> ");
    Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Box().SelectionLength(), 9);
    Key(Qt::Key_Left);
    EXPECT_EQ(Caret(), 0) << "Left ends a selection at its start";
}

TEST_F(CodeBoxTest, ReplaceSelectionLeavesTheCaretAtTheStart) {
    Box().SetText("abc");
    Box().SetSelection(1, 0);
    Box().ReplaceSelection("<ESC>");
    EXPECT_EQ(Box().Text(), "a<ESC>bc");
    EXPECT_EQ(Box().SelectionStart(), 0);
    EXPECT_EQ(Box().SelectionLength(), 0);
    Box().ReplaceSelection("<CR>");
    EXPECT_EQ(Box().Text(), "<CR>a<ESC>bc");
    Box().SetSelection(1, 2);
    Box().ReplaceSelection("");
    EXPECT_EQ(Box().Text(), "<>a<ESC>bc");
}

TEST_F(CodeBoxTest, UndoAndRedo) {
    Box().SetText("start");
    Key(Qt::Key_End);
    Type(" typed");
    Key(Qt::Key_Return);
    Type("more");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Box().Text(), "start") << "one step for the typing";
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Box().Text(), "start typed\r\nmore");
    EXPECT_EQ(Caret(), Box().Text().size());

    Key(Qt::Key_Backspace);
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Left);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Box().Text(), "start typed\r\nm");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Box().Text(), "start typed\r\nmo");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Box().Text(), "start typed\r\nmore");

    // Inserting a code and assigning the whole text are undone like typing.
    Box().SetSelection(0, 5);
    Box().ReplaceSelection("<ESC>");
    Box().SetText("other");
    Box().Undo();
    EXPECT_EQ(Box().Text(), "<ESC> typed\r\nmore");
    Box().Undo();
    EXPECT_EQ(Box().Text(), "start typed\r\nmore");
    EXPECT_EQ(Box().SelectedText(), "start") << "the selection comes back with the text";
    Box().Redo();
    Box().Redo();
    EXPECT_EQ(Box().Text(), "other");
    EXPECT_FALSE(Box().CanRedo());
}

TEST_F(CodeBoxTest, ClipboardKeepsEveryCodePageCharacter) {
    std::string bytes;
    for (int value = 0; value < 256; ++value) {
        bytes.push_back(static_cast<char>(value));
    }
    bytes += "\r\n\n\r";
    Box().SetBytes(bytes);
    Key(Qt::Key_A, Qt::ControlModifier);
    Key(Qt::Key_C, Qt::ControlModifier);
    // Other programs get the line breaks of plain text.
    const QString plain = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(plain.endsWith(QStringLiteral("\n\n\r")));
    EXPECT_EQ(plain.size(), Box().Text().size() - 1);

    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_TRUE(Box().IsEmpty());
    Key(Qt::Key_V, Qt::ControlModifier);
    Type("V");
    Key(Qt::Key_Insert, Qt::ShiftModifier);
    const AnsiText::Encoded encoded = Box().Bytes();
    ASSERT_TRUE(encoded);
    EXPECT_EQ(encoded.bytes, bytes + "V" + bytes);
}

TEST_F(CodeBoxTest, PastedPlainTextGetsCrLfLineBreaks) {
    QGuiApplication::clipboard()->setText("one\ntwo\r\nthree");
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Box().Text(), "one\r\ntwo\r\nthree");
}

TEST_F(CodeBoxTest, PastingWithoutTextKeepsTheSelection) {
    Type("keep");
    Key(Qt::Key_A, Qt::ControlModifier);
    auto* picture = new QMimeData;
    picture->setData(QStringLiteral("image/png"), QByteArray("\x89PNG", 4));
    QGuiApplication::clipboard()->setMimeData(picture);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Box().Text(), "keep");
    EXPECT_EQ(Box().SelectionLength(), 4);
}

TEST_F(CodeBoxTest, UnmappableCharacterIsReportedWithItsPlace) {
    Type("<ESC>E");
    Key(Qt::Key_Return);
    Type(QString::fromUcs4(U"\u00e9x\u2713 \U0001F600"));
    EXPECT_EQ(Box().Text().size(), 14);
    AnsiText::Encoded encoded = Box().Bytes();
    ASSERT_FALSE(encoded);
    EXPECT_EQ(encoded.unmappable->character, U'\u2713');
    EXPECT_EQ(encoded.unmappable->position, 10);
    EXPECT_TRUE(encoded.bytes.empty());

    Key(Qt::Key_Left);
    EXPECT_EQ(Caret(), 12) << "a character outside the basic plane is one step";
    Key(Qt::Key_Left);
    Key(Qt::Key_Backspace);
    encoded = Box().Bytes();
    ASSERT_FALSE(encoded);
    EXPECT_EQ(encoded.unmappable->character, U'\U0001F600');
    EXPECT_EQ(encoded.unmappable->position, 11);
}

TEST_F(CodeBoxTest, InputMethodCommitsAreTyped) {
    Type("ab");
    Key(Qt::Key_Left);
    QInputMethodEvent compose;
    compose.setCommitString(QString("\u00e9\n"));
    QApplication::sendEvent(box_, &compose);
    EXPECT_EQ(Box().Text(), "a\u00e9\r\nb");
    EXPECT_EQ(box_->inputMethodQuery(Qt::ImSurroundingText).toString(), "b");
    EXPECT_EQ(box_->inputMethodQuery(Qt::ImCursorPosition).toInt(), 0);
    EXPECT_TRUE(box_->rect().contains(CaretRect()));
}

// A composition is shown while it is made, but only the committed text enters the box.
TEST_F(CodeBoxTest, InputMethodCompositionIsShownButNotTyped) {
    Type("ab");
    const auto picture = [this] {
        QImage image(box_->size(), QImage::Format_ARGB32);
        box_->render(&image);
        return image;
    };
    const QImage before = picture();
    QInputMethodEvent composing(QStringLiteral("ka"), {});
    QApplication::sendEvent(box_, &composing);
    EXPECT_EQ(Box().Text(), "ab");
    EXPECT_NE(picture(), before);

    QInputMethodEvent committed;
    committed.setCommitString(QString(u'\u00e9'));
    QApplication::sendEvent(box_, &committed);
    EXPECT_EQ(Box().Text(), "ab\u00e9");
    Key(Qt::Key_Backspace);
    EXPECT_EQ(picture(), before);
}

TEST_F(CodeBoxTest, ContextMenuOffersTheEditingCommands) {
    QGuiApplication::clipboard()->clear();
    Box().SetText("one two");
    Box().SetSelection(4, 3);
    QContextMenuEvent request(QContextMenuEvent::Mouse, {5, 5}, box_->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(box_, &request);
    auto* menu = box_->findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    QStringList entries;
    for (const QAction* action : menu->actions()) {
        if (!action->isSeparator()) {
            entries << action->text().section(u'\t', 0, 0) + (action->isEnabled() ? "" : " (off)");
        }
    }
    EXPECT_EQ(entries,
              (QStringList{"&Undo", "Cu&t", "&Copy", "&Paste (off)", "&Delete", "Select &All"}));
    menu->actions()[2]->trigger(); // Cut
    EXPECT_EQ(Box().Text(), "one ");
    menu->close();
}

TEST_F(CodeBoxTest, TabMovesTheFocusAndTypesNothing) {
    Type("a");
    Key(Qt::Key_Tab);
    EXPECT_EQ(Box().Text(), "a");
    EXPECT_FALSE(box_->hasFocus());
    box_->setFocus();
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(Box().Text(), "a");
    EXPECT_TRUE(before_->hasFocus());
}

TEST_F(CodeBoxTest, ViewFollowsTheCaretAndTheWheel) {
    QString text;
    for (int line = 0; line < 200; ++line) {
        text += QStringLiteral("line %1 <ESC>E<ESC>&l0O\r\n").arg(line);
    }
    Box().SetText(text);
    const QRect area = box_->rect();
    EXPECT_TRUE(area.contains(CaretRect()));
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_TRUE(area.contains(CaretRect())) << "the view went down to the end";
    Key(Qt::Key_PageUp);
    Key(Qt::Key_PageUp);
    EXPECT_TRUE(area.contains(CaretRect()));

    const QRect before = CaretRect();
    QWheelEvent down(QPointF(10, 10), box_->mapToGlobal(QPointF(10, 10)), {}, {0, -120},
                     Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(box_, &down);
    EXPECT_EQ(CaretRect().top(), before.top() - QApplication::wheelScrollLines() * before.height());
    Type("x");
    EXPECT_TRUE(area.contains(CaretRect())) << "typing brings the caret back into view";
}

// Painting shows only what is in view: a million characters on one line draw as fast as a
// few; the text's pixels do show up in the box.
TEST_F(CodeBoxTest, PaintsTheRowsInView) {
    Box().SetText(QString(1000000, u'W'));
    const QColor base = box_->palette().color(QPalette::Base);
    QImage image(box_->size(), QImage::Format_ARGB32);
    image.fill(base);
    box_->render(&image);
    const QRect inside = box_->rect().adjusted(5, 5, -5, -5);
    int inked = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            inked += image.pixelColor(x, y) != base ? 1 : 0;
        }
    }
    EXPECT_GT(inked, inside.width() * inside.height() / 10);
    Box().SetSelection(500000, 0);
    Type("x");
    EXPECT_EQ(Box().Text().size(), 1000001);
    EXPECT_EQ(Box().Text()[500000], u'x');
}

} // namespace
