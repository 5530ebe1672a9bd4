#pragma once

#include <string>
#include <string_view>

// Command lines for programs started on Windows. A Windows program gets its arguments as
// one string and splits it itself; nearly all do so by the C runtime's rules (those of
// CommandLineToArgvW). Quoting by those rules makes any text arrive as exactly one
// argument. No command interpreter is involved, so `&`, `|`, `^` or `%` stay plain text.
// Platform-free, so that the rules are tested everywhere.
namespace WindowsCommandLine {

// The argument in double quotes, with its quotes and the backslashes before them escaped,
// so that it is read back as exactly this one argument, blanks and all.
std::string QuoteArgument(std::string_view argument);

// The program path as the first word of a command line. The program's own name is split
// off by a simpler rule (up to the closing quote, no escapes), so it is only wrapped in
// quotes; a path can't hold a double quote anyway.
std::string QuoteProgram(std::string_view programPath);

// The line that opens the named printer's property pages through the printer user
// interface: rundll32 with "printui.dll,PrintUIEntry /p /n" and the name as one argument.
std::string PrinterPropertiesCommandLine(std::string_view rundll32Path,
                                         std::string_view printerName);

} // namespace WindowsCommandLine
