#pragma once

#include "core/inspect/command_index.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <cstdint>
#include <shared_mutex>
#include <string>
#include <thread>

// The viewer's one pass over a file, on a thread of its own: the file read piece by piece
// into a CommandIndex, so that the window can show rows while the pass goes on and the
// summary once it is over. The window's thread asks the index through the calls below,
// which wait at most for one piece of the pass (a shared lock); what the pass has to say
// reaches the thread that made it through its event loop, at most every ReportInterval.
class InspectPass final : public QObject {
    Q_OBJECT
public:
    static constexpr int ReportIntervalMs = 100;

    explicit InspectPass(std::string path, QObject* parent = nullptr);
    // Stops the pass and waits for its thread, which ends before its next piece.
    ~InspectPass() override;

    InspectPass(const InspectPass&) = delete;
    InspectPass& operator=(const InspectPass&) = delete;

    void Start();
    void Stop();

    const std::string& Path() const { return path_; }
    std::uint64_t Rows() const;
    // Where a walk to rows [first, first + count) begins, as the pass stands now.
    CommandIndex::Start From(std::uint64_t first, std::uint64_t count) const;
    // The summary as the command line writes it, once the pass is over; while it goes, how
    // far it has come.
    QString Summary() const;

signals:
    // More rows and bytes are known.
    void Progress(std::uint64_t rows, std::uint64_t bytes);
    // The pass is over; `error` says why it ended before the file's end, or is empty.
    void Finished(std::uint64_t rows, const QString& error);

private:
    void Run();
    QString Read();
    void Report(bool always);
    template <typename Call> void Post(Call call) {
        QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
    }

    const std::string path_;
    std::uint64_t size_ = 0;
    mutable std::shared_mutex mutex_;
    CommandIndex index_;
    std::atomic<bool> stop_{false};
    // When Progress was last posted; only the pass's thread uses it.
    std::int64_t lastReportMs_ = 0;
    std::thread thread_;
};
