#pragma once

#include "printing/job/job_options.h"
#include "printing/printer_catalog.h"

#include <string>
#include <vector>

// The printers of the CUPS scheduler: its installed queues, the user's default among them,
// and the desktop's settings program for a queue.
//
// Only queues count. Instances kept in lpoptions ("name/instance") are option sets of a
// queue, not printers of their own, and network printers the library merely discovers have
// no queue until a job creates a temporary one; neither is listed, and asking for them
// would mean a network browse at every start.
//
// A scheduler that takes the connection and does not answer within the scheduler time-out
// fails the look-up with words that say so.
class CupsPrinterCatalog final : public PrinterCatalog {
public:
    explicit CupsPrinterCatalog(Timeouts timeouts = {});

    // The queue names in the order the library reports them (by name, without regard to
    // case). Throws PrinterCatalogError with the library's reason when no scheduler answers.
    std::vector<std::string> PrinterNames() override;

    // The queue the library marks as the default: it follows LPDEST, then PRINTER, then the
    // lpoptions files, then the scheduler's own default. A default instance counts as its
    // queue. Empty when there is none; throws like PrinterNames.
    std::string DefaultPrinterName() override;

    // Starts system-config-printer or KDE's configure-printer for the queue, else opens the
    // scheduler's web page of the queue with xdg-open; false when nothing could be started.
    bool OpenPrinterSettings(const std::string& printerName) override;

    // One queue as the scheduler describes it (its CUPS-Get-Printers attributes); a text
    // the scheduler does not give is empty.
    struct Queue {
        std::string name;
        std::string deviceUri; // device-uri: where its jobs go ("socket://10.0.0.5:9100")
        std::string info;      // printer-info: its description
        std::string makeAndModel;
        std::string location;
    };
    // The queues in the order of PrinterNames, described; throws like it.
    std::vector<Queue> Queues();

private:
    Timeouts timeouts_;
};
