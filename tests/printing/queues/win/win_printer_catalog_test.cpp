#include "core/win_text.h"
#include "printing/printer_catalog.h"
#include "printing/printer_list.h"
#include "printing/queues/win/win_printer_catalog.h"
#include "printing/windows_command_line.h"
#include "tests/printing/queues/win/wine_host.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>
// shellapi.h needs the types of windows.h before it.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

namespace {

std::wstring Wide(const std::string& text) {
    return WinText::Wide(text).value();
}

std::string Narrow(const wchar_t* text) {
    return WinText::Utf8(text);
}

// The arguments the system's own splitter finds in a command line.
std::vector<std::string> SystemSplit(const std::string& commandLine) {
    struct LocalFreer {
        void operator()(LPWSTR* memory) const { LocalFree(memory); }
    };
    int count = 0;
    const std::unique_ptr<LPWSTR, LocalFreer> arguments(
        CommandLineToArgvW(Wide(commandLine).c_str(), &count));
    std::vector<std::string> result;
    for (int i = 0; arguments && i < count; ++i) {
        result.push_back(Narrow(arguments.get()[i]));
    }
    return result;
}

TEST(WinPrinterCatalogTest, SystemSplitsThePropertyPageLineIntoTheNameWhole) {
    const std::string rundll32 = "C:\\Windows\\system32\\rundll32.exe";
    for (const std::string name :
         {"HP LaserJet 4", "", "Label \"Zebra\" 2", "\\\\server\\Office Printer",
          "ends in a backslash\\", "backslash then quote\\\"", "\\\\\"\\",
          "Lab & del /q C:\\*.* | more ^ %PATH% > out", "  padded  ",
          "\xEF\xBC\xAC\xEF\xBD\x81\xEF\xBD\x82 \"Lab_\xCE\xA9\"\\"}) {
        const std::string line = WindowsCommandLine::PrinterPropertiesCommandLine(rundll32, name);
        EXPECT_EQ(SystemSplit(line), (std::vector<std::string>{rundll32, "printui.dll,PrintUIEntry",
                                                               "/p", "/n", name}))
            << line;
    }
}

// Sets the profile's default printer for one test and puts the old value back.
class ProfileDevice {
public:
    ProfileDevice() {
        wchar_t value[4096] = {};
        const DWORD length = GetProfileStringW(L"windows", L"device", L"", value,
                                               static_cast<DWORD>(std::size(value)));
        if (length > 0) {
            saved_ = std::wstring(value, length);
        }
    }
    ~ProfileDevice() {
        WriteProfileStringW(L"windows", L"device", saved_ ? saved_->c_str() : nullptr);
    }
    ProfileDevice(const ProfileDevice&) = delete;
    ProfileDevice& operator=(const ProfileDevice&) = delete;

    static void Set(const char* value) {
        ASSERT_TRUE(WriteProfileStringW(L"windows", L"device",
                                        value != nullptr ? Wide(value).c_str() : nullptr));
    }

private:
    std::optional<std::wstring> saved_;
};

TEST(WinPrinterCatalogTest, DefaultPrinterComesFromTheProfile) {
    if (!RunningUnderWine()) {
        GTEST_SKIP() << "changes the user's default printer: runs only in a wine prefix";
    }
    ProfileDevice device;
    WinPrinterCatalog catalog;

    ProfileDevice::Set("Label Printer,winspool,Ne01:");
    EXPECT_EQ(catalog.DefaultPrinterName(), "LABEL PRINTER");

    // Read in the wide form: not best-fitted to the look-alike "LAB_O".
    ProfileDevice::Set("Lab_\xCE\xA9,winspool,Ne01:");
    EXPECT_EQ(catalog.DefaultPrinterName(), "LAB_\xCE\xA9");

    // Longer than the usual 255-character buffer: read whole, not cut.
    const std::string longName = "\\\\print-server\\" + std::string(300, 'q');
    ProfileDevice::Set((longName + ",winspool,Ne02:").c_str());
    EXPECT_EQ(catalog.DefaultPrinterName(), "\\\\PRINT-SERVER\\" + std::string(300, 'Q'));

    ProfileDevice::Set("JustAName");
    EXPECT_THROW(catalog.DefaultPrinterName(), PrinterCatalogError);

    ProfileDevice::Set(nullptr);
    EXPECT_EQ(catalog.DefaultPrinterName(), "");
    EXPECT_EQ(modTools::GetDefaultPrinterName(catalog), "");
}

TEST(WinPrinterCatalogTest, PropertyPagesStartWithoutWaiting) {
    WinPrinterCatalog catalog;
    // A command line ends at a NUL: such a name must start nothing.
    EXPECT_FALSE(catalog.OpenPrinterSettings(std::string("Office\0Other", 12)));
    // Nor a name that is no UTF-8: in the ANSI code page it would name another printer.
    EXPECT_FALSE(catalog.OpenPrinterSettings("Lab_\xD8"));
    if (!RunningUnderWine()) {
        GTEST_SKIP() << "would open property pages on the desktop: runs only under wine";
    }
    // A quote in the name would end a quoted argument early for a command interpreter,
    // and what follows would run as commands of its own.
    TempDir dir;
    const std::string made = dir.File("injected.txt");
    EXPECT_TRUE(catalog.OpenPrinterSettings("Lab\" & echo started > " + made + " & rem \""));
    Sleep(1500);
    EXPECT_EQ(GetFileAttributesW(Wide(made).c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
