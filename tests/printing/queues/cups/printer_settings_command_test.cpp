#include "printing/queues/cups/printer_settings_command.h"
#include "printing/queues/cups/program_search.h"
#include "tests/support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using Arguments = std::vector<std::string>;

// Puts a file that may be executed into the folder, as an installed program would be.
std::string InstallProgram(const fs::path& folder, const std::string& name) {
    fs::create_directories(folder);
    const std::string path = (folder / name).string();
    WriteBytes(path, "#!/bin/sh\nexit 0\n");
    fs::permissions(path, fs::perms::owner_all);
    return path;
}

class PrinterSettingsCommandTest : public ::testing::Test {
protected:
    TempDir dir;
    fs::path gnome = dir.Path() / "gnome";
    fs::path kde = dir.Path() / "kde";
    fs::path desktop = dir.Path() / "desktop";
    std::string SearchPath() const {
        return kde.string() + ":" + gnome.string() + ":" + desktop.string();
    }
};

TEST_F(PrinterSettingsCommandTest, SystemConfigPrinterComesFirstWhereverItStandsInThePath) {
    const std::string systemConfig = InstallProgram(gnome, "system-config-printer");
    InstallProgram(kde, "configure-printer");
    InstallProgram(desktop, "xdg-open");
    EXPECT_EQ(PrinterSettingsCommand::For("Office", SearchPath(), ""),
              (Arguments{systemConfig, "--configure-printer", "Office"}));
}

TEST_F(PrinterSettingsCommandTest, KdeConfigurePrinterWhenThereIsNoSystemConfigPrinter) {
    const std::string configure = InstallProgram(kde, "configure-printer");
    InstallProgram(desktop, "xdg-open");
    EXPECT_EQ(PrinterSettingsCommand::For("Office", SearchPath(), ""),
              (Arguments{configure, "--", "Office"}));
}

TEST_F(PrinterSettingsCommandTest, SchedulerPageThroughXdgOpenWhenNeitherIsInstalled) {
    const std::string opener = InstallProgram(desktop, "xdg-open");
    EXPECT_EQ(PrinterSettingsCommand::For("Office Laser", SearchPath(), "/run/cups/cups.sock"),
              (Arguments{opener, "http://localhost:631/printers/Office%20Laser"}));
    // Without any opener the command still names one, and starting it reports the failure.
    EXPECT_EQ(PrinterSettingsCommand::For("Office", gnome.string(), "")[0], "xdg-open");
}

TEST_F(PrinterSettingsCommandTest, FilesThatCannotBeRunAreNoPrograms) {
    fs::create_directories(gnome / "system-config-printer"); // a folder
    fs::create_directories(kde);
    WriteBytes((kde / "configure-printer").string(), "not executable");
    fs::permissions(kde / "configure-printer", fs::perms::owner_read | fs::perms::owner_write);
    const std::string opener = InstallProgram(desktop, "xdg-open");
    // root may read any file but executes only what carries an execute bit.
    EXPECT_EQ(PrinterSettingsCommand::For("Office", SearchPath(), "")[0], opener);
}

TEST_F(PrinterSettingsCommandTest, EmptyPathEntriesNeverMeanTheCurrentFolder) {
    InstallProgram(dir.Path(), "system-config-printer");
    const fs::path previous = fs::current_path();
    fs::current_path(dir.Path());
    // Built by appending: g++ 12 at -O3 sees a false overlap in ":" + std::string.
    std::string searchPath = ":";
    searchPath += gnome.string();
    searchPath += ':';
    const auto found = ProgramSearch::Find("system-config-printer", searchPath);
    fs::current_path(previous);
    EXPECT_FALSE(found);
}

TEST_F(PrinterSettingsCommandTest, PrinterNameIsOneArgumentExactlyAsGiven) {
    const std::string systemConfig = InstallProgram(gnome, "system-config-printer");
    const std::string configure = InstallProgram(kde, "configure-printer");
    for (const std::string name : {"Office Laser 4", "Tom's \"big\" printer", "a&b|c;d",
                                   "$(reboot)`id`", "x\ny", "", "-x"}) {
        EXPECT_EQ(PrinterSettingsCommand::For(name, SearchPath(), ""),
                  (Arguments{systemConfig, "--configure-printer", name}));
        EXPECT_EQ(PrinterSettingsCommand::For(name, kde.string(), ""),
                  (Arguments{configure, "--", name}));
    }
}

// The page is on the port the library really talks to, which it keeps apart from the host.
TEST(PrinterSettingsAddressTest, PageFollowsTheLibrarysHostAndPort) {
    using PrinterSettingsCommand::SchedulerPageAddress;
    using PrinterSettingsCommand::ServerSetting;
    EXPECT_EQ(SchedulerPageAddress("Lab", ServerSetting("printhost", 8631)),
              "http://printhost:8631/printers/Lab");
    EXPECT_EQ(SchedulerPageAddress("Lab", ServerSetting("::1", 631)),
              "http://[::1]:631/printers/Lab");
    EXPECT_EQ(SchedulerPageAddress("Lab", ServerSetting("/run/cups/cups.sock", 631)),
              "http://localhost:631/printers/Lab");
}

TEST(PrinterSettingsAddressTest, NameIsPercentEncodedAsOnePathSegment) {
    using PrinterSettingsCommand::SchedulerPageAddress;
    EXPECT_EQ(SchedulerPageAddress("Lab-1.x_y~z", ""), "http://localhost:631/printers/Lab-1.x_y~z");
    EXPECT_EQ(SchedulerPageAddress("a b/c#d?e%f&g", ""),
              "http://localhost:631/printers/a%20b%2Fc%23d%3Fe%25f%26g");
    EXPECT_EQ(SchedulerPageAddress("$(x);`y`|'z'\"", ""),
              "http://localhost:631/printers/%24%28x%29%3B%60y%60%7C%27z%27%22");
    EXPECT_EQ(SchedulerPageAddress("Caf\xC3\xA9\xFF", ""),
              "http://localhost:631/printers/Caf%C3%A9%FF");
}

TEST(PrinterSettingsAddressTest, HostFollowsTheServerSettingUnlessItIsASocket) {
    using PrinterSettingsCommand::WebHost;
    EXPECT_EQ(WebHost(""), "localhost:631");
    EXPECT_EQ(WebHost("/run/cups/cups.sock"), "localhost:631");
    EXPECT_EQ(WebHost("printhost"), "printhost:631");
    EXPECT_EQ(WebHost("printhost:8631"), "printhost:8631");
    EXPECT_EQ(WebHost("printhost.example.com/version=1.1"), "printhost.example.com:631");
    EXPECT_EQ(WebHost("printhost:8631/encryption=required"), "printhost:8631");
    EXPECT_EQ(WebHost("[::1]:8631"), "[::1]:8631");
    EXPECT_EQ(WebHost("[fe80::1]"), "[fe80::1]:631");
    EXPECT_EQ(WebHost("fe80::1"), "[fe80::1]:631");
    EXPECT_EQ(PrinterSettingsCommand::SchedulerPageAddress("Office", "printhost:8631"),
              "http://printhost:8631/printers/Office");
}

} // namespace
