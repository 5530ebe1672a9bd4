#include "printing/job/raw_print.h"

#include "core/byte_source.h"
#include "core/file_error.h"
#include "core/file_reader.h"
#include "core/whole_file.h"
#include "printing/job/job_driver.h"
#include "printing/job/printer_access.h"
#include "printing/job/printer_backend.h"

#include <memory>

namespace {

JobResult Failed(const JobFailure& failure) {
    JobResult result;
    result.failure = failure;
    return result;
}

// Runs the job over the backend that serves the target; a target this platform can't
// reach fails before anything is sent.
template <typename Send>
JobResult WithBackend(PrinterAccess& access, const PrinterTarget& target, const JobOptions& options,
                      Send send) {
    std::unique_ptr<PrinterBackend> backend;
    try {
        backend = access.Backend(target, options);
    } catch (const JobFailure& failure) {
        return Failed(failure);
    }
    return send(*backend);
}

JobResult SendSource(PrinterAccess& access, const PrinterTarget& target, ByteSource& source,
                     std::string& chunk, std::size_t first, const JobOptions& options,
                     const JobControl& control) {
    return WithBackend(access, target, options, [&](PrinterBackend& backend) {
        return JobDriver(backend, control).SendSource(source, chunk, first);
    });
}

} // namespace

namespace modRawPrint {

JobResult PrintStringRaw(PrinterAccess& access, const PrinterTarget& target, std::string_view data,
                         const JobOptions& options, const JobControl& control) {
    return WithBackend(access, target, options, [&](PrinterBackend& backend) {
        return JobDriver(backend, control).SendBytes(data);
    });
}

JobResult PrintFileRaw(PrinterAccess& access, const PrinterTarget& target, const std::string& path,
                       const JobOptions& options, const JobControl& control) {
    std::string chunk(StreamChunkSize, '\0');
    std::unique_ptr<FileReader> file;
    std::size_t first = 0;
    try {
        modTools::RequireRegularFile(path);
        file = std::make_unique<FileReader>(path);
        first = file->Read(chunk.data(), chunk.size());
    } catch (const FileError& error) {
        return Failed(JobFailure(FailureKind::InputUnreadable, error.what()));
    }
    return SendSource(access, target, *file, chunk, first, options, control);
}

JobResult PrintStreamRaw(PrinterAccess& access, const PrinterTarget& target, ByteSource& source,
                         const JobOptions& options, const JobControl& control) {
    std::string chunk(StreamChunkSize, '\0');
    std::size_t first = 0;
    try {
        first = source.Read(chunk.data(), chunk.size());
    } catch (const FileError& error) {
        return Failed(JobFailure(FailureKind::InputUnreadable, error.what()));
    }
    if (first == 0) {
        JobResult empty;
        empty.outcome = JobResult::Outcome::Empty;
        return empty;
    }
    return SendSource(access, target, source, chunk, first, options, control);
}

} // namespace modRawPrint
