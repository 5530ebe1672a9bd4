#include "printing/raw_print.h"

#include "core/whole_file.h"
#include "printing/spooler.h"

#include <optional>

namespace {

// Opens the printer and starts the document and its page. Nothing when the printer could
// not be opened; otherwise whether the spooler has accepted the job so far.
std::optional<bool> BeginJob(Spooler& spooler, const std::string& printerName) {
    if (!spooler.OpenPrinter(printerName)) {
        return std::nullopt;
    }
    const bool documentStarted = spooler.StartDocument(modRawPrint::DocumentName);
    const bool pageStarted = spooler.StartPage();
    return documentStarted && pageStarted;
}

// Writes the data and ends the job. Every step is made even after one failed: the
// spooler's own clean-up relies on seeing the page and document ended and the printer
// closed.
bool FinishJob(Spooler& spooler, std::string_view data, bool acceptedSoFar) {
    bool accepted = spooler.Write(data) && acceptedSoFar;
    accepted = spooler.EndPage() && accepted;
    accepted = spooler.EndDocument() && accepted;
    accepted = spooler.ClosePrinter() && accepted;
    return accepted;
}

} // namespace

namespace modRawPrint {

bool PrintStringRaw(Spooler& spooler, const std::string& printerName, std::string_view data) {
    const std::optional<bool> started = BeginJob(spooler, printerName);
    if (!started) {
        return false;
    }
    return FinishJob(spooler, data, *started);
}

bool PrintFileRaw(Spooler& spooler, const std::string& printerName, const std::string& path) {
    const std::optional<bool> started = BeginJob(spooler, printerName);
    if (!started) {
        return false;
    }
    std::string data;
    try {
        data = modTools::ReadExistingFile(path);
    } catch (...) {
        // Nothing of a job whose data could not be had may reach the printer.
        spooler.CancelDocument();
        spooler.ClosePrinter();
        throw;
    }
    return FinishJob(spooler, data, *started);
}

} // namespace modRawPrint
