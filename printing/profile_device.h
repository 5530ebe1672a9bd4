#pragma once

#include <string>

// The Windows profile keeps the default printer as "name,driver,port". Platform-free so
// that it can be tested anywhere.
namespace ProfileDevice {

// The printer name of such a value, upper-cased: the text before the first comma. An
// empty value gives an empty name (no default printer). A non-empty value without a comma
// is malformed and throws PrinterCatalogError.
std::string PrinterName(const std::string& deviceValue);

} // namespace ProfileDevice
