#include "printing/raw_print.h"

#include "core/byte_source.h"
#include "core/file_reader.h"
#include "core/whole_file.h"
#include "printing/job_control.h"
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

// Nothing of a job whose data could not be had may reach the printer.
void AbandonJob(Spooler& spooler) {
    spooler.CancelDocument();
    spooler.ClosePrinter();
}

enum class Written {
    All,     // every piece went in
    Refused, // the spooler refused a piece; there is no point reading on
    Stopped, // the caller asked to stop before a piece
};

// Writes the first piece and every later one as it is read, until the source ends, the
// spooler refuses a piece or the caller stops the job, reporting the bytes taken so far.
Written WriteStream(Spooler& spooler, ByteSource& source, std::string& chunk, std::size_t length,
                    const JobControl& control) {
    std::uint64_t sent = 0;
    while (length > 0) {
        if (control.StopRequested()) {
            return Written::Stopped;
        }
        if (!spooler.Write(std::string_view(chunk.data(), length))) {
            return Written::Refused;
        }
        sent += length;
        control.Report(sent);
        length = source.Read(chunk.data(), chunk.size());
    }
    return Written::All;
}

// Ends the job after its data: a stopped job is withdrawn instead, and fails.
bool CloseJob(Spooler& spooler, Written written, bool acceptedSoFar) {
    if (written == Written::Stopped) {
        AbandonJob(spooler);
        return false;
    }
    return EndJob(spooler, written == Written::All && acceptedSoFar);
}

} // namespace

namespace modRawPrint {

bool PrintStringRaw(Spooler& spooler, const std::string& printerName, std::string_view data,
                    const std::string& documentName, const JobControl& control) {
    const std::optional<bool> started = BeginJob(spooler, printerName, documentName);
    if (!started) {
        return false;
    }
    if (control.StopRequested()) {
        return CloseJob(spooler, Written::Stopped, *started);
    }
    const bool written = spooler.Write(data);
    if (written) {
        control.Report(data.size());
    }
    return EndJob(spooler, written && *started);
}

bool PrintFileRaw(Spooler& spooler, const std::string& printerName, const std::string& path,
                  const std::string& documentName, const JobControl& control) {
    const std::optional<bool> started = BeginJob(spooler, printerName, documentName);
    if (!started) {
        return false;
    }
    Written written = Written::Refused;
    try {
        modTools::RequireRegularFile(path);
        FileReader file(path);
        std::string chunk(StreamChunkSize, '\0');
        const std::size_t first = file.Read(chunk.data(), chunk.size());
        if (first > 0) {
            written = WriteStream(spooler, file, chunk, first, control);
        } else if (control.StopRequested()) {
            written = Written::Stopped;
        } else {
            // Even an empty file is one write: the job's steps are the same whatever its
            // size.
            written = spooler.Write({}) ? Written::All : Written::Refused;
        }
    } catch (...) {
        AbandonJob(spooler);
        throw;
    }
    return CloseJob(spooler, written, *started);
}

StreamJob PrintStreamRaw(Spooler& spooler, const std::string& printerName, ByteSource& source,
                         const std::string& documentName, const JobControl& control) {
    std::string chunk(StreamChunkSize, '\0');
    const std::size_t first = source.Read(chunk.data(), chunk.size());
    if (first == 0) {
        return StreamJob::Empty;
    }
    const std::optional<bool> started = BeginJob(spooler, printerName, documentName);
    if (!started) {
        return StreamJob::NotSent;
    }
    Written written = Written::Refused;
    try {
        written = WriteStream(spooler, source, chunk, first, control);
    } catch (...) {
        AbandonJob(spooler);
        throw;
    }
    return CloseJob(spooler, written, *started) ? StreamJob::Sent : StreamJob::NotSent;
}

} // namespace modRawPrint
