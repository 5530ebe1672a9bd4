#include "printing/address/printer_address.h"

#include <gtest/gtest.h>

namespace {

using Scheme = PrinterAddress::Scheme;

TEST(PrinterAddressTest, OnlyNamesWithASchemeAreAddresses) {
    for (const char* name : {"socket://h", "LPD://h/q", "ipps://h/p", "file:/dev/usb/lp0",
                             "Serial:/dev/ttyS0", "gopher://h"}) {
        EXPECT_TRUE(PrinterAddress::IsAddress(name)) << name;
    }
    // Queue names, a colon and all: the system's spooler is asked for them as before.
    for (const char* name :
         {"Tolvenmark_Capture", "HP LaserJet 4", "Fax: front desk", "://h", "9x://h", "file", ""}) {
        EXPECT_FALSE(PrinterAddress::IsAddress(name)) << name;
    }
}

struct GoodCase {
    const char* text;
    Scheme scheme;
    const char* host;
    unsigned port;
    const char* queue;
    const char* device;
    const char* canonical;
};

TEST(PrinterAddressTest, WellFormedAddressesGiveTheirPartsAndReadBackFromTheirText) {
    const GoodCase cases[] = {
        {"socket://printer.local", Scheme::Socket, "printer.local", 9100, "", "",
         "socket://printer.local:9100"},
        {"socket://127.0.0.1:9101/", Scheme::Socket, "127.0.0.1", 9101, "", "",
         "socket://127.0.0.1:9101"},
        {"socket://[::1]", Scheme::Socket, "::1", 9100, "", "", "socket://[::1]:9100"},
        {"lpd://[fe80::1]:1515/raw", Scheme::Lpd, "fe80::1", 1515, "raw", "",
         "lpd://[fe80::1]:1515/raw"},
        {"lpd://h/lp", Scheme::Lpd, "h", 515, "lp", "", "lpd://h:515/lp"},
        {"ipp://h/ipp/print", Scheme::Ipp, "h", 631, "/ipp/print", "", "ipp://h:631/ipp/print"},
        {"IPPS://h:8443/printers/x", Scheme::Ipps, "h", 8443, "/printers/x", "",
         "ipps://h:8443/printers/x"},
        {"file:/dev/usb/lp0", Scheme::File, "", 0, "", "/dev/usb/lp0", "file:/dev/usb/lp0"},
        {"file:///dev/usb/lp1", Scheme::File, "", 0, "", "/dev/usb/lp1", "file:/dev/usb/lp1"},
        {"file:LPT1", Scheme::File, "", 0, "", "LPT1", "file:LPT1"},
        // A device named with a leading "//" keeps it when written out.
        {"file:////srv/lp", Scheme::File, "", 0, "", "//srv/lp", "file:////srv/lp"},
        {"serial:////x", Scheme::Serial, "", 0, "", "//x",
         "serial:////x?baud=9600+bits=8+parity=none+flow=none"},
        {"serial:/dev/ttyUSB0", Scheme::Serial, "", 0, "", "/dev/ttyUSB0",
         "serial:/dev/ttyUSB0?baud=9600+bits=8+parity=none+flow=none"},
        {"serial:COM3?baud=115200+bits=7+parity=even+flow=hard+stop=2", Scheme::Serial, "", 0, "",
         "COM3", "serial:COM3?baud=115200+bits=7+parity=even+flow=hard+stop=2"},
        // The printer's language, where its replies come back.
        {"socket://h/?Language=ZPL", Scheme::Socket, "h", 9100, "", "",
         "socket://h:9100?language=zpl"},
        {"file:/dev/usb/lp0?language=pjl", Scheme::File, "", 0, "", "/dev/usb/lp0",
         "file:/dev/usb/lp0?language=pjl"},
        {"serial:/dev/ttyS0?language=escpos&baud=19200", Scheme::Serial, "", 0, "", "/dev/ttyS0",
         "serial:/dev/ttyS0?baud=19200+bits=8+parity=none+flow=none+language=escpos"},
    };
    for (const GoodCase& c : cases) {
        const ParsedPrinterAddress parsed = PrinterAddress::Parse(c.text);
        ASSERT_TRUE(parsed.address) << c.text << ": " << parsed.error;
        const PrinterAddress& address = *parsed.address;
        EXPECT_EQ(address.scheme(), c.scheme) << c.text;
        EXPECT_EQ(address.host(), c.host) << c.text;
        EXPECT_EQ(address.port(), c.port) << c.text;
        EXPECT_EQ(address.queue(), c.queue) << c.text;
        EXPECT_EQ(address.device(), c.device) << c.text;
        EXPECT_EQ(address.Text(), c.canonical) << c.text;
        // The written-out form reads back as the same address, and both forms are taken
        // for addresses where a printer name is resolved.
        EXPECT_EQ(PrinterAddress::Parse(address.Text()).address, address) << c.text;
        EXPECT_TRUE(PrinterAddress::IsAddress(c.text)) << c.text;
        EXPECT_TRUE(PrinterAddress::IsAddress(address.Text())) << c.text;
    }
}

TEST(PrinterAddressTest, SerialOptionsAreRead) {
    const auto parsed = PrinterAddress::Parse("serial:/dev/ttyS0?baud=19200+flow=soft&parity=odd");
    ASSERT_TRUE(parsed.address) << parsed.error;
    const SerialSettings& serial = parsed.address->serial();
    EXPECT_EQ(serial.baud, 19200u);
    EXPECT_EQ(serial.bits, 8u);
    EXPECT_EQ(serial.flow, SerialSettings::Flow::Software);
    EXPECT_EQ(serial.parity, SerialSettings::Parity::Odd);
    EXPECT_EQ(parsed.address->language(), PrinterLanguage::Automatic);
    EXPECT_EQ(PrinterAddress::Parse("socket://h?language=none").address->language(),
              PrinterLanguage::None);
}

TEST(PrinterAddressTest, MalformedAddressesSayWhatIsWrong) {
    const std::pair<const char*, const char*> cases[] = {
        {"gopher://h", "the scheme \"gopher\" is not known"},
        {"file", "no scheme is given"},
        {"serial", "no scheme is given"},
        {"socket:h:9100", "\"//\" must follow \"socket:\""},
        {"socket://", "no host is given"},
        {"socket://:9100", "no host is given"},
        {"socket://h:", "no port follows the colon"},
        {"socket://h:abc", "the port \"abc\" is not a number"},
        {"socket://h:0", "the port 0 is out of range (1 to 65535)"},
        {"socket://h:65536", "the port 65536 is out of range"},
        {"socket://h:99999999999", "the port 99999999999 is out of range"},
        {"socket://h/queue", "a socket:// address takes no path (\"/queue\")"},
        {"socket://h?waiteof=false", "the option \"waiteof=false\" is not known (language)"},
        {"socket://h?language=epl", "the language \"epl\" is not one of"},
        {"lpd://h/q?language=pjl", "options after \"?\" or \"#\" are not taken"},
        {"socket://::1", "an IPv6 address must be written in brackets"},
        {"socket://[::1", "has no closing \"]\""},
        {"socket://[zz::1]", "the IPv6 address \"zz::1\" is malformed"},
        {"socket://[::1]x", "only \":PORT\" may follow the IPv6 address"},
        {"socket://bad host", "the host \"bad host\" holds a character no host name has"},
        {"socket://user@h", "a user name in the address is not taken"},
        {"socket://h\n", "it holds a control character"},
        {"lpd://h", "an lpd:// address needs a queue name"},
        {"lpd://h/", "an lpd:// address needs a queue name"},
        {"lpd://h/a/b", "the queue name \"a/b\" holds a \"/\""},
        {"lpd://h/a b", "the queue name \"a b\" holds a blank"},
        {"ipp://h", "an ipp:// address needs the printer's path"},
        {"file:", "no device is given"},
        {"file://otherhost/dev/lp0", "names a device of this machine, not a host"},
        {"file:/dev/lp0?x=1", "the option \"x=1\" is not known (language)"},
        {"serial:?baud=9600", "no device is given"},
        {"serial:/dev/ttyS0?speed=9600", "the serial option \"speed\" is not known"},
        {"serial:/dev/ttyS0?baud=fast", "baud=fast is not a number from 50 to 4000000"},
        {"serial:/dev/ttyS0?bits=9", "bits=9 is not a number from 5 to 8"},
        {"serial:/dev/ttyS0?parity=mark", "parity=mark is not one of none, even, odd"},
    };
    for (const auto& [text, fault] : cases) {
        const ParsedPrinterAddress parsed = PrinterAddress::Parse(text);
        EXPECT_FALSE(parsed.address) << text;
        EXPECT_NE(parsed.error.find(fault), std::string::npos) << text << ": " << parsed.error;
        std::string opening = "\"";
        opening += text;
        opening += "\" is not a printer address: ";
        EXPECT_EQ(parsed.error.rfind(opening, 0), 0u) << parsed.error;
    }
}

} // namespace
