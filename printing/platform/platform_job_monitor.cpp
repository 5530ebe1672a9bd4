#include "printing/platform/platform_job_monitor.h"

#include "printing/platform/scheme_table.h"

#ifdef _WIN32
#include "printing/queues/win/win_job_monitor.h"
using QueueJobMonitor = WinJobMonitor;
#else
#include "printing/queues/cups/cups_job_monitor.h"
using QueueJobMonitor = CupsJobMonitor;
#endif

#include <map>

namespace {

constexpr const char* CannotFollow = "Jobs sent to this printer can't be followed: the printer "
                                     "says nothing once it has taken the bytes.";

// Sends each target to the monitor that can follow it, made when first needed.
class PlatformJobMonitor final : public JobMonitor {
public:
    explicit PlatformJobMonitor(const Timeouts& timeouts)
        : timeouts_(timeouts), queues_(std::make_unique<QueueJobMonitor>(timeouts)) {}

    bool CanFollow(const PrinterTarget& printer) const override {
        return printer.IsQueue() || RouteFor(printer.Address().scheme()).monitor != nullptr;
    }

    JobStatus Job(const PrinterTarget& printer, int jobId) override {
        return For(printer).Job(printer, jobId);
    }

    PrinterStatus Printer(const PrinterTarget& printer) override {
        return For(printer).Printer(printer);
    }

private:
    JobMonitor& For(const PrinterTarget& printer) {
        if (printer.IsQueue()) {
            return *queues_;
        }
        const SchemeRoute& route = RouteFor(printer.Address().scheme());
        if (route.monitor == nullptr) {
            throw JobMonitorError(CannotFollow);
        }
        std::unique_ptr<JobMonitor>& monitor = direct_[route.scheme];
        if (!monitor) {
            monitor = route.monitor(timeouts_);
        }
        return *monitor;
    }

    Timeouts timeouts_;
    std::unique_ptr<JobMonitor> queues_;
    std::map<PrinterAddress::Scheme, std::unique_ptr<JobMonitor>> direct_;
};

} // namespace

std::unique_ptr<JobMonitor> MakePlatformJobMonitor(const Timeouts& timeouts) {
    return std::make_unique<PlatformJobMonitor>(timeouts);
}
