#pragma once

#include "printing/snmp/snmp_printer_state.h"
#include "printing/talkback/status_report.h"

#include <chrono>
#include <cstdint>
#include <string>

// Asks a network printer's SNMP agent how the printer stands: one GET of the printer's
// device row (index 1, as printers number it) in the Host Resources MIB and of sysDescr,
// then a walk of the Printer MIB's alert table, at most SnmpPrinterState::kAlertLimit rows.
// Everything ends within the time-out given; requests go to the host asked for and nowhere
// else. Safe to use from any thread: exchanges with agents take turns (see SnmpSession).
class SnmpStatusClient {
public:
    enum class Version { V1, V2c };

    struct Target {
        std::string host; // a name, an IPv4 address or an IPv6 address, brackets optional
        std::uint16_t port = 161;
        std::string community = "public";
        Version version = Version::V2c;
    };

    struct Answer {
        // Whether the agent answered the GET; when not, `reason` says why in net-snmp's
        // words or ours ("no answer from 192.0.2.7:161 within 2 s").
        bool answered = false;
        std::string reason;
        // What the agent gave, the alerts among it; state.KnowsPrinter() is false for an
        // agent that answers but is no printer's.
        SnmpPrinterState state;
        // state.Report(). Empty, which reads as ready, when the agent did not answer or
        // knows no printer: look at `answered` and state.KnowsPrinter() first.
        StatusReport report;
        // hrDeviceDescr of the printer, else sysDescr; bytes as sent, at most
        // SnmpPrinterState::kTextLimit of them, empty when the agent gave neither.
        std::string description;
        // The alert walk stopped before the table's end: at the row limit, or at the
        // deadline or an agent's error (then `reason` says so). The alerts read until then
        // are kept.
        bool alertsCut = false;
    };

    SnmpStatusClient(Target target, std::chrono::milliseconds timeout);

    // One exchange with the agent, blocking for at most the time-out.
    Answer Ask() const;

private:
    Target target_;
    std::chrono::milliseconds timeout_;
};
