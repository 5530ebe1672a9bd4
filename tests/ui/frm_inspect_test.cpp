// The viewer opened from the main window on a generated file of labels: each way of opening
// it, rows shown while the pass goes, Find, Copy to Codes and a file cut short under it.
#include "tests/ui/main_window_fixture.h"
#include "ui/code_box/code_box.h"
#include "ui/inspect/command_table_model.h"
#include "ui/inspect/frm_inspect.h"
#include "ui/inspect/inspect_pass.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>
#include <QTest>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

// Six rows a label: ^XA, ^FO50,50, ^FDHello, ^FS, ^PQ2, ^XZ<LF>.
const std::string Label = "^XA^FO50,50^FDHello^FS^PQ2^XZ\n";
constexpr int Labels = 100000;
// Then a label with an image too long to copy, and an unknown command.
const std::string Tail = "^XA^GFB,70000,70000,100," + std::string(70000, '\x55') + "^ZQ^XZ\n";
constexpr int ImageRow = Labels * 6 + 1;
constexpr int UnknownRow = Labels * 6 + 2;

class ViewerTest : public MainWindowTest {
public:
    // The three ways of opening the viewer.
    void ClickView() {
        // Enabled only while a file is selected.
        Find<QListWidget>("lstFiles")->clearSelection();
        EXPECT_FALSE(Find<QPushButton>("cmdView")->isEnabled());
        Find<QListWidget>("lstFiles")->setCurrentRow(0);
        Find<QPushButton>("cmdView")->click();
    }
    void DoubleClickFile() {
        auto* files = Find<QListWidget>("lstFiles");
        const QPoint place = files->visualItemRect(files->item(0)).center();
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, place);
        QTest::mouseDClick(files->viewport(), Qt::LeftButton, {}, place);
    }
    void ViewFileFromMenu() {
        desktop.dialogAnswers.push_back(QString::fromStdString(path));
        Find<QAction>("mnuViewFile")->trigger();
    }

protected:
    TempDir folder;
    std::string path = folder.File("labels.zpl");

    void SetUp() override {
        std::string bytes;
        for (int i = 0; i < Labels; ++i) {
            bytes += Label;
        }
        WriteBytes(path, bytes + Tail);
        Start();
        window->AddFiles({path});
    }

    // The viewer the main window opened last, once its pass is over.
    frmInspect* Viewer() {
        frmInspect* viewer = nullptr;
        EXPECT_TRUE(WaitUntil([&] {
            const QList<frmInspect*> viewers = window->findChildren<frmInspect*>();
            viewer = viewers.isEmpty() ? nullptr : viewers.back();
            return viewer != nullptr && viewer->isVisible();
        }));
        return viewer;
    }

    static bool PassOver(frmInspect* viewer) {
        return WaitUntil(
            [viewer] {
                return viewer->findChild<QLabel*>("lblSummary")->text().contains("commands: ");
            },
            60000);
    }

    static CommandTableModel* Rows(frmInspect* viewer) {
        return viewer->findChild<CommandTableModel*>();
    }

    // Brings the row onto the list's page, then clicks it as the user would.
    static void ClickRow(frmInspect* viewer, int row) {
        viewer->SelectRow(row);
        viewer->SelectRow(-1);
        auto* list = viewer->findChild<QTableView*>("lstCommands");
        const int shown = row - static_cast<int>(Rows(viewer)->First());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(Rows(viewer)->index(shown, 1)).center());
    }

    static QString Cell(frmInspect* viewer, int row, int column) {
        return Rows(viewer)->Cell(static_cast<std::uint64_t>(row), column).toString();
    }
};

struct OpenCase {
    const char* how;
    void (ViewerTest::*open)();
};

// View, a double-click on the file and File > View File each open a viewer of the file.
TEST_F(ViewerTest, EachWayOfViewingOpensTheFile) {
    const std::vector<OpenCase> cases = {
        {"View button", &ViewerTest::ClickView},
        {"double-click", &ViewerTest::DoubleClickFile},
        {"File > View File", &ViewerTest::ViewFileFromMenu},
    };
    for (const OpenCase& c : cases) {
        (this->*c.open)();
        frmInspect* viewer = Viewer();
        ASSERT_NE(viewer, nullptr) << c.how;
        EXPECT_EQ(viewer->Path(), path) << c.how;
        ASSERT_TRUE(PassOver(viewer)) << c.how;
        EXPECT_EQ(Cell(viewer, 0, 1), "^XA") << c.how;
        viewer->close();
        EXPECT_TRUE(WaitUntil([this] { return window->findChildren<frmInspect*>().isEmpty(); }))
            << c.how;
    }
    // A viewer left open goes with the main window.
    ClickView();
    ASSERT_NE(Viewer(), nullptr);
    window->close();
    EXPECT_TRUE(WaitUntil([this] { return window->findChildren<frmInspect*>().isEmpty(); }));
}

// The first rows reach the list with the pass's first piece, long before its end: the list
// already holds them when the pass first reports.
TEST_F(ViewerTest, RowsAppearWhileThePassGoes) {
    ClickView();
    // Shown at once; the pass reports through the event loop, not yet run.
    const QList<frmInspect*> viewers = window->findChildren<frmInspect*>();
    ASSERT_EQ(viewers.size(), 1);
    frmInspect* viewer = viewers.front();
    std::vector<std::uint64_t> shown;
    QObject::connect(viewer->findChild<InspectPass*>(), &InspectPass::Progress, viewer,
                     [&shown, viewer] { shown.push_back(Rows(viewer)->Total()); });
    ASSERT_TRUE(PassOver(viewer));
    const std::uint64_t rows = Rows(viewer)->Total();
    EXPECT_EQ(rows, Labels * 6U + 4);
    ASSERT_FALSE(shown.empty());
    EXPECT_GT(shown.front(), 0U);
    EXPECT_LT(shown.front(), rows);
    EXPECT_EQ(Cell(viewer, UnknownRow, 3), "unknown command");
}

struct FindCase {
    QString text;
    int selected;
    int found; // -1: not found
};

// Find looks forward from the selected row for a name, tokens or words of a meaning or
// problem, selects what it finds and says so; what no row holds is said not found.
TEST_F(ViewerTest, FindMovesTheSelectionForward) {
    const std::vector<FindCase> cases = {
        {"^PQ", -1, 4},
        {"^PQ", 4, 10},
        {"QUANTITY", 4, 10},
        {"<LF>", 6, 11},
        {"unknown", 0, UnknownRow},
        {"no such words", 0, -1},
    };
    window->findChild<QListWidget*>("lstFiles")->setCurrentRow(0);
    Find<QPushButton>("cmdView")->click();
    frmInspect* viewer = Viewer();
    ASSERT_TRUE(PassOver(viewer));
    auto* status = viewer->findChild<QLabel*>("lblStatus");
    for (const FindCase& c : cases) {
        viewer->SelectRow(c.selected);
        viewer->findChild<QLineEdit*>("txtFind")->setText(c.text);
        viewer->findChild<QPushButton*>("cmdFind")->click();
        ASSERT_TRUE(WaitUntil([status] { return !status->text().startsWith("Finding"); }, 60000))
            << c.text.toStdString();
        if (c.found >= 0) {
            EXPECT_EQ(viewer->SelectedRow(), c.found) << c.text.toStdString();
            EXPECT_TRUE(status->text().startsWith("Found")) << status->text().toStdString();
        } else {
            EXPECT_TRUE(status->text().contains("not found")) << status->text().toStdString();
        }
    }
}

struct CopyCase {
    int row;
    QString codes; // what the code box holds after
    QString status;
};

// Copy to Codes puts the whole command as tokens in the code box; an image longer than the
// box takes is refused with its reason, and the box keeps what it had.
TEST_F(ViewerTest, CopyToCodesPutsTheCommandsTokensInTheCodeBox) {
    const std::vector<CopyCase> cases = {
        {1, "^FO50,50", "8 bytes copied"},
        {5, "^XZ<LF>", "4 bytes copied"},
        {ImageRow, "^XZ<LF>", "Not copied: the command is 70021 bytes long"},
    };
    window->findChild<QListWidget*>("lstFiles")->setCurrentRow(0);
    Find<QPushButton>("cmdView")->click();
    frmInspect* viewer = Viewer();
    ASSERT_TRUE(PassOver(viewer));
    auto* codes = Find<CodeBox>("txtCodes");
    for (const CopyCase& c : cases) {
        codes->SelectAll();
        ClickRow(viewer, c.row);
        EXPECT_EQ(viewer->SelectedRow(), c.row);
        viewer->findChild<QPushButton*>("cmdCopyToCodes")->click();
        EXPECT_EQ(codes->Text(), c.codes) << c.row;
        EXPECT_TRUE(viewer->findChild<QLabel*>("lblStatus")->text().startsWith(c.status))
            << viewer->findChild<QLabel*>("lblStatus")->text().toStdString();
    }
}

// Rows of a file cut short after its pass are marked as such, not shown from stale bytes.
TEST_F(ViewerTest, RowsAFileNoLongerHasAreMarked) {
    window->findChild<QListWidget*>("lstFiles")->setCurrentRow(0);
    Find<QPushButton>("cmdView")->click();
    frmInspect* viewer = Viewer();
    ASSERT_TRUE(PassOver(viewer));
    std::filesystem::resize_file(path, 1000);
    EXPECT_EQ(Cell(viewer, UnknownRow, 3), "the file changed since it was read");
    EXPECT_EQ(Cell(viewer, UnknownRow, 1), "");
}

// A FIFO would hold the pass until a writer came, and the window's close with it: it is
// refused with its reason.
TEST_F(ViewerTest, AFifoIsRefusedRatherThanWaitedOn) {
    const std::string fifo = folder.File("fifo.prn");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    desktop.dialogAnswers.push_back(QString::fromStdString(fifo));
    Find<QAction>("mnuViewFile")->trigger();
    frmInspect* viewer = Viewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(WaitUntil([viewer] {
        return viewer->findChild<QLabel*>("lblSummary")->text().contains("read no further");
    }));
    viewer->close();
}

} // namespace
