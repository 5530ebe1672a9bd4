#include "printing/talkback/device_id.h"

#include <gtest/gtest.h>

namespace {

using Language = DeviceId::Language;

struct Case {
    std::string bytes; // as a printer port returns them, length first
    bool read;
    std::string manufacturer;
    std::string model;
    std::vector<Language> languages;
};

std::string WithLength(const std::string& text) {
    const std::size_t length = text.size() + 2;
    return std::string{static_cast<char>(length >> 8), static_cast<char>(length & 0xff)} + text;
}

// Device IDs of a receipt printer, label printers and an office printer, and broken ones.
TEST(DeviceIdTest, ReadsMakerModelAndKnownLanguages) {
    const std::vector<Case> cases = {
        {WithLength("MFG:EPSON;CMD:ESC/POS;MDL:TM-T88V;CLS:PRINTER;DES:EPSON TM-T88V;"),
         true,
         "EPSON",
         "TM-T88V",
         {Language::EscPos}},
        {WithLength("MANUFACTURER:Zebra Technologies ;COMMAND SET:ZPL;MODEL:ZTC GK420d;"
                    "CLASS:PRINTER;DESCRIPTION:Zebra GK420d;"),
         true,
         "Zebra Technologies",
         "ZTC GK420d",
         {Language::Zpl}},
        {WithLength("MFG:Zebra;CMD:EPL2,ZPL2;MDL:LP 2844;") + std::string(40, '\0'),
         true,
         "Zebra",
         "LP 2844",
         {Language::Epl, Language::Zpl}},
        {WithLength("MFG:Hewlett-Packard;CMD:PJL,PML,PCLXL,PCL,POSTSCRIPT,PCLM;"
                    "MDL:HP LaserJet 4250;CLS:PRINTER;"),
         true,
         "Hewlett-Packard",
         "HP LaserJet 4250",
         {Language::Pjl, Language::Pcl, Language::PostScript}},
        // The length is kept to; a port that returns less gives what it has.
        {std::string("\x00\x13", 2) + "MFG:ACME;MDL:Cut Sheet;", true, "ACME", "Cut", {}},
        {std::string("\x01\x00", 2) + "MFG:ACME;MDL:Short;", true, "ACME", "Short", {}},
        {WithLength("no fields here"), false, "", "", {}},
        {std::string("\x00\x01", 2) + "MFG:X;", false, "", "", {}},
        {"\x00", false, "", "", {}},
    };
    for (const Case& c : cases) {
        const std::optional<DeviceId> id = DeviceId::FromPort(c.bytes);
        ASSERT_EQ(id.has_value(), c.read) << c.bytes;
        if (id) {
            EXPECT_EQ(id->manufacturer, c.manufacturer);
            EXPECT_EQ(id->model, c.model);
            EXPECT_EQ(id->languages, c.languages) << c.bytes;
        }
    }
}

} // namespace
