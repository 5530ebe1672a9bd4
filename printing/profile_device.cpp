#include "printing/profile_device.h"

#include "printing/printer_catalog.h"

#include <algorithm>
#include <cctype>

namespace ProfileDevice {

std::string PrinterName(const std::string& deviceValue) {
    if (deviceValue.empty()) {
        return {};
    }
    const std::size_t comma = deviceValue.find(',');
    if (comma == std::string::npos) {
        throw PrinterCatalogError("The default printer setting \"" + deviceValue +
                                  "\" is not of the form name,driver,port.");
    }
    std::string name = deviceValue.substr(0, comma);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return name;
}

} // namespace ProfileDevice
