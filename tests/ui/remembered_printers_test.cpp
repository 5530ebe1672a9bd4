// The printers the user added, remembered across runs: the store, and the main window that
// lists them at start, remembers what is added and forgets at the user's word.
#include "tests/ui/main_window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

PrinterAddress Address(const std::string& text) {
    return *PrinterAddress::Parse(text).address;
}

QStringList Listed(const QComboBox& printers) {
    QStringList names;
    for (int i = 0; i < printers.count(); ++i) {
        names << printers.itemText(i);
    }
    return names;
}

// Two stores over one file are two runs of the program, or two at once.
TEST(RememberedPrintersTest, KeepsEachAddressOnceInOrderAsBytesAndTheNewestOnes) {
    TempDir folder;
    const QString file = QString::fromStdString(folder.File("Tolvenmark.conf"));
    RememberedPrinters first(file);
    RememberedPrinters second(file);
    const std::string device = "file:/dev/usb/lp\xff\x01";
    EXPECT_TRUE(first.Remember("socket://a:9100"));
    EXPECT_TRUE(second.Remember(device));
    EXPECT_TRUE(first.Remember("socket://a:9100"));
    EXPECT_EQ(first.Addresses(), (std::vector<std::string>{"socket://a:9100", device}));
    EXPECT_TRUE(second.Contains(device));

    EXPECT_TRUE(second.Forget("socket://a:9100"));
    EXPECT_EQ(first.Addresses(), std::vector<std::string>{device});
    for (int i = 0; i < RememberedPrinters::MaxPrinters; ++i) {
        first.Remember("socket://h" + std::to_string(i));
    }
    const std::vector<std::string> kept = second.Addresses();
    ASSERT_EQ(kept.size(), static_cast<std::size_t>(RememberedPrinters::MaxPrinters));
    EXPECT_EQ(kept.front(), "socket://h0");
    EXPECT_FALSE(second.Contains(device));
}

// What a dialog of the File menu does when it opens, done once it is open.
void WhenOpen(const char* dialogName, std::function<void(QWidget&)> use) {
    QTimer::singleShot(0, [dialogName, use = std::move(use)] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        ASSERT_EQ(dialog->objectName(), dialogName);
        use(*dialog);
    });
}

void TypeAddress(QWidget& dialog, const char* address) {
    QTest::keyClicks(dialog.findChild<QLineEdit*>("txtAddress"), address);
    dialog.findChild<QPushButton*>("cmdOK")->click();
}

// Once the search is over, with what it could not search.
void AddFirstFound(QWidget& dialog) {
    auto* status = dialog.findChild<QLabel*>("lblStatus");
    ASSERT_TRUE(WaitUntil([status] { return status->text() == "1 printer found"; }, 30000));
    EXPECT_EQ(dialog.findChild<QLabel*>("lblNotes")->text(),
              "test was not searched: no Avahi daemon answers");
    auto* table = dialog.findChild<QTableWidget*>("grdPrinters");
    table->selectRow(0);
    dialog.findChild<QPushButton*>("cmdAdd")->click();
}

// A restart is a second window over the same store, as the program's next run is; -P's
// addresses are for their run only.
TEST_F(MainWindowTest, AddedAndFoundPrintersComeBackAfterTheQueuesUntilForgotten) {
    catalog.names = {"Office"};
    catalog.defaultName = "Office";
    DiscoveredPrinter labels;
    labels.address = "socket://10.0.0.7";
    labels.languages = {"ZPL"};
    printers.discovered = {labels};
    printers.discoveryRefusal = "no Avahi daemon answers";
    const QString found = "socket://10.0.0.7:9100?language=zpl";
    Start();
    WhenOpen("frmPrinterAddress",
             [](QWidget& dialog) { TypeAddress(dialog, "socket://10.0.0.9"); });
    Find<QAction>("mnuAddPrinter")->trigger();
    WhenOpen("frmFindPrinters", AddFirstFound);
    Find<QAction>("mnuFindPrinters")->trigger();
    EXPECT_EQ(Find<QComboBox>("cmbPrinter")->currentText(), found);
    EXPECT_TRUE(Find<QAction>("mnuForgetPrinter")->isEnabled());
    window->AddPrinterAddresses({Address("lpd://h/q")});

    window.reset();
    Start();
    auto* list = Find<QComboBox>("cmbPrinter");
    auto* forget = Find<QAction>("mnuForgetPrinter");
    EXPECT_EQ(Listed(*list), (QStringList{"Office", "socket://10.0.0.9:9100", found}));
    EXPECT_EQ(list->currentText(), "Office");
    EXPECT_FALSE(forget->isEnabled());
    list->setCurrentIndex(1);
    ASSERT_TRUE(forget->isEnabled());
    desktop.messageAnswers = {MessageAnswer::No, MessageAnswer::Yes};
    forget->trigger();
    EXPECT_EQ(list->count(), 3);
    forget->trigger();
    EXPECT_EQ(Listed(*list), (QStringList{"Office", found}));
    EXPECT_EQ(list->currentIndex(), -1);
    EXPECT_FALSE(forget->isEnabled());
    ASSERT_EQ(desktop.messages.size(), 2u);
    EXPECT_EQ(desktop.messages[1].text,
              "Forget socket://10.0.0.9:9100? It leaves the printer list, and Tolvenmark no "
              "longer lists it when it starts.");
    EXPECT_EQ(desktop.messages[1].buttons, MessageButtons::YesNo);

    // With no queue, the first remembered printer is the one selected.
    catalog.names.clear();
    window.reset();
    Start();
    EXPECT_EQ(Listed(*Find<QComboBox>("cmbPrinter")), QStringList{found});
    EXPECT_EQ(Find<QComboBox>("cmbPrinter")->currentIndex(), 0);
}

} // namespace
