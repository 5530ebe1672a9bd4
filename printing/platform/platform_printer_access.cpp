#include "printing/platform/platform_printer_access.h"

#include "printing/job/job_failure.h"
#include "printing/job/printer_target.h"
#include "printing/platform/platform_job_monitor.h"
#include "printing/platform/platform_printer_finder.h"
#include "printing/platform/printer_inquiry.h"
#include "printing/platform/scheme_table.h"
#include "printing/talkback/talking_backend.h"

#ifdef _WIN32
#include "printing/queues/win/win_backend.h"
#include "printing/queues/win/win_printer_catalog.h"
using QueueBackend = WinBackend;
using QueueCatalog = WinPrinterCatalog;
#else
#include "printing/address/local_host_names.h"
#include "printing/dnssd/avahi_host_lookup.h"
#include "printing/queues/cups/cups_backend.h"
#include "printing/queues/cups/cups_printer_catalog.h"
using QueueBackend = CupsBackend;
using QueueCatalog = CupsPrinterCatalog;
#endif

namespace {

class PlatformPrinterAccess final : public PrinterAccess {
public:
    std::unique_ptr<PrinterBackend> Backend(const PrinterTarget& target,
                                            const JobOptions& options) override {
        if (target.IsQueue()) {
            return std::make_unique<QueueBackend>(target.Name(), options);
        }
        const SchemeRoute& route = RouteFor(target.Address().scheme());
        if (route.backend == nullptr) {
            throw JobFailure(FailureKind::Unreachable, route.refusal);
        }
        std::unique_ptr<PrinterBackend> backend = route.backend(target.Address(), options);
        if (route.talks && (options.talk.check || options.talk.confirm)) {
            return std::make_unique<TalkingBackend>(
                std::move(backend), PrinterInquiry::LanguageFor(target.Address(), options.talk),
                options);
        }
        return backend;
    }

    PrinterAnswer Ask(const PrinterTarget& target, const JobOptions& options,
                      const std::atomic<bool>* stop) override {
        if (target.IsQueue()) {
            PrinterAnswer answer;
            answer.notes.emplace_back("a queue's printer is asked by its spooler, not by us");
            return answer;
        }
        return PrinterInquiry(target.Address(), options, stop).Run();
    }

    std::unique_ptr<JobMonitor> Monitor(const Timeouts& timeouts) override {
        return MakePlatformJobMonitor(timeouts);
    }

    std::unique_ptr<PrinterCatalog> Catalog(const Timeouts& timeouts) override {
        return std::make_unique<QueueCatalog>(timeouts);
    }

    std::unique_ptr<PrinterFinder> Finder(const DiscoveryOptions& options) override {
        return MakePlatformPrinterFinder(options);
    }
};

} // namespace

std::unique_ptr<PrinterAccess> MakePlatformPrinterAccess() {
#ifndef _WIN32
    // ".local" printers are reached through DNS-SD's own lookup, whatever the system's
    // resolver knows.
    LocalHostNames::Install(AvahiHostLookup::Find);
#endif
    return std::make_unique<PlatformPrinterAccess>();
}
