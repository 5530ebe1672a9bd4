// Finding printers in the windows: the dialog while it searches, and what a chosen one becomes
// in the printer list.
#include "printing/discovery/printer_finder.h"
#include "tests/ui/main_window_fixture.h"
#include "ui/dialogs/found_printer.h"
#include "ui/dialogs/frm_find_printers.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <atomic>
#include <chrono>
#include <thread>

namespace {

constexpr int HangLimitMs = 30000;

// Hands its printers over at once, then searches on, as a network does, until the stop or
// the deadline.
class WaitingSource final : public PrinterSource {
public:
    WaitingSource(std::vector<DiscoveredPrinter> printers, std::atomic<bool>& sawStop)
        : printers_(std::move(printers)), sawStop_(sawStop) {}
    std::string Name() const override { return "test"; }
    std::string Search(std::chrono::steady_clock::time_point deadline,
                       const std::atomic<bool>* stop, const Found& found) override {
        for (const DiscoveredPrinter& printer : printers_) {
            found(printer);
        }
        while (!stop->load() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        sawStop_ = stop->load();
        return {};
    }

private:
    std::vector<DiscoveredPrinter> printers_;
    std::atomic<bool>& sawStop_;
};

DiscoveredPrinter Found(std::string address, std::vector<std::string> languages,
                        std::vector<std::string> otherAddresses = {}) {
    DiscoveredPrinter printer;
    printer.address = std::move(address);
    printer.languages = std::move(languages);
    printer.otherAddresses = std::move(otherAddresses);
    return printer;
}

// The row's cells, between bars.
std::string RowText(const QTableWidget& table, int row) {
    QStringList cells;
    for (int column = 0; column < table.columnCount(); ++column) {
        cells << table.item(row, column)->text();
    }
    return cells.join(u'|').toStdString();
}

TEST(FindPrintersDialogTest, ListsPrintersWhileItSearchesAndClosingStopsTheSearch) {
    DiscoveredPrinter labels = Found("socket://10.0.0.7:9100", {"ZPL", "EPL"});
    labels.name = "Labels";
    labels.model = "ZD421";
    labels.location = "Dock\x1b";
    labels.foundBy = {"DNS-SD", "SNMP"};
    DiscoveredPrinter receipts = Found("file:/dev/usb/lp0", {"ESC/POS"});
    receipts.foundBy = {"USB"};
    std::atomic<bool> sawStop{false};
    auto* dialog = new frmFindPrinters(
        [&] {
            std::vector<std::unique_ptr<PrinterSource>> sources;
            sources.push_back(std::make_unique<WaitingSource>(
                std::vector<DiscoveredPrinter>{labels, receipts}, sawStop));
            return std::make_unique<PrinterFinder>(std::move(sources));
        },
        std::chrono::minutes(10));
    dialog->show();
    auto* table = dialog->findChild<QTableWidget*>("grdPrinters");
    ASSERT_TRUE(WaitUntil([&] { return table->rowCount() == 2; }, HangLimitMs));
    EXPECT_EQ(RowText(*table, 0),
              "socket://10.0.0.7:9100|Labels|ZD421|ZPL, EPL|Dock\\x1b|DNS-SD, SNMP");
    EXPECT_EQ(RowText(*table, 1), "file:/dev/usb/lp0|||ESC/POS||USB");
    EXPECT_TRUE(dialog->findChild<QProgressBar*>("prgSearch")->isVisible());
    EXPECT_EQ(dialog->findChild<QLabel*>("lblStatus")->text(),
              "Searching for printers... 2 found so far");

    QElapsedTimer closing;
    closing.start();
    dialog->findChild<QPushButton*>("cmdClose")->click();
    delete dialog;
    EXPECT_LT(closing.elapsed(), HangLimitMs);
    EXPECT_TRUE(sawStop);
}

// What Add lists: the first address that is one, in the language the printer names where it
// takes one; else a queue's name.
TEST(FoundPrinterTest, ChosenPrinterIsItsFirstUsableAddressWithTheLanguageItNames) {
    const struct {
        DiscoveredPrinter printer;
        const char* target; // empty: none
        const char* fault;
    } cases[] = {
        {Found("socket://h", {"ZPL"}), "socket://h:9100?language=zpl", ""},
        {Found("socket://h?language=escpos", {"ZPL"}), "socket://h:9100?language=escpos", ""},
        {Found("file:/dev/usb/lp1", {"PCL", "pjl", "PostScript"}), "file:/dev/usb/lp1?language=pjl",
         ""},
        {Found("serial:/dev/ttyUSB0?baud=19200", {"ESC/POS", "ZPL"}),
         "serial:/dev/ttyUSB0?baud=19200+bits=8+parity=none+flow=none", ""},
        {Found("ipp://h/ipp/print", {"PJL"}), "ipp://h:631/ipp/print", ""},
        {Found("usb://Zebra/ZD421?serial=1", {}, {"socket://10.0.0.5"}), "socket://10.0.0.5:9100",
         ""},
        {Found("Office_Laser", {"PJL"}), "Office_Laser", ""},
        {Found("socket://h:99999", {}), "", "port"},
        {Found("", {}), "", "without an address"},
    };
    for (const auto& [printer, target, fault] : cases) {
        const FoundPrinter::Choice choice = FoundPrinter::TargetOf(printer);
        EXPECT_EQ(choice.target ? choice.target->Name() : "", target) << printer.address;
        if (!choice.target) {
            EXPECT_NE(choice.fault.find(fault), std::string::npos) << choice.fault;
        }
    }
}

} // namespace
