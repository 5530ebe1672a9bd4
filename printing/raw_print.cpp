#include "printing/raw_print.h"

#include "core/byte_source.h"
#include "core/file_reader.h"
#include "core/whole_file.h"
#include "printing/spooler.h"

#include <optional>

namespace {

// Opens the printer and starts the document and its page. Nothing when the printer could
// not be opened; otherwise whether the spooler has accepted the job so far.
std::optional<bool> BeginJob(Spooler& spooler, const std::string& printerName,
                             const std::string& documentName) {
    if (!spooler.OpenPrinter(printerName)) {
        return std::nullopt;
    }
    const bool documentStarted = spooler.StartDocument(documentName);
    const bool pageStarted = spooler.StartPage();
    return documentStarted && pageStarted;
}

// Ends the job. Every step is made even after one failed: the spooler's own clean-up
// relies on seeing the page and document ended and the printer closed.
bool EndJob(Spooler& spooler, bool acceptedSoFar) {
    bool accepted = spooler.EndPage() && acceptedSoFar;
    accepted = spooler.EndDocument() && accepted;
    accepted = spooler.ClosePrinter() && accepted;
    return accepted;
}

bool FinishJob(Spooler& spooler, std::string_view data, bool acceptedSoFar) {
    return EndJob(spooler, spooler.Write(data) && acceptedSoFar);
}

// Nothing of a job whose data could not be had may reach the printer.
void AbandonJob(Spooler& spooler) {
    spooler.CancelDocument();
    spooler.ClosePrinter();
}

// Writes the first piece and every later one as it is read, until the source ends or the
// spooler refuses a piece (then there is no point reading on). Whether all was accepted.
bool WriteStream(Spooler& spooler, ByteSource& source, std::string& chunk, std::size_t length) {
    while (length > 0) {
        if (!spooler.Write(std::string_view(chunk.data(), length))) {
            return false;
        }
        length = source.Read(chunk.data(), chunk.size());
    }
    return true;
}

} // namespace

namespace modRawPrint {

bool PrintStringRaw(Spooler& spooler, const std::string& printerName, std::string_view data,
                    const std::string& documentName) {
    const std::optional<bool> started = BeginJob(spooler, printerName, documentName);
    if (!started) {
        return false;
    }
    return FinishJob(spooler, data, *started);
}

bool PrintFileRaw(Spooler& spooler, const std::string& printerName, const std::string& path,
                  const std::string& documentName) {
    const std::optional<bool> started = BeginJob(spooler, printerName, documentName);
    if (!started) {
        return false;
    }
    bool accepted = false;
    try {
        modTools::RequireRegularFile(path);
        FileReader file(path);
        std::string chunk(StreamChunkSize, '\0');
        const std::size_t first = file.Read(chunk.data(), chunk.size());
        // Even an empty file is one write: the job's steps are the same whatever its size.
        const bool written =
            first == 0 ? spooler.Write({}) : WriteStream(spooler, file, chunk, first);
        accepted = written && *started;
    } catch (...) {
        AbandonJob(spooler);
        throw;
    }
    return EndJob(spooler, accepted);
}

StreamJob PrintStreamRaw(Spooler& spooler, const std::string& printerName, ByteSource& source,
                         const std::string& documentName) {
    std::string chunk(StreamChunkSize, '\0');
    const std::size_t first = source.Read(chunk.data(), chunk.size());
    if (first == 0) {
        return StreamJob::Empty;
    }
    const std::optional<bool> started = BeginJob(spooler, printerName, documentName);
    if (!started) {
        return StreamJob::NotSent;
    }
    bool accepted = false;
    try {
        accepted = WriteStream(spooler, source, chunk, first) && *started;
    } catch (...) {
        AbandonJob(spooler);
        throw;
    }
    return EndJob(spooler, accepted) ? StreamJob::Sent : StreamJob::NotSent;
}

} // namespace modRawPrint
