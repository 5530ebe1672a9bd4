#include "printing/queues/win/win_printer_handle.h"

#include "core/win_text.h"
#include "printing/queues/win/win_error.h"

#include <optional>
#include <type_traits>
#include <windows.h>
#include <winspool.h>

static_assert(std::is_same_v<HANDLE, void*>, "a printer handle is held as void*");

void WinPrinterHandle::PrinterCloser::operator()(void* printer) const {
    ::ClosePrinter(printer);
}

std::string WinPrinterHandle::Open(const std::string& printerName) {
    printer_.reset();
    // An empty name would open the print server or the default printer: never send there
    // or report on it by accident.
    if (printerName.empty()) {
        return "No printer name was given.";
    }
    // The spooler reads the name up to its first NUL: a name holding one would open
    // another printer.
    if (printerName.find('\0') != std::string::npos) {
        return "The printer name holds a NUL character.";
    }
    std::optional<std::wstring> name = WinText::Wide(printerName);
    if (!name) {
        return "The printer name is not valid UTF-8.";
    }
    HANDLE printer = nullptr;
    if (!OpenPrinterW(name->data(), &printer, nullptr)) {
        return LastWinErrorText();
    }
    printer_.reset(printer);
    return {};
}

bool WinPrinterHandle::Close() {
    return !printer_ || ::ClosePrinter(printer_.release());
}
