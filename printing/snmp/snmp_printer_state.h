#pragma once

#include "printing/talkback/status_report.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// What a network printer's SNMP agent says of the printer, as read from the Host Resources
// and Printer MIBs, and the conditions it comes to. No I/O: SnmpStatusClient fills it.
// Text from the agent is bytes as sent, cut at kTextLimit; callers escape it where shown.
class SnmpPrinterState {
public:
    // The longest text kept from the agent (the MIBs allow no longer), and the most alert
    // rows read.
    static constexpr std::size_t kTextLimit = 255;
    static constexpr std::size_t kAlertLimit = 32;

    // hrDeviceStatus of the printer's device row; Absent when the agent gave none.
    enum class DeviceStatus { Absent, Unknown, Running, Warning, Testing, Down };
    // hrPrinterStatus; Absent when the agent gave none.
    enum class PrinterStatus { Absent, Other, Unknown, Idle, Printing, Warmup };

    // One row of the printer's alert table (prtAlertTable). 0 stands for a column the agent
    // did not give.
    struct Alert {
        long severity = 0;       // prtAlertSeverityLevel: other 1, critical 3, warning 4, 5
        long code = 0;           // prtAlertCode, the IANA printer MIB's alert codes
        std::string description; // prtAlertDescription, the printer's own words
    };
    static constexpr long kCriticalAlert = 3;

    // The agent's numbers as the MIB names them; a number the MIB does not define is
    // Unknown.
    static DeviceStatus DeviceStatusOf(long value);
    static PrinterStatus PrinterStatusOf(long value);

    DeviceStatus deviceStatus = DeviceStatus::Absent;
    PrinterStatus printerStatus = PrinterStatus::Absent;
    // hrPrinterDetectedErrorState: bits, the first octet's most significant bit is bit 0.
    std::optional<std::string> detectedErrorState;
    std::vector<Alert> alerts;

    // Whether the agent gave any of the printer's own objects; a host that is no printer
    // gives none, and then the report says nothing.
    bool KnowsPrinter() const;

    // The conditions the error bits, the critical alerts and the device status come to.
    // `display` holds the words of each Error: the bit's name or the alert's description.
    StatusReport Report() const;
};
