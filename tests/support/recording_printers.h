#pragma once

#include "printing/discovery/discovery_options.h"
#include "printing/discovery/printer_finder.h"
#include "printing/job/job_monitor.h"
#include "printing/job/printer_access.h"
#include "printing/job/printer_backend.h"
#include "printing/printer_catalog.h"
#include "printing/talkback/printer_answer.h"

#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

// Printers that record each step of every job with its argument and fail the steps they
// are told to fail. A failed step is still recorded, like a real call that was refused.
// The catalog and monitor handed out forward to the ones the test sets.
class RecordingPrinters final : public PrinterAccess {
public:
    // One step as it reached a backend: "Open(printer)" (with ", N bytes" when the length
    // was asked for), "Write(<n> bytes)", "Finish",
    // "Abort".
    struct Call {
        std::string operation;
        std::string argument;
        bool operator==(const Call&) const = default;
    };

    // Called before each write, on the thread that writes: a test may hold the job there.
    std::function<void()> beforeWrite;
    PrinterCatalog* catalog = nullptr;
    // The backends want the job's length before they are opened, as an LPD server does.
    bool needLength = false;
    JobMonitor* monitor = nullptr;
    // What Ask answers, for every printer; `answering`, when set, answers in its place, on
    // the asking thread (a test may answer each printer its own way, or hold the question).
    PrinterAnswer answer;
    std::function<PrinterAnswer(const PrinterTarget&)> answering;
    // What a search through Finder finds: its one source, "test", hands these over, or says
    // `discoveryRefusal` where that is set. The options of the last Finder made.
    std::vector<DiscoveredPrinter> discovered;
    std::string discoveryRefusal;
    std::optional<DiscoveryOptions> discoveryOptions;

    void FailOn(const std::string& operation) { failing_.insert({operation, 0}); }
    // Fails the step only in the given job, counted from 1 by the backends made.
    void FailOn(const std::string& operation, int job) { failing_.insert({operation, job}); }

    // Forgets every job and step, as a new one would be.
    void Clear();

    const std::vector<Call>& Calls() const { return calls_; }
    std::vector<std::string> Operations() const;
    // The data of every Write, in order.
    const std::vector<std::string>& Written() const { return written_; }
    // Each job's title and options, in the order the jobs were made.
    const std::vector<JobOptions>& Options() const { return options_; }

    std::unique_ptr<PrinterBackend> Backend(const PrinterTarget& target,
                                            const JobOptions& options) override;
    PrinterAnswer Ask(const PrinterTarget& target, const JobOptions& options,
                      const std::atomic<bool>* stop) override;
    std::unique_ptr<JobMonitor> Monitor(const Timeouts& timeouts) override;
    std::unique_ptr<PrinterCatalog> Catalog(const Timeouts& timeouts) override;
    std::unique_ptr<PrinterFinder> Finder(const DiscoveryOptions& options) override;

    // Records the step and throws a refusal when it is to fail.
    void Record(const std::string& operation, const std::string& argument, int job);
    void RecordWrite(std::string_view data, int job);
    int NextJobId() { return ++jobIds_; }

private:
    std::set<std::pair<std::string, int>> failing_;
    int jobs_ = 0;
    int jobIds_ = 0;
    std::vector<Call> calls_;
    std::vector<std::string> written_;
    // Ask may be called on another thread than the jobs' backends are made on.
    std::mutex optionsMutex_;
    std::vector<JobOptions> options_;
};
