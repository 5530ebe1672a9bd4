#include "printing/job/job_driver.h"
#include "printing/queues/win/win_backend.h"
#include "printing/queues/win/win_error.h"
#include "printing/queues/win/win_printer_catalog.h"
#include "printing/queues/win/win_printer_handle.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// A name no spooler knows; ERROR_INVALID_PRINTER_NAME is what the open reports for it.
const std::string UnknownPrinter = "Tolvenmark test printer that does not exist";
constexpr unsigned long InvalidPrinterName = 1801;

// A job to a printer that can't be opened fails with the reason and no job number, and
// withdrawing it is harmless before the open and after the failure.
TEST(WinBackendTest, APrinterThatCantBeOpenedFailsTheJobWithTheReason) {
    struct Case {
        std::string printer;
        std::string reason;
    };
    const Case cases[] = {
        // Would open the print server or the default printer.
        {"", "No printer name was given."},
        // The spooler would read the name only up to the NUL.
        {std::string("Office\0Other", 12), "The printer name holds a NUL character."},
        // In the ANSI code page these bytes would name "Lab_\u00D8", or a best-fitted
        // look-alike.
        {"Lab_\xD8", "The printer name is not valid UTF-8."},
        {UnknownPrinter, WinErrorText(InvalidPrinterName)},
    };
    for (const Case& c : cases) {
        WinBackend backend(c.printer, {});
        backend.Abort();
        const JobResult result = JobDriver(backend, JobControl{})
                                     .SendBytes("\x1B"
                                                "E");
        ASSERT_TRUE(result.failure) << c.reason;
        EXPECT_EQ(result.failure->kind(), FailureKind::Unreachable) << c.reason;
        EXPECT_EQ(result.failure->what(), c.reason);
        EXPECT_EQ(result.jobId, 0);
        backend.Abort();
    }
}

TEST(WinBackendTest, ErrorTextsCarryTheCodeWithoutTheLineEnd) {
    const std::string text = WinErrorText(InvalidPrinterName);
    EXPECT_GT(text.size(), std::string(" (1801)").size());
    EXPECT_EQ(text.substr(text.size() - 7), " (1801)");
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
    // A code the system has no text for still says which code it was.
    EXPECT_EQ(WinErrorText(0x2FFFFFFFul), "Windows error 805306367");
}

// Every name the catalog lists is one a job can be sent to.
TEST(WinBackendTest, EveryListedPrinterOpens) {
    WinPrinterCatalog catalog;
    for (const std::string& name : catalog.PrinterNames()) {
        WinPrinterHandle printer;
        EXPECT_EQ(printer.Open(name), "") << name;
        EXPECT_TRUE(printer.Close()) << name;
    }
}

} // namespace
