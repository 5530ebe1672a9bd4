#include "printing/backends/device/device_permission.h"

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// The name of the group, or nothing where the system does not know it.
std::string GroupName(gid_t id) {
    std::vector<char> buffer(4096);
    group entry{};
    group* found = nullptr;
    if (::getgrgid_r(id, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
        found->gr_name == nullptr) {
        return {};
    }
    return found->gr_name;
}

} // namespace

DevicePermission DevicePermission::Of(const std::string& devicePath) {
    DevicePermission permission;
    if (::access(devicePath.c_str(), R_OK | W_OK) == 0) {
        return permission;
    }
    permission.granted = false;
    permission.reason = std::strerror(errno);
    struct stat status {};
    if (::stat(devicePath.c_str(), &status) == 0 && (status.st_mode & S_IRWXG) != 0) {
        permission.group = GroupName(status.st_gid);
    }
    return permission;
}
