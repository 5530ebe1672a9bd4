#include "ui/main/help_document.h"

#include "install_layout.h"
#include "ui/desktop/desktop.h"

#include <QDir>
#include <QFileInfo>

namespace HelpDocument {

namespace {

void ShowCannotOpen(Desktop& desktop) {
    desktop.ShowMessage(QStringLiteral("Can't open the Help document"));
}

} // namespace

QString PathIn(const QString& programFolder) {
    const QString beside = QDir(programFolder).filePath(QString::fromLatin1(FileName));
    const QString installed = QDir::cleanPath(
        QDir(programFolder).filePath(QString::fromUtf8(InstallLayout::ManualFromProgram)) +
        QLatin1Char('/') + QString::fromLatin1(FileName));
    return !QFileInfo(beside).isFile() && QFileInfo(installed).isFile() ? installed : beside;
}

void Open(Desktop& desktop, const QString& programFolder) {
    const QString path = PathIn(programFolder);
    if (!QFileInfo(path).isFile()) {
        ShowCannotOpen(desktop);
        return;
    }
    // The desktop lives as long as the program, so it is still there when a viewer that
    // could not open the file reports back.
    desktop.OpenDocument(path, [&desktop] { ShowCannotOpen(desktop); });
}

} // namespace HelpDocument
