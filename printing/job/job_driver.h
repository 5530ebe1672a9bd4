#pragma once

#include "printing/job/job_control.h"
#include "printing/job/job_result.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class ByteSource;
class PrinterBackend;

// The life of one raw job, written once for every backend: the backend is opened, the
// bytes go out piece by piece with the progress reported and a stop honoured before each
// piece, and the job is finished; a backend that needs the job's length first gets it
// spooled aside before it is opened. Whatever goes wrong (the backend's failure, the
// data that can't be read, the user's stop) withdraws the job through the backend's Abort
// and comes back as the result's failure, with its kind.
class JobDriver {
public:
    JobDriver(PrinterBackend& backend, const JobControl& control);

    // The bytes as one job, in one write.
    JobResult SendBytes(std::string_view data);

    // `chunk`'s first `first` bytes (already read, maybe none) and everything the source
    // yields after them, each piece written as it is read, so memory stays the same
    // whatever the job's size. Even a job without a byte is one write.
    JobResult SendSource(ByteSource& source, std::string& chunk, std::size_t first);

private:
    template <typename Steps> JobResult Run(Steps steps);
    void StopIfAsked() const;
    void Deliver(std::string_view piece);
    void Finish();
    void Stream(ByteSource& source, std::string& chunk, std::size_t length);
    void SpoolAndSend(ByteSource& source, std::string& chunk, std::size_t length);

    PrinterBackend& backend_;
    const JobControl& control_;
    std::uint64_t sent_ = 0;
};
