#include "printing/discovery/printer_rows.h"

#include <gtest/gtest.h>

namespace {

DiscoveredPrinter Found(std::string address, std::vector<std::string> others, std::string name,
                        std::string by) {
    DiscoveredPrinter printer;
    printer.address = std::move(address);
    printer.otherAddresses = std::move(others);
    printer.name = std::move(name);
    printer.foundBy = {std::move(by)};
    return printer;
}

DiscoveredPrinter With(DiscoveredPrinter printer, std::string model, std::string uuid = {},
                       std::vector<std::string> hostAddresses = {},
                       std::vector<std::string> languages = {}) {
    printer.model = std::move(model);
    printer.uuid = std::move(uuid);
    printer.hostAddresses = std::move(hostAddresses);
    printer.languages = std::move(languages);
    return printer;
}

std::string Joined(const std::vector<std::string>& list) {
    std::string text;
    for (const std::string& item : list) {
        text.append(text.empty() ? "" : ",").append(item);
    }
    return text;
}

// "ADDRESS [OTHERS] NAME / MODEL / LANGUAGES / FOUND BY"
std::string Seen(const DiscoveredPrinter& row) {
    return row.address + " [" + Joined(row.otherAddresses) + "] " + row.name + " / " + row.model +
           " / " + Joined(row.languages) + " / " + Joined(row.foundBy);
}

struct Case {
    std::string what;
    std::vector<DiscoveredPrinter> found;
    std::vector<std::string> rows;
};

TEST(PrinterRowsTest, OnePrinterSeenThroughSeveralSourcesIsOneRow) {
    const std::vector<Case> cases = {
        {"same host in another case with a trailing dot, same name: one row, raw first",
         {Found("ipp://Printer.Local.:631/ipp/print", {}, "Front", "DNS-SD"),
          With(Found("socket://printer.local", {}, "Front", "DNS-SD"), "TM-T88V", {}, {},
               {"ESC/POS"})},
         {"socket://printer.local:9100 [ipp://Printer.Local.:631/ipp/print] Front / TM-T88V / "
          "ESC/POS / DNS-SD"}},
        {"same host, other names: two printers of one print server",
         {Found("lpd://server/front", {}, "Front", "DNS-SD"),
          Found("lpd://server/back", {}, "Back", "DNS-SD")},
         {"lpd://server:515/front [] Front /  /  / DNS-SD",
          "lpd://server:515/back [] Back /  /  / DNS-SD"}},
        {"the same UUID on two hosts, written two ways",
         {With(Found("socket://a.local", {}, "Label", "DNS-SD"), "", "urn:uuid:AB12-CD"),
          With(Found("ipps://b.local/ipp/print", {}, "Label B", "DNS-SD"), "", "ab12-cd")},
         {"socket://a.local:9100 [ipps://b.local:631/ipp/print] Label /  /  / DNS-SD"}},
        {"a queue whose device is a printer found by SNMP: raw first, the queue last",
         {With(Found("socket://10.0.0.5:9100", {}, "", "SNMP"), "HP LaserJet 4250"),
          Found("Office", {"socket://10.0.0.5"}, "Office", "spooler")},
         {"socket://10.0.0.5:9100 [Office] Office / HP LaserJet 4250 /  / SNMP,spooler"}},
        {"what the printer says of itself over what only the spooler said",
         {Found("Front_Queue", {"socket://printer.local"}, "Front queue", "spooler"),
          With(Found("socket://printer.local:9100", {}, "Front", "DNS-SD"), "TM-T88V"),
          With(Found("Front_Queue", {}, "Front queue", "spooler"), "Local Raw Printer")},
         {"socket://printer.local:9100 [Front_Queue] Front / TM-T88V /  / spooler,DNS-SD"}},
        {"a nameless SNMP printer joins the named printer its host name resolved to",
         {With(Found("socket://printer.local", {}, "Front", "DNS-SD"), "", "", {"10.0.0.7"}),
          With(Found("socket://10.0.0.7:9100", {}, "", "SNMP"), "TM-T88V")},
         {"socket://printer.local:9100 [socket://10.0.0.7:9100] Front / TM-T88V /  / "
          "DNS-SD,SNMP"}},
        {"a nameless printer on a host of two named ones can't be told from either",
         {Found("lpd://10.0.0.8/a", {}, "A", "DNS-SD"),
          Found("lpd://10.0.0.8/b", {}, "B", "DNS-SD"), Found("socket://10.0.0.8", {}, "", "SNMP")},
         {"lpd://10.0.0.8:515/a [] A /  /  / DNS-SD", "lpd://10.0.0.8:515/b [] B /  /  / DNS-SD",
          "socket://10.0.0.8:9100 []  /  /  / SNMP"}},
        {"a printer that belongs to two rows makes them one",
         {With(Found("socket://10.0.0.9", {}, "Label", "DNS-SD"), "", "u-1"),
          Found("Labels", {"ipp://10.0.0.9/ipp/print"}, "Labels", "spooler"),
          With(Found("ipp://10.0.0.9/ipp/print", {}, "Label", "DNS-SD"), "ZD420", "u-1")},
         {"socket://10.0.0.9:9100 [ipp://10.0.0.9:631/ipp/print,Labels] Label / ZD420 /  / "
          "DNS-SD,spooler"}},
        {"one address spelled two ways is kept once, with the language the printer is asked in",
         {Found("socket://10.0.0.5", {}, "", "SNMP"),
          Found("socket://10.0.0.5:9100?language=zpl", {}, "", "DNS-SD")},
         {"socket://10.0.0.5:9100?language=zpl []  /  /  / SNMP,DNS-SD"}},
        {"addresses ranked raw, LPD, IPP, IPPS, queue, whatever order they came in",
         {Found("Q", {"ipps://h/x", "lpd://h/q", "ipp://h/y", "socket://h", "file:/dev/usb/lp0"},
                "Q", "spooler")},
         {"socket://h:9100 [file:/dev/usb/lp0,lpd://h:515/q,ipp://h:631/y,ipps://h:631/x,Q] Q /  "
          "/  / spooler"}},
        {"the languages of two sources once each, without regard to case",
         {With(Found("file:/dev/usb/lp0", {}, "", "USB"), "Zebra ZD420", "", {}, {"ZPL", "EPL"}),
          With(Found("file:/dev/usb/lp0", {}, "", "USB"), "", "", {}, {"zpl", "PJL"})},
         {"file:/dev/usb/lp0 []  / Zebra ZD420 / ZPL,EPL,PJL / USB"}},
    };
    for (const Case& c : cases) {
        PrinterRows rows;
        for (const DiscoveredPrinter& printer : c.found) {
            rows.Add(printer);
        }
        std::vector<std::string> seen;
        for (const DiscoveredPrinter& row : rows.Rows()) {
            seen.push_back(Seen(row));
        }
        EXPECT_EQ(seen, c.rows) << c.what;
    }
}

// Whatever the sources send, the rows stay bounded; a printer that adds nothing changes
// nothing.
TEST(PrinterRowsTest, BoundedAndQuietAboutRepeats) {
    PrinterRows rows;
    DiscoveredPrinter big = Found("Q", {}, std::string(5000, 'n'), "spooler");
    for (int i = 0; i < 40; ++i) {
        // Built by appending: GCC 12's -Wrestrict sees a false overlap in "L" + std::string.
        big.otherAddresses.push_back(std::string("socket://10.1.0.").append(std::to_string(i)));
        big.languages.push_back(std::string("L").append(std::to_string(i)));
    }
    EXPECT_TRUE(rows.Add(big));
    EXPECT_FALSE(rows.Add(big));
    EXPECT_FALSE(rows.Add(Found("", {}, "nowhere", "test")));
    for (std::size_t i = 1; i < PrinterRows::kRowLimit + 3; ++i) {
        rows.Add(Found(std::string("Queue").append(std::to_string(i)), {}, "", "spooler"));
    }
    const std::vector<DiscoveredPrinter> kept = rows.Rows();
    ASSERT_EQ(kept.size(), PrinterRows::kRowLimit);
    EXPECT_EQ(rows.LeftOut(), 3u);
    EXPECT_EQ(kept[0].otherAddresses.size() + 1, PrinterRows::kAddressLimit);
    EXPECT_EQ(kept[0].languages.size(), PrinterRows::kListLimit);
    EXPECT_EQ(kept[0].name.size(), PrinterRows::kTextLimit);
}

} // namespace
