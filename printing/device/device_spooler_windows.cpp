#include "printing/device/device_spooler.h"

// Devices are not opened on Windows: a printer there is reached through a queue of the
// Windows spooler, which the program already sends to.
class DeviceLine {};

DeviceSpooler::DeviceSpooler(const PrinterAddress& address, const DirectOptions& options)
    : address_(address), options_(options) {}

DeviceSpooler::~DeviceSpooler() = default;

bool DeviceSpooler::Fail(const std::string& reason) {
    failed_ = true;
    lastError_ = reason;
    return false;
}

void DeviceSpooler::CutOff() {}

void DeviceSpooler::Release() {}

bool DeviceSpooler::OpenPrinter(const std::string&) {
    return Fail("file: and serial: addresses are not supported on Windows; add the printer to "
                "Windows and use its queue.");
}

bool DeviceSpooler::StartDocument(const std::string&) {
    return false;
}

bool DeviceSpooler::StartPage() {
    return false;
}

bool DeviceSpooler::Write(std::string_view) {
    return false;
}

bool DeviceSpooler::EndPage() {
    return false;
}

bool DeviceSpooler::EndDocument() {
    return false;
}

bool DeviceSpooler::ClosePrinter() {
    return false;
}

void DeviceSpooler::CancelDocument() {}
