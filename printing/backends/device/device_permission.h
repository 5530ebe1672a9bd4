#pragma once

#include <string>

// Whether this user may open a device for a job, reading and writing, asked without
// opening it: opening a serial line raises its modem lines, which resets some boards.
struct DevicePermission {
    bool granted = true;
    // Why not, in the system's words ("Permission denied"); empty when granted.
    std::string reason;
    // The group the device belongs to ("lp", "dialout"), whose members may open it where
    // its mode lets a group in; empty when that can't be told.
    std::string group;

    static DevicePermission Of(const std::string& devicePath);
};
