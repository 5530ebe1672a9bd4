#include "ui/dialogs/printer_search.h"

#include "printing/discovery/printer_finder.h"

#include <exception>

PrinterSearch::PrinterSearch(MakeFinder makeFinder, std::chrono::milliseconds timeout,
                             QObject* parent)
    : QObject(parent), makeFinder_(std::move(makeFinder)), timeout_(timeout) {}

PrinterSearch::~PrinterSearch() {
    Stop();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void PrinterSearch::Start() {
    if (!thread_.joinable()) {
        thread_ = std::thread(&PrinterSearch::Run, this);
    }
}

void PrinterSearch::Stop() {
    stop_.store(true);
}

void PrinterSearch::Run() {
    std::vector<DiscoveredPrinter> printers;
    std::vector<std::string> notes = Search(printers);
    Post([this, printers = std::move(printers), notes = std::move(notes)] {
        emit Finished(printers, notes);
    });
}

// Nothing may leave the thread: a finder that throws ends the search with its words as a
// note, and what it found before stays.
std::vector<std::string> PrinterSearch::Search(std::vector<DiscoveredPrinter>& printers) {
    std::vector<std::string> notes;
    try {
        const std::unique_ptr<PrinterFinder> finder = makeFinder_();
        printers = finder->Find(
            timeout_, &stop_, [this](const std::vector<DiscoveredPrinter>& rows) { Keep(rows); },
            notes);
    } catch (const std::exception& error) {
        const std::lock_guard lock(mutex_);
        printers = kept_;
        notes.emplace_back(error.what());
    }
    return notes;
}

void PrinterSearch::Keep(const std::vector<DiscoveredPrinter>& printers) {
    const std::lock_guard lock(mutex_);
    kept_ = printers;
    if (!posted_) {
        posted_ = true;
        Post([this] { DeliverKept(); });
    }
}

void PrinterSearch::DeliverKept() {
    std::vector<DiscoveredPrinter> printers;
    {
        const std::lock_guard lock(mutex_);
        printers = kept_;
        posted_ = false;
    }
    emit Changed(printers);
}
