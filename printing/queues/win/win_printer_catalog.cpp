#include "printing/queues/win/win_printer_catalog.h"

#include "core/win_text.h"
#include "printing/profile_device.h"
#include "printing/queues/win/win_error.h"
#include "printing/windows_command_line.h"

#include <optional>
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
        if (EnumPrintersW(PrinterKinds, nullptr, 4, buffer.empty() ? nullptr : buffer.data(),
                          static_cast<DWORD>(buffer.size()), &needed, &count)) {
            std::vector<std::string> names;
            const auto* printers = reinterpret_cast<const PRINTER_INFO_4W*>(buffer.data());
            for (DWORD i = 0; i < count; ++i) {
                if (printers[i].pPrinterName != nullptr) {
                    names.push_back(WinText::Utf8(printers[i].pPrinterName));
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
    std::vector<wchar_t> buffer(256);
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = GetProfileStringW(L"windows", L"device", L"", buffer.data(), size);
        if (length + 1 < size || size >= 65536) {
            return WinText::Utf8(std::wstring_view(buffer.data(), length));
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring SystemDirectory() {
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    for (;;) {
        const UINT length = GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            return std::wstring(buffer.data(), length);
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
    const std::wstring directory = SystemDirectory();
    if (directory.empty()) {
        return false;
    }
    // rundll32 itself, by its full path: a command interpreter between would read & | ^
    // in the name as its own syntax. rundll32 is a windowed program, so there is no
    // console window to hide, and its start-up mode is left alone: the property pages
    // are its first window and must show.
    const std::wstring rundll32 = directory + L"\\rundll32.exe";
    // The quoting looks only at quotes and backslashes, which are never part of a longer
    // UTF-8 sequence: the line is built in UTF-8 and widened whole. A name that is no
    // valid UTF-8 starts nothing rather than the pages of a look-alike.
    std::optional<std::wstring> commandLine = WinText::Wide(
        WindowsCommandLine::PrinterPropertiesCommandLine(WinText::Utf8(rundll32), printerName));
    if (!commandLine) {
        return false;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(rundll32.c_str(), commandLine->data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return false;
    }
    // Not waited for and not watched: the handles are let go at once.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
