#include "ui/inspect/inspect_pass.h"

#include "core/byte_count.h"
#include "core/file_error.h"
#include "core/file_reader.h"
#include "core/inspect/inspection_summary.h"
#include "core/safe_text.h"
#include "core/whole_file.h"

#include <QDateTime>
#include <mutex>
#include <vector>

namespace {

constexpr std::size_t PieceSize = 64 * 1024;
QString Shown(std::string_view text) {
    return QString::fromStdString(SafeText(text, 4096));
}

} // namespace

InspectPass::InspectPass(std::string path, QObject* parent)
    : QObject(parent), path_(std::move(path)) {}

InspectPass::~InspectPass() {
    Stop();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void InspectPass::Start() {
    if (!thread_.joinable()) {
        size_ = modTools::FileSize(path_).value_or(0);
        thread_ = std::thread(&InspectPass::Run, this);
    }
}

void InspectPass::Stop() {
    stop_.store(true);
}

std::uint64_t InspectPass::Rows() const {
    const std::shared_lock lock(mutex_);
    return index_.Rows();
}

CommandIndex::Start InspectPass::From(std::uint64_t first, std::uint64_t count) const {
    const std::shared_lock lock(mutex_);
    return index_.From(first, count);
}

void InspectPass::Run() {
    const QString error = Read();
    Report(true);
    const std::uint64_t rows = Rows();
    Post([this, rows, error] { emit Finished(rows, error); });
}

// Nothing may leave the thread: a file that can't be read ends the pass with its reason.
QString InspectPass::Read() {
    try {
        // A FIFO or a device would block or never end: only a file is viewed.
        modTools::RequireRegularFile(path_);
        FileReader file(path_);
        std::vector<char> buffer(PieceSize);
        while (!stop_.load()) {
            const std::size_t count = file.Read(buffer.data(), buffer.size());
            if (count == 0) {
                const std::unique_lock lock(mutex_);
                index_.End();
                return {};
            }
            {
                const std::unique_lock lock(mutex_);
                index_.Feed(std::string_view(buffer.data(), count));
            }
            Report(false);
        }
        return QStringLiteral("stopped");
    } catch (const FileError& error) {
        return Shown(error.what());
    }
}

void InspectPass::Report(bool always) {
    const std::int64_t now = QDateTime::currentMSecsSinceEpoch();
    if (!always && now - lastReportMs_ < ReportIntervalMs) {
        return;
    }
    lastReportMs_ = now;
    std::uint64_t rows = 0;
    std::uint64_t bytes = 0;
    {
        const std::shared_lock lock(mutex_);
        rows = index_.Rows();
        bytes = index_.Size();
    }
    Post([this, rows, bytes] { emit Progress(rows, bytes); });
}

QString InspectPass::Summary() const {
    const std::shared_lock lock(mutex_);
    const Inspection& pass = index_.Pass();
    if (!index_.Ended()) {
        return QStringLiteral("%1: reading, %2 of %3, %4 commands so far")
            .arg(Shown(path_),
                 QString::fromStdString(modTools::ByteCountText(pass.Size(), "bytes")),
                 QString::fromStdString(modTools::ByteCountText(size_, "bytes")))
            .arg(index_.Rows());
    }
    // A label's tab stops are narrower than a long byte range: a part's range and language
    // are kept apart by spaces instead.
    return QString::fromStdString(InspectionSummary::Text(path_, pass))
        .replace(QLatin1Char('\t'), QStringLiteral("   "));
}
