#include "ui/inspect/command_search.h"

#include "core/file_error.h"
#include "core/file_reader.h"
#include "core/inspect/command_match.h"
#include "core/whole_file.h"

CommandSearch::CommandSearch(std::string path, CommandIndex::Start start, std::uint64_t first,
                             QString text, QObject* parent)
    : QObject(parent), path_(std::move(path)), start_(std::move(start)), first_(first),
      text_(std::move(text)) {}

CommandSearch::~CommandSearch() {
    Stop();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void CommandSearch::Start() {
    if (!thread_.joinable()) {
        thread_ = std::thread(&CommandSearch::Run, this);
    }
}

void CommandSearch::Stop() {
    stop_.store(true);
}

void CommandSearch::Run() {
    QString error;
    const qint64 row = Search(error);
    QMetaObject::invokeMethod(
        this, [this, row, error] { emit Finished(row, error); }, Qt::QueuedConnection);
}

// Nothing may leave the thread: a file that can't be read ends the search with its reason.
qint64 CommandSearch::Search(QString& error) {
    qint64 found = -1;
    try {
        modTools::RequireRegularFile(path_);
        FileReader file(path_);
        const CommandMatch matches(text_.toStdString());
        const CommandIndex::Outcome outcome = CommandIndex::Walk(
            start_, first_, file,
            [&matches, &found](std::uint64_t row, const DecodedCommand& command) {
                if (!matches(command)) {
                    return true;
                }
                found = static_cast<qint64>(row);
                return false;
            },
            &stop_);
        if (outcome == CommandIndex::Outcome::Stopped) {
            error = QStringLiteral("stopped");
        } else if (outcome == CommandIndex::Outcome::Changed && found < 0) {
            error = QStringLiteral("the file changed since it was read");
        }
    } catch (const FileError& failure) {
        error = QString::fromStdString(failure.what());
    }
    return found;
}
