#include "printing/printer_list.h"

#include "printing/list_target.h"
#include "printing/printer_catalog.h"

#include <algorithm>
#include <cctype>

namespace {

std::string UpperCased(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

} // namespace

namespace modTools {

std::optional<std::size_t> DefaultPrinterIndex(const std::vector<std::string>& names,
                                               const std::string& defaultName) {
    const std::string wanted = UpperCased(defaultName);
    std::optional<std::size_t> found;
    if (wanted.empty()) {
        return found;
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (UpperCased(names[i]) == wanted) {
            found = i;
        }
    }
    return found;
}

std::string GetDefaultPrinterName(PrinterCatalog& catalog) {
    return UpperCased(catalog.DefaultPrinterName());
}

bool FillPrinterList(PrinterCatalog& catalog, ListTarget& target) {
    try {
        target.Clear();
        const std::string defaultName = GetDefaultPrinterName(catalog);
        const std::vector<std::string> names = catalog.PrinterNames();
        if (names.empty()) {
            target.AddItem(NoPrinterEntry);
            return true;
        }
        for (const std::string& name : names) {
            target.AddItem(name);
        }
        target.SetListIndex(static_cast<int>(DefaultPrinterIndex(names, defaultName).value_or(0)));
        return true;
    } catch (const std::exception&) {
        target.SetListIndex(-1);
        return false;
    }
}

} // namespace modTools
