#pragma once

#include "printing/discovery/printer_source.h"

#include <cstddef>
#include <string>
#include <vector>

// Printers that announce themselves over DNS-SD (multicast DNS), asked through the Avahi
// daemon: every service of the printer types (DnssdRecord::ServiceTypes) is resolved and
// handed over as a printer (DnssdRecord::Printer) as soon as it is. A service found on
// several interfaces is one printer; one that resolves to no address is left out and
// counted in a note. Without a daemon the search ends at once and says why. Linux only.
class DnssdSource final : public PrinterSource {
public:
    // At most this many services are looked at in one search; more are counted in a note.
    static constexpr std::size_t MaxServices = 1024;
    // At most this many are resolved at once; the others wait their turn.
    static constexpr std::size_t MaxResolving = 32;

    std::string Name() const override { return "DNS-SD"; }
    std::string Search(std::chrono::steady_clock::time_point deadline,
                       const std::atomic<bool>* stop, const Found& found) override;
    std::vector<std::string> Notes() const override { return notes_; }

private:
    std::vector<std::string> notes_;
};
