// The main window's layout, start-up, clock, Properties and exit.
#include "app_info.h"
#include "core/code_table.h"
#include "tests/ui/main_window_fixture.h"
#include "ui/code_box/code_box.h"

#include <QAction>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <cstdlib>
#include <iterator>
#include <utility>

namespace {

// A catalog that notes whether the code table was there when the printers were asked for.
class OrderObservingCatalog final : public PrinterCatalog {
public:
    bool asked = false;
    bool tableBuiltWhenAsked = false;

    std::vector<std::string> PrinterNames() override {
        asked = true;
        tableBuiltWhenAsked = CodeTable::IsBuilt();
        return {"Office"};
    }
    std::string DefaultPrinterName() override { return {}; }
    bool OpenPrinterSettings(const std::string&) override { return true; }
};

// The code table is built once per process, so the order is watched in a fresh one.
TEST(FrmMainStartUpDeathTest, CodeTableIsBuiltBeforeThePrinterListIsFilled) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            if (CodeTable::IsBuilt()) {
                std::exit(2);
            }
            FakeDesktop desktop;
            RecordingPrinters printers;
            OrderObservingCatalog catalog;
            FakeJobMonitor monitor;
            frmMain window(desktop, printers, catalog, monitor);
            window.Load();
            std::exit(catalog.asked && catalog.tableBuiltWhenAsked ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(MainWindowTest, FailedPrinterListIsReportedOnceBeforeTheWindowAppears) {
    catalog.names = {"Office"};
    catalog.failure = "no scheduler";
    Create();
    window->Load();
    ASSERT_EQ(desktop.messages.size(), 1u);
    const FakeDesktop::Message& message = desktop.messages.front();
    EXPECT_EQ(message.text, "There are no printers installed on your system!");
    EXPECT_EQ(message.buttons, MessageButtons::Ok);
    EXPECT_EQ(message.icon, MessageIcon::None);
    EXPECT_FALSE(message.windowVisible);
    EXPECT_FALSE(window->isVisible());

    // The window then opens as usual, every command available (View waits for a file
    // chosen), and says nothing more.
    window->show();
    EXPECT_EQ(Find<QComboBox>("cmbPrinter")->currentIndex(), -1);
    EXPECT_EQ(Find<QLabel>("Panel2")->text(), "1.0.0");
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        EXPECT_EQ(button->isEnabled(), button->objectName() != "cmdView")
            << button->objectName().toStdString();
    }
    window->Load();
    EXPECT_EQ(desktop.messages.size(), 1u);
}

TEST_F(MainWindowTest, PrinterListShowsTheCatalogWithTheDefaultSelected) {
    catalog.names = {"Office", "Label Printer", "Lab"};
    catalog.defaultName = "label printer";
    Start();
    auto* printers = Find<QComboBox>("cmbPrinter");
    ASSERT_EQ(printers->count(), 3);
    EXPECT_EQ(printers->itemText(1), "Label Printer");
    EXPECT_EQ(printers->currentIndex(), 1);
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(MainWindowTest, NoPrintersGivesThePlaceholderWithoutAMessage) {
    Start();
    auto* printers = Find<QComboBox>("cmbPrinter");
    ASSERT_EQ(printers->count(), 1);
    EXPECT_EQ(printers->itemText(0), "(No Printer Installed)");
    EXPECT_EQ(printers->currentIndex(), -1);
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(MainWindowTest, StatusBarShowsMakerVersionAndTheClockFromTheStart) {
    desktop.time = QTime(9, 5, 59);
    Create();
    window->Load();
    // Shown at once, before the first tick.
    EXPECT_EQ(Find<QLabel>("Panel3")->text(), "09:05");
    EXPECT_EQ(Find<QLabel>("Panel2")->text(), QStringLiteral("%1.%2.%3")
                                                  .arg(AppInfo::VersionMajor)
                                                  .arg(AppInfo::VersionMinor)
                                                  .arg(AppInfo::VersionRevision));
    EXPECT_EQ(Find<QLabel>("Panel2")->text(), "1.0.0");
    EXPECT_EQ(Find<QLabel>("Panel1")->text(), "Zelby ICT Services");
}

TEST_F(MainWindowTest, ClockTicksEverySecondOnTheTwentyFourHourDial) {
    desktop.time = QTime(9, 5);
    Start();
    auto* timer = Find<QTimer>("Timer1");
    EXPECT_EQ(timer->interval(), 1000);
    EXPECT_TRUE(timer->isActive());

    auto* clock = Find<QLabel>("Panel3");
    desktop.time = QTime(21, 5);
    EXPECT_TRUE(WaitUntil([&] { return clock->text() == "21:05"; }, 2500))
        << clock->text().toStdString();
    desktop.time = QTime(0, 0);
    EXPECT_TRUE(WaitUntil([&] { return clock->text() == "00:00"; }, 2500))
        << clock->text().toStdString();
}

// The client area keeps the size of the layout, and no control hides another one.
TEST_F(MainWindowTest, ClientAreaKeepsItsSizeAndNoControlHidesAnother) {
    Start();
    // 489 x 454 below the menu bar, the status bar 17 high at its foot.
    auto* statusBar = Find<QStatusBar>("StatusBar1");
    EXPECT_EQ(window->width(), 489);
    EXPECT_EQ(window->height(), window->menuBar()->height() + 454);
    EXPECT_EQ(statusBar->height(), 17);
    EXPECT_EQ(statusBar->geometry().bottom(), window->height() - 1);

    // Each frame stands in the client area clear of the others, each control inside its
    // frame clear of its neighbours.
    auto expectApart = [](const QList<QWidget*>& widgets, const QRect& room) {
        for (qsizetype i = 0; i < widgets.size(); ++i) {
            const std::string name = widgets[i]->objectName().toStdString();
            EXPECT_TRUE(room.contains(widgets[i]->geometry())) << name;
            for (qsizetype j = i + 1; j < widgets.size(); ++j) {
                EXPECT_FALSE(widgets[i]->geometry().intersects(widgets[j]->geometry()))
                    << name << " and " << widgets[j]->objectName().toStdString();
            }
        }
    };
    const QList<QWidget*> frames = {Find<QWidget>("Frame1"), Find<QWidget>("Frame2"),
                                    Find<QWidget>("Frame3")};
    expectApart(frames, window->centralWidget()->rect());
    for (QWidget* frame : frames) {
        expectApart(frame->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly),
                    frame->rect());
    }
    EXPECT_EQ(Find<QWidget>("lstFiles")->parentWidget(), frames[1]);
    EXPECT_EQ(Find<QWidget>("txtCodes")->parentWidget(), frames[2]);
    EXPECT_EQ(Find<QWidget>("txtCodes")->geometry(), QRect(8, 56, 377, 81));

    // Panels of 6150, 500 and 600 twips, left to right, all inside the window.
    int right = 0;
    for (const auto& [name, width] : {std::pair{"Panel1", 410}, {"Panel2", 33}, {"Panel3", 40}}) {
        auto* panel = Find<QLabel>(name);
        const QRect inWindow(panel->mapTo(window.get(), QPoint(0, 0)), panel->size());
        EXPECT_EQ(inWindow.width(), width) << name;
        EXPECT_GE(inWindow.left(), right) << name;
        EXPECT_TRUE(statusBar->geometry().contains(inWindow)) << name;
        right = inWindow.right() + 1;
    }
}

TEST_F(MainWindowTest, WindowHasAFixedSizeAndOnlyACloseBox) {
    Start();
    EXPECT_EQ(window->windowTitle(), "Tolvenmark");
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(window->size(), window->minimumSize());
    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
}

TEST_F(MainWindowTest, CaptionsAndToolTipsReadAsWritten) {
    Start();
    const struct {
        const char* name;
        const char* caption;
        const char* toolTip;
    } buttons[] = {
        {"cmdProp", "Properties", ""},
        {"cmdAdd", "Add", "Add a file"},
        {"cmdDelete", "Delete", "Delet item"},
        {"cmdUp", "", "Move item up"},
        {"cmdDown", "", "Move item down"},
        {"cmdPrint", "Print", "Send all files to selected printer"},
        {"cmdOpen", "", "Open"},
        {"cmdSave", "", "Save"},
        {"cmdCode", "Code", "Insert a code"},
        {"cmdEscape", "<ESC>", "Insert an escape"},
        {"cmdASCII", "ASCII", "Show ASCII Table"},
        {"cmdSend", "Send Codes", "Send your code to the selected printer"},
    };
    for (const auto& expected : buttons) {
        auto* button = Find<QPushButton>(expected.name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), expected.caption) << expected.name;
        EXPECT_EQ(button->toolTip(), expected.toolTip) << expected.name;
        EXPECT_FALSE(button->isDefault()) << expected.name;
        EXPECT_FALSE(button->autoDefault()) << expected.name;
        // Picture buttons carry their picture instead of a caption.
        EXPECT_EQ(button->icon().isNull(), button->text() != "") << expected.name;
    }
    EXPECT_EQ(Find<QGroupBox>("Frame1")->title(), "Printer");
    EXPECT_EQ(Find<QGroupBox>("Frame2")->title(), "Files");
    EXPECT_EQ(Find<QGroupBox>("Frame3")->title(), "Codes");
    EXPECT_FALSE(Find<QComboBox>("cmbPrinter")->isEditable());

    EXPECT_TRUE(Find<CodeBox>("txtCodes")->IsEmpty());
}

TEST_F(MainWindowTest, CodeButtonsUseAFixedPitchFontOfEightAndAQuarterPoints) {
    Start();
    for (const char* name : {"cmdCode", "cmdEscape", "cmdASCII"}) {
        const QFont font = Find<QPushButton>(name)->font();
        EXPECT_DOUBLE_EQ(font.pointSizeF(), 8.25) << name;
        EXPECT_EQ(font.weight(), QFont::Normal) << name;
        EXPECT_FALSE(font.italic()) << name;
        // Every character takes the same room.
        const QFontMetrics metrics(font);
        EXPECT_EQ(metrics.horizontalAdvance("iiii"), metrics.horizontalAdvance("WWWW")) << name;
    }
    EXPECT_NE(Find<QPushButton>("cmdSend")->font(), Find<QPushButton>("cmdCode")->font());
}

TEST_F(MainWindowTest, FrameCaptionsAreDrawnInTheActiveTitleColour) {
    Start();
    auto* frame = Find<QGroupBox>("Frame2");
    const QColor title = frame->palette().color(QPalette::Active, QPalette::Highlight);
    const QImage picture = frame->grab().toImage();
    // Somewhere in the caption a pixel has the full colour.
    bool found = false;
    for (int y = 0; y < 24 && !found; ++y) {
        for (int x = 0; x < picture.width() && !found; ++x) {
            found = picture.pixelColor(x, y).rgb() == title.rgb();
        }
    }
    EXPECT_TRUE(found);
    // The controls inside keep the ordinary colours.
    EXPECT_NE(Find<QPushButton>("cmdAdd")->style(), frame->style());
}

TEST_F(MainWindowTest, MenusCarryTheirCommands) {
    Start();
    auto* file = Find<QMenu>("mnuFile");
    auto* help = Find<QMenu>("mnuHelp");
    ASSERT_NE(file, nullptr);
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(file->title(), "&File");
    EXPECT_EQ(help->title(), "&Help");
    EXPECT_EQ(window->menuBar()->actions(),
              (QList<QAction*>{file->menuAction(), help->menuAction()}));

    const std::pair<const char*, const char*> fileCommands[] = {
        {"mnuAddPrinter", "&Add Printer Address..."},
        {"mnuFindPrinters", "&Find Printers..."},
        {"mnuForgetPrinter", "F&orget Printer"},
        {"mnuViewFile", "&View File..."},
        {"mnuFileLine1", ""},
        {"mnuExit", "&Exit"}};
    const QList<QAction*> fileItems = file->actions();
    ASSERT_EQ(fileItems.size(), static_cast<qsizetype>(std::size(fileCommands)));
    for (qsizetype i = 0; i < fileItems.size(); ++i) {
        const auto& [name, text] = fileCommands[i];
        EXPECT_EQ(fileItems[i], Find<QAction>(name));
        EXPECT_EQ(fileItems[i]->text(), text) << name;
    }
    EXPECT_TRUE(Find<QAction>("mnuFileLine1")->isSeparator());
    // Only a remembered printer, selected, can be forgotten.
    EXPECT_FALSE(Find<QAction>("mnuForgetPrinter")->isEnabled());

    const QList<QAction*> helpItems = help->actions();
    ASSERT_EQ(helpItems.size(), 3);
    EXPECT_EQ(helpItems[0], Find<QAction>("mnuContents"));
    EXPECT_EQ(helpItems[0]->text(), "&Contents");
    EXPECT_EQ(helpItems[1], Find<QAction>("mnuHelpLine1"));
    EXPECT_TRUE(helpItems[1]->isSeparator());
    EXPECT_EQ(helpItems[2], Find<QAction>("mnuAbout"));
    EXPECT_EQ(helpItems[2]->text(), "&About");
}

TEST_F(MainWindowTest, TabWalksTheControlsInOrderStartingAtThePrinterList) {
    Start();
    window->activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == window.get(); }));
    const QStringList expected = {"cmbPrinter", "cmdProp", "lstFiles", "cmdAdd",
                                  "cmdDelete",  "cmdUp",   "cmdDown",  "cmdPrint",
                                  "cmdOpen",    "cmdSave", "cmdCode",  "cmdEscape",
                                  "cmdASCII",   "cmdSend", "txtCodes", "cmbPrinter"};
    QStringList visited;
    for (qsizetype step = 0; step < expected.size(); ++step) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        visited << focus->objectName();
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(focus, &tab);
    }
    EXPECT_EQ(visited, expected);
}

TEST_F(MainWindowTest, ExitClosesTheWindowWithoutAQuestion) {
    catalog.names = {"Office"};
    Start();
    Find<CodeBox>("txtCodes")->SetText("<ESC>E");
    Find<QListWidget>("lstFiles")->addItem("/tmp/job.prn");
    Find<QAction>("mnuExit")->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(Find<QTimer>("Timer1")->isActive());
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_TRUE(desktop.dialogs.empty());
    EXPECT_TRUE(printers.Calls().empty());

    // The close box does the same.
    window->show();
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(MainWindowTest, PropertiesOpenTheSettingsOfTheSelectedPrinter) {
    catalog.names = {"Office", "HP LaserJet 4 (Room 2)"};
    catalog.defaultName = "HP LaserJet 4 (Room 2)";
    Start();
    Find<QPushButton>("cmdProp")->click();
    EXPECT_EQ(catalog.settingsOpened, std::vector<std::string>{"HP LaserJet 4 (Room 2)"});
    EXPECT_TRUE(desktop.messages.empty());

    catalog.settingsStart = false;
    Find<QComboBox>("cmbPrinter")->setCurrentIndex(0);
    Find<QPushButton>("cmdProp")->click();
    EXPECT_EQ(catalog.settingsOpened.back(), "Office");
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, "Couldn't start property pages.");
    EXPECT_EQ(desktop.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(desktop.messages[0].icon, MessageIcon::None);

    // With no printer selected the settings are asked for the empty name.
    Find<QComboBox>("cmbPrinter")->setCurrentIndex(-1);
    Find<QPushButton>("cmdProp")->click();
    EXPECT_EQ(catalog.settingsOpened.back(), "");
}

} // namespace
