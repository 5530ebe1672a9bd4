// Tolvenmark: sends printer-ready files and control codes to a printer raw, through the
// system's spooler and past any driver.
#include "app_info.h"
#include "ui/app_lifetime.h"
#include "ui/desktop/qt_desktop.h"
#include "ui/main/frm_main.h"
#include "ui/resources/svg_icon.h"

#include <QApplication>

// The platform's own spooler and printer list: winspool and the Windows profile on
// Windows, the CUPS scheduler elsewhere.
#ifdef _WIN32
#include "printing/win/win_printer_catalog.h"
#include "printing/win/win_spooler.h"
using PlatformSpooler = WinSpooler;
using PlatformCatalog = WinPrinterCatalog;
#else
#include "printing/cups/cups_printer_catalog.h"
#include "printing/cups/cups_spooler.h"
using PlatformSpooler = CupsSpooler;
using PlatformCatalog = CupsPrinterCatalog;
#endif

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(AppInfo::Title));
    QApplication::setApplicationVersion(QString::fromLatin1(AppInfo::Version));
    QApplication::setWindowIcon(SvgIcon::ApplicationIcon());
    // Lets the desktop match the windows to their installed menu entry, named by this id.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tolvenmark.Tolvenmark"));

    QtDesktop desktop;
    PlatformSpooler spooler;
    PlatformCatalog catalog;
    frmMain window(desktop, spooler, catalog);
    // Start-up runs before the window shows: a message about the printers comes first.
    window.Load();
    window.show();

    AppLifetime lifetime;
    QObject::connect(&lifetime, &AppLifetime::noWindowLeft, &application, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    return QApplication::exec();
}
