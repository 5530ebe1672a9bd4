// Tolvenmark: sends printer-ready files and control codes to a printer raw, through the
// system's spooler and past any driver.
#include "app/program_arguments.h"
#include "app_info.h"
#include "printing/job/job_monitor.h"
#include "printing/job/job_options.h"
#include "printing/job/printer_access.h"
#include "printing/platform/platform_printer_access.h"
#include "printing/printer_catalog.h"
#include "ui/app_lifetime.h"
#include "ui/desktop/qt_desktop.h"
#include "ui/desktop/termination_signals.h"
#include "ui/main/frm_main.h"
#include "ui/main/remembered_printers.h"
#include "ui/resources/svg_icon.h"

#include <QApplication>
#include <algorithm>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int ExitUsage = 2;

std::vector<std::string> ArgumentsOf(int argc, char** argv, int first = 1) {
    return std::vector<std::string>(argv + std::min(first, argc), argv + argc);
}

// The arguments Qt may look at: those before a "--", after which every argument is a file
// even if it is spelled like one of Qt's options.
int QtArgumentCount(int argc, char** argv) {
    if (argc < 1) {
        return argc;
    }
    const auto end = std::find(argv + 1, argv + argc, std::string_view("--"));
    return static_cast<int>(end - argv);
}

// Help and version are printed before Qt starts, so they need no display.
int Answer(ProgramArguments::Request request) {
    std::cout << (request == ProgramArguments::Request::Help ? ProgramArguments::Usage()
                                                             : ProgramArguments::VersionLine());
    return std::cout.flush() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (const auto request = ProgramArguments(ArgumentsOf(argc, argv)).Requested();
        request != ProgramArguments::Request::Run) {
        return Answer(request);
    }
    // Qt takes its own options out of what it is given; the rest, with everything from
    // the "--" on, is the program's.
    int qtArgc = QtArgumentCount(argc, argv);
    const std::vector<std::string> afterOptions = ArgumentsOf(argc, argv, qtArgc);
    QApplication application(qtArgc, argv);
    std::vector<std::string> remaining = ArgumentsOf(qtArgc, argv);
    remaining.insert(remaining.end(), afterOptions.begin(), afterOptions.end());
    const ProgramArguments arguments(remaining);
    if (!arguments.Complaint().empty()) {
        std::cerr << arguments.Complaint();
        return ExitUsage;
    }

    QApplication::setApplicationName(QString::fromUtf8(AppInfo::Title));
    QApplication::setApplicationVersion(QString::fromLatin1(AppInfo::Version));
    QApplication::setWindowIcon(SvgIcon::ApplicationIcon());
    // Lets the desktop match the windows to their installed menu entry, named by this id.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tolvenmark.Tolvenmark"));

    QtDesktop desktop;
    // The system's queues, and printers reached by their address.
    const std::unique_ptr<PrinterAccess> printers = MakePlatformPrinterAccess();
    const std::unique_ptr<PrinterCatalog> catalog = printers->Catalog(Timeouts());
    // Follows the last job the window sent, on a thread of the window's own.
    const std::unique_ptr<JobMonitor> monitor = printers->Monitor(Timeouts());
    // The printers the user added in earlier runs, kept in the user's settings.
    RememberedPrinters remembered;
    frmMain window(desktop, *printers, *catalog, *monitor);
    window.SetRememberedPrinters(&remembered);
    // Start-up runs before the window shows: a message about the printers comes first, and
    // the remembered printers join the list after the system's queues.
    window.Load();
    // The printers named by their address join the list after those, for this run only.
    window.AddPrinterAddresses(arguments.PrinterAddresses());
    // The files named on the command line join the list as dropped files do, once the
    // printers are known and before the window shows.
    window.AddFiles(arguments.Files());
    window.show();

    AppLifetime lifetime;
    QObject::connect(&lifetime, &AppLifetime::noWindowLeft, &application, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    // Asked to end from outside (kill, the session, Ctrl+C), the program leaves its event
    // loop and ends through its destructors: a print run in progress withdraws its job
    // rather than leaving it pending in the spooler.
    TerminationSignals termination;
    // exit, not quit: quit asks the windows to close, and the main window would ask the
    // user whether to stop the run. The exit status is the shell's for a signal.
    QObject::connect(&termination, &TerminationSignals::received, &application,
                     [](int signalNumber) { QCoreApplication::exit(128 + signalNumber); });
    return QApplication::exec();
}
