#pragma once

#include "printing/discovery/printer_source.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// One queue of the system's spooler as the spooler describes it; empty where it does not
// say (the Windows spooler names its queues only).
struct SpoolerQueue {
    std::string name;
    // Where the spooler sends the queue's jobs (CUPS: "socket://10.0.0.5:9100", "usb://...").
    std::string deviceUri;
    // The queue's description, its printer's make and model, and where it stands.
    std::string info;
    std::string model;
    std::string location;
};

// The spooler's queues, each by its name, which prints through the spooler, and by its
// device's address where that is one this program prints to itself (socket, LPD, IPP,
// serial): so a queue and the printer it sends to, found on the network, are one row.
class SpoolerSource final : public PrinterSource {
public:
    // The queues, read within the time given; throws PrinterCatalogError with the
    // spooler's words when it can't say.
    using List = std::function<std::vector<SpoolerQueue>(std::chrono::milliseconds timeout)>;

    explicit SpoolerSource(List list);

    std::string Name() const override { return "the spooler"; }
    std::string Search(std::chrono::steady_clock::time_point deadline,
                       const std::atomic<bool>* stop, const Found& found) override;

private:
    List list_;
};
