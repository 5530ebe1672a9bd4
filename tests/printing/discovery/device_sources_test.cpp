// The USB and serial sources over folders of stand-ins: files, FIFOs, links and pseudo-
// terminals where the system has its devices.
#include "printing/backends/device/uart_probe.h"
#include "printing/discovery/serial_port_source.h"
#include "printing/discovery/usb_printer_source.h"
#include "tests/printing/backends/device/pty_line.h"
#include "tests/support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using Problem = PortReport::Problem;

std::string NameOf(const std::string& path) {
    return fs::path(path).filename().string();
}

PortReport Report(std::optional<std::string> deviceId, Problem problem = Problem::None,
                  std::string reason = {}) {
    PortReport report;
    if (deviceId) {
        report.deviceId = DeviceId::FromText(*deviceId);
    }
    report.Note(problem, std::move(reason));
    return report;
}

// "ADDRESS | NAME | MODEL | LANGUAGES | PROBLEM" for each printer, in the order found.
std::vector<std::string> Search(PrinterSource& source) {
    std::vector<std::string> seen;
    const std::string refusal = source.Search(
        std::chrono::steady_clock::now() + std::chrono::minutes(1), nullptr,
        [&seen](const DiscoveredPrinter& printer) {
            std::string languages;
            for (const std::string& language : printer.languages) {
                languages.append(languages.empty() ? "" : ",").append(language);
            }
            seen.push_back(printer.address + " | " + printer.name + " | " + printer.model + " | " +
                           languages + " | " + printer.problem);
        });
    EXPECT_EQ(refusal, "");
    return seen;
}

// Permission as the test says for the named devices, granted for the others.
std::function<DevicePermission(const std::string&)>
Permissions(std::map<std::string, DevicePermission> refused) {
    return [refused](const std::string& path) {
        const auto found = refused.find(NameOf(path));
        return found != refused.end() ? found->second : DevicePermission{};
    };
}

// Each lpN of the folder, by number, asked for its device ID: its language in the address
// where a printer is asked in it, maker and model, languages; a port that is gone is left
// out, one that can't be used says why and what to do. What the test gives no report for
// is asked for real (a FIFO, which is no printer port).
TEST(DeviceSourcesTest, UsbPrintersWithTheirDeviceIdsAndWhatKeepsThemFromUse) {
    TempDir dir;
    for (const char* name : {"lp0", "lp2", "lp3", "lp4", "lp10", "lpx", "lp", "ttyUSB0"}) {
        WriteBytes(dir.File(name), "");
    }
    ASSERT_EQ(::mkfifo(dir.File("lp1").c_str(), 0600), 0);
    const std::map<std::string, PortReport> reports = {
        {"lp0", Report("MFG:EPSON;CMD:ESC/POS;MDL:TM-T88V;")},
        {"lp2", Report(std::nullopt, Problem::Busy, "it is in use (Device or resource busy)")},
        {"lp3",
         Report(std::nullopt, Problem::PermissionDenied, "can't open it: Permission denied")},
        {"lp4", Report(std::nullopt, Problem::Missing, "it does not exist")},
        {"lp10", Report("MFG:Zebra;CMD:EPL2,ZPL2;MDL:LP 2844;")},
    };
    DevicePorts ports;
    ports.report = [&reports](const std::string& path) {
        const auto found = reports.find(NameOf(path));
        return found != reports.end() ? found->second : ReadPortReport(path);
    };
    ports.permission = Permissions({{"lp3", {false, "Permission denied", "lp"}}});
    UsbPrinterSource source(dir.Path().string(), ports);

    const std::string at = "file:" + dir.Path().string() + "/";
    EXPECT_EQ(Search(source),
              (std::vector<std::string>{
                  at + "lp0?language=escpos |  | EPSON TM-T88V | ESC/POS | ",
                  at + "lp1 |  |  |  | it is not a printer port (no character device)",
                  at + "lp2 |  |  |  | busy: it is in use (Device or resource busy); try again "
                       "once it is free",
                  at +
                      "lp3 |  |  |  | permission denied (Permission denied): add yourself to the "
                      "lp group (sudo usermod -aG lp $USER, then log in again), or run as a user "
                      "who may open " +
                      dir.File("lp3"),
                  at + "lp10?language=zpl |  | Zebra LP 2844 | EPL,ZPL | ",
              }));
}

// The by-id names first, each port once whatever names it; ttyS only with a UART behind it,
// which a pseudo-terminal and a file do not have.
TEST(DeviceSourcesTest, SerialPortsByIdFirstEachOnceAndTtySOnlyWithAUart) {
    TempDir dir;
    const PtyLine adapter;
    const PtyLine notUart;
    for (const char* name : {"ttyUSB0", "ttyUSB1", "ttyACM0", "ttyS1", "ttyS2", "ttyUSBx"}) {
        WriteBytes(dir.File(name), "");
    }
    fs::create_symlink(notUart.path, dir.File("ttyS0"));
    fs::create_directories(dir.Path() / "serial" / "by-id");
    const fs::path byId = dir.Path() / "serial" / "by-id";
    fs::create_symlink("../../ttyUSB1", byId / "usb-FTDI_FT232R-if00-port0");
    fs::create_symlink(adapter.path, byId / "usb-Prolific_PL2303-port0");
    fs::create_symlink("../../ttyUSB9", byId / "usb-unplugged-port0");
    DevicePorts ports;
    // ttyS1 stands for a port with a UART; the others are asked for real.
    ports.hasUart = [](const std::string& path) {
        return NameOf(path) == "ttyS1" || HasUart(path);
    };
    ports.permission = Permissions({{"ttyACM0", {false, "Permission denied", "dialout"}}});
    SerialPortSource source(dir.Path().string(), ports);

    const std::string settings = "?baud=9600+bits=8+parity=none+flow=none";
    const std::string at = "serial:" + dir.Path().string() + "/";
    EXPECT_EQ(
        Search(source),
        (std::vector<std::string>{
            at + "serial/by-id/usb-FTDI_FT232R-if00-port0" + settings +
                " | usb-FTDI_FT232R-if00-port0 |  |  | ",
            at + "serial/by-id/usb-Prolific_PL2303-port0" + settings +
                " | usb-Prolific_PL2303-port0 |  |  | ",
            at + "ttyUSB0" + settings + " |  |  |  | ",
            at + "ttyACM0" + settings +
                " |  |  |  | permission denied (Permission denied): add yourself to the dialout "
                "group (sudo usermod -aG dialout $USER, then log in again), or run as a user who "
                "may open " +
                fs::canonical(dir.File("ttyACM0")).string(),
            at + "ttyS1" + settings + " |  |  |  | ",
        }));
}

} // namespace
