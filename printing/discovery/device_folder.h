#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The names in a folder of devices (/dev, /dev/usb), read with plain C++. A folder that is
// not there has no names; one that can't be read says why.
class DeviceFolder {
public:
    explicit DeviceFolder(std::string path);

    // The names in the folder in their byte order, at most `limit` of them.
    std::vector<std::string> Names(std::size_t limit);
    // The devices named PREFIX and a number (lp0, ttyUSB12), in the order of their numbers.
    std::vector<std::string> Numbered(std::string_view prefix, std::size_t limit);
    // The path of a name in the folder.
    std::string PathOf(const std::string& name) const;
    // Why the folder could not be read; empty when it could or it is not there.
    const std::string& Error() const { return error_; }

private:
    std::string path_;
    std::string error_;
};
