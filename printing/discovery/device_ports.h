#pragma once

#include "printing/backends/device/device_permission.h"
#include "printing/backends/device/port_report.h"

#include <functional>
#include <string>

// What the USB and serial sources ask of a device, handed in: the system's own answers on
// the platform (ReadPortReport, DevicePermission::Of, HasUart), a test's for folders of
// stand-ins.
struct DevicePorts {
    // What a printer port says of its printer.
    std::function<PortReport(const std::string& path)> report;
    // Whether this user may open the device for a job.
    std::function<DevicePermission(const std::string& path)> permission;
    // Whether a ttyS device has a UART behind it.
    std::function<bool(const std::string& path)> hasUart;
};

// What the user can do about a device they may not open: "permission denied: add yourself
// to the lp group (sudo usermod -aG lp $USER, then log in again), or run as a user who may
// open /dev/usb/lp0".
std::string PermissionProblem(const std::string& device, const DevicePermission& permission);
