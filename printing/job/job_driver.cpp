#include "printing/job/job_driver.h"

#include "core/byte_source.h"
#include "core/file_error.h"
#include "printing/job/printer_backend.h"
#include "printing/job/spool_file.h"

namespace {

// A job's bytes kept aside could not be: the machine, not the printer, failed.
JobFailure SpoolFailure(const std::string& what, const SpoolFile& spool) {
    return {FailureKind::InputUnreadable, what + ": " + spool.Error() + "."};
}

} // namespace

JobDriver::JobDriver(PrinterBackend& backend, const JobControl& control)
    : backend_(backend), control_(control) {}

template <typename Steps> JobResult JobDriver::Run(Steps steps) {
    JobResult result;
    backend_.WatchStop(control_.stop);
    try {
        steps();
        result.outcome = JobResult::Outcome::Sent;
    } catch (const JobFailure& failure) {
        backend_.Abort();
        result.failure = failure;
    } catch (const FileError& error) {
        // Nothing of a job whose data could not be had may reach the printer.
        backend_.Abort();
        result.failure = JobFailure(FailureKind::InputUnreadable, error.what());
    } catch (...) {
        backend_.Abort();
        throw;
    }
    // A stop that came while a read or a write was failing is what the user sees.
    if (result.failure && control_.StopRequested()) {
        result.failure = JobFailure::Stopped();
    }
    result.jobId = backend_.JobId();
    if (result.Sent()) {
        result.confirmation = backend_.Confirmation();
    }
    result.bytesSent = sent_;
    return result;
}

void JobDriver::StopIfAsked() const {
    if (control_.StopRequested()) {
        throw JobFailure::Stopped();
    }
}

// A stop that came while the last piece was on its way still withdraws the job: it is not
// the printer's until it has been ended.
void JobDriver::Finish() {
    StopIfAsked();
    backend_.Finish();
}

void JobDriver::Deliver(std::string_view piece) {
    StopIfAsked();
    backend_.Write(piece);
    sent_ += piece.size();
    control_.Report(sent_);
}

JobResult JobDriver::SendBytes(std::string_view data) {
    return Run([&] {
        StopIfAsked();
        backend_.Open(backend_.NeedsLength() ? std::optional<std::uint64_t>(data.size())
                                             : std::nullopt);
        Deliver(data);
        Finish();
    });
}

JobResult JobDriver::SendSource(ByteSource& source, std::string& chunk, std::size_t first) {
    return Run([&] {
        StopIfAsked();
        if (backend_.NeedsLength()) {
            SpoolAndSend(source, chunk, first);
            return;
        }
        backend_.Open(std::nullopt);
        Stream(source, chunk, first);
        Finish();
    });
}

void JobDriver::Stream(ByteSource& source, std::string& chunk, std::size_t length) {
    Deliver(std::string_view(chunk.data(), length));
    while ((length = source.Read(chunk.data(), chunk.size())) > 0) {
        Deliver(std::string_view(chunk.data(), length));
    }
}

// The job is read to its end into a temporary file before the printer is reached, so
// that a slow source never holds an idle connection open; then its count is known.
void JobDriver::SpoolAndSend(ByteSource& source, std::string& chunk, std::size_t length) {
    SpoolFile spool;
    if (!spool.Open()) {
        throw SpoolFailure("Could not make a temporary file for the job", spool);
    }
    while (length > 0) {
        StopIfAsked();
        if (!spool.Append(std::string_view(chunk.data(), length))) {
            throw SpoolFailure("Could not keep the job's data in a temporary file", spool);
        }
        length = source.Read(chunk.data(), chunk.size());
    }
    if (!spool.Rewind()) {
        throw SpoolFailure("Could not read the job's data back from its temporary file", spool);
    }
    StopIfAsked();
    backend_.Open(spool.Size());
    std::string piece;
    std::uint64_t replayed = 0;
    do {
        if (!spool.ReadChunk(piece, chunk.size())) {
            throw SpoolFailure("Could not read the job's data back from its temporary file", spool);
        }
        if (piece.empty() && replayed < spool.Size()) {
            throw JobFailure(FailureKind::InputUnreadable,
                             "Could not read the job's data back from its temporary file: it "
                             "ended before all of its bytes.");
        }
        Deliver(piece);
        replayed += piece.size();
    } while (replayed < spool.Size());
    Finish();
}
