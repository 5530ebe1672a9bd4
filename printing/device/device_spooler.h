#pragma once

#include "printing/direct/direct_options.h"
#include "printing/direct/printer_address.h"
#include "printing/spooler.h"

#include <memory>
#include <string>

class DeviceLine;

// Raw jobs straight to a device of this machine: file:DEVICE writes to a character device
// (a USB printer is /dev/usb/lpN on Linux) or a FIFO, serial:DEVICE?... to a serial line
// set up for the job and put back as it was afterwards. There is no queue and no job
// number: open printer opens the device, write sends as it is given, end document waits
// until the device has taken everything. A job that fails or is cancelled part-way is
// cut off (a serial line's unsent output is dropped) and the message says how many bytes
// had reached the device. On Windows every such address is refused.
class DeviceSpooler final : public Spooler {
public:
    DeviceSpooler(const PrinterAddress& address, const DirectOptions& options);
    ~DeviceSpooler() override;
    DeviceSpooler(const DeviceSpooler&) = delete;
    DeviceSpooler& operator=(const DeviceSpooler&) = delete;

    // The name is the address's text, which was parsed already; the address is used.
    bool OpenPrinter(const std::string& printerName) override;
    bool StartDocument(const std::string& documentName) override;
    bool StartPage() override;
    bool Write(std::string_view data) override;
    bool EndPage() override;
    bool EndDocument() override;
    bool ClosePrinter() override;
    void CancelDocument() override;
    std::string LastError() const override { return lastError_; }
    int JobId() const override { return 0; }

private:
    bool Fail(const std::string& reason);
    // Drops what the device has not taken yet and closes it.
    void CutOff();
    // Closes the device, cutting off a document that was not finished.
    void Release();

    PrinterAddress address_;
    DirectOptions options_;
    std::unique_ptr<DeviceLine> line_;
    bool failed_ = false;
    bool documentOpen_ = false;
    std::string lastError_;
};
