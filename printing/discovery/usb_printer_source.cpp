#include "printing/discovery/usb_printer_source.h"

#include "printing/address/printer_address.h"
#include "printing/discovery/device_folder.h"
#include "printing/discovery/language_names.h"

#include <utility>

namespace {

using Problem = PortReport::Problem;

std::string Joined(const std::string& first, const std::string& second) {
    if (first.empty() || second.empty()) {
        return first + second;
    }
    return first + ' ' + second;
}

// The address that prints to the port: with the language the printer is asked in where its
// device ID names one.
std::string AddressOf(const std::string& path, const std::optional<DeviceId>& id) {
    std::string text = "file:" + path;
    const PrinterLanguage language = id ? LanguageNames::Askable(*id) : PrinterLanguage::Automatic;
    if (PrinterLanguageName::Speaks(language)) {
        text += "?language=" + std::string(PrinterLanguageName::NameOf(language));
    }
    const ParsedPrinterAddress parsed = PrinterAddress::Parse(text);
    return parsed.address ? parsed.address->Text() : std::string();
}

} // namespace

UsbPrinterSource::UsbPrinterSource(std::string folder, DevicePorts ports)
    : folder_(std::move(folder)), ports_(std::move(ports)) {}

std::string UsbPrinterSource::Search(std::chrono::steady_clock::time_point deadline,
                                     const std::atomic<bool>* stop, const Found& found) {
    DeviceFolder folder(folder_);
    for (const std::string& name : folder.Numbered("lp", kPortLimit)) {
        if (std::chrono::steady_clock::now() >= deadline || (stop != nullptr && stop->load())) {
            break;
        }
        DiscoveredPrinter printer = PrinterAt(folder.PathOf(name));
        if (!printer.address.empty()) {
            found(std::move(printer));
        }
    }
    return folder.Error();
}

// A port that was unplugged since the folder was read is left out; any other that can't
// be asked is listed with why.
DiscoveredPrinter UsbPrinterSource::PrinterAt(const std::string& path) const {
    const PortReport report = ports_.report(path);
    DiscoveredPrinter printer;
    if (report.problem == Problem::Missing) {
        return printer;
    }
    printer.address = AddressOf(path, report.deviceId);
    printer.foundBy = {"USB"};
    if (report.deviceId) {
        printer.model = Joined(report.deviceId->manufacturer, report.deviceId->model);
        printer.languages = LanguageNames::Of(*report.deviceId);
    }
    switch (report.problem) {
    case Problem::PermissionDenied:
        printer.problem = PermissionProblem(path, ports_.permission(path));
        break;
    case Problem::Busy:
        printer.problem = "busy: " + report.reason + "; try again once it is free";
        break;
    case Problem::NotAPrinterPort:
    case Problem::NotAvailable:
    case Problem::Failed:
        printer.problem = report.reason;
        break;
    case Problem::None:
    case Problem::Missing:
    case Problem::NotSupported: // a port without a device ID prints all the same
    case Problem::NoAnswer:
    case Problem::UnreadableId:
        if (const DevicePermission permission = ports_.permission(path); !permission.granted) {
            printer.problem = PermissionProblem(path, permission);
        }
        break;
    }
    return printer;
}
