#include "tests/support/fake_desktop.h"
#include "tests/support/temp_dir.h"
#include "ui/main/help_document.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

// A program folder whose name holds spaces, with or without the manual in it.
class HelpDocumentTest : public testing::Test {
protected:
    HelpDocumentTest() { std::filesystem::create_directory(folder_); }

    QString Folder() const { return QString::fromStdString(folder_.string()); }
    std::string ManualFile() const { return (folder_ / "Tolvenmark Manual.pdf").string(); }
    void PutManual() const { WriteBytes(ManualFile(), "%PDF-1.4\n"); }

    TempDir temp_;
    std::filesystem::path folder_ = temp_.Path() / "Raw Printing Tools";
    FakeDesktop desktop_;
};

TEST_F(HelpDocumentTest, PresentManualIsOpenedWholeAndNothingIsShown) {
    PutManual();

    HelpDocument::Open(desktop_, Folder());

    ASSERT_EQ(desktop_.openedDocuments.size(), 1u);
    EXPECT_EQ(desktop_.openedDocuments[0].toStdString(), ManualFile());
    EXPECT_TRUE(desktop_.messages.empty());
}

TEST_F(HelpDocumentTest, MissingManualShowsOneNoticeAndStartsNothing) {
    HelpDocument::Open(desktop_, Folder());

    EXPECT_TRUE(desktop_.openedDocuments.empty());
    ASSERT_EQ(desktop_.messages.size(), 1u);
    EXPECT_EQ(desktop_.messages[0].text, "Can't open the Help document");
    EXPECT_EQ(desktop_.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(desktop_.messages[0].icon, MessageIcon::None);
}

TEST_F(HelpDocumentTest, DocumentTheDesktopCannotOpenShowsOneNotice) {
    PutManual();
    desktop_.openDocumentOpens = false;

    HelpDocument::Open(desktop_, Folder());

    EXPECT_EQ(desktop_.openedDocuments.size(), 1u);
    ASSERT_EQ(desktop_.messages.size(), 1u);
    EXPECT_EQ(desktop_.messages[0].text, "Can't open the Help document");
}

TEST_F(HelpDocumentTest, FolderInPlaceOfTheManualCountsAsMissing) {
    std::filesystem::create_directory(ManualFile());

    HelpDocument::Open(desktop_, Folder());

    EXPECT_TRUE(desktop_.openedDocuments.empty());
    EXPECT_EQ(desktop_.messages.size(), 1u);
}

TEST_F(HelpDocumentTest, TheUserCanRetryAtOnce) {
    HelpDocument::Open(desktop_, Folder());
    PutManual();

    HelpDocument::Open(desktop_, Folder());
    EXPECT_EQ(desktop_.openedDocuments.size(), 1u);
    EXPECT_EQ(desktop_.messages.size(), 1u);
}

// An installation, wherever its prefix is moved to, keeps the program and the manual in
// the folders the build was configured with.
TEST_F(HelpDocumentTest, InstalledProgramFindsTheInstalledManualAndPrefersOneBesideIt) {
    const std::filesystem::path prefix = temp_.Path() / "moved prefix";
    const std::filesystem::path bin = prefix / TOLVENMARK_INSTALL_BINDIR;
    const std::filesystem::path installed =
        prefix / TOLVENMARK_INSTALL_MANUALDIR / "Tolvenmark Manual.pdf";
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(installed.parent_path());
    WriteBytes(installed.string(), "%PDF-1.4\n");
    const QString binFolder = QString::fromStdString(bin.string());

    HelpDocument::Open(desktop_, binFolder);
    WriteBytes((bin / "Tolvenmark Manual.pdf").string(), "%PDF-1.4\n");
    HelpDocument::Open(desktop_, binFolder);

    ASSERT_EQ(desktop_.openedDocuments.size(), 2u);
    EXPECT_EQ(std::filesystem::path(desktop_.openedDocuments[0].toStdString()),
              installed.lexically_normal());
    EXPECT_EQ(desktop_.openedDocuments[1].toStdString(), (bin / "Tolvenmark Manual.pdf").string());
    EXPECT_TRUE(desktop_.messages.empty());
}

TEST(HelpDocumentPath, JoinsFolderAndFileNameWithOneSeparator) {
    EXPECT_EQ(HelpDocument::PathIn("/opt/Raw Tools"), "/opt/Raw Tools/Tolvenmark Manual.pdf");
    EXPECT_EQ(HelpDocument::PathIn("/opt/Raw Tools/"), "/opt/Raw Tools/Tolvenmark Manual.pdf");
    // A program in the root folder: no doubled separator.
    EXPECT_EQ(HelpDocument::PathIn("/"), "/Tolvenmark Manual.pdf");
}

} // namespace
