#include "app/cli/cli_program.h"

#include "app/cli/cli_arguments.h"
#include "app_info.h"
#include "core/file_error.h"
#include "core/notation.h"
#include "core/whole_file.h"
#include "printing/printer_catalog.h"
#include "printing/printer_list.h"
#include "printing/raw_print.h"
#include "printing/spooler.h"

#include <algorithm>
#include <cctype>
#include <iostream>

namespace {

using CliArguments::Command;

constexpr const char* ProgramName = "tolvenmark-cli";

} // namespace

CliProgram::CliProgram(PrinterCatalog& catalog, Spooler& spooler, std::istream& in,
                       std::ostream& out, std::ostream& err)
    : catalog_(catalog), spooler_(spooler), in_(in), out_(out), err_(err) {}

int CliProgram::Run(const std::vector<std::string>& arguments) {
    CliArguments::Request request;
    try {
        request = CliArguments::Parse(arguments);
    } catch (const CliArguments::UsageError& error) {
        err_ << ProgramName << ": " << error.what() << '\n' << error.Hint() << '\n';
        return ExitUsage;
    }
    switch (request.command) {
    case Command::Help:
        out_ << CliArguments::HelpText();
        return out_.flush() ? ExitAllSent : ExitSomeFailed;
    case Command::Version:
        out_ << ProgramName << ' ' << AppInfo::Version << '\n';
        return out_.flush() ? ExitAllSent : ExitSomeFailed;
    case Command::List:
        return List();
    case Command::Print:
        return Print(request);
    case Command::Send:
        return Send(request);
    case Command::Show:
        return Show(request.operands);
    case Command::Encode:
        return Encode(request.operands);
    }
    return ExitUsage;
}

int CliProgram::List() {
    std::vector<std::string> names;
    std::string defaultName;
    try {
        defaultName = modTools::GetDefaultPrinterName(catalog_);
        names = catalog_.PrinterNames();
    } catch (const PrinterCatalogError& error) {
        Complain(std::string("cannot read the printer list: ") + error.what());
        return ExitSomeFailed;
    }
    if (names.empty()) {
        Complain("no printer is installed");
        return ExitAllSent;
    }
    const std::optional<std::size_t> marked = modTools::DefaultPrinterIndex(names, defaultName);
    for (std::size_t i = 0; i < names.size(); ++i) {
        out_ << names[i] << (marked == i ? " (default)" : "") << '\n';
    }
    return WriteOutput({});
}

std::optional<std::string> CliProgram::ChoosePrinter(const CliArguments::Request& request) {
    if (request.printer) {
        return request.printer;
    }
    try {
        const std::vector<std::string> names = catalog_.PrinterNames();
        const std::string defaultName = catalog_.DefaultPrinterName();
        if (const auto entry = modTools::DefaultPrinterIndex(names, defaultName)) {
            return names[*entry];
        }
        Complain(
            defaultName.empty()
                ? "no default printer is set, or it is not installed: name one with -P PRINTER "
                  "('tolvenmark-cli list' shows them)"
                : "the default printer \"" + defaultName +
                      "\" is not installed: name one with -P PRINTER");
    } catch (const PrinterCatalogError& error) {
        Complain(std::string("cannot find the default printer: ") + error.what());
    }
    return std::nullopt;
}

int CliProgram::Print(const CliArguments::Request& request) {
    const std::optional<std::string> printer = ChoosePrinter(request);
    if (!printer) {
        return ExitSomeFailed;
    }
    bool allSent = true;
    for (const std::string& path : request.operands) {
        allSent = PrintFile(*printer, path) && allSent;
    }
    return allSent ? ExitAllSent : ExitSomeFailed;
}

bool CliProgram::PrintFile(const std::string& printer, const std::string& path) {
    try {
        // Checked before a job is opened for it, so no cancelled job is left behind.
        modTools::RequireRegularFile(path);
        if (modRawPrint::PrintFileRaw(spooler_, printer, path)) {
            ReportJob(printer, 1);
            return true;
        }
        Complain(path + ": not sent to " + printer + ": " + spooler_.LastError());
    } catch (const FileError& error) {
        Complain(error.what());
    }
    return false;
}

int CliProgram::Send(const CliArguments::Request& request) {
    const std::string& codes = request.operands.front();
    std::string bytes;
    try {
        bytes = modTools::NotationToBytes(codes == "-" ? ReadInput({}) : codes);
    } catch (const FileError& error) {
        Complain(error.what());
        return ExitSomeFailed;
    }
    if (bytes.empty()) {
        Complain("nothing to send: the codes are empty");
        return ExitSomeFailed;
    }
    const std::optional<std::string> printer = ChoosePrinter(request);
    if (!printer) {
        return ExitSomeFailed;
    }
    if (!modRawPrint::PrintStringRaw(spooler_, *printer, bytes)) {
        Complain("codes not sent to " + *printer + ": " + spooler_.LastError());
        return ExitSomeFailed;
    }
    // Like lp, a job read from anywhere but a file counts no files.
    ReportJob(*printer, 0);
    return ExitAllSent;
}

int CliProgram::Show(const std::vector<std::string>& operands) {
    try {
        return WriteOutput(modTools::BytesToNotation(ReadInput(operands)));
    } catch (const FileError& error) {
        Complain(error.what());
        return ExitSomeFailed;
    }
}

int CliProgram::Encode(const std::vector<std::string>& operands) {
    try {
        return WriteOutput(modTools::NotationToBytes(ReadInput(operands)));
    } catch (const FileError& error) {
        Complain(error.what());
        return ExitSomeFailed;
    }
}

void CliProgram::ReportJob(const std::string& printer, int fileCount) {
    out_ << "request id is " << printer << '-' << spooler_.JobId() << " (" << fileCount
         << " file(s))" << std::endl;
}

// The named file's bytes, or standard input's when there is no name or it is "-".
std::string CliProgram::ReadInput(const std::vector<std::string>& operands) {
    if (!operands.empty() && operands.front() != "-") {
        return modTools::ReadExistingFile(operands.front());
    }
    std::string bytes;
    std::string chunk(1 << 16, '\0');
    while (in_.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || in_.gcount() > 0) {
        bytes.append(chunk.data(), static_cast<std::size_t>(in_.gcount()));
    }
    if (in_.bad()) {
        throw FileError("standard input", "read", "the input stream failed");
    }
    return bytes;
}

int CliProgram::WriteOutput(const std::string& bytes) {
    out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out_.flush()) {
        Complain("cannot write to standard output");
        return ExitSomeFailed;
    }
    return ExitAllSent;
}

void CliProgram::Complain(const std::string& message) {
    err_ << ProgramName << ": " << message << std::endl;
}
