#pragma once

#include "printing/job_control.h"

#include <cstddef>
#include <string>
#include <string_view>

class ByteSource;
class Spooler;

// Raw jobs: the bytes go to the spooler as one document of one page, and reach the
// printer unchanged, past any driver. Each procedure takes an optional JobControl: its
// progress hears of every piece the spooler took, and its stop flag withdraws the job
// before the next piece (the document cancelled, the printer closed, a false result or
// NotSent; the caller knows it asked).
namespace modRawPrint {

// The name every job carries in the spooler unless the caller gives it another.
inline constexpr const char* DocumentName = "Tolvenmark Document";

// Sends the byte string as one job in one write. True only when the spooler accepted every
// step of it; `spooler.LastError()` then tells why not.
bool PrintStringRaw(Spooler& spooler, const std::string& printerName, std::string_view data,
                    const std::string& documentName = DocumentName, const JobControl& control = {});

// Sends the file's whole content as one job, read after the document has been started
// and written piece by piece as it is read, so memory stays the same whatever the file's
// size. When the file can't be read, at the start or midway, the document is cancelled
// (nothing of it prints), the printer closed and the failure thrown as FileError; a
// printer failure is a false result, as for strings.
bool PrintFileRaw(Spooler& spooler, const std::string& printerName, const std::string& path,
                  const std::string& documentName = DocumentName, const JobControl& control = {});

enum class StreamJob {
    Sent,    // the spooler accepted every step and every byte
    Empty,   // the source had no byte: no job was made
    NotSent, // the spooler refused a step; `spooler.LastError()` tells why
};

// The size of the pieces a stream is read and written in.
inline constexpr std::size_t StreamChunkSize = std::size_t{64} << 10;

// Sends everything the source yields as one job, writing each piece as it is read, so
// memory stays the same however long the stream. The first piece is read before the
// printer is opened: a source without a byte makes no job. When a later read fails the
// document is cancelled, the printer closed and the FileError thrown, as for files.
StreamJob PrintStreamRaw(Spooler& spooler, const std::string& printerName, ByteSource& source,
                         const std::string& documentName = DocumentName,
                         const JobControl& control = {});

} // namespace modRawPrint
