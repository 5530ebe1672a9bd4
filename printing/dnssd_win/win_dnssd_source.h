#pragma once

#include "printing/discovery/printer_source.h"
#include "printing/dnssd_win/dnsapi_calls.h"

#include <cstddef>
#include <string>
#include <vector>

// Printers that announce themselves over DNS-SD, asked through the system's DNS client
// (DnsServiceBrowse and DnsServiceResolve, Windows 10 1903 on): every instance of the printer
// types (DnssdRecord::ServiceTypes) in ".local" is resolved and handed over as a printer
// (DnssdRecord::Printer) as soon as it is. Where the system lacks the calls (older Windows,
// wine) the search ends at once: "not on this system". Windows only.
class WinDnssdSource final : public PrinterSource {
public:
    // At most this many instances are looked at in one search; more are counted in a note.
    static constexpr std::size_t MaxServices = 1024;
    // At most this many are resolved at once; the others wait their turn.
    static constexpr std::size_t MaxResolving = 32;

    explicit WinDnssdSource(const DnsapiCalls& calls) : calls_(calls) {}

    std::string Name() const override { return "DNS-SD"; }
    std::string Search(std::chrono::steady_clock::time_point deadline,
                       const std::atomic<bool>* stop, const Found& found) override;
    std::vector<std::string> Notes() const override { return notes_; }

private:
    const DnsapiCalls calls_;
    std::vector<std::string> notes_;
};
