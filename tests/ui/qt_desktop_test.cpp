// The Qt desktop: the shared file dialog and message boxes as the user meets them.
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_dir.h"
#include "ui/desktop/name_filters.h"
#include "ui/desktop/qt_desktop.h"
#include "ui/main/help_document.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Runs `handle` on the modal window once it is up (the call that shows it does not return
// before it is closed), then lets the handler close it. Each look that finds no window yet
// schedules the next; the last one owns nothing, so nothing is left behind.
template <typename Modal> void WhenShown(std::function<void(Modal&)> handle, int delayMs = 0) {
    QTimer::singleShot(delayMs, [handle] {
        if (auto* modal = qobject_cast<Modal*>(QApplication::activeModalWidget())) {
            handle(*modal);
            return;
        }
        WhenShown<Modal>(handle, 10);
    });
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

// Help > Contents where xdg-open hands the manual on and ends with the given status: the
// notice shows only when it failed, e.g. when no viewer for PDF documents is set up.
TEST(QtDesktopTest, HelpNoticeFollowsTheExitStatusOfXdgOpen) {
    const struct {
        int exitStatus;
        bool noticed;
    } cases[] = {{0, false}, {3, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exitStatus);
        TempDir temp;
        const std::string received = temp.File("received");
        std::string script = "#!/bin/sh\nprintf '%s' \"$1\" > '";
        script += received;
        script += "'\nexit ";
        script += std::to_string(c.exitStatus);
        script += '\n';
        WriteBytes(temp.File("xdg-open"), script);
        std::filesystem::permissions(temp.File("xdg-open"), std::filesystem::perms::owner_all);
        const ScopedEnvironment path("PATH", (temp.Path().string() + ":/usr/bin:/bin").c_str());
        const std::filesystem::path folder = temp.Path() / "Raw Tools";
        std::filesystem::create_directory(folder);
        WriteBytes((folder / "Tolvenmark Manual.pdf").string(), "%PDF-1.4\n");

        QStringList notices;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&notices] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                notices << box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        closer.start(10);
        QtDesktop desktop;
        HelpDocument::Open(desktop, QString::fromStdString(folder.string()));

        // The window goes on at once; xdg-open reports later.
        EXPECT_TRUE(notices.isEmpty());
        EXPECT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(received); }, 10000));
        // A notice comes soon after; where none is due, a second gives it every chance.
        EXPECT_EQ(QTest::qWaitFor([&] { return !notices.isEmpty(); }, c.noticed ? 10000 : 1000),
                  c.noticed);
        EXPECT_EQ(ReadBytes(received), (folder / "Tolvenmark Manual.pdf").string());
        EXPECT_EQ(notices, c.noticed ? QStringList{"Can't open the Help document"} : QStringList{});
    }
}

} // namespace
