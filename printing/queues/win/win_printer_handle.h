#pragma once

#include <memory>
#include <string>

// A printer of the Windows spooler, open for as long as the handle lives. Jobs and status
// look-ups open printers here alike, by their UTF-8 names, so both refuse the same names in
// the same words.
class WinPrinterHandle {
public:
    // Opens the printer named, closing any printer opened before: an empty string when it
    // opened, else why it did not. A name the spooler would misread is refused before it
    // sees it.
    [[nodiscard]] std::string Open(const std::string& printerName);

    // The HANDLE; the type is spelled out so that callers need no Windows header.
    void* Get() const { return printer_.get(); }
    bool IsOpen() const { return printer_ != nullptr; }

    // Closes the printer: false, with the thread's last error set, when the spooler failed
    // the close. The handle is given up either way.
    bool Close();

private:
    struct PrinterCloser {
        void operator()(void* printer) const;
    };

    std::unique_ptr<void, PrinterCloser> printer_;
};
