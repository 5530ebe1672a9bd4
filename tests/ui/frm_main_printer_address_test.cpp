// Printers reached by their address in the main window: given on the command line, added
// with Add Printer Address, their Properties, and a job that reaches a listening printer.
#include "printing/direct/printer_address.h"
#include "printing/platform/platform_spooler.h"
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
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

PrinterAddress Address(const std::string& text) {
    return *PrinterAddress::Parse(text).address;
}

QStringList Entries(const QComboBox& combo) {
    QStringList entries;
    for (int i = 0; i < combo.count(); ++i) {
        entries << combo.itemText(i);
    }
    return entries;
}

// Types the text into the dialog that is open by the time the event loop runs again, then
// presses OK (or Cancel when `accept` is false).
void AnswerAddressDialog(const QString& text, bool accept = true) {
    QTimer::singleShot(0, [text, accept] {
        auto* dialog = qobject_cast<frmPrinterAddress*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QTest::keyClicks(dialog->findChild<QLineEdit*>("txtAddress"), text);
        const char* button = accept ? "cmdOK" : "cmdCancel";
        QTest::mouseClick(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
    });
}

TEST_F(MainWindowTest, CommandLineAddressesFollowTheQueuesOnceWithTheFirstSelected) {
    catalog.names = {"Office", "Lab"};
    catalog.defaultName = "Lab";
    Start();
    window->AddPrinterAddresses(
        {Address("socket://b"), Address("lpd://a/q"), Address("socket://b:9100")});
    auto* printers = Find<QComboBox>("cmbPrinter");
    EXPECT_EQ(Entries(*printers),
              (QStringList{"Office", "Lab", "socket://b:9100", "lpd://a:515/q"}));
    EXPECT_EQ(printers->currentIndex(), 2);

    // One already listed is selected, not added again.
    window->AddPrinterAddresses({Address("lpd://a:515/q")});
    EXPECT_EQ(printers->count(), 4);
    EXPECT_EQ(printers->currentIndex(), 3);
}

TEST_F(MainWindowTest, AnAddressTakesThePlaceOfTheNoPrinterEntry) {
    Start();
    window->AddPrinterAddresses({Address("file:/dev/usb/lp0")});
    auto* printers = Find<QComboBox>("cmbPrinter");
    EXPECT_EQ(Entries(*printers), QStringList{"file:/dev/usb/lp0"});
    EXPECT_EQ(printers->currentIndex(), 0);
}

TEST(PrinterAddressDialogTest, ChecksTheAddressAsItIsTyped) {
    frmPrinterAddress dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Tolvenmark");
    auto* edit = dialog.findChild<QLineEdit*>("txtAddress");
    auto* check = dialog.findChild<QLabel*>("lblCheck");
    auto* ok = dialog.findChild<QPushButton*>("cmdOK");
    ASSERT_TRUE(edit && check && ok);
    EXPECT_FALSE(ok->isEnabled());
    const struct {
        const char* typed;
        const char* check;
        bool valid;
    } cases[] = {
        {"socket://printer.local", "socket://printer.local:9100", true},
        {" ipp://[::1]/ipp/print ", "ipp://[::1]:631/ipp/print", true},
        {"socket://printer.local:",
         "\"socket://printer.local:\" is not a printer address: no "
         "port follows the colon.",
         false},
        {"Office",
         "\"Office\" is not a printer address: the scheme \"Office\" is not known; "
         "use socket://, lpd://, ipp://, ipps://, file: or serial:.",
         false},
        {"", "Type the printer's address.", false},
    };
    for (const auto& c : cases) {
        edit->clear();
        QTest::keyClicks(edit, c.typed);
        EXPECT_EQ(check->text(), c.check) << c.typed;
        EXPECT_EQ(ok->isEnabled(), c.valid) << c.typed;
        EXPECT_EQ(dialog.Address().has_value(), c.valid) << c.typed;
    }
}

TEST_F(MainWindowTest, AddPrinterAddressListsTheAddressInFullAndSelectsIt) {
    catalog.names = {"Office"};
    Start();
    auto* printers = Find<QComboBox>("cmbPrinter");
    AnswerAddressDialog("socket://printer.local");
    Find<QAction>("mnuAddPrinter")->trigger();
    EXPECT_EQ(Entries(*printers), (QStringList{"Office", "socket://printer.local:9100"}));
    EXPECT_EQ(printers->currentIndex(), 1);

    // Cancel changes nothing; the same printer again is only selected.
    printers->setCurrentIndex(0);
    AnswerAddressDialog("lpd://h/q", false);
    Find<QAction>("mnuAddPrinter")->trigger();
    EXPECT_EQ(printers->currentIndex(), 0);
    AnswerAddressDialog("socket://printer.local:9100");
    Find<QAction>("mnuAddPrinter")->trigger();
    EXPECT_EQ(printers->count(), 2);
    EXPECT_EQ(printers->currentIndex(), 1);
}

TEST_F(MainWindowTest, PropertiesOfAnAddressOpenTheDevicesOwnPage) {
    Start();
    const struct {
        const char* address;
        const char* page; // empty: a message instead
        const char* message;
    } cases[] = {
        {"socket://printer.local:9101", "http://printer.local/", ""},
        {"ipps://[fe80::1]/ipp/print", "http://[fe80::1]/", ""},
        {"file:/dev/usb/lp0", "",
         "file:/dev/usb/lp0 is a device of this computer: it has no settings page."},
    };
    for (const auto& c : cases) {
        desktop.openedWebAddresses.clear();
        desktop.messages.clear();
        window->AddPrinterAddresses({Address(c.address)});
        Find<QPushButton>("cmdProp")->click();
        const std::vector<QString> pages =
            *c.page ? std::vector<QString>{c.page} : std::vector<QString>{};
        EXPECT_EQ(desktop.openedWebAddresses, pages) << c.address;
        ASSERT_EQ(desktop.messages.size(), *c.message ? 1u : 0u) << c.address;
        if (*c.message) {
            EXPECT_EQ(desktop.messages[0].text, c.message);
        }
    }
    EXPECT_TRUE(catalog.settingsOpened.empty());

    // A browser that can't start is said as for a queue.
    desktop.openWebAddressStarts = false;
    desktop.messages.clear();
    window->AddPrinterAddresses({Address("socket://printer.local")});
    Find<QPushButton>("cmdProp")->click();
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, "Couldn't start property pages.");
}

// A printer on a loopback port: takes one connection and keeps every byte until the
// sender ends the stream.
class LoopbackPrinter {
public:
    LoopbackPrinter() {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(listener_, 1) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            ADD_FAILURE() << "no loopback listener";
            return;
        }
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~LoopbackPrinter() {
        ::shutdown(listener_, SHUT_RDWR);
        if (thread_.joinable()) {
            thread_.join();
        }
        ::close(listener_);
    }

    int Port() const { return port_; }
    // The bytes received. The job is over by now, so no connection comes any more.
    std::string Received() {
        ::shutdown(listener_, SHUT_RDWR);
        if (thread_.joinable()) {
            thread_.join();
        }
        return received_;
    }

private:
    void Serve() {
        const int connection = ::accept(listener_, nullptr, nullptr);
        if (connection < 0) {
            return;
        }
        char buffer[4096];
        ssize_t count = 0;
        while ((count = ::read(connection, buffer, sizeof buffer)) > 0) {
            received_.append(buffer, static_cast<std::size_t>(count));
        }
        ::close(connection);
    }

    int listener_ = -1;
    int port_ = 0;
    std::string received_;
    std::thread thread_;
};

TEST_F(MainWindowTest, CodesSentToAnAddedSocketPrinterArriveExactly) {
    LoopbackPrinter printer;
    const DirectOptions options;
    const std::unique_ptr<Spooler> platform = MakePlatformSpooler(options);
    jobs = platform.get();
    Start();
    AnswerAddressDialog(QStringLiteral("socket://127.0.0.1:%1").arg(printer.Port()));
    Find<QAction>("mnuAddPrinter")->trigger();
    ASSERT_EQ(Find<QComboBox>("cmbPrinter")->currentText(),
              QStringLiteral("socket://127.0.0.1:%1").arg(printer.Port()));

    Find<CodeBox>("txtCodes")->SetText("<ESC>E<NUL>Hello<FF>");
    Find<QPushButton>("cmdSend")->click();
    EXPECT_EQ(printer.Received(), std::string("\x1B"
                                              "E\0Hello\f",
                                              9));
    EXPECT_TRUE(desktop.messages.empty());
}

} // namespace
