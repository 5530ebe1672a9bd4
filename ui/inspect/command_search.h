#pragma once

#include "core/inspect/command_index.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

// One Find in the viewer, on a thread of its own: the file's commands decoded again from a
// row on, until one whose name, tokens, meaning or problem holds the text (CommandMatch). The
// window stays live and may stop it; the end reaches the thread that made the search through
// its event loop.
class CommandSearch final : public QObject {
    Q_OBJECT
public:
    CommandSearch(std::string path, CommandIndex::Start start, std::uint64_t first, QString text,
                  QObject* parent = nullptr);
    // Stops the search and waits for its thread, which ends before its next piece.
    ~CommandSearch() override;

    CommandSearch(const CommandSearch&) = delete;
    CommandSearch& operator=(const CommandSearch&) = delete;

    void Start();
    void Stop();

signals:
    // The row found, or -1 with `error` saying why nothing was: empty when no row holds the
    // text, "stopped", or the file's reason.
    void Finished(qint64 row, const QString& error);

private:
    void Run();
    qint64 Search(QString& error);

    const std::string path_;
    const CommandIndex::Start start_;
    const std::uint64_t first_;
    const QString text_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
