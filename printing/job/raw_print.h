#pragma once

#include "printing/job/job_control.h"
#include "printing/job/job_options.h"
#include "printing/job/job_result.h"

#include <cstddef>
#include <string>
#include <string_view>

class ByteSource;
class PrinterAccess;
class PrinterTarget;

// Raw jobs: the bytes go to the printer as one job and reach it unchanged, past any
// driver. Each procedure makes the backend that serves the target, runs the job through
// the job driver and returns what became of it: sent, or failed with a kind and a reason
// (the user's stop included, as FailureKind::Stopped). The control's progress hears of
// every piece taken; its stop flag withdraws the job before the next piece.
namespace modRawPrint {

// The size of the pieces files and streams are read and written in.
inline constexpr std::size_t StreamChunkSize = std::size_t{64} << 10;

// The byte string as one job in one write.
JobResult PrintStringRaw(PrinterAccess& access, const PrinterTarget& target, std::string_view data,
                         const JobOptions& options = {}, const JobControl& control = {});

// The file's whole content as one job, written piece by piece as it is read. Its first
// piece is read before the printer is reached: a file that can't be read makes no job. An
// empty file is still one job. A read that fails midway withdraws the job: a failure of
// kind InputUnreadable, in the words of the file's error.
JobResult PrintFileRaw(PrinterAccess& access, const PrinterTarget& target, const std::string& path,
                       const JobOptions& options = {}, const JobControl& control = {});

// Everything the source yields as one job, each piece written as it is read. A source
// without a byte makes no job (Outcome::Empty).
JobResult PrintStreamRaw(PrinterAccess& access, const PrinterTarget& target, ByteSource& source,
                         const JobOptions& options = {}, const JobControl& control = {});

} // namespace modRawPrint
