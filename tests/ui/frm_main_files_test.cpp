// The queue of files to print: adding, dropping, ordering, tooltips and the print run.
#include "printing/job/raw_print.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/main_window_fixture.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>
#include <filesystem>

namespace {

const QString PrinterFileFilter =
    "Windows printer files (*.prn)|*.prn|PCL5 files (*.pcl)|*.pcl|All Files (*.*)|*.*";

class FileListTest : public MainWindowTest {
protected:
    TempDir folder;

    void SetUp() override { catalog.names = {"Office", "Lab"}; }

    // Writes a file whose content is its own name, so each job shows which file it sent.
    QString MakeFile(const std::string& name) {
        WriteBytes(folder.File(name), name);
        return QString::fromStdString(folder.File(name));
    }

    QListWidget* Files() const { return Find<QListWidget>("lstFiles"); }
    void Click(const char* button) const { Find<QPushButton>(button)->click(); }

    QStringList Entries() const {
        QStringList entries;
        for (int i = 0; i < Files()->count(); ++i) {
            entries << Files()->item(i)->text();
        }
        return entries;
    }
    int Selected() const {
        const QList<QListWidgetItem*> selected = Files()->selectedItems();
        return selected.isEmpty() ? -1 : Files()->row(selected.first());
    }
    void Select(int row) const { Files()->setCurrentRow(row); }

    void Add(const QStringList& paths) {
        for (const QString& path : paths) {
            desktop.dialogAnswers.push_back(path);
            Click("cmdAdd");
        }
    }

    // The printers of the jobs that reached the printers, in order.
    std::vector<std::string> JobPrinters() const {
        std::vector<std::string> names;
        for (const RecordingPrinters::Call& call : printers.Calls()) {
            if (call.operation == "Open") {
                names.push_back(call.argument);
            }
        }
        return names;
    }
};

TEST_F(FileListTest, AddAppendsTheChosenFileWithThePrinterFileTypes) {
    Start();
    Add({"/data/a.prn", "/data/b.pcl"});
    EXPECT_EQ(Entries(), (QStringList{"/data/a.prn", "/data/b.pcl"}));
    ASSERT_EQ(desktop.dialogs.size(), 2u);
    EXPECT_EQ(desktop.dialogs[0].kind, "open");
    EXPECT_EQ(desktop.dialogs[0].filter, PrinterFileFilter);
    // The dialog opens at the name chosen last.
    EXPECT_EQ(desktop.dialogs[0].fileNameAtStart, "");
    EXPECT_EQ(desktop.dialogs[1].fileNameAtStart, "/data/a.prn");
    EXPECT_EQ(Selected(), -1);
}

TEST_F(FileListTest, CancelledAddAddsNothingAndKeepsTheLastName) {
    Start();
    Add({"/data/a.prn"});
    desktop.dialogAnswers.push_back(std::nullopt);
    Click("cmdAdd");
    EXPECT_EQ(Entries(), QStringList{"/data/a.prn"});
    desktop.dialogAnswers.push_back(std::nullopt);
    Click("cmdAdd");
    ASSERT_EQ(desktop.dialogs.size(), 3u);
    EXPECT_EQ(desktop.dialogs[2].fileNameAtStart, "/data/a.prn");
    EXPECT_EQ(Entries(), QStringList{"/data/a.prn"});
}

TEST_F(FileListTest, DeleteRemovesTheSelectedEntryAndSelectsNothing) {
    Start();
    Add({"/a", "/b", "/c"});
    Select(1);
    Click("cmdDelete");
    EXPECT_EQ(Entries(), (QStringList{"/a", "/c"}));
    EXPECT_EQ(Selected(), -1);
    // With nothing selected a second click does nothing.
    Click("cmdDelete");
    EXPECT_EQ(Entries(), (QStringList{"/a", "/c"}));
}

TEST_F(FileListTest, MovesCarryTheSelectionWithThePath) {
    Start();
    Add({"/a", "/b", "/c"});
    Select(1);
    Click("cmdUp");
    EXPECT_EQ(Entries(), (QStringList{"/b", "/a", "/c"}));
    EXPECT_EQ(Selected(), 0);

    Click("cmdDown");
    Click("cmdDown");
    EXPECT_EQ(Entries(), (QStringList{"/a", "/c", "/b"}));
    EXPECT_EQ(Selected(), 2);
}

TEST_F(FileListTest, ButtonsWhoseConditionDoesNotHoldDoNothing) {
    Start();
    // An empty list.
    for (const char* button : {"cmdDelete", "cmdUp", "cmdDown", "cmdPrint"}) {
        Click(button);
    }
    EXPECT_TRUE(Entries().isEmpty());

    Add({"/a", "/b", "/c"});
    const QStringList queue = Entries();
    // Nothing selected.
    for (const char* button : {"cmdDelete", "cmdUp", "cmdDown"}) {
        Click(button);
        EXPECT_EQ(Entries(), queue) << button;
    }
    // Up on the first entry, down on the last.
    Select(0);
    Click("cmdUp");
    EXPECT_EQ(Entries(), queue);
    EXPECT_EQ(Selected(), 0);
    Select(2);
    Click("cmdDown");
    EXPECT_EQ(Entries(), queue);
    EXPECT_EQ(Selected(), 2);

    EXPECT_TRUE(printers.Calls().empty());
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(FileListTest, PrintSendsEveryFileAsItsOwnJobToTheSelectedPrinter) {
    Start();
    const QString first = MakeFile("first.prn");
    const QString second = MakeFile("second.pcl");
    Add({first, second, first});
    Find<QComboBox>("cmbPrinter")->setCurrentIndex(1);
    ASSERT_TRUE(PrintAndWait());
    // The same file twice is two jobs.
    EXPECT_EQ(printers.Written(),
              (std::vector<std::string>{"first.prn", "second.pcl", "first.prn"}));
    EXPECT_EQ(JobPrinters(), (std::vector<std::string>{"Lab", "Lab", "Lab"}));
    EXPECT_EQ(Entries(), (QStringList{first, second, first}));
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(FileListTest, PrintSkipsWhatIsNoLongerAPlainFileAndKeepsTheQueue) {
    Start();
    const QString first = MakeFile("first.prn");
    const QString second = MakeFile("second.prn");
    const QString third = MakeFile("third.prn");
    Add({first, second, third, QString::fromStdString(folder.Path().string())});
    std::filesystem::remove(second.toStdString());
    ASSERT_TRUE(PrintAndWait());
    EXPECT_EQ(printers.Written(), (std::vector<std::string>{"first.prn", "third.prn"}));
    EXPECT_EQ(Entries().size(), 4);
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(FileListTest, WithoutASelectedPrinterJobsGoToTheEmptyName) {
    catalog.names.clear();
    Start();
    Add({MakeFile("a.prn"), MakeFile("b.prn")});
    ASSERT_TRUE(PrintAndWait());
    EXPECT_EQ(JobPrinters(), (std::vector<std::string>{"", ""}));
    EXPECT_TRUE(desktop.messages.empty());
}

// One message after the run names every file that did not go and why, in the spooler's
// words or the file system's; the files that went are not in it. A name's control
// characters show as escapes.
TEST_F(FileListTest, RefusedJobsAndUnreadableFilesAreSaidInOneMessageAfterTheRun) {
    const QString first = MakeFile("first.prn");
    // A regular file whose read fails.
    const QString second = QStringLiteral("/proc/self/mem");
    const QString third = MakeFile("third\x1b]0;owned\x07.prn");
    const QString fourth = MakeFile("fourth.prn");
    // Jobs are counted by the backends made: the unreadable file makes none.
    printers.FailOn("Finish", 2);
    Start();
    Add({first, second, third, fourth});
    ASSERT_TRUE(PrintAndWait());

    // The others are sent; the unreadable one makes no job, the refused one is withdrawn.
    EXPECT_EQ(printers.Written(),
              (std::vector<std::string>{"first.prn", "third\x1b]0;owned\x07.prn", "fourth.prn"}));
    const std::vector<std::string> operations = printers.Operations();
    EXPECT_EQ(std::count(operations.begin(), operations.end(), "Abort"), 1);
    ASSERT_EQ(desktop.messages.size(), 1u);
    const FakeDesktop::Message& message = desktop.messages.front();
    EXPECT_EQ(message.text, "The following could not be sent:\n\n"
                            "Could not read \"" +
                                second +
                                "\": Input/output error\n"
                                "Could not print \"" +
                                QString::fromStdString(folder.File("third")) +
                                "\\x1b]0;owned\\x07.prn\": Finish refused");
    EXPECT_EQ(message.buttons, MessageButtons::Ok);
    EXPECT_EQ(Entries(), (QStringList{first, second, third, fourth}));
}

TEST_F(FileListTest, ToolTipNamesTheEntryUnderThePointer) {
    Start();
    Add({"/data/first.prn", "/data/second.prn", "/data/a rather long/third.prn"});
    QWidget* viewport = Files()->viewport();
    auto move = [&](const QPoint& at, Qt::MouseButtons buttons) {
        QMouseEvent event(QEvent::MouseMove, QPointF(at), viewport->mapToGlobal(QPointF(at)),
                          Qt::NoButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(viewport, &event);
    };
    move(Files()->visualItemRect(Files()->item(2)).center(), Qt::NoButton);
    EXPECT_EQ(Files()->toolTip(), "/data/a rather long/third.prn");

    // With a button held the tip stays as it was.
    move(Files()->visualItemRect(Files()->item(0)).center(), Qt::LeftButton);
    EXPECT_EQ(Files()->toolTip(), "/data/a rather long/third.prn");

    move(Files()->visualItemRect(Files()->item(0)).center(), Qt::NoButton);
    EXPECT_EQ(Files()->toolTip(), "/data/first.prn");

    // Below the last entry there is none.
    move(QPoint(5, viewport->height() - 2), Qt::NoButton);
    EXPECT_EQ(Files()->toolTip(), "");
}

class FileDropTest : public FileListTest {
protected:
    // Drags the data over the list and drops it as a file manager does; true when the
    // list accepted the drag.
    bool DragAndDrop(const QMimeData& data,
                     Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction) {
        QWidget* viewport = Files()->viewport();
        const QPoint at(20, 20);
        QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QDragMoveEvent move(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        const bool accepted = enter.isAccepted() && move.isAccepted();
        if (accepted) {
            EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
            EXPECT_EQ(move.dropAction(), Qt::CopyAction);
        }
        QDropEvent drop(QPointF(at), offered, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &drop);
        return accepted;
    }
};

TEST_F(FileDropTest, DroppedFilesAreAppendedInTheirOrder) {
    Start();
    Add({"/data/queued.prn"});
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/data/c.prn"), QUrl::fromLocalFile("/data/a b.pcl"),
                  QUrl::fromLocalFile("/data/folder")});
    EXPECT_TRUE(DragAndDrop(data));
    EXPECT_EQ(Entries(),
              (QStringList{"/data/queued.prn", "/data/c.prn", "/data/a b.pcl", "/data/folder"}));
}

TEST_F(FileDropTest, DragsWithoutLocalFilesAreRefused) {
    Start();
    QMimeData text;
    text.setText("/data/c.prn");
    EXPECT_FALSE(DragAndDrop(text));

    QMimeData web;
    web.setUrls({QUrl("https://example.org/c.prn")});
    EXPECT_FALSE(DragAndDrop(web));
    EXPECT_TRUE(Entries().isEmpty());
}

TEST_F(FileDropTest, FilesOnlyOfferedForMovingAreRefused) {
    Start();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/data/c.prn")});
    EXPECT_FALSE(DragAndDrop(data, Qt::MoveAction));
    EXPECT_TRUE(Entries().isEmpty());
}

// A name that is no valid UTF-8, as Linux allows: the entry shows what it can of it, and
// the job still opens the file by its own bytes.
const std::string NotTextName = "caf\xE9.prn";
const QString NotTextShown = QString::fromUtf8("caf\uFFFD.prn");

// How a file manager hands over a drop: a text/uri-list of percent-encoded addresses.
void SetUriList(QMimeData& data, const std::vector<std::string>& paths) {
    QByteArray list;
    for (const std::string& path : paths) {
        list += "file://" + QByteArray::fromStdString(path).toPercentEncoding("/") + "\r\n";
    }
    data.setData("text/uri-list", list);
}

TEST_F(FileDropTest, DroppedNamesThatAreNoTextKeepTheirBytesThroughMovesAndDeletes) {
    Start();
    const std::string odd = folder.File(NotTextName);
    const std::string plain = folder.File("plain.prn");
    WriteBytes(odd, "odd bytes");
    WriteBytes(plain, "plain bytes");
    QMimeData data;
    SetUriList(data, {plain, odd});
    EXPECT_TRUE(DragAndDrop(data));
    ASSERT_EQ(Entries().size(), 2);
    EXPECT_TRUE(Entries()[1].endsWith("/" + NotTextShown)) << Entries()[1].toStdString();

    Select(1);
    Click("cmdUp");
    ASSERT_TRUE(PrintAndWait());
    EXPECT_EQ(printers.Written(), (std::vector<std::string>{"odd bytes", "plain bytes"}));

    Click("cmdDown");
    Select(0);
    Click("cmdDelete");
    ASSERT_TRUE(PrintAndWait());
    EXPECT_EQ(printers.Written(),
              (std::vector<std::string>{"odd bytes", "plain bytes", "odd bytes"}));
    EXPECT_TRUE(desktop.messages.empty());
}

// The program hands the files of its command line to the window this way.
TEST_F(FileListTest, FilesGivenByNameJoinAsDropsDoAndKeepTheirBytes) {
    Start();
    Add({MakeFile("queued.prn")});
    WriteBytes(folder.File(NotTextName), "odd bytes");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder.Path());
    // A relative name is the file in the current folder, shown with its full path.
    window->AddFiles({folder.File(NotTextName), "./plain.prn"});
    std::filesystem::current_path(before);
    WriteBytes(folder.File("plain.prn"), "plain bytes");

    const QString base = QString::fromStdString(folder.Path().string()) + "/";
    EXPECT_EQ(Entries(),
              (QStringList{base + "queued.prn", base + NotTextShown, base + "plain.prn"}));
    ASSERT_TRUE(PrintAndWait());
    EXPECT_EQ(printers.Written(),
              (std::vector<std::string>{"queued.prn", "odd bytes", "plain bytes"}));
    EXPECT_TRUE(desktop.messages.empty());
}

} // namespace
