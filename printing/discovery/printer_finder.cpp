#include "printing/discovery/printer_finder.h"

#include "printing/discovery/printer_rows.h"

#include <condition_variable>
#include <exception>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// How long the sources still running at the time-out (or the stop) are given to end: they
// watch the deadline themselves, so this only covers a last exchange that is under way.
constexpr std::chrono::milliseconds kGrace{400};
// How often a caller's stop flag is looked at while the sources search.
constexpr std::chrono::milliseconds kStopLook{50};

} // namespace

// What the searching threads share with the search. A source that does not end in time
// is left to end on its own: it keeps this alive, and once the search has closed, nothing
// it finds is taken or reported any more.
struct PrinterFinder::Search {
    std::mutex mutex;
    std::condition_variable ended;
    // Set at the time-out or the caller's stop: the flag every source watches, which lives
    // as long as the last of them.
    std::atomic<bool> stop{false};
    bool closed = false;
    PrinterRows rows;
    Changed changed;
    std::vector<std::string> refusals;
    std::vector<bool> done;

    void Take(const DiscoveredPrinter& printer) {
        const std::lock_guard lock(mutex);
        if (closed || !rows.Add(printer) || !changed) {
            return;
        }
        changed(rows.Rows());
    }

    void End(std::size_t source, std::string refusal) {
        const std::lock_guard lock(mutex);
        refusals[source] = std::move(refusal);
        done[source] = true;
        ended.notify_all();
    }

    bool AllDone() const {
        for (const bool ended : done) {
            if (!ended) {
                return false;
            }
        }
        return true;
    }
};

PrinterFinder::PrinterFinder(std::vector<std::unique_ptr<PrinterSource>> sources) {
    for (std::unique_ptr<PrinterSource>& source : sources) {
        sources_.push_back(std::move(source));
    }
}

namespace {

std::string Run(PrinterSource& source, Clock::time_point deadline, const std::atomic<bool>* stop,
                const PrinterSource::Found& found) {
    try {
        return source.Search(deadline, stop, found);
    } catch (const std::exception& failure) {
        return failure.what();
    } catch (...) {
        return "it failed";
    }
}

} // namespace

std::vector<DiscoveredPrinter> PrinterFinder::Find(std::chrono::milliseconds timeout,
                                                   const std::atomic<bool>* stop,
                                                   const Changed& changed,
                                                   std::vector<std::string>& notes) {
    const auto search = std::make_shared<Search>();
    search->changed = changed;
    search->refusals.resize(sources_.size());
    search->done.resize(sources_.size(), false);
    const Clock::time_point deadline = Clock::now() + timeout;
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < sources_.size(); ++i) {
        threads.emplace_back([search, source = sources_[i], i, deadline] {
            search->End(
                i, Run(*source, deadline, &search->stop,
                       [&search](const DiscoveredPrinter& printer) { search->Take(printer); }));
        });
    }

    std::unique_lock lock(search->mutex);
    while (!search->AllDone() && Clock::now() < deadline && !(stop != nullptr && stop->load())) {
        search->ended.wait_until(lock, std::min(deadline, Clock::now() + kStopLook));
    }
    search->stop = true;
    search->ended.wait_until(lock, Clock::now() + kGrace, [&] { return search->AllDone(); });
    search->closed = true;

    for (std::size_t i = 0; i < sources_.size(); ++i) {
        const std::string name = sources_[i]->Name();
        if (!search->done[i]) {
            notes.push_back(name + " was not searched to its end: it went on past the time-out");
            continue;
        }
        if (!search->refusals[i].empty()) {
            notes.push_back(name + " was not searched: " + search->refusals[i]);
        }
        // A source that ended is past its last step: what it says may be read.
        for (const std::string& note : sources_[i]->Notes()) {
            notes.push_back(name + ": " + note);
        }
    }
    if (search->rows.LeftOut() > 0) {
        notes.push_back(std::to_string(search->rows.LeftOut()) +
                        " more printers were found than are listed (at most " +
                        std::to_string(PrinterRows::kRowLimit) + ")");
    }
    std::vector<DiscoveredPrinter> rows = search->rows.Rows();
    const std::vector<bool> done = search->done;
    lock.unlock();

    // A source that ended is joined (it is past its last step); one that did not is left
    // to end on its own.
    for (std::size_t i = 0; i < threads.size(); ++i) {
        if (done[i]) {
            threads[i].join();
        } else {
            threads[i].detach();
        }
    }
    return rows;
}
