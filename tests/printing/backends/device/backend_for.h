#pragma once

#include "printing/backends/device/device_backend.h"
#include "printing/job/job_driver.h"

#include <chrono>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <string_view>

// A device backend for an address written as text, with the stall time-out given.
inline DeviceBackend BackendFor(const std::string& address,
                                std::chrono::milliseconds stall = std::chrono::seconds(5)) {
    const ParsedPrinterAddress parsed = PrinterAddress::Parse(address);
    EXPECT_TRUE(parsed.address) << parsed.error;
    JobOptions options;
    options.timeouts.stall = stall;
    return DeviceBackend(*parsed.address, options);
}

// The bytes as one job through the job driver, as the program sends them.
inline JobResult SendJob(PrinterBackend& backend, std::string_view data) {
    return JobDriver(backend, JobControl{}).SendBytes(data);
}

// The failure the steps threw, if any.
template <typename Steps> std::optional<JobFailure> Thrown(Steps steps) {
    try {
        steps();
    } catch (const JobFailure& failure) {
        return failure;
    }
    return std::nullopt;
}
