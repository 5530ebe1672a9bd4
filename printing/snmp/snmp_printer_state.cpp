#include "printing/snmp/snmp_printer_state.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using Condition = StatusReport::Condition;
using DeviceStatus = SnmpPrinterState::DeviceStatus;
using PrinterStatus = SnmpPrinterState::PrinterStatus;

// One bit of hrPrinterDetectedErrorState (Host Resources MIB, with the bits 8 to 14 the
// Printer MIB v2 added), numbered from the first octet's most significant bit, and the
// condition it is. Bits with no condition leave the printer printing: warnings, and trays
// of which a printer may have several. Their words still explain a device that is down.
struct ErrorBit {
    int bit;
    std::optional<Condition> condition;
    const char* words;
};

constexpr std::array kErrorBits = {
    ErrorBit{0, Condition::PaperNearEnd, "low paper"},
    ErrorBit{1, Condition::PaperOut, "no paper"},
    ErrorBit{2, std::nullopt, "low toner"},
    ErrorBit{3, Condition::Error, "no toner"},
    ErrorBit{4, Condition::CoverOpen, "door open"},
    ErrorBit{5, Condition::Jammed, "jammed"},
    ErrorBit{6, Condition::Offline, "offline"},
    ErrorBit{7, std::nullopt, "service requested"},
    ErrorBit{8, std::nullopt, "input tray missing"},
    ErrorBit{9, std::nullopt, "output tray missing"},
    ErrorBit{10, Condition::Error, "marker supply missing"},
    ErrorBit{11, std::nullopt, "output near full"},
    ErrorBit{12, Condition::Error, "output full"},
    ErrorBit{13, std::nullopt, "input tray empty"},
    ErrorBit{14, std::nullopt, "overdue preventive maintenance"},
};

// The alert codes (IANA printer MIB, PrtAlertCodeTC) a critical alert is taken as; any
// other critical alert is an Error in the printer's own words. Warnings add no condition:
// one empty tray of several is a warning with the same code as an empty printer.
struct AlertMeaning {
    long code;
    Condition condition;
};

constexpr std::array kCriticalAlertMeanings = {
    AlertMeaning{3, Condition::CoverOpen},    // coverOpen
    AlertMeaning{5, Condition::CoverOpen},    // interlockOpen
    AlertMeaning{8, Condition::Jammed},       // jam
    AlertMeaning{22, Condition::Offline},     // subunitOffline
    AlertMeaning{501, Condition::CoverOpen},  // doorOpen
    AlertMeaning{808, Condition::PaperOut},   // inputMediaSupplyEmpty
    AlertMeaning{1103, Condition::RibbonOut}, // markerPrintRibbonEmpty
};

constexpr std::array kDeviceStatuses = {DeviceStatus::Unknown, DeviceStatus::Running,
                                        DeviceStatus::Warning, DeviceStatus::Testing,
                                        DeviceStatus::Down};
constexpr std::array kPrinterStatuses = {PrinterStatus::Other, PrinterStatus::Unknown,
                                         PrinterStatus::Idle, PrinterStatus::Printing,
                                         PrinterStatus::Warmup};

bool BitSet(std::string_view octets, int bit) {
    const auto index = static_cast<std::size_t>(bit / 8);
    if (index >= octets.size()) {
        return false;
    }
    const auto octet = static_cast<unsigned char>(octets[index]);
    return (octet & (0x80u >> (bit % 8))) != 0;
}

// The report with the words of its errors gathered, each once, for `display`.
class ReportBuilder {
public:
    void Add(Condition condition) { report_.Add(condition); }
    void AddError(const std::string& words) {
        report_.Add(Condition::Error);
        if (std::find(words_.begin(), words_.end(), words) == words_.end()) {
            words_.push_back(words);
        }
    }
    bool Empty() const { return report_.conditions.empty(); }
    StatusReport Take() {
        for (const std::string& words : words_) {
            report_.display += report_.display.empty() ? "" : "; ";
            report_.display += words;
        }
        return std::move(report_);
    }

private:
    StatusReport report_;
    std::vector<std::string> words_;
};

// The names of the bits that are set but come to no condition: what a device that says it
// is down may be down for.
std::string WarningWords(std::string_view octets) {
    std::string words;
    for (const ErrorBit& bit : kErrorBits) {
        if (!bit.condition && BitSet(octets, bit.bit)) {
            words += words.empty() ? "" : ", ";
            words += bit.words;
        }
    }
    return words;
}

void AddErrorBits(std::string_view octets, ReportBuilder& report) {
    for (const ErrorBit& bit : kErrorBits) {
        if (!bit.condition || !BitSet(octets, bit.bit)) {
            continue;
        }
        if (*bit.condition == Condition::Error) {
            report.AddError(bit.words);
        } else {
            report.Add(*bit.condition);
        }
    }
}

void AddCriticalAlert(const SnmpPrinterState::Alert& alert, ReportBuilder& report) {
    for (const AlertMeaning& meaning : kCriticalAlertMeanings) {
        if (meaning.code == alert.code) {
            report.Add(meaning.condition);
            return;
        }
    }
    report.AddError(alert.description.empty() ? "alert " + std::to_string(alert.code)
                                              : alert.description);
}

} // namespace

SnmpPrinterState::DeviceStatus SnmpPrinterState::DeviceStatusOf(long value) {
    if (value < 1 || value > static_cast<long>(kDeviceStatuses.size())) {
        return DeviceStatus::Unknown;
    }
    return kDeviceStatuses[static_cast<std::size_t>(value - 1)];
}

SnmpPrinterState::PrinterStatus SnmpPrinterState::PrinterStatusOf(long value) {
    if (value < 1 || value > static_cast<long>(kPrinterStatuses.size())) {
        return PrinterStatus::Unknown;
    }
    return kPrinterStatuses[static_cast<std::size_t>(value - 1)];
}

bool SnmpPrinterState::KnowsPrinter() const {
    return deviceStatus != DeviceStatus::Absent || printerStatus != PrinterStatus::Absent ||
           detectedErrorState.has_value();
}

StatusReport SnmpPrinterState::Report() const {
    ReportBuilder report;
    const std::string_view octets =
        detectedErrorState ? std::string_view(*detectedErrorState) : std::string_view();
    AddErrorBits(octets, report);
    for (const Alert& alert : alerts) {
        if (alert.severity == kCriticalAlert) {
            AddCriticalAlert(alert, report);
        }
    }
    if (deviceStatus == DeviceStatus::Testing) {
        report.AddError("testing");
    }
    if (deviceStatus == DeviceStatus::Down && report.Empty()) {
        const std::string why = WarningWords(octets);
        report.AddError(why.empty() ? "down" : "down (" + why + ")");
    }
    return report.Take();
}
