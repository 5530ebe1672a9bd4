#include "app/cli/cli_program.h"

#include "app/cli/cli_arguments.h"
#include "app_info.h"
#include "core/code_pages/code_page.h"
#include "core/code_pages/code_page_text.h"
#include "core/file_error.h"
#include "core/file_reader.h"
#include "core/notation.h"
#include "core/stream_reader.h"
#include "core/whole_file.h"
#include "printing/direct/direct_options.h"
#include "printing/job_monitor.h"
#include "printing/printer_catalog.h"
#include "printing/printer_list.h"
#include "printing/raw_print.h"
#include "printing/spooler.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <thread>

namespace {

using CliArguments::Command;

constexpr const char* ProgramName = "tolvenmark-cli";
constexpr const char* StandardInputName = "standard input";

// How often --wait asks the spooler about a job.
constexpr std::chrono::seconds JobPollInterval{1};

// "Tolvenmark_Capture-12": a job as lp names it.
std::string JobLabel(const std::string& printer, int jobId) {
    return printer + '-' + std::to_string(jobId);
}

// "Stop_Queue: stopped: the printer is not connected"; a printer that refuses jobs says
// so after it.
std::string PrinterLine(const std::string& printer, const PrinterStatus& status) {
    std::string line = printer + ": " + modJobStatus::StateWord(status.state);
    const std::string trouble = modJobStatus::PrinterTrouble(status.message, status.reasons);
    if (!trouble.empty()) {
        line += ": " + trouble;
    }
    if (!status.acceptingJobs) {
        line += " (not accepting jobs)";
    }
    return line;
}

// How a file named on the command line is read for a job.
enum class Reading {
    Whole,  // a regular file with bytes in it, read after its job is opened
    Stream, // anything else that can be read: a pipe, a FIFO, /dev/stdin, or a file the
            // system reports as empty (which /proc's files do even with content)
};

// Folders and missing paths are refused here, before any job is opened for them, so no
// cancelled job is left behind.
Reading HowToRead(const std::string& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error) {
        throw FileError(path, "read", error.message());
    }
    if (std::filesystem::is_directory(status)) {
        throw FileError(path, "read", "it is not a regular file");
    }
    if (std::filesystem::is_regular_file(status) && std::filesystem::file_size(path, error) > 0 &&
        !error) {
        return Reading::Whole;
    }
    return Reading::Stream;
}

// Everything the source yields. For show and encode, which need the whole text at once.
std::string ReadAll(ByteSource& source) {
    std::string bytes;
    std::string chunk(modRawPrint::StreamChunkSize, '\0');
    while (const std::size_t read = source.Read(chunk.data(), chunk.size())) {
        bytes.append(chunk.data(), read);
    }
    return bytes;
}

// The code page the request names; nothing without --encoding or for utf-8.
const CodePage* ChosenCodePage(const CliArguments::Request& request) {
    return request.encoding ? CodePage::Find(*request.encoding) : nullptr;
}

// The token text as bytes: with --encoding, its UTF-8 characters are first turned into their
// bytes (tokens are ASCII, which every code page keeps as it is); without, its bytes are
// the bytes.
std::string TextToBytes(const CliArguments::Request& request, const std::string& text) {
    const std::string bytes =
        request.encoding ? CodePageText::FromUtf8(text, ChosenCodePage(request)) : text;
    return modTools::NotationToBytes(bytes);
}

std::string BytesToText(const CliArguments::Request& request, const std::string& bytes) {
    std::string text = modTools::BytesToNotation(bytes);
    if (const CodePage* page = ChosenCodePage(request)) {
        return CodePageText::ToUtf8(text, *page);
    }
    return text;
}

} // namespace

CliProgram::CliProgram(PrinterCatalog& catalog, Spooler& spooler, std::istream& in,
                       std::ostream& out, std::ostream& err, DirectOptions* directOptions,
                       JobMonitor* monitor)
    : catalog_(catalog), spooler_(spooler), in_(in), out_(out), err_(err),
      directOptions_(directOptions), monitor_(monitor) {}

int CliProgram::Run(const std::vector<std::string>& arguments) {
    CliArguments::Request request;
    try {
        request = CliArguments::Parse(arguments);
    } catch (const CliArguments::UsageError& error) {
        err_ << ProgramName << ": " << error.what() << '\n' << error.Hint() << '\n';
        return ExitUsage;
    }
    SetDirectOptions(request);
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
        return Show(request);
    case Command::Encode:
        return Encode(request);
    case Command::Status:
        return Status(request);
    }
    return ExitUsage;
}

void CliProgram::SetDirectOptions(const CliArguments::Request& request) {
    if (directOptions_ == nullptr) {
        return;
    }
    if (request.format) {
        directOptions_->documentFormat = *request.format;
    }
    if (request.timeoutSeconds) {
        const auto timeout = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::duration<double>(*request.timeoutSeconds));
        directOptions_->connectTimeout = timeout;
        directOptions_->stallTimeout = timeout;
        directOptions_->schedulerTimeout = timeout;
    }
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
    const std::string title = request.title.value_or(modRawPrint::DocumentName);
    bool allSent = true;
    for (const std::string& operand : request.operands) {
        allSent = PrintOperand(*printer, operand, title) && allSent;
    }
    if (request.wait) {
        allSent = AwaitSentJobs() && allSent;
    }
    return allSent ? ExitAllSent : ExitSomeFailed;
}

bool CliProgram::PrintOperand(const std::string& printer, const std::string& operand,
                              const std::string& title) {
    try {
        if (operand == "-") {
            StreamReader source(in_, StandardInputName);
            // Like lp, a job read from standard input counts no files.
            return PrintStream(printer, StandardInputName, source, title, 0);
        }
        if (HowToRead(operand) == Reading::Whole) {
            return PrintWholeFile(printer, operand, title);
        }
        FileReader source(operand);
        return PrintStream(printer, operand, source, title, 1);
    } catch (const FileError& error) {
        Complain(error.what());
    }
    return false;
}

bool CliProgram::PrintWholeFile(const std::string& printer, const std::string& path,
                                const std::string& title) {
    if (modRawPrint::PrintFileRaw(spooler_, printer, path, title)) {
        ReportJob(printer, 1);
        return true;
    }
    Complain(path + ": not sent to " + printer + ": " + spooler_.LastError());
    return false;
}

bool CliProgram::PrintStream(const std::string& printer, const std::string& name,
                             ByteSource& source, const std::string& title, int fileCount) {
    switch (modRawPrint::PrintStreamRaw(spooler_, printer, source, title)) {
    case modRawPrint::StreamJob::Sent:
        ReportJob(printer, fileCount);
        return true;
    case modRawPrint::StreamJob::Empty:
        Complain("nothing to send: " + name + " is empty");
        return false;
    case modRawPrint::StreamJob::NotSent:
        break;
    }
    Complain(name + ": not sent to " + printer + ": " + spooler_.LastError());
    return false;
}

int CliProgram::Send(const CliArguments::Request& request) {
    const std::string& codes = request.operands.front();
    const bool fromInput = codes == "-";
    std::string bytes;
    try {
        bytes = TextToBytes(request, fromInput ? ReadInput({}) : codes);
    } catch (const FileError& error) {
        Complain(error.what());
        return ExitSomeFailed;
    } catch (const CodePageText::ConversionError& error) {
        Complain(std::string(fromInput ? StandardInputName : "the codes") + ": " + error.what());
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
    if (!modRawPrint::PrintStringRaw(spooler_, *printer, bytes,
                                     request.title.value_or(modRawPrint::DocumentName))) {
        Complain("codes not sent to " + *printer + ": " + spooler_.LastError());
        return ExitSomeFailed;
    }
    // Like lp, a job read from anywhere but a file counts no files.
    ReportJob(*printer, 0);
    if (request.wait && !AwaitSentJobs()) {
        return ExitSomeFailed;
    }
    return ExitAllSent;
}

int CliProgram::Show(const CliArguments::Request& request) {
    try {
        return WriteOutput(BytesToText(request, ReadInput(request.operands)));
    } catch (const FileError& error) {
        Complain(error.what());
        return ExitSomeFailed;
    }
}

int CliProgram::Encode(const CliArguments::Request& request) {
    const std::vector<std::string>& operands = request.operands;
    try {
        return WriteOutput(TextToBytes(request, ReadInput(operands)));
    } catch (const FileError& error) {
        Complain(error.what());
    } catch (const CodePageText::ConversionError& error) {
        const bool fromInput = operands.empty() || operands.front() == "-";
        Complain((fromInput ? std::string(StandardInputName) : operands.front()) + ": " +
                 error.what());
    }
    return ExitSomeFailed;
}

// A printer reached by its address keeps no job number (socket, LPD and devices): its
// job is done when the bytes are, and is reported so.
void CliProgram::ReportJob(const std::string& printer, int fileCount) {
    if (spooler_.JobId() == 0) {
        out_ << "sent to " << printer << " (" << fileCount << " file(s))" << std::endl;
        return;
    }
    sentJobs_.emplace_back(printer, spooler_.JobId());
    out_ << "request id is " << JobLabel(printer, spooler_.JobId()) << " (" << fileCount
         << " file(s))" << std::endl;
}

// Waits for every job sent, one after the other; true only when all completed.
bool CliProgram::AwaitSentJobs() {
    bool allCompleted = true;
    for (const auto& [printer, jobId] : sentJobs_) {
        allCompleted = AwaitJob(printer, jobId) && allCompleted;
    }
    sentJobs_.clear();
    return allCompleted;
}

// A printer whose jobs can't be followed (socket, LPD, devices) has printed the job when
// it took the bytes. Otherwise the job is asked about until its wait is over: it ended,
// or it can't go on without someone's help (held, stopped, waiting at a stopped printer).
bool CliProgram::AwaitJob(const std::string& printer, int jobId) {
    if (monitor_ == nullptr || !monitor_->CanFollow(printer)) {
        return true;
    }
    const std::string label = JobLabel(printer, jobId);
    try {
        JobStatus status = monitor_->Job(printer, jobId);
        while (!status.WaitIsOver() && status.state != JobState::Unknown) {
            std::this_thread::sleep_for(JobPollInterval);
            status = monitor_->Job(printer, jobId);
        }
        if (status.state == JobState::Completed) {
            return true;
        }
        Complain(label + ": " +
                 (status.state == JobState::Unknown ? "the spooler no longer knows the job"
                                                    : modJobStatus::Describe(status)));
    } catch (const JobMonitorError& error) {
        Complain(label + ": cannot follow the job: " + error.what());
    }
    return false;
}

int CliProgram::Status(const CliArguments::Request& request) {
    const std::optional<std::string> printer = ChoosePrinter(request);
    if (!printer) {
        return ExitSomeFailed;
    }
    if (monitor_ == nullptr || !monitor_->CanFollow(*printer)) {
        Complain(*printer + ": this printer tells nothing about its state or its jobs");
        return ExitSomeFailed;
    }
    PrinterStatus status;
    try {
        status = monitor_->Printer(*printer);
    } catch (const JobMonitorError& error) {
        Complain(*printer + ": " + error.what());
        return ExitSomeFailed;
    }
    out_ << PrinterLine(*printer, status) << '\n';
    for (const QueuedJob& job : status.jobs) {
        out_ << JobLabel(*printer, job.id) << '\t' << job.name << '\t' << job.user << '\t'
             << modJobStatus::StateWord(job.state) << '\n';
    }
    return WriteOutput({});
}

// The named file's bytes, or standard input's when there is no name or it is "-". A pipe
// or FIFO is read to its end like standard input.
std::string CliProgram::ReadInput(const std::vector<std::string>& operands) {
    if (operands.empty() || operands.front() == "-") {
        StreamReader source(in_, StandardInputName);
        return ReadAll(source);
    }
    const std::string& path = operands.front();
    if (HowToRead(path) == Reading::Whole) {
        return modTools::ReadExistingFile(path);
    }
    FileReader source(path);
    return ReadAll(source);
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
