#pragma once

#include <stdexcept>

// A step with a device that failed, in words that name the step and why
// ("Can't open the device \"/dev/usb/lp0\": Permission denied").
struct DeviceFault : std::runtime_error {
    using std::runtime_error::runtime_error;
};
