#include "printing/device/device_spooler.h"

#include "printing/device/device_fault.h"
#include "printing/device/device_line.h"

DeviceSpooler::DeviceSpooler(const PrinterAddress& address, const DirectOptions& options)
    : address_(address), options_(options) {}

DeviceSpooler::~DeviceSpooler() {
    Release();
}

bool DeviceSpooler::Fail(const std::string& reason) {
    failed_ = true;
    lastError_ = reason;
    if (line_) {
        const std::uint64_t delivered = line_->BytesDelivered();
        if (delivered > 0) {
            lastError_ += "; " + std::to_string(delivered) + " bytes had reached the device";
        }
        CutOff();
    }
    lastError_ += ".";
    return false;
}

void DeviceSpooler::CutOff() {
    if (line_) {
        line_->Discard();
        line_.reset();
    }
    documentOpen_ = false;
}

void DeviceSpooler::Release() {
    // A document still open here was never finished: what the device has not taken yet is
    // dropped rather than sent after the job was given up. A finished one is left alone:
    // its last bytes may still be on their way to the reader.
    if (documentOpen_) {
        CutOff();
    }
    line_.reset();
}

bool DeviceSpooler::OpenPrinter(const std::string&) {
    Release();
    failed_ = false;
    lastError_.clear();
    if (address_.scheme() != PrinterAddress::Scheme::File &&
        address_.scheme() != PrinterAddress::Scheme::Serial) {
        return Fail("Only file: and serial: addresses are sent to a device, not " +
                    address_.Text());
    }
    try {
        line_ = address_.scheme() == PrinterAddress::Scheme::File
                    ? DeviceLine::OpenDevice(address_.device())
                    : DeviceLine::OpenSerial(address_.device(), address_.serial());
    } catch (const DeviceFault& fault) {
        return Fail(fault.what());
    }
    return true;
}

bool DeviceSpooler::StartDocument(const std::string&) {
    if (failed_ || !line_) {
        return false;
    }
    documentOpen_ = true;
    return true;
}

bool DeviceSpooler::StartPage() {
    return !failed_ && documentOpen_;
}

bool DeviceSpooler::Write(std::string_view data) {
    if (failed_ || !documentOpen_) {
        return false;
    }
    try {
        line_->Write(data, options_.stallTimeout);
    } catch (const DeviceFault& fault) {
        return Fail(fault.what());
    }
    return true;
}

bool DeviceSpooler::EndPage() {
    return !failed_ && documentOpen_;
}

bool DeviceSpooler::EndDocument() {
    if (failed_ || !documentOpen_) {
        return false;
    }
    try {
        line_->Finish(options_.stallTimeout);
    } catch (const DeviceFault& fault) {
        return Fail(fault.what());
    }
    documentOpen_ = false;
    return true;
}

bool DeviceSpooler::ClosePrinter() {
    Release();
    return !failed_;
}

void DeviceSpooler::CancelDocument() {
    if (!failed_) {
        Fail("The job was cancelled because its data could not be read");
    }
    CutOff();
}
