#pragma once

#include "printing/discovery/discovered_printer.h"

#include <QObject>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class PrinterFinder;

// One search for printers through a finder, on a thread of its own, until the time-out: the
// window's thread never waits on a source, nor on the making of the finder. The printers found so
// far reach the thread that made the search, through its event loop, each time they change, and the
// end with the notes of the sources that could not be searched. A finder that reports faster than
// the window shows is heard only for its latest rows.
class PrinterSearch final : public QObject {
    Q_OBJECT
public:
    using MakeFinder = std::function<std::unique_ptr<PrinterFinder>()>;

    // The finder is made on the search's thread, and goes there.
    PrinterSearch(MakeFinder makeFinder, std::chrono::milliseconds timeout,
                  QObject* parent = nullptr);
    // Stops the search and waits for its thread, which the sources end soon after the stop.
    ~PrinterSearch() override;

    PrinterSearch(const PrinterSearch&) = delete;
    PrinterSearch& operator=(const PrinterSearch&) = delete;

    void Start();
    // Ends the search early; it still ends with Finished.
    void Stop();

signals:
    void Changed(const std::vector<DiscoveredPrinter>& printers);
    void Finished(const std::vector<DiscoveredPrinter>& printers,
                  const std::vector<std::string>& notes);

private:
    void Run();
    // On the searching thread: keeps the rows and posts them unless a post is on its way.
    void Keep(const std::vector<DiscoveredPrinter>& printers);
    void DeliverKept();
    std::vector<std::string> Search(std::vector<DiscoveredPrinter>& printers);
    // Runs the call on the thread that made the search, when its event loop comes to it;
    // never after the search is gone.
    template <typename Call> void Post(Call call) {
        QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
    }

    const MakeFinder makeFinder_;
    const std::chrono::milliseconds timeout_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<DiscoveredPrinter> kept_;
    bool posted_ = false;
    std::thread thread_;
};
