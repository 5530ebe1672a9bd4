#include "printing/printer_catalog.h"
#include "printing/printer_list.h"
#include "printing/profile_device.h"
#include "tests/support/fake_printer_catalog.h"
#include "tests/support/recording_list.h"

#include <gtest/gtest.h>

namespace {

TEST(PrinterListTest, DefaultIsMatchedWithoutRegardToCase) {
    FakePrinterCatalog catalog;
    catalog.names = {"Office", "LabelPrinter", "HP LaserJet 4"};
    catalog.defaultName = "hp laserjet 4";
    RecordingList list;
    list.items = {"stale entry"};
    EXPECT_TRUE(modTools::FillPrinterList(catalog, list));
    EXPECT_EQ(list.items, catalog.names);
    EXPECT_EQ(list.index, 2);
    EXPECT_EQ(modTools::GetDefaultPrinterName(catalog), "HP LASERJET 4");
}

TEST(PrinterListTest, LaterOfTwoEqualNamesWins) {
    FakePrinterCatalog catalog;
    catalog.names = {"zebra", "Office", "ZEBRA"};
    catalog.defaultName = "Zebra";
    RecordingList list;
    EXPECT_TRUE(modTools::FillPrinterList(catalog, list));
    EXPECT_EQ(list.index, 2);
}

TEST(PrinterListTest, FirstPrinterWhenNoDefaultOrAnUnknownOne) {
    for (const char* defaultName : {"", "Elsewhere"}) {
        FakePrinterCatalog catalog;
        catalog.names = {"Office", "Lab"};
        catalog.defaultName = defaultName;
        RecordingList list;
        EXPECT_TRUE(modTools::FillPrinterList(catalog, list));
        EXPECT_EQ(list.index, 0) << defaultName;
    }
}

TEST(PrinterListTest, EmptyCatalogGivesOnlyThePlaceholderUnselected) {
    FakePrinterCatalog catalog;
    RecordingList list;
    EXPECT_TRUE(modTools::FillPrinterList(catalog, list));
    EXPECT_EQ(list.items, std::vector<std::string>{"(No Printer Installed)"});
    EXPECT_EQ(list.index, -1);
}

TEST(PrinterListTest, FailingCatalogFailsTheFillWithNothingSelected) {
    FakePrinterCatalog catalog;
    catalog.names = {"Office"};
    catalog.failure = "scheduler not running";
    RecordingList list;
    list.index = 0;
    EXPECT_FALSE(modTools::FillPrinterList(catalog, list));
    EXPECT_TRUE(list.items.empty());
    EXPECT_EQ(list.index, -1);
}

TEST(ProfileDeviceTest, NameIsTheUpperCasedTextBeforeTheFirstComma) {
    EXPECT_EQ(ProfileDevice::PrinterName("HP LaserJet 4,winspool,Ne01:"), "HP LASERJET 4");
    EXPECT_EQ(ProfileDevice::PrinterName("\\\\server\\Label, A,B"), "\\\\SERVER\\LABEL");
    EXPECT_EQ(ProfileDevice::PrinterName(",winspool,LPT1:"), "");
    EXPECT_EQ(ProfileDevice::PrinterName(""), "");
}

TEST(ProfileDeviceTest, ValueWithoutACommaIsAnErrorThatFailsTheFill) {
    EXPECT_THROW(ProfileDevice::PrinterName("JustAName"), PrinterCatalogError);

    // A catalog whose default comes from such a value: the fill fails with an empty list.
    struct BadProfile final : PrinterCatalog {
        std::vector<std::string> PrinterNames() override { return {"JustAName"}; }
        std::string DefaultPrinterName() override {
            return ProfileDevice::PrinterName("JustAName");
        }
        bool OpenPrinterSettings(const std::string&) override { return true; }
    } catalog;
    RecordingList list;
    EXPECT_FALSE(modTools::FillPrinterList(catalog, list));
    EXPECT_TRUE(list.items.empty());
    EXPECT_EQ(list.index, -1);
}

} // namespace
