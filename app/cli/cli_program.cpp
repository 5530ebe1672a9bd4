#include "app/cli/cli_program.h"

#include "app/cli/capture_command.h"
#include "app/cli/cli_arguments.h"
#include "app/cli/inspect_command.h"
#include "app/cli/interrupt_flag.h"
#include "app_info.h"
#include "core/code_pages/code_page.h"
#include "core/code_pages/code_page_text.h"
#include "core/file_error.h"
#include "core/file_reader.h"
#include "core/json_writer.h"
#include "core/notation.h"
#include "core/safe_text.h"
#include "core/stream_reader.h"
#include "core/whole_file.h"
#include "printing/discovery/discovery_options.h"
#include "printing/discovery/printer_finder.h"
#include "printing/job/job_monitor.h"
#include "printing/job/printer_access.h"
#include "printing/job/raw_print.h"
#include "printing/printer_catalog.h"
#include "printing/printer_list.h"
#include "printing/talkback/printer_answer.h"
#include "printing/talkback/status_words.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <thread>

namespace {

using CliArguments::Command;

constexpr const char* ProgramName = "tolvenmark-cli";
constexpr const char* StandardInputName = "standard input";

// How often --wait asks the spooler about a job.
constexpr std::chrono::seconds JobPollInterval{1};

// How long discover looks without --timeout.
constexpr std::chrono::seconds DiscoverTimeout{3};

// Every line this program writes about printers, jobs and files may carry text from outside
// (a printer's words, a job's or file's name): it goes out through the one rule, so that no
// printer retitles or clears the user's terminal. The bytes of show and encode are the
// user's data and go out as they are.
std::string Shown(std::string_view text) {
    return SafeText(text, WholeText);
}

// "Tolvenmark_Capture-12": a job as lp names it.
std::string JobLabel(const PrinterTarget& printer, int jobId) {
    return printer.Name() + '-' + std::to_string(jobId);
}

// "Stop_Queue: stopped: the printer is not connected"; a printer that refuses jobs says
// so after it.
std::string PrinterLine(const PrinterTarget& printer, const PrinterStatus& status) {
    std::string line = printer.Name() + ": " + modJobStatus::StateWord(status.state);
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
Reading HowToRead(const std::string& name) {
    // The name is UTF-8; on Windows the path's own conversion would take it for ANSI.
    const std::filesystem::path path = modTools::FileSystemPath(name);
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error) {
        throw FileError(name, "read", error.message());
    }
    if (std::filesystem::is_directory(status)) {
        throw FileError(name, "read", "it is not a regular file");
    }
    if (std::filesystem::is_regular_file(status) && std::filesystem::file_size(path, error) > 0 &&
        !error) {
        return Reading::Whole;
    }
    return Reading::Stream;
}

// A stream's source as a job reads it: it stops reading once the command is interrupted
// (a signal that came while a piece was being sent finds no read to break, and a pipe
// that stays open would otherwise hold the job), and it knows whether a read ever
// returned, which is when a stream's job is opened.
class WatchedSource final : public ByteSource {
public:
    WatchedSource(ByteSource& source, std::string name, const InterruptFlag* interrupt)
        : source_(source), name_(std::move(name)), interrupt_(interrupt) {}

    std::size_t Read(char* buffer, std::size_t capacity) override {
        if (interrupt_ != nullptr && interrupt_->Raised()) {
            throw FileError(name_, "read", "interrupted");
        }
        const std::size_t read = source_.Read(buffer, capacity);
        readOnce_ = true;
        return read;
    }

    bool ReadOnce() const { return readOnce_; }

private:
    ByteSource& source_;
    std::string name_;
    const InterruptFlag* interrupt_;
    bool readOnce_ = false;
};

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

// This run's job options: --title, --format and --timeout, which bounds every wait; what a
// direct printer is asked, by --language, --check, --wait, --community and --snmp-port.
JobOptions OptionsOf(const CliArguments::Request& request) {
    JobOptions options;
    options.title = request.title.value_or(JobOptions::DefaultTitle);
    options.documentFormat = request.format.value_or(std::string());
    if (request.timeoutSeconds) {
        options.timeouts = Timeouts::All(std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::duration<double>(*request.timeoutSeconds)));
    }
    options.talk.language = request.language.value_or(PrinterLanguage::Automatic);
    options.talk.check = request.check;
    options.talk.confirm = request.wait;
    options.talk.snmp.always = request.community || request.snmpPort;
    options.talk.snmp.community = request.community.value_or(options.talk.snmp.community);
    options.talk.snmp.port = request.snmpPort.value_or(options.talk.snmp.port);
    return options;
}

// A queue's state as status --json gives it: the state, whether it takes jobs, the
// spooler's message and reasons, and the jobs waiting at it.
std::string QueueStatusJson(const PrinterTarget& printer, const PrinterStatus& status) {
    JsonWriter json;
    json.BeginObject()
        .Key("printer")
        .String(printer.Name())
        .Key("state")
        .String(modJobStatus::StateWord(status.state))
        .Key("accepting_jobs")
        .Bool(status.acceptingJobs)
        .Key("message")
        .String(status.message)
        .Key("reasons")
        .Strings(status.reasons)
        .Key("jobs")
        .BeginArray();
    for (const QueuedJob& job : status.jobs) {
        json.BeginObject()
            .Key("id")
            .Number(job.id)
            .Key("title")
            .String(job.name)
            .Key("user")
            .String(job.user)
            .Key("state")
            .String(modJobStatus::StateWord(job.state))
            .EndObject();
    }
    return json.EndArray().EndObject().Text();
}

// What a direct printer answered, as status --json gives it: whether it told its state,
// the state in words and its conditions one by one, its own display text, the language it
// was asked in, who answered, what it says it is, and why a source said nothing.
std::string AnswerJson(const PrinterTarget& printer, const PrinterAnswer& answer) {
    std::vector<std::string> conditions;
    for (const StatusReport::Condition condition : answer.state.conditions) {
        conditions.emplace_back(StatusWords::Word(condition, answer.language));
    }
    JsonWriter json;
    json.BeginObject()
        .Key("printer")
        .String(printer.Name())
        .Key("told")
        .Bool(answer.told)
        .Key("ready")
        .Bool(answer.told && !answer.state.Blocked())
        .Key("state")
        .String(answer.told ? StatusWords::Describe(answer.state, answer.language) : "")
        .Key("conditions")
        .Strings(conditions)
        .Key("display")
        .String(answer.state.display)
        .Key("language")
        .String(answer.language == PrinterLanguage::Automatic
                    ? std::string()
                    : std::string(PrinterLanguageName::TitleOf(answer.language)))
        .Key("sources")
        .Strings(answer.sources)
        .Key("description")
        .String(answer.description)
        .Key("notes")
        .Strings(answer.notes);
    return json.EndObject().Text();
}

std::string DiscoveredJson(const DiscoveredPrinter& printer) {
    JsonWriter json;
    json.BeginObject()
        .Key("address")
        .String(printer.address)
        .Key("other_addresses")
        .Strings(printer.otherAddresses)
        .Key("name")
        .String(printer.name)
        .Key("model")
        .String(printer.model)
        .Key("languages")
        .Strings(printer.languages)
        .Key("location")
        .String(printer.location)
        .Key("uuid")
        .String(printer.uuid)
        .Key("found_by")
        .Strings(printer.foundBy)
        .Key("problem")
        .String(printer.problem);
    return json.EndObject().Text();
}

std::string Joined(const std::vector<std::string>& list) {
    std::string joined;
    for (const std::string& item : list) {
        joined.append(joined.empty() ? "" : ", ").append(item);
    }
    return joined;
}

// "socket://10.0.0.5:9100<TAB>Front desk<TAB>EPSON TM-T88V<TAB>ESC/POS<TAB>-<TAB>DNS-SD, SNMP":
// each field escaped on its own, so none holds a tab; "-" for one that is empty; the
// problem, where there is one, last.
std::string DiscoveredLine(const DiscoveredPrinter& printer) {
    const std::vector<std::string> fields = {printer.address,  printer.name,
                                             printer.model,    Joined(printer.languages),
                                             printer.location, Joined(printer.foundBy)};
    std::string line;
    for (const std::string& field : fields) {
        line.append(line.empty() ? "" : "\t").append(field.empty() ? "-" : Shown(field));
    }
    if (!printer.problem.empty()) {
        line.append("\t").append(Shown(printer.problem));
    }
    return line;
}

} // namespace

CliProgram::CliProgram(PrinterAccess& printers, std::istream& in, std::ostream& out,
                       std::ostream& err)
    : printers_(printers), in_(in), out_(out), err_(err) {}

CliProgram::~CliProgram() = default;

PrinterCatalog& CliProgram::Catalog() {
    if (!catalog_) {
        catalog_ = printers_.Catalog(options_.timeouts);
    }
    return *catalog_;
}

JobMonitor& CliProgram::Monitor() {
    if (!monitor_) {
        monitor_ = printers_.Monitor(options_.timeouts);
    }
    return *monitor_;
}

void CliProgram::ShowProgress(ProgressLine::Now now) {
    progressClock_ = std::move(now);
}

void CliProgram::WatchInterrupt(const InterruptFlag& flag) {
    interrupt_ = &flag;
}

int CliProgram::Run(const std::vector<std::string>& arguments) {
    CliArguments::Request request;
    try {
        request = CliArguments::Parse(arguments);
    } catch (const CliArguments::UsageError& error) {
        err_ << ProgramName << ": " << Shown(error.what()) << '\n' << error.Hint() << '\n';
        return ExitUsage;
    }
    options_ = OptionsOf(request);
    switch (request.command) {
    case Command::Help:
        out_ << CliArguments::HelpText();
        return out_.flush() ? ExitAllSent : ExitSomeFailed;
    case Command::Version:
        out_ << ProgramName << ' ' << AppInfo::Version << '\n';
        return out_.flush() ? ExitAllSent : ExitSomeFailed;
    case Command::List:
        return List(request);
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
    case Command::Capture:
        return CaptureCommand(out_, err_).Run(request);
    case Command::Discover:
        return Discover(request);
    case Command::Inspect:
        return InspectCommand(in_, out_, err_).Run(request);
    }
    return ExitUsage;
}

int CliProgram::List(const CliArguments::Request& request) {
    std::vector<std::string> names;
    std::string defaultName;
    try {
        defaultName = modTools::GetDefaultPrinterName(Catalog());
        names = Catalog().PrinterNames();
    } catch (const PrinterCatalogError& error) {
        Complain(std::string("cannot read the printer list: ") + error.what());
        return ExitSomeFailed;
    }
    const std::optional<std::size_t> marked = modTools::DefaultPrinterIndex(names, defaultName);
    if (request.json) {
        JsonWriter json;
        json.BeginArray();
        for (std::size_t i = 0; i < names.size(); ++i) {
            json.BeginObject().Key("name").String(names[i]).Key("default").Bool(marked == i);
            json.EndObject();
        }
        out_ << json.EndArray().Text() << '\n';
    }
    if (names.empty()) {
        Complain("no printer is installed");
        return request.json ? WriteOutput({}) : ExitAllSent;
    }
    for (std::size_t i = 0; i < names.size() && !request.json; ++i) {
        out_ << Shown(names[i]) << (marked == i ? " (default)" : "") << '\n';
    }
    return WriteOutput({});
}

// The printer is resolved here, once: a malformed address fails before anything is read.
std::optional<PrinterTarget> CliProgram::ChoosePrinter(const CliArguments::Request& request) {
    if (request.printer) {
        try {
            return PrinterTarget::Resolve(*request.printer);
        } catch (const JobFailure& failure) {
            Complain(*request.printer + ": " + failure.what());
            return std::nullopt;
        }
    }
    try {
        const std::vector<std::string> names = Catalog().PrinterNames();
        const std::string defaultName = Catalog().DefaultPrinterName();
        if (const auto entry = modTools::DefaultPrinterIndex(names, defaultName)) {
            return PrinterTarget::Queue(names[*entry]);
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
    quiet_ = request.quiet;
    const std::optional<PrinterTarget> printer = ChoosePrinter(request);
    if (!printer) {
        return ExitSomeFailed;
    }
    bool allSent = true;
    for (const std::string& operand : request.operands) {
        if (Interrupted()) {
            break;
        }
        allSent = PrintOperand(*printer, operand) && allSent;
    }
    // Ctrl+C while waiting stops the wait; the jobs already taken stay with the spooler.
    if (request.wait && !Interrupted()) {
        allSent = AwaitSentJobs() && allSent;
    }
    if (Interrupted()) {
        return ReportInterruption();
    }
    return allSent ? ExitAllSent : ExitSomeFailed;
}

bool CliProgram::PrintOperand(const PrinterTarget& printer, const std::string& operand) {
    try {
        if (operand == "-") {
            StreamReader source(in_, StandardInputName);
            // Like lp, a job read from standard input counts no files.
            return PrintStream(printer, StandardInputName, source, 0);
        }
        if (HowToRead(operand) == Reading::Whole) {
            return Conclude(
                modRawPrint::PrintFileRaw(printers_, printer, operand, options_,
                                          BeginJob(operand, modTools::FileSize(operand))),
                printer, operand, 1);
        }
        FileReader source(operand);
        return PrintStream(printer, operand, source, 1);
    } catch (const FileError& error) {
        if (!Interrupted()) {
            Complain(error.what());
        }
    }
    EndProgress();
    return false;
}

bool CliProgram::PrintStream(const PrinterTarget& printer, const std::string& name,
                             ByteSource& source, int fileCount) {
    WatchedSource watched(source, name, interrupt_);
    return Conclude(
        modRawPrint::PrintStreamRaw(printers_, printer, watched, options_, BeginJob(name, {})),
        printer, name, fileCount);
}

// " not sent to PRINTER: ", or where the printer was to confirm the job and bytes of it had
// reached the printer, " not printed by PRINTER: ".
std::string CliProgram::FailedAt(const JobResult& result, const PrinterTarget& printer) const {
    const bool reached = options_.talk.confirm && result.bytesSent > 0;
    return (reached ? " not printed by " : " not sent to ") + printer.Name() + ": ";
}

// Says what became of one job; true when it was sent.
bool CliProgram::Conclude(const JobResult& result, const PrinterTarget& printer,
                          const std::string& name, int fileCount) {
    switch (result.outcome) {
    case JobResult::Outcome::Sent:
        ReportJob(printer, fileCount, result);
        return true;
    case JobResult::Outcome::Empty:
        Complain("nothing to send: " + name + " is empty");
        return false;
    case JobResult::Outcome::Failed:
        break;
    }
    EndProgress();
    if (result.StoppedByUser()) {
        NoteWithdrawn(name, printer);
    } else if (Interrupted()) {
        // A read that an interrupt broke before the job was opened is no failure of the
        // file's: the interruption is reported once, when the command ends.
    } else if (result.failure->kind() == FailureKind::InputUnreadable) {
        Complain(result.failure->what());
    } else {
        Complain(name + ":" + FailedAt(result, printer) + result.failure->what());
    }
    return false;
}

// A job's control: the interrupt stops it.
JobControl CliProgram::Control() const {
    JobControl control;
    if (interrupt_ != nullptr) {
        control.stop = interrupt_->Stop();
    }
    return control;
}

// The control of a job of print: the interrupt, and its progress line when one is shown.
JobControl CliProgram::BeginJob(const std::string& name, std::optional<std::uint64_t> total) {
    JobControl control = Control();
    if (progressClock_ && !quiet_) {
        progress_.emplace(err_, name, total, *progressClock_);
        control.progress = [this](std::uint64_t sent) { progress_->Update(sent); };
    }
    return control;
}

// Wipes the job's progress line, before anything else is written where it stands.
void CliProgram::EndProgress() {
    if (progress_) {
        progress_->Clear();
        progress_.reset();
    }
}

bool CliProgram::Interrupted() const {
    return interrupt_ != nullptr && interrupt_->Raised();
}

void CliProgram::NoteWithdrawn(const std::string& name, const PrinterTarget& printer) {
    withdrawn_ = "the job for " + name + " was withdrawn from " + printer.Name();
}

// Says what the interruption did and gives the exit status a shell gives a command the
// signal ended.
int CliProgram::ReportInterruption() {
    const std::string what = interrupt_->Signal() == SIGTERM ? "terminated" : "interrupted";
    Complain(what + ": " + withdrawn_.value_or("no job was in progress, so nothing was withdrawn"));
    return interrupt_->ExitStatus();
}

int CliProgram::Send(const CliArguments::Request& request) {
    const std::string& codes = request.operands.front();
    const bool fromInput = codes == "-";
    std::string bytes;
    try {
        bytes = TextToBytes(request, fromInput ? ReadInput({}) : codes);
    } catch (const FileError& error) {
        if (Interrupted()) {
            return ReportInterruption();
        }
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
    const std::optional<PrinterTarget> printer = ChoosePrinter(request);
    if (!printer) {
        return ExitSomeFailed;
    }
    if (Interrupted()) {
        return ReportInterruption();
    }
    // The codes are short: no progress line for them.
    const JobResult result =
        modRawPrint::PrintStringRaw(printers_, *printer, bytes, options_, Control());
    if (!result.Sent()) {
        if (result.StoppedByUser() || Interrupted()) {
            NoteWithdrawn("the codes", *printer);
            return ReportInterruption();
        }
        Complain("codes" + FailedAt(result, *printer) + result.failure->what());
        return ExitSomeFailed;
    }
    // Like lp, a job read from anywhere but a file counts no files.
    ReportJob(*printer, 0, result);
    const bool completed = !request.wait || Interrupted() || AwaitSentJobs();
    if (Interrupted()) {
        return ReportInterruption();
    }
    return completed ? ExitAllSent : ExitSomeFailed;
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
// job is done when the bytes are, or when the printer said so where it was asked.
void CliProgram::ReportJob(const PrinterTarget& printer, int fileCount, const JobResult& result) {
    EndProgress();
    const int jobId = result.jobId;
    if (jobId == 0) {
        out_ << "sent to " << Shown(printer.Name()) << " (" << fileCount << " file(s))"
             << (result.confirmation.empty() ? "" : ": " + result.confirmation) << std::endl;
        return;
    }
    sentJobs_.emplace_back(printer, jobId);
    out_ << "request id is " << Shown(JobLabel(printer, jobId)) << " (" << fileCount << " file(s))"
         << std::endl;
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
bool CliProgram::AwaitJob(const PrinterTarget& printer, int jobId) {
    if (!Monitor().CanFollow(printer)) {
        return true;
    }
    const std::string label = JobLabel(printer, jobId);
    try {
        JobStatus status = Monitor().Job(printer, jobId);
        while (!status.WaitIsOver() && status.state != JobState::Unknown) {
            if (Interrupted()) {
                return false;
            }
            std::this_thread::sleep_for(JobPollInterval);
            status = Monitor().Job(printer, jobId);
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
    const std::optional<PrinterTarget> printer = ChoosePrinter(request);
    if (!printer) {
        return ExitSomeFailed;
    }
    if (!printer->IsQueue() && !Monitor().CanFollow(*printer)) {
        return DirectStatus(*printer, request.json);
    }
    PrinterStatus status;
    try {
        status = Monitor().Printer(*printer);
    } catch (const JobMonitorError& error) {
        Complain(printer->Name() + ": " + error.what());
        return ExitSomeFailed;
    }
    if (request.json) {
        out_ << QueueStatusJson(*printer, status) << '\n';
        return WriteOutput({});
    }
    out_ << Shown(PrinterLine(*printer, status)) << '\n';
    for (const QueuedJob& job : status.jobs) {
        out_ << Shown(JobLabel(*printer, job.id)) << '\t' << Shown(job.name) << '\t'
             << Shown(job.user) << '\t' << modJobStatus::StateWord(job.state) << '\n';
    }
    return WriteOutput({});
}

// A printer reached by its address, asked how it stands: "ADDRESS: paper out (ZPL)", then
// what it says it is; why a source told nothing goes to the error stream. Ready or not is
// the exit status.
int CliProgram::DirectStatus(const PrinterTarget& printer, bool json) {
    const PrinterAnswer answer =
        printers_.Ask(printer, options_, interrupt_ != nullptr ? interrupt_->Stop() : nullptr);
    if (json) {
        out_ << AnswerJson(printer, answer) << '\n';
        const int written = WriteOutput({});
        return answer.told && !answer.state.Blocked() ? written : ExitSomeFailed;
    }
    for (const std::string& note : answer.notes) {
        Complain(printer.Name() + ": " + note);
    }
    if (!answer.told) {
        Complain(printer.Name() + ": the printer told nothing of its state");
        return ExitSomeFailed;
    }
    out_ << Shown(printer.Name() + ": " + StatusWords::Describe(answer.state, answer.language) +
                  " (" + Joined(answer.sources) + ")")
         << '\n';
    if (!answer.description.empty()) {
        out_ << Shown("  " + answer.description) << '\n';
    }
    const int written = WriteOutput({});
    return answer.state.Blocked() ? ExitSomeFailed : written;
}

// Looks for printers in every place at once until the time-out (or Ctrl+C) and lists them,
// one line or JSON object each; why a place was not searched goes to the error stream.
// Finding none is no failure.
int CliProgram::Discover(const CliArguments::Request& request) {
    DiscoveryOptions discovery;
    discovery.snmpNetwork = request.snmpNetwork;
    discovery.snmp = options_.talk.snmp;
    const std::chrono::milliseconds timeout =
        request.timeoutSeconds ? std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::duration<double>(*request.timeoutSeconds))
                               : std::chrono::milliseconds(DiscoverTimeout);
    std::vector<std::string> notes;
    const std::vector<DiscoveredPrinter> found = printers_.Finder(discovery)->Find(
        timeout, interrupt_ != nullptr ? interrupt_->Stop() : nullptr, {}, notes);
    if (request.json) {
        out_ << '[';
        for (std::size_t i = 0; i < found.size(); ++i) {
            out_ << (i == 0 ? "\n" : ",\n") << DiscoveredJson(found[i]);
        }
        out_ << (found.empty() ? "]\n" : "\n]\n");
    } else {
        for (const DiscoveredPrinter& printer : found) {
            out_ << DiscoveredLine(printer) << '\n';
        }
    }
    const int written = WriteOutput({});
    for (const std::string& note : notes) {
        Complain(note);
    }
    if (found.empty()) {
        Complain("no printer found");
    }
    if (Interrupted()) {
        Complain(std::string(interrupt_->Signal() == SIGTERM ? "terminated" : "interrupted") +
                 ": the search was cut short");
        return interrupt_->ExitStatus();
    }
    return written;
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
    EndProgress();
    err_ << ProgramName << ": " << Shown(message) << std::endl;
}
