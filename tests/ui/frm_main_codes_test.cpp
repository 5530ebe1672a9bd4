// The Codes frame: the escape and code buttons, the ASCII table, and Open, Save and Send.
#include "printing/job/raw_print.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/main_window_fixture.h"
#include "ui/app_lifetime.h"
#include "ui/code_box/code_box.h"
#include "ui/dialogs/frm_ascii.h"
#include "ui/dialogs/frm_code_select.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

const QString PrinterFileFilter =
    "Windows printer files (*.prn)|*.prn|PCL5 files (*.pcl)|*.pcl|All Files (*.*)|*.*";
const QString OverwriteQuestion = "File already exists! Overwrite?";

class CodesTest : public MainWindowTest {
protected:
    TempDir folder;

    void SetUp() override {
        catalog.names = {"Office", "Lab"};
        catalog.defaultName = "Lab";
        Start();
        window->activateWindow();
        ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == window.get(); }));
    }

    CodeBox& Codes() const { return *Find<CodeBox>("txtCodes"); }
    QPushButton* Button(const char* name) const { return Find<QPushButton>(name); }
    void Click(const char* name) const { QTest::mouseClick(Button(name), Qt::LeftButton); }

    QString PathOf(const std::string& name) const {
        return QString::fromStdString(folder.File(name));
    }
    void Save(const std::string& name) {
        desktop.dialogAnswers.push_back(PathOf(name));
        Click("cmdSave");
    }
    void Open(const std::string& name) {
        desktop.dialogAnswers.push_back(PathOf(name));
        Click("cmdOpen");
    }

    std::vector<std::string> FolderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder.Path())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::vector<std::string> Jobs() const {
        std::vector<std::string> jobs;
        for (const auto& call : printers.Calls()) {
            if (call.operation == "Open") {
                jobs.push_back(call.argument);
            }
        }
        return jobs;
    }
};

// --- escape and code buttons -------------------------------------------------------

TEST_F(CodesTest, EscapeGoesToTheCaretThenToTheStart) {
    Codes().SetText("abc");
    Codes().SetSelection(1, 0);
    Click("cmdEscape");
    EXPECT_EQ(Codes().Text(), "a<ESC>bc");
    EXPECT_EQ(Codes().SelectionStart(), 0);
    EXPECT_EQ(Codes().SelectionLength(), 0);
    EXPECT_EQ(QApplication::focusWidget(), Button("cmdEscape"));
    Click("cmdEscape");
    EXPECT_EQ(Codes().Text(), "<ESC>a<ESC>bc");
    EXPECT_EQ(QApplication::focusWidget(), Button("cmdEscape"));
}

TEST_F(CodesTest, EscapeReplacesTheSelectionOrFillsAnEmptyBox) {
    Click("cmdEscape");
    EXPECT_EQ(Codes().Text(), "<ESC>");
    Codes().SetText("abc");
    Codes().SetSelection(1, 1);
    Click("cmdEscape");
    EXPECT_EQ(Codes().Text(), "a<ESC>c");
}

TEST_F(CodesTest, CodeButtonOpensThePickerModallyOverTheWindow) {
    Codes().SetText("ab");
    Codes().SetSelection(1, 0);
    QWidget* parent = nullptr;
    QTimer::singleShot(0, window.get(), [&] {
        auto* picker = qobject_cast<frmCodeSelect*>(QApplication::activeModalWidget());
        ASSERT_NE(picker, nullptr);
        parent = picker->parentWidget();
        auto* list = picker->findChild<QListWidget*>("lstCodes");
        list->setCurrentRow(27);
        picker->close();
    });
    QTimer::singleShot(5000, window.get(), [] {
        if (QWidget* stuck = QApplication::activeModalWidget()) {
            stuck->close();
        }
    });
    Click("cmdCode");
    EXPECT_EQ(parent, window.get());
    EXPECT_EQ(Codes().Text(), "a<ESC>b");
}

// --- the ASCII table ---------------------------------------------------------------

std::vector<frmASCII*> AsciiTables() {
    std::vector<frmASCII*> tables;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* table = qobject_cast<frmASCII*>(widget); table != nullptr && table->isVisible()) {
            tables.push_back(table);
        }
    }
    return tables;
}

TEST_F(CodesTest, AsciiTableIsOneWindowWithoutOwner) {
    Click("cmdASCII");
    ASSERT_EQ(AsciiTables().size(), 1u);
    frmASCII* table = AsciiTables().front();
    EXPECT_EQ(table->parentWidget(), nullptr);
    EXPECT_TRUE(window->isEnabled()) << "the main window goes on taking input";

    Click("cmdASCII");
    ASSERT_EQ(AsciiTables().size(), 1u);
    EXPECT_EQ(AsciiTables().front(), table);
    EXPECT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == table; }));

    table->close();
    EXPECT_TRUE(WaitUntil([] { return AsciiTables().empty(); }));
    Click("cmdASCII");
    EXPECT_EQ(AsciiTables().size(), 1u) << "a closed table opens again";
}

TEST_F(CodesTest, AsciiTableKeepsTheProgramRunningAfterTheMainWindowCloses) {
    AppLifetime lifetime;
    int ended = 0;
    QObject::connect(&lifetime, &AppLifetime::noWindowLeft, [&] { ++ended; });
    Click("cmdASCII");
    ASSERT_EQ(AsciiTables().size(), 1u);
    window->close();
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
    }
    EXPECT_EQ(ended, 0);
    ASSERT_EQ(AsciiTables().size(), 1u);
    AsciiTables().front()->close();
    EXPECT_TRUE(WaitUntil([&] { return ended > 0; }));
}

// --- open ----------------------------------------------------------------------------

TEST_F(CodesTest, OpenShowsTheFileAsNotation) {
    WriteBytes(folder.File("job.prn"), std::string("\x1B"
                                                   "E\r\nA\xFF\x7F\xE9",
                                                   8));
    Codes().SetText("old");
    Open("job.prn");
    EXPECT_EQ(Codes().Text(), QString("<ESC>E<CR><LF>A<NPC><DEL>\u00e9"));
    EXPECT_EQ(Codes().SelectionStart(), 0);
    ASSERT_EQ(desktop.dialogs.size(), 1u);
    EXPECT_EQ(desktop.dialogs[0].kind, "open");
    EXPECT_EQ(desktop.dialogs[0].filter, PrinterFileFilter);
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(CodesTest, CancelledOpenChangesNothing) {
    Codes().SetText("kept");
    desktop.dialogAnswers.push_back(std::nullopt);
    Click("cmdOpen");
    EXPECT_EQ(Codes().Text(), "kept");
}

TEST_F(CodesTest, OpenOfAFileThatCannotBeReadSaysWhyAndKeepsTheBox) {
    Codes().SetText("kept");
    // Reading this file at its start fails, for root too.
    desktop.dialogAnswers.push_back(QStringLiteral("/proc/self/mem"));
    Click("cmdOpen");
    EXPECT_EQ(Codes().Text(), "kept");
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_TRUE(desktop.messages[0].text.contains("/proc/self/mem"))
        << desktop.messages[0].text.toStdString();
    EXPECT_TRUE(desktop.messages[0].text.contains("Input/output error"))
        << desktop.messages[0].text.toStdString();
}

// --- save ----------------------------------------------------------------------------

TEST_F(CodesTest, SaveOfAnEmptyBoxDoesNothing) {
    Click("cmdSave");
    EXPECT_TRUE(desktop.dialogs.empty());
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(CodesTest, SaveWritesTheBytesWithoutAQuestionForANewName) {
    Codes().SetText("<ESC>E<NPC>\u00e9 text<DEL>");
    desktop.dialogAnswers.push_back(std::nullopt);
    Click("cmdSave");
    EXPECT_TRUE(FolderEntries().empty()) << "a cancelled dialog writes nothing";

    Save("codes.prn");
    EXPECT_EQ(ReadBytes(folder.File("codes.prn")), "\x1B"
                                                   "E\xFF\xE9 text\x7F");
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_EQ(Codes().Text(), "<ESC>E<NPC>\u00e9 text<DEL>") << "the box keeps its text";
    ASSERT_EQ(desktop.dialogs.size(), 2u);
    EXPECT_EQ(desktop.dialogs[1].kind, "save");
    EXPECT_EQ(desktop.dialogs[1].filter, "") << "Save sets no file types";
}

TEST_F(CodesTest, OverwriteNoKeepsTheFileAndYesLeavesExactlyTheNewBytes) {
    WriteBytes(folder.File("codes.prn"), "a longer old content");
    Codes().SetText("<FF>");
    desktop.messageAnswers.push_back(MessageAnswer::No);
    Save("codes.prn");
    EXPECT_EQ(ReadBytes(folder.File("codes.prn")), "a longer old content");
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, OverwriteQuestion);
    EXPECT_EQ(desktop.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(desktop.messages[0].icon, MessageIcon::Information);

    desktop.messageAnswers.push_back(MessageAnswer::Yes);
    Save("codes.prn");
    EXPECT_EQ(ReadBytes(folder.File("codes.prn")), "\f");
    EXPECT_EQ(desktop.messages.size(), 2u);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"codes.prn"});
}

TEST_F(CodesTest, EveryEntryOfTheNameCountsAsExisting) {
    Codes().SetText("x");
    WriteBytes(folder.File(".hidden"), "old");
    fs::create_symlink(folder.File("nowhere"), folder.File("dangling"));
    desktop.messageAnswers = {MessageAnswer::No, MessageAnswer::No};
    Save(".hidden");
    Save("dangling");
    ASSERT_EQ(desktop.messages.size(), 2u);
    EXPECT_EQ(desktop.messages[0].text, OverwriteQuestion);
    EXPECT_EQ(desktop.messages[1].text, OverwriteQuestion);
    EXPECT_EQ(ReadBytes(folder.File(".hidden")), "old");
    EXPECT_TRUE(fs::is_symlink(folder.File("dangling")));
}

TEST_F(CodesTest, SaveIntoAFolderThatCannotBeMadeSaysWhy) {
    WriteBytes(folder.File("plain"), "a file, not a folder");
    Codes().SetText("<ESC>E");
    Save("plain/codes.prn");
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text,
              "Could not save \"" + PathOf("plain/codes.prn") + "\": Not a directory");
    EXPECT_EQ(ReadBytes(folder.File("plain")), "a file, not a folder");
    EXPECT_EQ(Codes().Text(), "<ESC>E");
}

TEST_F(CodesTest, SaveOverAFolderOrAPipeLeavesItAlone) {
    fs::create_directory(folder.File("folder"));
    WriteBytes(folder.File("folder/inside"), "inside");
    ASSERT_EQ(mkfifo(folder.File("pipe").c_str(), 0600), 0);
    Codes().SetText("<ESC>E");
    Save("folder");
    Save("pipe");
    ASSERT_EQ(desktop.messages.size(), 4u);
    EXPECT_EQ(desktop.messages[0].text, OverwriteQuestion);
    EXPECT_EQ(desktop.messages[1].text,
              "Could not save \"" + PathOf("folder") + "\": Is a directory");
    EXPECT_EQ(desktop.messages[3].text,
              "Could not save \"" + PathOf("pipe") + "\": it is not a regular file");
    EXPECT_TRUE(fs::is_directory(folder.File("folder")));
    EXPECT_EQ(ReadBytes(folder.File("folder/inside")), "inside");
    EXPECT_TRUE(fs::is_fifo(folder.File("pipe")));
}

// A write that fails half way (here: the file size limit, which holds for root too)
// leaves the old file as it was and no stray file beside it.
TEST_F(CodesTest, FailedWriteKeepsTheOldFile) {
    WriteBytes(folder.File("codes.prn"), "old codes");
    Codes().SetText(QString(200000, u'x'));
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    rlimit small = before;
    small.rlim_cur = 4096;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    desktop.messageAnswers.push_back(MessageAnswer::Yes);
    Save("codes.prn");
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(ReadBytes(folder.File("codes.prn")), "old codes");
    ASSERT_EQ(desktop.messages.size(), 2u);
    EXPECT_EQ(desktop.messages[1].text,
              "Could not save \"" + PathOf("codes.prn") + "\": File too large");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"codes.prn"});
    EXPECT_EQ(Codes().Text().size(), 200000);
}

TEST_F(CodesTest, TypedLineBreaksAreSavedAsCrLfAndOpenAsTokens) {
    Codes().setFocus();
    QTest::keyClicks(&Codes(), "<ESC>E");
    QTest::keyClick(&Codes(), Qt::Key_Return);
    QTest::keyClicks(&Codes(), "Line");
    Save("typed.prn");
    EXPECT_EQ(ReadBytes(folder.File("typed.prn")), "\x1B"
                                                   "E\r\nLine");
    Open("typed.prn");
    EXPECT_EQ(Codes().Text(), "<ESC>E<CR><LF>Line");
    // The one dialog's name carries over from Save to Open and on.
    EXPECT_EQ(desktop.dialogs[1].fileNameAtStart, PathOf("typed.prn"));
}

// --- send ----------------------------------------------------------------------------

TEST_F(CodesTest, SendMakesOneJobToTheSelectedPrinter) {
    ASSERT_TRUE(SendAndWait());
    EXPECT_TRUE(printers.Calls().empty()) << "an empty box sends nothing";

    Codes().SetText("<ESC>E\r\nText<FF>");
    ASSERT_TRUE(SendAndWait());
    EXPECT_EQ(Jobs(), std::vector<std::string>{"Lab"});
    EXPECT_EQ(printers.Written(), std::vector<std::string>{"\x1B"
                                                           "E\r\nText\f"});
    EXPECT_EQ(printers.Operations(), (std::vector<std::string>{"Open", "Write", "Finish"}));
    EXPECT_EQ(Codes().Text(), "<ESC>E\r\nText<FF>");
    EXPECT_TRUE(desktop.messages.empty());

    Find<QComboBox>("cmbPrinter")->setCurrentIndex(-1);
    ASSERT_TRUE(SendAndWait());
    EXPECT_EQ(Jobs(), (std::vector<std::string>{"Lab", ""}));
}

// A refused job is said once, with the spooler's reason, whichever step refused it.
TEST_F(CodesTest, RefusedSendSaysWhy) {
    int job = 0;
    for (const char* step : {"Open", "Finish"}) {
        printers.FailOn(step, ++job);
        desktop.messages.clear();
        Codes().SetText("<ESC>E");
        ASSERT_TRUE(SendAndWait());
        ASSERT_EQ(desktop.messages.size(), 1u) << step;
        EXPECT_EQ(desktop.messages[0].text,
                  QString("The codes could not be sent: %1 refused").arg(step));
        EXPECT_EQ(Codes().Text(), "<ESC>E");
    }
}

TEST_F(CodesTest, UnmappableCharacterStopsSaveAndSend) {
    Codes().SetText(QString("<ESC>E\r\nok \u2713 <FF>"));
    Click("cmdSend");
    Click("cmdSave");
    EXPECT_TRUE(printers.Calls().empty());
    EXPECT_TRUE(desktop.dialogs.empty()) << "Save stops before asking for a name";
    ASSERT_EQ(desktop.messages.size(), 2u);
    for (const auto& message : desktop.messages) {
        EXPECT_TRUE(message.text.contains(QString("\u201C\u2713\u201D (U+2713)")))
            << message.text.toStdString();
        EXPECT_TRUE(message.text.contains("position 12")) << message.text.toStdString();
    }
    EXPECT_TRUE(desktop.messages[0].text.endsWith("Nothing was sent."));
    EXPECT_TRUE(desktop.messages[1].text.endsWith("Nothing was saved."));
    EXPECT_EQ(Codes().SelectedText(), QString("\u2713"));
    EXPECT_TRUE(FolderEntries().empty());
}

} // namespace
