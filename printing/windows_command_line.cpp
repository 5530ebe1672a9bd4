#include "printing/windows_command_line.h"

namespace WindowsCommandLine {

std::string QuoteArgument(std::string_view argument) {
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            // Backslashes before a quote are halved when read back, and an odd one makes
            // the quote a literal: 2n + 1 of them give n backslashes and the quote.
            quoted.append(2 * backslashes + 1, '\\');
        } else {
            // Backslashes before anything else are taken literally.
            quoted.append(backslashes, '\\');
        }
        backslashes = 0;
        quoted += c;
    }
    // The closing quote must not be escaped by trailing backslashes: double them.
    quoted.append(2 * backslashes, '\\');
    quoted += '"';
    return quoted;
}

std::string QuoteProgram(std::string_view programPath) {
    std::string quoted;
    quoted.reserve(programPath.size() + 2);
    quoted += '"';
    quoted += programPath;
    quoted += '"';
    return quoted;
}

std::string PrinterPropertiesCommandLine(std::string_view rundll32Path,
                                         std::string_view printerName) {
    std::string line = QuoteProgram(rundll32Path);
    line += " printui.dll,PrintUIEntry /p /n ";
    line += QuoteArgument(printerName);
    return line;
}

} // namespace WindowsCommandLine
