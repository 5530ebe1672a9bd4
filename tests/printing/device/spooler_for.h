#pragma once

#include "printing/device/device_spooler.h"

#include <chrono>
#include <gtest/gtest.h>

// A device spooler for an address written as text, with the stall time-out given.
inline DeviceSpooler SpoolerFor(const std::string& address,
                                std::chrono::milliseconds stall = std::chrono::seconds(5)) {
    const ParsedPrinterAddress parsed = PrinterAddress::Parse(address);
    EXPECT_TRUE(parsed.address) << parsed.error;
    DirectOptions options;
    options.stallTimeout = stall;
    return DeviceSpooler(*parsed.address, options);
}
