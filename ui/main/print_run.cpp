#include "ui/main/print_run.h"

#include "core/safe_text.h"
#include "core/whole_file.h"
#include "printing/job/job_control.h"
#include "printing/job/raw_print.h"

#include <chrono>

namespace {

// Often enough for the status bar to move smoothly, rare enough that the window's event
// loop is not flooded by a fast spooler (a 64 KiB piece may take a fraction of a
// millisecond).
constexpr std::int64_t ProgressIntervalMs = 100;

std::int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// What a run reports comes from outside (a printer's or spooler's words, a file's name):
// it reaches the window through the same rule as the command line's.
QString Shown(const std::string& text) {
    return QString::fromStdString(SafeText(text, WholeText));
}

QString RefusalLine(const std::string& path, const std::string& reason) {
    return QStringLiteral("Could not print \"%1\": %2").arg(Shown(path), Shown(reason));
}

} // namespace

PrintRun::PrintRun(PrinterAccess& printers, PrinterTarget printer, std::vector<std::string> paths,
                   QObject* parent)
    : QObject(parent), printers_(printers), printer_(std::move(printer)), paths_(std::move(paths)) {
}

PrintRun::PrintRun(PrinterAccess& printers, PrinterTarget printer, Codes codes, QObject* parent)
    : QObject(parent), printers_(printers), printer_(std::move(printer)), codes_(std::move(codes)) {
}

PrintRun::~PrintRun() {
    Stop();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void PrintRun::Start() {
    if (!thread_.joinable()) {
        thread_ = std::thread(&PrintRun::Run, this);
    }
}

void PrintRun::Stop() {
    stop_.store(true);
}

std::vector<std::string> PrintRun::FilesToSend() const {
    std::vector<std::string> files;
    for (const std::string& path : paths_) {
        // Entries that no longer name a plain file (gone, a folder, a device) are skipped.
        if (modTools::IsRegularFile(path)) {
            files.push_back(path);
        }
    }
    return files;
}

// Whatever happens to one file, the run goes on with the next and tells at the end which
// ones did not go; nothing thrown may leave the thread.
void PrintRun::Run() {
    QStringList failures;
    if (codes_) {
        if (const QString failure = SendCodes(codes_->bytes); !failure.isEmpty()) {
            failures << failure;
        }
        Post([this, failures] { emit Finished(failures); });
        return;
    }
    const std::vector<std::string> files = FilesToSend();
    const int count = static_cast<int>(files.size());
    for (int i = 0; i < count && !StopRequested(); ++i) {
        // A file may have gone since the run started; it is skipped like one gone before.
        if (!modTools::IsRegularFile(files[i])) {
            continue;
        }
        const QString failure = SendFile(files[i], i + 1, count);
        if (!failure.isEmpty()) {
            failures << failure;
        }
    }
    Post([this, failures] { emit Finished(failures); });
}

QString PrintRun::SendFile(const std::string& path, int file, int files) {
    PrintProgress progress{file, files, 0, modTools::FileSize(path).value_or(0)};
    ReportProgress(progress, true);
    JobControl control;
    control.stop = &stop_;
    control.progress = [this, &progress](std::uint64_t sent) {
        progress.bytesSent = sent;
        ReportProgress(progress, false);
    };
    try {
        const JobResult result =
            modRawPrint::PrintFileRaw(printers_, printer_, path, JobOptions(), control);
        const std::optional<std::string> failure = Outcome(result, Shown(path));
        if (!failure) {
            return {};
        }
        // A file that could not be read says so in its own words.
        return result.failure->kind() == FailureKind::InputUnreadable ? Shown(*failure)
                                                                      : RefusalLine(path, *failure);
    } catch (const std::exception& error) {
        return RefusalLine(path, error.what());
    }
}

// The codes are short: no progress for them, but a printer that never answers holds only
// this thread, and Stop withdraws the job.
QString PrintRun::SendCodes(const std::string& bytes) {
    JobControl control;
    control.stop = &stop_;
    try {
        const JobResult result =
            modRawPrint::PrintStringRaw(printers_, printer_, bytes, JobOptions(), control);
        return Shown(Outcome(result, QString()).value_or(std::string()));
    } catch (const std::exception& error) {
        return Shown(error.what());
    }
}

std::optional<std::string> PrintRun::Outcome(const JobResult& result, const QString& name) {
    if (result.Sent()) {
        if (const int jobId = result.jobId; jobId != 0) {
            Post([this, jobId] { emit JobTaken(printer_, jobId); });
        }
        return std::nullopt;
    }
    if (result.StoppedByUser()) {
        Post([this, name] { emit JobWithdrawn(name); });
        return std::nullopt;
    }
    const std::string reason = result.failure->what();
    return reason.empty() ? std::string("the spooler gave no reason.") : reason;
}

void PrintRun::ReportProgress(const PrintProgress& progress, bool always) {
    const std::int64_t now = NowMs();
    if (!always && now - lastProgressMs_ < ProgressIntervalMs) {
        return;
    }
    lastProgressMs_ = now;
    Post([this, progress] { emit Progress(progress); });
}
