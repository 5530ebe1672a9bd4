#include "ui/main/print_run.h"

#include "core/file_error.h"
#include "core/whole_file.h"
#include "printing/job_control.h"
#include "printing/printer_list.h"
#include "printing/raw_print.h"
#include "printing/spooler.h"

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

QString RefusalLine(const std::string& path, const std::string& reason) {
    return QStringLiteral("Could not print \"%1\": %2")
        .arg(QString::fromStdString(path), reason.empty()
                                               ? QStringLiteral("the spooler gave no reason.")
                                               : QString::fromStdString(reason));
}

} // namespace

PrintRun::PrintRun(Spooler& spooler, std::string printer, std::vector<std::string> paths,
                   QObject* parent)
    : QObject(parent), spooler_(spooler), printer_(std::move(printer)), paths_(std::move(paths)) {}

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
        if (modRawPrint::PrintFileRaw(spooler_, printer_, path, modRawPrint::DocumentName,
                                      control)) {
            if (const int jobId = spooler_.JobId(); jobId != 0) {
                Post([this, jobId] { emit JobTaken(printer_, jobId); });
            }
            return {};
        }
        // A job the user stopped was withdrawn as asked.
        return StopRequested() ? QString() : RefusalLine(path, spooler_.LastError());
    } catch (const FileError& error) {
        // The job of a file that could not be read was withdrawn.
        return QString::fromStdString(error.what());
    } catch (const std::exception& error) {
        return RefusalLine(path, error.what());
    }
}

void PrintRun::ReportProgress(const PrintProgress& progress, bool always) {
    const std::int64_t now = NowMs();
    if (!always && now - lastProgressMs_ < ProgressIntervalMs) {
        return;
    }
    lastProgressMs_ = now;
    Post([this, progress] { emit Progress(progress); });
}
