#include "main_window_fixture.h"
#include "tests/support/temp_dir.h"
#include "ui/dialogs/frm_about.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

namespace {

class HelpMenuTest : public MainWindowTest {
protected:
    HelpMenuTest() { std::filesystem::create_directories(folder_); }

    QString Folder() const { return QString::fromStdString(folder_.string()); }
    std::string ManualFile() const { return (folder_ / "Tolvenmark Manual.pdf").string(); }

    // Chooses About and runs the check on the window it shows, then closes it with Escape.
    // The window is modal, so the check has to run from inside its event loop.
    void ChooseAbout(const std::function<void(frmAbout&)>& check) {
        bool checked = false;
        QTimer::singleShot(0, window.get(), [&] {
            auto* about = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
            ASSERT_NE(about, nullptr) << "no modal About window";
            check(*about);
            checked = true;
            QTest::keyClick(about, Qt::Key_Escape);
        });
        // Should the window not close, the test still ends.
        QTimer::singleShot(5000, window.get(), [] {
            if (QWidget* stuck = QApplication::activeModalWidget()) {
                stuck->close();
            }
        });
        Find<QAction>("mnuAbout")->trigger();
        EXPECT_TRUE(checked);
    }

    TempDir temp_;
    std::filesystem::path folder_ = temp_.Path() / "Program Files" / "Tolvenmark 1.0";
};

TEST_F(HelpMenuTest, ContentsOpensTheManualBesideTheProgramAndSaysNothing) {
    WriteBytes(ManualFile(), "%PDF-1.4\n");
    Start();
    window->SetProgramFolder(Folder());

    Find<QAction>("mnuContents")->trigger();

    ASSERT_EQ(desktop.openedDocuments.size(), 1u);
    // The folder's spaces stay inside the one path handed to the viewer.
    EXPECT_EQ(desktop.openedDocuments[0].toStdString(), ManualFile());
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(HelpMenuTest, ContentsWithoutTheManualShowsOneNoticeAndNothingElseChanges) {
    Start();
    window->SetProgramFolder(Folder());

    Find<QAction>("mnuContents")->trigger();

    EXPECT_TRUE(desktop.openedDocuments.empty());
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, "Can't open the Help document");
    EXPECT_EQ(desktop.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(desktop.messages[0].icon, MessageIcon::None);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(HelpMenuTest, ContentsLooksInTheProgramsOwnFolderByDefault) {
    // The build puts the manual beside every program it makes, this test included.
    const QString besideUs =
        QDir(QCoreApplication::applicationDirPath()).filePath("Tolvenmark Manual.pdf");
    ASSERT_TRUE(QFileInfo(besideUs).isFile()) << "the build did not render the manual";
    Start();

    Find<QAction>("mnuContents")->trigger();

    ASSERT_EQ(desktop.openedDocuments.size(), 1u);
    EXPECT_EQ(desktop.openedDocuments[0], besideUs);
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(HelpMenuTest, AboutIsModalOverTheMainWindowAndFreshEachTime) {
    Start();
    QPointer<frmAbout> first;

    ChooseAbout([&](frmAbout& about) {
        first = &about;
        EXPECT_TRUE(about.isModal());
        EXPECT_EQ(about.parentWidget(), window.get());
        EXPECT_EQ(about.windowTitle(), "About Tolvenmark");
    });
    // Closing it unloaded it.
    EXPECT_TRUE(first.isNull());

    ChooseAbout([&](frmAbout& about) {
        EXPECT_EQ(about.windowTitle(), "About Tolvenmark");
        EXPECT_TRUE(about.isVisible());
    });
    EXPECT_TRUE(window->findChildren<frmAbout*>().isEmpty());
    EXPECT_TRUE(window->isVisible());
}

} // namespace
