#include "printing/win/win_printer_catalog.h"

#include "printing/profile_device.h"
#include "printing/win/win_error.h"
#include "printing/windows_command_line.h"

#include <vector>
#include <windows.h>
#include <winspool.h>

namespace {

constexpr DWORD PrinterKinds = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;

[[noreturn]] void ThrowLastError(const std::string& what) {
    throw PrinterCatalogError(what + ": " + LastWinErrorText());
}

// The level-4 printer records: the first call asks for the size, the second fills a
// buffer of that size. A printer added between the two calls makes the buffer too small
// again, so the two steps are repeated a few times.
std::vector<std::string> EnumeratePrinterNames() {
    DWORD needed = 0;
    DWORD count = 0;
    std::vector<BYTE> buffer;
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (EnumPrintersA(PrinterKinds, nullptr, 4, buffer.empty() ? nullptr : buffer.data(),
                          static_cast<DWORD>(buffer.size()), &needed, &count)) {
            std::vector<std::string> names;
            const auto* printers = reinterpret_cast<const PRINTER_INFO_4A*>(buffer.data());
            for (DWORD i = 0; i < count; ++i) {
                if (printers[i].pPrinterName != nullptr) {
                    names.emplace_back(printers[i].pPrinterName);
                }
            }
            return names;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            ThrowLastError("The printers could not be listed");
        }
        buffer.assign(needed, 0);
    }
    throw PrinterCatalogError("The printers could not be listed: the list kept changing.");
}

// The profile's value in full. The read cuts a value that does not fit the buffer, which
// could cut off the comma or part of the name, so the buffer grows until the value fits.
std::string ProfileDeviceValue() {
    std::vector<char> buffer(256);
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = GetProfileStringA("windows", "device", "", buffer.data(), size);
        if (length + 1 < size || size >= 65536) {
            return std::string(buffer.data(), length);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string SystemDirectory() {
    std::vector<char> buffer(MAX_PATH + 1);
    for (;;) {
        const UINT length = GetSystemDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            return std::string(buffer.data(), length);
        }
        buffer.resize(length + 1);
    }
}

} // namespace

std::vector<std::string> WinPrinterCatalog::PrinterNames() {
    return EnumeratePrinterNames();
}

std::string WinPrinterCatalog::DefaultPrinterName() {
    return ProfileDevice::PrinterName(ProfileDeviceValue());
}

bool WinPrinterCatalog::OpenPrinterSettings(const std::string& printerName) {
    // A command line ends at a NUL: a name holding one would reach the pages of another.
    if (printerName.find('\0') != std::string::npos) {
        return false;
    }
    const std::string directory = SystemDirectory();
    if (directory.empty()) {
        return false;
    }
    // rundll32 itself, by its full path: a command interpreter between would read & | ^
    // in the name as its own syntax. rundll32 is a windowed program, so there is no
    // console window to hide, and its start-up mode is left alone: the property pages
    // are its first window and must show.
    const std::string rundll32 = directory + "\\rundll32.exe";
    std::string commandLine =
        WindowsCommandLine::PrinterPropertiesCommandLine(rundll32, printerName);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(rundll32.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return false;
    }
    // Not waited for and not watched: the handles are let go at once.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
