// The Qt desktop: the shared file dialog and message boxes as the user meets them.
#include "tests/support/temp_dir.h"
#include "ui/desktop/name_filters.h"
#include "ui/desktop/qt_desktop.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Runs `handle` on the modal window once it is up (the call that shows it does not return
// before it is closed), then lets the handler close it.
template <typename Modal> void WhenShown(std::function<void(Modal&)> handle) {
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [handle, poll] {
        if (auto* modal = qobject_cast<Modal*>(QApplication::activeModalWidget())) {
            handle(*modal);
            return;
        }
        QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(0, *poll);
}

TEST(NameFiltersTest, EachPairBecomesADescriptionWithItsPatterns) {
    EXPECT_EQ(NameFiltersFromFilter("Windows printer files (*.prn)|*.prn|PCL5 files "
                                    "(*.pcl)|*.pcl|All Files (*.*)|*.*"),
              (QStringList{"Windows printer files (*.prn) (*.prn)", "PCL5 files (*.pcl) (*.pcl)",
                           "All Files (*.*) (*)"}));
}

TEST(NameFiltersTest, SeveralPatternsAndOddListsAreTakenApart) {
    EXPECT_EQ(NameFiltersFromFilter("Printer files|*.prn; *.pcl;*.ps"),
              QStringList{"Printer files (*.prn *.pcl *.ps)"});
    EXPECT_TRUE(NameFiltersFromFilter("").isEmpty());
    // A description without its pattern is left out.
    EXPECT_EQ(NameFiltersFromFilter("Labels|*.zpl|Orphan"), QStringList{"Labels (*.zpl)"});
    EXPECT_TRUE(NameFiltersFromFilter("Nothing|").isEmpty());
}

TEST(QtDesktopTest, QuestionIsTitledWithTheProgramAndDefaultsToYes) {
    QtDesktop desktop;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QAbstractButton* defaultButton = nullptr;
    WhenShown<QMessageBox>([&](QMessageBox& box) {
        title = box.windowTitle();
        text = box.text();
        icon = box.icon();
        buttons = box.standardButtons();
        defaultButton = box.defaultButton();
        EXPECT_EQ(defaultButton, box.button(QMessageBox::Yes));
        box.button(QMessageBox::No)->click();
    });
    EXPECT_EQ(desktop.ShowMessage("File already exists! Overwrite?", MessageButtons::YesNo,
                                  MessageIcon::Information),
              MessageAnswer::No);
    EXPECT_EQ(title, "Tolvenmark");
    EXPECT_EQ(text, "File already exists! Overwrite?");
    EXPECT_EQ(icon, QMessageBox::Information);
    EXPECT_EQ(buttons, QMessageBox::Yes | QMessageBox::No);
}

TEST(QtDesktopTest, NoticeHasOnlyOkAndNoIcon) {
    QtDesktop desktop;
    QMessageBox::Icon icon = QMessageBox::Information;
    QMessageBox::StandardButtons buttons;
    WhenShown<QMessageBox>([&](QMessageBox& box) {
        icon = box.icon();
        buttons = box.standardButtons();
        box.button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(desktop.ShowMessage("Couldn't start property pages.", MessageButtons::Ok,
                                  MessageIcon::None),
              MessageAnswer::Ok);
    EXPECT_EQ(icon, QMessageBox::NoIcon);
    EXPECT_EQ(buttons, QMessageBox::Ok);
}

TEST(QtDesktopTest, FileDialogStartsAtTheLastNameAndKeepsItWhenCancelled) {
    TempDir folder;
    const QString last = QString::fromStdString(folder.File("last.prn"));
    CommonDialog dialog{"Windows printer files (*.prn)|*.prn|All Files (*.*)|*.*", last};
    QtDesktop desktop;
    QStringList filters;
    QString directory;
    WhenShown<QFileDialog>([&](QFileDialog& fileDialog) {
        filters = fileDialog.nameFilters();
        directory = fileDialog.directory().absolutePath();
        EXPECT_EQ(fileDialog.acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_TRUE(fileDialog.testOption(QFileDialog::HideNameFilterDetails));
        fileDialog.reject();
    });
    EXPECT_FALSE(desktop.ShowOpen(dialog));
    EXPECT_EQ(dialog.FileName, last);
    EXPECT_EQ(filters,
              (QStringList{"Windows printer files (*.prn) (*.prn)", "All Files (*.*) (*)"}));
    EXPECT_EQ(directory, QString::fromStdString(folder.Path().string()));
}

TEST(QtDesktopTest, ChosenFileBecomesTheDialogsName) {
    TempDir folder;
    WriteBytes(folder.File("job.pcl"), "\x1b"
                                       "E");
    const QString chosen = QString::fromStdString(folder.File("job.pcl"));
    CommonDialog dialog;
    QtDesktop desktop;
    WhenShown<QFileDialog>([&](QFileDialog& fileDialog) {
        fileDialog.selectFile(chosen);
        static_cast<QDialog&>(fileDialog).accept();
    });
    EXPECT_TRUE(desktop.ShowOpen(dialog));
    EXPECT_EQ(dialog.FileName, chosen);
}

TEST(QtDesktopTest, SaveDialogLeavesTheOverwriteQuestionToTheCommand) {
    CommonDialog dialog;
    QtDesktop desktop;
    bool confirms = true;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    WhenShown<QFileDialog>([&](QFileDialog& fileDialog) {
        confirms = !fileDialog.testOption(QFileDialog::DontConfirmOverwrite);
        mode = fileDialog.acceptMode();
        fileDialog.reject();
    });
    EXPECT_FALSE(desktop.ShowSave(dialog));
    EXPECT_TRUE(dialog.FileName.isEmpty());
    EXPECT_FALSE(confirms);
    EXPECT_EQ(mode, QFileDialog::AcceptSave);
}

} // namespace
