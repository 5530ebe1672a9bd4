#include "printing/discovery/dnssd_record.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// What came from the network for one service, and the printer it must be.
struct Case {
    const char* what;
    DnssdRecord record;
    std::string address;
    std::string model;
    std::vector<std::string> languages;
    std::string location = {};
    std::string uuid = {};
    // A part of the problem; nothing when the printer has none.
    std::string problem = {};
};

DnssdRecord Record(std::string type, std::vector<std::string> txt, std::string host = "prn.local",
                   std::uint16_t port = 9100, std::string address = "192.168.1.20") {
    return {"Front Desk", std::move(type), std::move(host), std::move(address),
            port,         std::move(txt)};
}

TEST(DnssdRecordTest, TxtRecordsBecomePrintersWithAddressesThatPrint) {
    const std::string huge(5000, 'x');
    const std::string cut(DnssdRecord::MaxText, 'x');
    std::string manyTypes = "pdl=";
    std::vector<std::string> firstTypes;
    for (std::size_t i = 0; i < 1000; ++i) {
        const std::string type = "application/x-" + std::to_string(i);
        manyTypes += type + ",";
        if (i < DnssdRecord::MaxLanguages) {
            firstTypes.push_back(type);
        }
    }
    const std::vector<Case> cases{
        {"raw, model and languages",
         Record("_pdl-datastream._tcp",
                {"txtvers=1", "ty=Zebra ZD421",
                 "pdl=application/vnd.hp-PCL, application/postscript", "note=2nd floor",
                 "UUID=1b6e2f5c-0000-4000-8000-00000000a001"}),
         "socket://prn.local:9100",
         "Zebra ZD421",
         {"PCL", "PostScript"},
         "2nd floor",
         "1b6e2f5c-0000-4000-8000-00000000a001"},
        {"LPD with its queue",
         Record("_printer._tcp", {"rp=labels"}, "prn.local", 515),
         "lpd://prn.local:515/labels",
         "",
         {}},
        {"LPD without rp takes the default queue",
         Record("_printer._tcp", {}, "prn.local", 515),
         "lpd://prn.local:515/auto",
         "",
         {}},
        {"IPP path, leading slash and all",
         Record("_ipp._tcp", {"rp=/ipp/print"}, "prn.local", 631),
         "ipp://prn.local:631/ipp/print",
         "",
         {}},
        {"IPP without rp",
         Record("_ipps._tcp", {"rp="}, "prn.local", 443),
         "ipps://prn.local:443/ipp/print",
         "",
         {}},
        {"IPP path with blanks and a question mark",
         Record("_ipp._tcp", {"rp=printers/Front Desk?"}, "prn.local", 631),
         "ipp://prn.local:631/printers/Front%20Desk%3F",
         "",
         {}},
        {"raster languages, raw and unknown types, duplicates",
         Record("_ipp._tcp",
                {"rp=ipp/print", "pdl=image/urf,image/pwg-raster,application/octet-stream,"
                                 "application/PDF,application/pdf,application/x-acme"}),
         "ipp://prn.local:9100/ipp/print",
         "",
         {"Apple raster", "PWG raster", "PDF", "application/x-acme"}},
        {"keys in any case, the first of a key counts, bare keys and no key",
         Record("_pdl-datastream._tcp", {"=lost", "TY=First", "ty=Second", "Note"}),
         "socket://prn.local:9100",
         "First",
         {}},
        {"product without its parentheses",
         Record("_pdl-datastream._tcp", {"product=(HP LaserJet 4250)"}),
         "socket://prn.local:9100",
         "HP LaserJet 4250",
         {}},
        {"maker and model of the USB device ID",
         Record("_pdl-datastream._tcp", {"usb_MFG=EPSON", "usb_MDL=TM-T88V"}),
         "socket://prn.local:9100",
         "EPSON TM-T88V",
         {}},
        {"a long language list is cut", Record("_pdl-datastream._tcp", {manyTypes}),
         "socket://prn.local:9100", "", firstTypes},
        {"huge values are cut",
         Record("_pdl-datastream._tcp", {"ty=" + huge, "note=" + huge}),
         "socket://prn.local:9100",
         cut,
         {},
         cut},
        {"control characters and invalid UTF-8 are kept as bytes",
         Record("_pdl-datastream._tcp", {std::string("ty=A\x1b[2J\xff\xc0\0Z", 12)}),
         "socket://prn.local:9100",
         std::string("A\x1b[2J\xff\xc0\0Z", 9),
         {}},
        {"host with the root's dot",
         Record("_pdl-datastream._tcp", {}, "prn.local."),
         "socket://prn.local:9100",
         "",
         {}},
        {"host that is no name: its IPv6 address instead",
         Record("_pdl-datastream._tcp", {}, "pr\xffn.local", 9100, "fe80::1"),
         "socket://[fe80::1]:9100",
         "",
         {}},
        {"LPD queue with a blank is no address",
         Record("_printer._tcp", {"rp=two words"}, "prn.local", 515),
         "lpd://prn.local:515/two words",
         "",
         {},
         "",
         "",
         "holds a blank"},
        {"port 0 is no address",
         Record("_pdl-datastream._tcp", {}, "prn.local", 0),
         "socket://prn.local:0",
         "",
         {},
         "",
         "",
         "out of range"},
        {"no host and no address",
         Record("_pdl-datastream._tcp", {}, "", 9100, ""),
         "socket://:9100",
         "",
         {},
         "",
         "",
         "no host"},
        {"not a printer's type", Record("_http._tcp", {}), "", "", {}, "", "", "no printer's"},
    };
    for (const Case& c : cases) {
        const DiscoveredPrinter printer = c.record.Printer();
        EXPECT_EQ(printer.address, c.address) << c.what;
        EXPECT_EQ(printer.name, "Front Desk") << c.what;
        EXPECT_EQ(printer.model, c.model) << c.what;
        EXPECT_EQ(printer.languages, c.languages) << c.what;
        EXPECT_EQ(printer.location, c.location) << c.what;
        EXPECT_EQ(printer.uuid, c.uuid) << c.what;
        EXPECT_EQ(printer.foundBy, std::vector<std::string>{"DNS-SD"}) << c.what;
        if (c.problem.empty()) {
            EXPECT_EQ(printer.problem, "") << c.what;
        } else {
            EXPECT_NE(printer.problem.find(c.problem), std::string::npos)
                << c.what << ": " << printer.problem;
        }
    }
}

} // namespace
