#include "core/code_table.h"
#include "ui/code_box/code_box.h"
#include "ui/dialogs/frm_code_select.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

namespace {

class CodeSelectTest : public testing::Test {
protected:
    void SetUp() override {
        modAsciiStuff::BuildCodeTable();
        main_.setGeometry(200, 150, 600, 400);
        auto* layout = new QVBoxLayout(&main_);
        txtCodes_ = new CodeBox(&main_);
        layout->addWidget(txtCodes_);
        main_.show();
        picker_ = std::make_unique<frmCodeSelect>(*txtCodes_);
    }

    void Open() {
        picker_->show();
        QApplication::processEvents();
    }

    QListWidget& List() { return *picker_->findChild<QListWidget*>("lstCodes"); }

    // The box holds `text` with the caret at `caret` and `length` characters selected.
    void Prepare(const QString& text, int caret, int length = 0) {
        txtCodes_->SetText(text);
        txtCodes_->SetSelection(caret, length);
    }

    void ClickEntry(int row) {
        QListWidget& list = List();
        list.scrollToItem(list.item(row));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                          list.visualItemRect(list.item(row)).center());
    }

    QString Text() const { return txtCodes_->Text(); }

    QWidget main_;
    CodeBox* txtCodes_ = nullptr;
    std::unique_ptr<frmCodeSelect> picker_;
};

TEST_F(CodeSelectTest, WindowAndHeader) {
    Open();
    EXPECT_EQ(picker_->windowTitle(), "Codes");
    EXPECT_TRUE(picker_->isModal());
    EXPECT_EQ(picker_->parentWidget(), &main_);
    EXPECT_TRUE(picker_->windowFlags().testFlag(Qt::Tool));
    EXPECT_FALSE(picker_->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(picker_->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(picker_->size(), QSize(112, 199));
    EXPECT_EQ(picker_->minimumSize(), picker_->maximumSize());
    EXPECT_EQ(picker_->findChild<QLabel*>("Label1")->text(), " DEC   Code");
    EXPECT_EQ(List().geometry(), QRect(0, 16, 113, 184));
    const QFontMetrics metrics(List().font());
    EXPECT_EQ(metrics.horizontalAdvance('i'), metrics.horizontalAdvance('W')) << "fixed pitch";
    EXPECT_EQ(picker_->findChild<QLabel*>("Label1")->font(), List().font());
    EXPECT_EQ(QApplication::focusWidget(), &List());
    // Centred over the window it was opened from.
    EXPECT_LE(
        (picker_->frameGeometry().center() - main_.frameGeometry().center()).manhattanLength(), 4);
}

TEST_F(CodeSelectTest, ListsAllRowsWithNothingSelected) {
    Open();
    QListWidget& list = List();
    ASSERT_EQ(list.count(), 256);
    EXPECT_TRUE(list.selectedItems().isEmpty());
    EXPECT_EQ(list.currentRow(), -1);
    EXPECT_EQ(list.item(0)->text(), " 000   <NUL>");
    EXPECT_EQ(list.item(9)->text(), " 009   <TAB>");
    EXPECT_EQ(list.item(27)->text(), " 027   <ESC>");
    EXPECT_EQ(list.item(31)->text(), " 031   <US>");
    EXPECT_EQ(list.item(32)->text(), " 127   <DEL>");
    EXPECT_EQ(list.item(33)->text(), " 033   !");
    EXPECT_EQ(list.item(65)->text(), " 065   A");
    EXPECT_EQ(list.item(127)->text(), QString(" 127   ") + QChar(0x7F));
    EXPECT_EQ(list.item(128)->text(), QString(" 128   ") + QChar(0x20AC));
    EXPECT_EQ(list.item(254)->text(), QString(" 254   ") + QChar(0xFE));
    EXPECT_EQ(list.item(255)->text(), " 255   <NPC>");
    for (int row = 0; row < list.count(); ++row) {
        EXPECT_FALSE(list.item(row)->text().startsWith(" 032")) << row;
    }
    EXPECT_EQ(Text(), "") << "opening inserts nothing";
}

TEST_F(CodeSelectTest, EveryOpeningStartsAfresh) {
    Open();
    ClickEntry(40);
    picker_->close();
    Open();
    EXPECT_EQ(List().count(), 256);
    EXPECT_TRUE(List().selectedItems().isEmpty());

    frmCodeSelect second(*txtCodes_);
    second.show();
    QApplication::processEvents();
    EXPECT_EQ(second.findChild<QListWidget*>("lstCodes")->count(), 256);
}

TEST_F(CodeSelectTest, PickGoesToTheCaret) {
    Prepare("ab", 1);
    Open();
    ClickEntry(27);
    EXPECT_EQ(Text(), "a<ESC>b");
    EXPECT_EQ(txtCodes_->SelectionStart(), 0);
    EXPECT_EQ(txtCodes_->SelectionLength(), 0);
    EXPECT_EQ(QApplication::focusWidget(), &List());
    EXPECT_EQ(List().currentRow(), 27);
}

TEST_F(CodeSelectTest, LaterPicksGoToTheStart) {
    Prepare("ab", 1);
    Open();
    ClickEntry(27);
    ClickEntry(13);
    EXPECT_EQ(Text(), "<CR>a<ESC>b");
}

TEST_F(CodeSelectTest, PickReplacesTheSelection) {
    Prepare("one two three", 4, 3);
    Open();
    ClickEntry(12);
    EXPECT_EQ(Text(), "one <FF> three");
}

TEST_F(CodeSelectTest, PickIntoAnEmptyBox) {
    Open();
    ClickEntry(13);
    EXPECT_EQ(Text(), "<CR>");
}

TEST_F(CodeSelectTest, PlainEntriesInsertTheirOwnCharacter) {
    Open();
    ClickEntry(65);
    EXPECT_EQ(Text(), "A");
    ClickEntry(32);
    EXPECT_EQ(Text(), "<DEL>A");
    ClickEntry(127);
    EXPECT_EQ(Text(), QChar(0x7F) + QString("<DEL>A"));
    ClickEntry(128);
    EXPECT_EQ(Text(), QChar(0x20AC) + (QChar(0x7F) + QString("<DEL>A")));
    ClickEntry(255);
    EXPECT_TRUE(Text().startsWith("<NPC>"));
}

TEST_F(CodeSelectTest, ArrowKeysInsertEveryEntryPassed) {
    Open();
    QTest::keyClick(&List(), Qt::Key_Down);
    QTest::keyClick(&List(), Qt::Key_Down);
    QTest::keyClick(&List(), Qt::Key_Down);
    EXPECT_EQ(Text(), "<STX><SOH><NUL>");
    QTest::keyClick(&List(), Qt::Key_Up);
    EXPECT_EQ(Text(), "<SOH><STX><SOH><NUL>");
}

TEST_F(CodeSelectTest, ClickOnTheSelectedEntryInsertsNothingMore) {
    Open();
    ClickEntry(27);
    ClickEntry(27);
    EXPECT_EQ(Text(), "<ESC>");
}

TEST_F(CodeSelectTest, ExecBlocksTheMainWindowUntilClosed) {
    Prepare("x", 1);
    bool wasModal = false;
    QTimer::singleShot(0, picker_.get(), [this, &wasModal] {
        wasModal = QApplication::activeModalWidget() == picker_.get();
        ClickEntry(10);
        picker_->close();
    });
    picker_->exec();
    EXPECT_TRUE(wasModal);
    EXPECT_EQ(Text(), "x<LF>");
}

} // namespace
