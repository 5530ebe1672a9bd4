#include "printing/discovery/device_ports.h"

std::string PermissionProblem(const std::string& device, const DevicePermission& permission) {
    std::string problem = "permission denied (" + permission.reason + "): ";
    if (!permission.group.empty()) {
        problem += "add yourself to the " + permission.group + " group (sudo usermod -aG " +
                   permission.group + " $USER, then log in again), or ";
    }
    return problem + "run as a user who may open " + device;
}
