#pragma once

#include <string>
#include <string_view>
#include <vector>

// Which program opens a CUPS queue's settings, and with which arguments. Kept apart from
// starting it, so that the choice can be checked without starting anything.
namespace PrinterSettingsCommand {

// The printer's name as one path segment of a web address: every byte but the letters,
// digits and "-._~" becomes %XX, so blanks, slashes, "#", "?" and "%" stay inside it.
std::string PercentEncoded(std::string_view text);

// "host" or "host:port" of the scheduler's web pages for a CUPS server setting (the
// CUPS_SERVER form: a host name, "host:port", "[v6-address]:port", or a socket path that
// starts with "/"). A socket or an empty setting means the local scheduler, localhost:631.
std::string WebHost(std::string_view server);

// The CUPS_SERVER form of the scheduler the library talks to: the library gives the host
// (cupsServer(), without its port) and the port (ippPort()) apart; a socket path is kept
// as it is.
std::string ServerSetting(std::string_view host, int port);

// The scheduler's own page for the queue, "http://HOST/printers/NAME".
std::string SchedulerPageAddress(const std::string& printerName, std::string_view server);

// The argument vector that opens the settings, the program first: the first found along
// the search path of system-config-printer (GNOME and others, "--configure-printer NAME")
// and configure-printer (KDE, "-- NAME"); else xdg-open with the scheduler's page. The
// printer name is always one argument of its own, never part of a command line.
std::vector<std::string> For(const std::string& printerName, const std::string& searchPath,
                             std::string_view server);

} // namespace PrinterSettingsCommand
