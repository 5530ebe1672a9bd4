// Tolvenmark: sends printer-ready files and control codes to a printer raw, through the
// system's spooler and past any driver.
#include "app_info.h"
#include "printing/cups/cups_printer_catalog.h"
#include "printing/cups/cups_spooler.h"
#include "ui/app_lifetime.h"
#include "ui/desktop/qt_desktop.h"
#include "ui/main/frm_main.h"
#include "ui/resources/svg_icon.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(AppInfo::Title));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(AppInfo::VersionMajor)
                                            .arg(AppInfo::VersionMinor)
                                            .arg(AppInfo::VersionRevision));
    QApplication::setWindowIcon(SvgIcon::ApplicationIcon());
    // Lets the desktop match the windows to the installed tolvenmark.desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("tolvenmark"));

    QtDesktop desktop;
    CupsSpooler spooler;
    CupsPrinterCatalog catalog;
    frmMain window(desktop, spooler, catalog);
    // Start-up runs before the window shows: a message about the printers comes first.
    window.Load();
    window.show();

    AppLifetime lifetime;
    QObject::connect(&lifetime, &AppLifetime::noWindowLeft, &application, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    return QApplication::exec();
}
