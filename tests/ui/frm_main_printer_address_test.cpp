// Printers reached by their address in the main window.
#include "printing/platform/platform_printer_access.h"
#include "tests/printing/net/loopback_peer.h"
#include "tests/ui/main_window_fixture.h"
#include "ui/code_box/code_box.h"
#include "ui/dialogs/frm_printer_address.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <optional>

namespace {

PrinterAddress Address(const std::string& text) {
    return *PrinterAddress::Parse(text).address;
}

TEST_F(MainWindowTest, AddressesReplaceTheNoPrinterEntryInFullFormOnceWithTheFirstSelected) {
    Start();
    window->AddPrinterAddresses(
        {Address("lpd://a/q"), Address("socket://b"), Address("socket://b:9100")});
    auto* printers = Find<QComboBox>("cmbPrinter");
    ASSERT_EQ(printers->count(), 2);
    EXPECT_EQ(printers->itemText(0), "lpd://a:515/q");
    EXPECT_EQ(printers->itemText(1), "socket://b:9100");
    EXPECT_EQ(printers->currentIndex(), 0);
    window->AddPrinterAddresses({Address("socket://b:9100")});
    EXPECT_EQ(printers->count(), 2);
    EXPECT_EQ(printers->currentIndex(), 1);
}

TEST(PrinterAddressDialogTest, ChecksTheAddressAsItIsTyped) {
    frmPrinterAddress dialog;
    auto* edit = dialog.findChild<QLineEdit*>("txtAddress");
    auto* check = dialog.findChild<QLabel*>("lblCheck");
    auto* ok = dialog.findChild<QPushButton*>("cmdOK");
    ASSERT_TRUE(edit && check && ok);
    EXPECT_EQ(dialog.windowTitle(), "Tolvenmark");
    const std::pair<const char*, const char*> cases[] = {
        {" ipp://[::1]/ipp/print ", "ipp://[::1]:631/ipp/print"},
        {"socket://h:", "\"socket://h:\" is not a printer address: no port follows the colon."},
        {"", "Type the printer's address."},
    };
    for (const auto& [typed, shown] : cases) {
        edit->clear();
        QTest::keyClicks(edit, typed);
        EXPECT_EQ(check->text(), shown) << typed;
        EXPECT_EQ(ok->isEnabled(), dialog.Address().has_value()) << typed;
    }
    EXPECT_FALSE(ok->isEnabled());
}

// The address typed into the dialog is where Send Codes sends: a printer listening on
// loopback gets the exact bytes.
TEST_F(MainWindowTest, CodesReachASocketPrinterAddedThroughTheDialog) {
    std::string received;
    // Ended before the bytes are compared: a printer nobody reached is let go, not waited for.
    std::optional<LoopbackPeer> printer;
    printer.emplace("127.0.0.1", [&](asio::ip::tcp::socket& socket, LoopbackPeer&) {
        ReadToEnd(socket, received);
    });
    const QString address = QStringLiteral("socket://127.0.0.1:%1").arg(printer->Port());
    const std::unique_ptr<PrinterAccess> platform = MakePlatformPrinterAccess();
    jobs = platform.get();
    catalog.names = {"Office"};
    Start();
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        QTest::keyClicks(dialog->findChild<QLineEdit*>("txtAddress"), address);
        QTest::mouseClick(dialog->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    });
    Find<QAction>("mnuAddPrinter")->trigger();
    EXPECT_EQ(Find<QComboBox>("cmbPrinter")->currentText(), address);

    Find<CodeBox>("txtCodes")->SetText("<ESC>E<NUL>Hi<FF>");
    ASSERT_TRUE(SendAndWait());
    printer.reset();
    EXPECT_EQ(received, std::string("\x1B"
                                    "E\0Hi\f",
                                    6));
}

} // namespace
