#include "printing/discovery/printer_finder.h"

#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A source that hands over its printers, then waits for the deadline or the stop as a
// network source does, and says what it is told to.
class ListingSource final : public PrinterSource {
public:
    ListingSource(std::string name, std::vector<DiscoveredPrinter> printers, std::string refusal)
        : name_(std::move(name)), printers_(std::move(printers)), refusal_(std::move(refusal)) {}
    std::string Name() const override { return name_; }
    std::string Search(Clock::time_point deadline, const std::atomic<bool>* stop,
                       const Found& found) override {
        if (refusal_ == "throw") {
            throw std::runtime_error("the daemon went away");
        }
        for (DiscoveredPrinter printer : printers_) {
            printer.foundBy = {name_};
            found(printer);
        }
        while (Clock::now() < deadline && !stop->load()) {
            std::this_thread::sleep_for(5ms);
        }
        return refusal_;
    }
    std::vector<std::string> Notes() const override { return {"it says " + name_}; }

private:
    std::string name_;
    std::vector<DiscoveredPrinter> printers_;
    std::string refusal_;
};

// A source that watches neither the deadline nor the stop: it ends when the test lets it,
// or after a minute, and then still hands over a printer.
class HangingSource final : public PrinterSource {
public:
    std::string Name() const override { return "hang"; }
    std::string Search(Clock::time_point, const std::atomic<bool>*, const Found& found) override {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, 60s, [this] { return released_; });
        found(Printer("socket://late.example"));
        ended_ = true;
        changed_.notify_all();
        return {};
    }
    void Release() {
        std::unique_lock lock(mutex_);
        released_ = true;
        changed_.notify_all();
        changed_.wait_for(lock, 60s, [this] { return ended_; });
    }
    static DiscoveredPrinter Printer(std::string address) {
        DiscoveredPrinter printer;
        printer.address = std::move(address);
        printer.foundBy = {"test"};
        return printer;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool released_ = false;
    bool ended_ = false;
};

struct Search {
    std::vector<DiscoveredPrinter> rows;
    std::vector<std::string> notes;
    std::vector<std::size_t> changes; // the number of rows at each call of Changed
    Clock::duration took;
};

Search RunSearch(PrinterFinder& finder, std::chrono::milliseconds timeout,
                 const std::atomic<bool>* stop = nullptr) {
    Search search;
    auto changes = std::make_shared<std::vector<std::size_t>>();
    const Clock::time_point start = Clock::now();
    search.rows = finder.Find(
        timeout, stop,
        [changes](const std::vector<DiscoveredPrinter>& rows) { changes->push_back(rows.size()); },
        search.notes);
    search.took = Clock::now() - start;
    search.changes = *changes;
    return search;
}

// Every source is searched at once and its printers merged; a source that could not search
// or failed is named with why; one that goes on past the time-out is not waited for, and
// what it finds later is dropped.
TEST(PrinterFinderTest, MergesSourcesNamesFailuresAndWaitsForNoneBeyondItsTime) {
    DiscoveredPrinter queue = HangingSource::Printer("Labels");
    queue.otherAddresses = {"socket://10.0.0.9"};
    const auto hanging = std::make_shared<HangingSource>();
    std::vector<std::unique_ptr<PrinterSource>> sources;
    sources.push_back(std::make_unique<ListingSource>(
        "first", std::vector{HangingSource::Printer("socket://10.0.0.9:9100")}, ""));
    sources.push_back(std::make_unique<ListingSource>("second", std::vector{queue}, "no daemon"));
    sources.push_back(
        std::make_unique<ListingSource>("third", std::vector<DiscoveredPrinter>{}, "throw"));
    struct Forward final : PrinterSource {
        std::shared_ptr<HangingSource> inner;
        std::string Name() const override { return inner->Name(); }
        std::string Search(Clock::time_point deadline, const std::atomic<bool>* stop,
                           const Found& found) override {
            return inner->Search(deadline, stop, found);
        }
    };
    auto forward = std::make_unique<Forward>();
    forward->inner = hanging;
    sources.push_back(std::move(forward));
    PrinterFinder finder(std::move(sources));

    const Search search = RunSearch(finder, 300ms);
    ASSERT_EQ(search.rows.size(), 1u);
    EXPECT_EQ(search.rows[0].address, "socket://10.0.0.9:9100");
    EXPECT_EQ(search.rows[0].otherAddresses, std::vector<std::string>{"Labels"});
    EXPECT_EQ(search.changes.size(), 2u);
    EXPECT_EQ(
        search.notes,
        (std::vector<std::string>{
            "first: it says first", "second was not searched: no daemon", "second: it says second",
            "third was not searched: the daemon went away", "third: it says third",
            "hang was not searched to its end: it went on past the time-out"}));
    EXPECT_LT(search.took, 30s) << "only a wait for the hanging source takes this long";
    hanging->Release(); // its late printer reaches no one
    EXPECT_EQ(search.changes.size(), 2u);
}

TEST(PrinterFinderTest, TheStopEndsTheSearchBeforeItsTime) {
    std::vector<std::unique_ptr<PrinterSource>> sources;
    sources.push_back(std::make_unique<ListingSource>(
        "first", std::vector{HangingSource::Printer("socket://10.0.0.9")}, ""));
    PrinterFinder finder(std::move(sources));
    std::atomic<bool> stop{true};
    const Search search = RunSearch(finder, std::chrono::minutes(10), &stop);
    EXPECT_EQ(search.rows.size(), 1u);
    EXPECT_EQ(search.notes, std::vector<std::string>{"first: it says first"});
    EXPECT_LT(search.took, std::chrono::minutes(1))
        << "only a search to the time-out takes this long";
}

} // namespace
