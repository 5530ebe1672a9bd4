#pragma once

#include "printing/printer_catalog.h"

#include <optional>

// A printer catalog with printers set by the test, which records the settings it was
// asked to open and can be told to fail.
class FakePrinterCatalog final : public PrinterCatalog {
public:
    std::vector<std::string> names;
    std::string defaultName;
    // When set, reading the catalog throws with this reason.
    std::optional<std::string> failure;
    bool settingsStart = true;
    std::vector<std::string> settingsOpened;

    std::vector<std::string> PrinterNames() override {
        ThrowIfFailing();
        return names;
    }
    std::string DefaultPrinterName() override {
        ThrowIfFailing();
        return defaultName;
    }
    bool OpenPrinterSettings(const std::string& printerName) override {
        settingsOpened.push_back(printerName);
        return settingsStart;
    }

private:
    void ThrowIfFailing() const {
        if (failure) {
            throw PrinterCatalogError(*failure);
        }
    }
};
