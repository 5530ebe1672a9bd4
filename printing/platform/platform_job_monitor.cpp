#include "printing/platform/platform_job_monitor.h"

#include "printing/direct/printer_address.h"

#ifdef _WIN32
#include "printing/win/win_job_monitor.h"
#else
#include "printing/cups/cups_job_monitor.h"
#include "printing/cups/ipp_job_monitor.h"
#endif

namespace {

// The monitor of the system's queues.
std::unique_ptr<JobMonitor> QueueJobMonitor(const DirectOptions& options) {
#ifdef _WIN32
    (void)options;
    return std::make_unique<WinJobMonitor>();
#else
    return std::make_unique<CupsJobMonitor>(options);
#endif
}

// The monitor of IPP printers reached by address; Windows reaches them only through a
// queue.
std::unique_ptr<JobMonitor> IppPrinterJobMonitor(const DirectOptions& options) {
#ifdef _WIN32
    (void)options;
    return nullptr;
#else
    return std::make_unique<IppJobMonitor>(options);
#endif
}

constexpr const char* CannotFollow = "Jobs sent to this printer can't be followed: the printer "
                                     "says nothing once it has taken the bytes.";

// Sends each printer name to the monitor that can follow it.
class PlatformJobMonitor final : public JobMonitor {
public:
    explicit PlatformJobMonitor(const DirectOptions& options)
        : queues_(QueueJobMonitor(options)), ippPrinters_(IppPrinterJobMonitor(options)) {}

    bool CanFollow(const std::string& printer) const override {
        const JobMonitor* monitor = MonitorFor(printer);
        return monitor && monitor->CanFollow(printer);
    }

    JobStatus Job(const std::string& printer, int jobId) override {
        return For(printer).Job(printer, jobId);
    }

    PrinterStatus Printer(const std::string& printer) override {
        return For(printer).Printer(printer);
    }

private:
    // The monitor for the printer's kind of name; none for an address that says nothing
    // after its bytes.
    JobMonitor* MonitorFor(const std::string& printer) const {
        if (!PrinterAddress::IsAddress(printer)) {
            return queues_.get();
        }
        if (ippPrinters_ && ippPrinters_->CanFollow(printer)) {
            return ippPrinters_.get();
        }
        return nullptr;
    }

    JobMonitor& For(const std::string& printer) {
        JobMonitor* monitor = MonitorFor(printer);
        if (!monitor || !monitor->CanFollow(printer)) {
            throw JobMonitorError(CannotFollow);
        }
        return *monitor;
    }

    std::unique_ptr<JobMonitor> queues_;
    std::unique_ptr<JobMonitor> ippPrinters_;
};

} // namespace

std::unique_ptr<JobMonitor> MakePlatformJobMonitor(const DirectOptions& options) {
    return std::make_unique<PlatformJobMonitor>(options);
}
