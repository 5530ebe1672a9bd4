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
        int chosen = 0;
        for (std::size_t i = 0; i < names.size(); ++i) {
            target.AddItem(names[i]);
            if (UpperCased(names[i]) == defaultName) {
                chosen = static_cast<int>(i);
            }
        }
        target.SetListIndex(chosen);
        return true;
    } catch (const std::exception&) {
        target.SetListIndex(-1);
        return false;
    }
}

} // namespace modTools
