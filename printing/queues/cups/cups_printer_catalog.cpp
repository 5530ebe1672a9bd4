#include "printing/queues/cups/cups_printer_catalog.h"

#include "printing/queues/cups/cups_scheduler.h"
#include "printing/queues/cups/detached_process.h"
#include "printing/queues/cups/printer_settings_command.h"
#include "printing/queues/cups/program_search.h"

#include <cstdlib>
#include <cstring>
#include <cups/cups.h>
#include <exception>

namespace {

// What one walk over the scheduler's destinations found.
struct Destinations {
    std::vector<std::string> queueNames;
    std::vector<CupsPrinterCatalog::Queue> queues;
    std::string defaultQueue;
    std::exception_ptr failure;
};

bool IsTrue(const char* value) {
    return value != nullptr && std::strcmp(value, "true") == 0;
}

// A network printer the library found by browsing, or the temporary queue the scheduler
// makes for one while a job runs: neither is an installed queue.
bool IsDiscoveredPrinter(const cups_dest_t& destination) {
    const char* type = cupsGetOption("printer-type", destination.num_options, destination.options);
    const unsigned long typeBits = type != nullptr ? std::strtoul(type, nullptr, 0) : 0;
    return (typeBits & CUPS_PRINTER_DISCOVERED) != 0 ||
           IsTrue(
               cupsGetOption("printer-is-temporary", destination.num_options, destination.options));
}

std::string OptionOf(const cups_dest_t& destination, const char* name) {
    const char* value = cupsGetOption(name, destination.num_options, destination.options);
    return value != nullptr ? value : "";
}

CupsPrinterCatalog::Queue Described(const cups_dest_t& destination) {
    return {destination.name, OptionOf(destination, "device-uri"),
            OptionOf(destination, "printer-info"), OptionOf(destination, "printer-make-and-model"),
            OptionOf(destination, "printer-location")};
}

int CollectDestination(void* userData, unsigned flags, cups_dest_t* destination) {
    auto& found = *static_cast<Destinations*>(userData);
    if ((flags & (CUPS_DEST_FLAGS_REMOVED | CUPS_DEST_FLAGS_ERROR)) != 0 ||
        IsDiscoveredPrinter(*destination)) {
        return 1;
    }
    try {
        if (destination->is_default) {
            found.defaultQueue = destination->name;
        }
        if (destination->instance == nullptr) {
            found.queueNames.emplace_back(destination->name);
            found.queues.push_back(Described(*destination));
        }
        return 1;
    } catch (...) {
        // Nothing may be thrown through the C library: stop the walk, rethrow after it.
        found.failure = std::current_exception();
        return 0;
    }
}

// Walks the scheduler's queues. The library reports a scheduler that doesn't answer only
// through its last error, not through the result, so that is checked right after the walk.
// "Not found" is the scheduler's answer when it has no queue at all, which is no failure.
Destinations ReadDestinations(std::chrono::milliseconds timeout) {
    if (const std::string silence = CupsScheduler::CheckAnswers(timeout); !silence.empty()) {
        throw PrinterCatalogError(silence);
    }
    Destinations found;
    // Type 0 under the mask "discovered" asks for queues only; with it the library makes
    // no network browse, and 0 ms says not to wait for one either.
    const int completed = cupsEnumDests(CUPS_DEST_FLAGS_NONE, 0, nullptr, 0,
                                        CUPS_PRINTER_DISCOVERED, CollectDestination, &found);
    const ipp_status_t status = cupsLastError();
    const std::string reason = cupsLastErrorString();
    if (found.failure) {
        std::rethrow_exception(found.failure);
    }
    if (status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE) {
        throw PrinterCatalogError(CupsScheduler::NoAnswerMessage());
    }
    if (!completed ||
        (status > IPP_STATUS_OK_EVENTS_COMPLETE && status != IPP_STATUS_ERROR_NOT_FOUND)) {
        throw PrinterCatalogError(reason);
    }
    return found;
}

} // namespace

CupsPrinterCatalog::CupsPrinterCatalog(Timeouts timeouts) : timeouts_(timeouts) {}

std::vector<std::string> CupsPrinterCatalog::PrinterNames() {
    return ReadDestinations(timeouts_.scheduler).queueNames;
}

std::string CupsPrinterCatalog::DefaultPrinterName() {
    return ReadDestinations(timeouts_.scheduler).defaultQueue;
}

std::vector<CupsPrinterCatalog::Queue> CupsPrinterCatalog::Queues() {
    return ReadDestinations(timeouts_.scheduler).queues;
}

bool CupsPrinterCatalog::OpenPrinterSettings(const std::string& printerName) {
    return DetachedProcess::Start(PrinterSettingsCommand::For(
        printerName, ProgramSearch::ProcessSearchPath(),
        PrinterSettingsCommand::ServerSetting(cupsServer(), ippPort())));
}
