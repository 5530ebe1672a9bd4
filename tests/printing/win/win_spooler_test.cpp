#include "printing/raw_print.h"
#include "printing/win/win_error.h"
#include "printing/win/win_printer_catalog.h"
#include "printing/win/win_spooler.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// A name no spooler knows; ERROR_INVALID_PRINTER_NAME is what the open reports for it.
const std::string UnknownPrinter = "Tolvenmark test printer that does not exist";
constexpr unsigned long InvalidPrinterName = 1801;

// After a failed open every step reports failure and does nothing, and closing is
// harmless.
void ExpectEveryLaterStepRefused(WinSpooler& spooler) {
    EXPECT_FALSE(spooler.StartDocument(modRawPrint::DocumentName));
    EXPECT_FALSE(spooler.StartPage());
    EXPECT_FALSE(spooler.Write("data"));
    EXPECT_FALSE(spooler.EndPage());
    EXPECT_FALSE(spooler.EndDocument());
    EXPECT_EQ(spooler.JobId(), 0);
    EXPECT_TRUE(spooler.ClosePrinter());
}

TEST(WinSpoolerTest, EmptyNameFailsAndNeverReachesTheDefaultPrinter) {
    WinSpooler spooler;
    EXPECT_FALSE(spooler.OpenPrinter(""));
    EXPECT_EQ(spooler.LastError(), "No printer name was given.");
    ExpectEveryLaterStepRefused(spooler);
    EXPECT_FALSE(modRawPrint::PrintStringRaw(spooler, "",
                                             "\x1B"
                                             "E"));
}

TEST(WinSpoolerTest, NameWithANulIsRefusedBeforeTheSpoolerSeesIt) {
    WinSpooler spooler;
    EXPECT_FALSE(spooler.OpenPrinter(std::string("Office\0Other", 12)));
    EXPECT_EQ(spooler.LastError(), "The printer name holds a NUL character.");
    ExpectEveryLaterStepRefused(spooler);
}

// In the ANSI code page these bytes would name "Lab_\u00D8", or a best-fitted look-alike.
TEST(WinSpoolerTest, NameThatIsNoUtf8IsRefusedBeforeTheSpoolerSeesIt) {
    WinSpooler spooler;
    EXPECT_FALSE(spooler.OpenPrinter("Lab_\xD8"));
    EXPECT_EQ(spooler.LastError(), "The printer name is not valid UTF-8.");
    ExpectEveryLaterStepRefused(spooler);
}

TEST(WinSpoolerTest, UnknownPrinterFailsWithTheSystemsReason) {
    WinSpooler spooler;
    EXPECT_FALSE(spooler.OpenPrinter(UnknownPrinter));
    EXPECT_EQ(spooler.LastError(), WinErrorText(InvalidPrinterName));
    ExpectEveryLaterStepRefused(spooler);

    WinSpooler jobs;
    EXPECT_FALSE(modRawPrint::PrintStringRaw(jobs, UnknownPrinter, std::string(3, '\0')));
    EXPECT_EQ(jobs.LastError(), WinErrorText(InvalidPrinterName));
}

TEST(WinSpoolerTest, StepsWithoutAnOpenPrinterAreRefusedHarmlessly) {
    WinSpooler spooler;
    ExpectEveryLaterStepRefused(spooler);
    spooler.CancelDocument();
    EXPECT_FALSE(spooler.LastError().empty());
    // A new open starts afresh: the earlier failure is forgotten, the new one reported.
    EXPECT_FALSE(spooler.OpenPrinter(UnknownPrinter));
    EXPECT_EQ(spooler.LastError(), WinErrorText(InvalidPrinterName));
}

TEST(WinSpoolerTest, ErrorTextsCarryTheCodeWithoutTheLineEnd) {
    const std::string text = WinErrorText(InvalidPrinterName);
    EXPECT_GT(text.size(), std::string(" (1801)").size());
    EXPECT_EQ(text.substr(text.size() - 7), " (1801)");
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
    // A code the system has no text for still says which code it was.
    EXPECT_EQ(WinErrorText(0x2FFFFFFFul), "Windows error 805306367");
}

// Every name the catalog lists is one a job can be sent to.
TEST(WinSpoolerTest, EveryListedPrinterOpens) {
    WinPrinterCatalog catalog;
    for (const std::string& name : catalog.PrinterNames()) {
        WinSpooler spooler;
        EXPECT_TRUE(spooler.OpenPrinter(name)) << name << ": " << spooler.LastError();
        EXPECT_TRUE(spooler.ClosePrinter()) << name;
    }
}

} // namespace
