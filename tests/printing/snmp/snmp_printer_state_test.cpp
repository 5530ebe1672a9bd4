#include "printing/snmp/snmp_printer_state.h"
#include "tests/printing/talkback/seen.h"

#include <gtest/gtest.h>
#include <optional>

namespace {

struct Case {
    long device; // hrDeviceStatus as the agent sends it
    std::optional<std::string> errorState;
    std::vector<SnmpPrinterState::Alert> alerts; // severity (3 critical, 4 warning), code
    std::string seen;
};

// What the device status, the error bits and the alerts come to, and what is left out.
TEST(SnmpPrinterStateTest, ReadsDeviceStatusErrorBitsAndCriticalAlertsIntoConditions) {
    using namespace std::string_literals;
    const std::vector<Case> cases = {
        {2, "\x00"s, {}, ""},
        {3, "\x80", {}, "NearEnd"},
        {5, "\x48\x00"s, {}, "PaperOut Cover"},
        {5, "\x06", {}, "Jammed Offline"},
        {5, "\x10\x28"s, {}, "Error / no toner; marker supply missing; output full"},
        // Warnings and trays of which there may be others: the printer prints on, unless it
        // says it is down.
        {3, "\x21\x56"s, {}, ""},
        {5, "\x00\x80"s, {}, "Error / down (input tray missing)"},
        {5, std::nullopt, {}, "Error / down"},
        {4, "\x00"s, {}, "Error / testing"},
        {9, "\x00\x01\xFF"s, {}, ""}, // values no MIB defines
        {5, "\x40", {{3, 808, "Tray 1 empty"}, {3, 501, "Close door"}}, "PaperOut Cover"},
        {5,
         {},
         {{3, 8, ""}, {3, 22, ""}, {3, 1103, ""}, {3, 5, ""}},
         "Jammed Offline Ribbon Cover"},
        // Other critical alerts in the printer's words, each once; warnings add nothing, one
        // empty tray of several included.
        {5,
         {},
         {{3, 1101, "Toner \xFC"}, {3, 1101, "Toner \xFC"}, {3, 9999, ""}, {4, 808, "Tray 2"}},
         "Error / Toner \xFC; alert 9999"},
    };
    for (const Case& c : cases) {
        SnmpPrinterState state;
        state.deviceStatus = SnmpPrinterState::DeviceStatusOf(c.device);
        state.detectedErrorState = c.errorState;
        state.alerts = c.alerts;
        EXPECT_EQ(Seen(state.Report()), c.seen)
            << testing::PrintToString(c.errorState) << ", device " << c.device;
    }
}

} // namespace
