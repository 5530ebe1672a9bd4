#pragma once

#include "printing/job/job_failure.h"

#include <stdexcept>
#include <string>

// A step with a device that failed, in words that name the step and why
// ("Can't open the device \"/dev/usb/lp0\": Permission denied"), and what kind of failure
// the job it belonged to has.
struct DeviceFault : std::runtime_error {
    DeviceFault(FailureKind kind, const std::string& message)
        : std::runtime_error(message), kind(kind) {}

    FailureKind kind;
};
