#pragma once

#include <string>
#include <string_view>

class Spooler;

// Raw jobs: the bytes go to the spooler as one document of one page in one write, and
// reach the printer unchanged, past any driver.
namespace modRawPrint {

// The name every job carries in the spooler, whichever entry point made it.
inline constexpr const char* DocumentName = "Tolvenmark Document";

// Sends the byte string as one job. True only when the spooler accepted every step of it;
// `spooler.LastError()` then tells why not.
bool PrintStringRaw(Spooler& spooler, const std::string& printerName, std::string_view data);

// Sends the file's whole content as one job, read after the document has been started.
// When the file can't be read the document is cancelled, the printer closed and the
// failure thrown as FileError; a printer failure is a false result, as for strings.
bool PrintFileRaw(Spooler& spooler, const std::string& printerName, const std::string& path);

} // namespace modRawPrint
