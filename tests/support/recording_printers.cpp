#include "tests/support/recording_printers.h"

#include "printing/job/job_failure.h"
#include "printing/job/printer_target.h"

namespace {

class RecordingBackend final : public PrinterBackend {
public:
    RecordingBackend(RecordingPrinters& log, std::string printer, int job)
        : log_(log), printer_(std::move(printer)), job_(job) {}

    bool NeedsLength() const override { return log_.needLength; }
    void Open(std::optional<std::uint64_t> length) override {
        log_.Record("Open", printer_ + (length ? ", " + std::to_string(*length) + " bytes" : ""),
                    job_);
        jobId_ = log_.NextJobId();
    }
    void Write(std::string_view data) override { log_.RecordWrite(data, job_); }
    void Finish() override { log_.Record("Finish", {}, job_); }
    void Abort() override {
        if (!aborted_) {
            aborted_ = true;
            log_.Record("Abort", {}, -1);
        }
    }
    int JobId() const override { return jobId_; }

private:
    RecordingPrinters& log_;
    std::string printer_;
    int job_;
    int jobId_ = 0;
    bool aborted_ = false;
};

class ForwardingMonitor final : public JobMonitor {
public:
    explicit ForwardingMonitor(JobMonitor* monitor) : monitor_(monitor) {}
    bool CanFollow(const PrinterTarget& printer) const override {
        return monitor_ != nullptr && monitor_->CanFollow(printer);
    }
    JobStatus Job(const PrinterTarget& printer, int jobId) override {
        return monitor_->Job(printer, jobId);
    }
    PrinterStatus Printer(const PrinterTarget& printer) override {
        return monitor_->Printer(printer);
    }

private:
    JobMonitor* monitor_;
};

class ForwardingCatalog final : public PrinterCatalog {
public:
    explicit ForwardingCatalog(PrinterCatalog& catalog) : catalog_(catalog) {}
    std::vector<std::string> PrinterNames() override { return catalog_.PrinterNames(); }
    std::string DefaultPrinterName() override { return catalog_.DefaultPrinterName(); }
    bool OpenPrinterSettings(const std::string& printerName) override {
        return catalog_.OpenPrinterSettings(printerName);
    }

private:
    PrinterCatalog& catalog_;
};

} // namespace

std::vector<std::string> RecordingPrinters::Operations() const {
    std::vector<std::string> operations;
    for (const Call& call : calls_) {
        operations.push_back(call.operation);
    }
    return operations;
}

void RecordingPrinters::Record(const std::string& operation, const std::string& argument, int job) {
    calls_.push_back({operation, argument});
    if (failing_.count({operation, 0}) != 0 || failing_.count({operation, job}) != 0) {
        throw JobFailure(FailureKind::Refused, operation + " refused");
    }
}

void RecordingPrinters::RecordWrite(std::string_view data, int job) {
    if (beforeWrite) {
        beforeWrite();
    }
    written_.emplace_back(data);
    Record("Write", std::to_string(data.size()) + " bytes", job);
}

std::unique_ptr<PrinterBackend> RecordingPrinters::Backend(const PrinterTarget& target,
                                                           const JobOptions& options) {
    {
        const std::lock_guard lock(optionsMutex_);
        options_.push_back(options);
    }
    return std::make_unique<RecordingBackend>(*this, target.Name(), ++jobs_);
}

PrinterAnswer RecordingPrinters::Ask(const PrinterTarget& target, const JobOptions& options,
                                     const std::atomic<bool>*) {
    {
        const std::lock_guard lock(optionsMutex_);
        options_.push_back(options);
    }
    return answering ? answering(target) : answer;
}

void RecordingPrinters::Clear() {
    failing_.clear();
    jobs_ = 0;
    jobIds_ = 0;
    calls_.clear();
    written_.clear();
    options_.clear();
    beforeWrite = nullptr;
    needLength = false;
}

std::unique_ptr<JobMonitor> RecordingPrinters::Monitor(const Timeouts&) {
    return std::make_unique<ForwardingMonitor>(monitor);
}

std::unique_ptr<PrinterCatalog> RecordingPrinters::Catalog(const Timeouts&) {
    return std::make_unique<ForwardingCatalog>(*catalog);
}

namespace {

class ListedSource final : public PrinterSource {
public:
    ListedSource(std::vector<DiscoveredPrinter> printers, std::string refusal)
        : printers_(std::move(printers)), refusal_(std::move(refusal)) {}
    std::string Name() const override { return "test"; }
    std::string Search(std::chrono::steady_clock::time_point, const std::atomic<bool>*,
                       const Found& found) override {
        for (const DiscoveredPrinter& printer : printers_) {
            found(printer);
        }
        return refusal_;
    }

private:
    std::vector<DiscoveredPrinter> printers_;
    std::string refusal_;
};

} // namespace

std::unique_ptr<PrinterFinder> RecordingPrinters::Finder(const DiscoveryOptions& options) {
    discoveryOptions = options;
    std::vector<std::unique_ptr<PrinterSource>> sources;
    sources.push_back(std::make_unique<ListedSource>(discovered, discoveryRefusal));
    return std::make_unique<PrinterFinder>(std::move(sources));
}
